// The native methods of com.kvor.zephrin6.swerve.jni.SwerveJNI for the
// simulation of a drivetrain, its manual odometry step and the module gains
// of the constants. Each calls one C interface function with its arguments
// in order; unknown IDs get the C interface's neutral results.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <jni.h>

#include <cstddef>
#include <cstdint>

extern "C" {

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetModuleGains(
    JNIEnv*, jobject, jlong handle, jint index, jint motor, jdouble kP, jdouble kI, jdouble kD, jdouble kS, jdouble kV,
    jdouble kA) {
  auto* constants = reinterpret_cast<_swerve_module_constants_arr_t*>(static_cast<std::uintptr_t>(handle));
  // A negative index becomes one beyond every array, which the C side refuses.
  const auto widened = static_cast<std::size_t>(static_cast<std::int64_t>(index));
  return c_kvor_zephrin6_swerve_set_module_gains(constants, widened, motor, kP, kI, kD, kS, kV, kA);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Odom_1RunOnce(JNIEnv*, jobject,
                                                                                                  jint id) {
  return c_kvor_zephrin6_swerve_drivetrain_odom_run_once(id);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1Start(JNIEnv*, jobject,
                                                                                               jint id,
                                                                                               jdouble periodSeconds,
                                                                                               jdouble supplyVolts) {
  return c_kvor_zephrin6_swerve_drivetrain_sim_start(id, periodSeconds, supplyVolts);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1Stop(JNIEnv*, jobject,
                                                                                              jint id) {
  c_kvor_zephrin6_swerve_drivetrain_sim_stop(id);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1Update(JNIEnv*, jobject,
                                                                                                jint id,
                                                                                                jdouble dtSeconds,
                                                                                                jdouble supplyVolts) {
  return c_kvor_zephrin6_swerve_drivetrain_sim_update(id, dtSeconds, supplyVolts);
}

/// The true pose as a new double[3] {x, y, theta}, or null for an unknown ID.
ZEPHRIN6_API JNIEXPORT jdoubleArray JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1GetPose(JNIEnv* env,
                                                                                                         jobject,
                                                                                                         jint id) {
  _swerve_pose_t pose{};
  if (!c_kvor_zephrin6_swerve_drivetrain_sim_get_pose(id, &pose)) return nullptr;
  jdoubleArray result = env->NewDoubleArray(3);
  if (result == nullptr) return nullptr;  // OutOfMemoryError pending
  const jdouble values[3] = {pose.x, pose.y, pose.theta};
  env->SetDoubleArrayRegion(result, 0, 3, values);
  return result;
}

}  // extern "C"
