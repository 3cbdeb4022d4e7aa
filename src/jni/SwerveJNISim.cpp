// The native methods of com.kvor.zephrin6.swerve.jni.SwerveJNI for the
// simulation of a drivetrain, its manual odometry step and the module gains
// of the constants. Each calls one C interface function with its arguments
// in order; unknown IDs get the C interface's neutral results.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <jni.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr jint kRefused = -1002;  // InvalidParamValue

/// The doubles of a Java array (none for null).
std::vector<double> Doubles(JNIEnv* env, jdoubleArray array) {
  std::vector<double> values(array == nullptr ? 0 : static_cast<std::size_t>(env->GetArrayLength(array)));
  if (!values.empty()) env->GetDoubleArrayRegion(array, 0, static_cast<jsize>(values.size()), values.data());
  return values;
}

}  // namespace

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

/// The field's arrays are checked against their lengths here, since the C
/// function can only trust the counts it is given.
ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1SetField(
    JNIEnv* env, jobject, jint id, jdoubleArray sizes, jdoubleArray bumperXY, jdoubleArray obstacleXY,
    jintArray obstacleCorners) {
  const std::vector<double> numbers = Doubles(env, sizes);
  const std::vector<double> bumper = Doubles(env, bumperXY);
  const std::vector<double> obstacles = Doubles(env, obstacleXY);
  std::vector<jint> counts(obstacleCorners == nullptr ? 0
                                                      : static_cast<std::size_t>(env->GetArrayLength(obstacleCorners)));
  if (!counts.empty()) env->GetIntArrayRegion(obstacleCorners, 0, static_cast<jsize>(counts.size()), counts.data());
  std::vector<std::size_t> corners;
  std::size_t values = 0;
  for (jint count : counts) {
    if (count < 0) return kRefused;
    corners.push_back(static_cast<std::size_t>(count));
    values += 2 * static_cast<std::size_t>(count);
  }
  if (numbers.size() != 5 || bumper.size() % 2 != 0 || values > obstacles.size()) return kRefused;
  const _swerve_sim_field_t field{numbers[0],       numbers[1],       numbers[2],   numbers[3],
                                  numbers[4],       bumper.data(),    bumper.size() / 2,
                                  obstacles.data(), corners.data(),   corners.size()};
  return c_kvor_zephrin6_swerve_drivetrain_sim_set_field(id, &field);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1ClearField(JNIEnv*, jobject,
                                                                                                    jint id) {
  c_kvor_zephrin6_swerve_drivetrain_sim_clear_field(id);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1ResetPose(
    JNIEnv*, jobject, jint id, jdouble x, jdouble y, jdouble theta) {
  return c_kvor_zephrin6_swerve_drivetrain_sim_reset_pose(id, x, y, theta);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1SetBattery(
    JNIEnv*, jobject, jint id, jdouble openCircuitVolts, jdouble resistanceOhms, jdouble brownoutVolts) {
  return c_kvor_zephrin6_swerve_drivetrain_sim_set_battery(id, openCircuitVolts, resistanceOhms, brownoutVolts);
}

/// The battery as a new double[6], or null for an unknown ID.
ZEPHRIN6_API JNIEXPORT jdoubleArray JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1GetBattery(
    JNIEnv* env, jobject, jint id) {
  _swerve_sim_battery_t battery{};
  if (!c_kvor_zephrin6_swerve_drivetrain_sim_get_battery(id, &battery)) return nullptr;
  jdoubleArray result = env->NewDoubleArray(6);
  if (result == nullptr) return nullptr;  // OutOfMemoryError pending
  const jdouble values[6] = {battery.openCircuitVolts, battery.resistanceOhms, battery.brownoutVolts,
                             battery.volts,            battery.amps,           battery.brownedOut ? 1.0 : 0.0};
  env->SetDoubleArrayRegion(result, 0, 6, values);
  return result;
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1UpdateOnBattery(
    JNIEnv*, jobject, jint id, jdouble dtSeconds) {
  return c_kvor_zephrin6_swerve_drivetrain_sim_update_on_battery(id, dtSeconds);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Sim_1StartOnBattery(
    JNIEnv*, jobject, jint id, jdouble periodSeconds) {
  return c_kvor_zephrin6_swerve_drivetrain_sim_start_on_battery(id, periodSeconds);
}

}  // extern "C"
