// The native methods of com.kvor.zephrin6.swerve.jni.SwerveJNI and the
// library's JNI_OnLoad. Each method converts its Java arguments and calls one
// function of the swerve C interface; the drivetrain ID is always the first
// Java argument after the instance, and the other arguments keep the order of
// the C function's (the Java declarations follow the same order). What the
// layer adds is the copying between C records and the instance's scratch
// objects, and the Java callbacks (see CallbackContext). Nothing here throws
// Java exceptions of its own: bad input gets the C interface's neutral
// results, and arrays of the wrong length skip the call.

#include <kvor/zephrin/platform/Configs.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <jni.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "jni/internal/CallbackContext.hpp"
#include "jni/internal/DoubleElements.hpp"
#include "jni/internal/FieldIds.hpp"
#include "jni/internal/JavaState.hpp"
#include "cinterface/internal/CStyleExtras.hpp"

namespace {

using namespace kvor::zephrin6::jni;
namespace cstyle = kvor::zephrin6::cinterface;

bool HasLength3(JNIEnv* env, jdoubleArray array) { return array != nullptr && env->GetArrayLength(array) == 3; }

/// A Java module index or count as the C interface takes it: a negative one
/// becomes a value beyond every drivetrain's modules.
std::size_t Widen(jint value) { return static_cast<std::size_t>(static_cast<std::int64_t>(value)); }

jlong Handle(const void* pointer) { return static_cast<jlong>(reinterpret_cast<std::uintptr_t>(pointer)); }
template <typename T>
T* FromHandle(jlong handle) {
  return reinterpret_cast<T*>(static_cast<std::uintptr_t>(handle));
}

/// The instance's scratch object in `field` (a local reference, or null).
jobject Scratch(JNIEnv* env, jobject self, jfieldID field) { return env->GetObjectField(self, field); }

template <typename Record>
void WriteScratch(JNIEnv* env, jobject self, jfieldID field, const Record& record) {
  jobject target = Scratch(env, self, field);
  if (target == nullptr) return;
  CopyToJava(env, target, record);
  env->DeleteLocalRef(target);
}

/// Registers Java `callback` (with `methodName`) on drivetrain `id` through
/// the C function `registerIn`, as `callbackInC` writing into the instance's
/// scratch object in `targetField`; a null callback clears the registration.
/// @return the context's handle, or 0 when nothing was registered.
template <typename CCallback>
jlong Register(JNIEnv* env, jobject self, jint id, jobject callback, jfieldID targetField, const char* methodName,
               const char* signature, void (*registerIn)(int, void*, CCallback), CCallback callbackInC) {
  if (callback == nullptr) {
    registerIn(id, nullptr, nullptr);
    return 0;
  }
  jobject target = Scratch(env, self, targetField);
  CallbackContext* context = NewCallbackContext(env, target, callback, methodName, signature, cstyle::ModuleCount(id));
  if (target != nullptr) env->DeleteLocalRef(target);
  if (context == nullptr) return 0;
  registerIn(id, context, callbackInC);
  return Handle(context);
}

}  // namespace

extern "C" {

ZEPHRIN6_API JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void* /*reserved*/) {
  void* opaque = nullptr;
  if (vm->GetEnv(&opaque, JNI_VERSION_1_6) != JNI_OK) return -1;
  auto* env = static_cast<JNIEnv*>(opaque);
  for (const JavaClassFields& javaClass : kJavaClasses) {
    jclass found = env->FindClass(javaClass.name);
    if (found == nullptr) {
      env->ExceptionClear();
      std::fprintf(stderr, "could not load class %s\n", javaClass.name);
      return -1;
    }
    // A missing field leaves the JVM's NoSuchFieldError pending, which
    // fails the load with the field's name.
    const bool complete = javaClass.lookUp(env, found);
    env->DeleteLocalRef(found);
    if (!complete) return -1;
  }
  return JNI_VERSION_1_6;
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1StopAllForExit(JNIEnv*, jclass) {
  // Runs in a shutdown hook, while the JVM still runs: a callback in
  // progress returns, so its thread ends and detaches normally.
  cstyle::StopAllForExit();
}

// ---- Creation and constants ----

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1CreateDrivetrain(
    JNIEnv*, jobject, jlong drivetrainConstants, jlong moduleConstants, jint moduleCount) {
  return c_kvor_zephrin6_swerve_create_drivetrain(FromHandle<_swerve_drivetrain_constants_t>(drivetrainConstants),
                                                  FromHandle<_swerve_module_constants_arr_t>(moduleConstants),
                                                  Widen(moduleCount));
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1CreateDrivetrainWithFreq(
    JNIEnv*, jobject, jlong drivetrainConstants, jlong moduleConstants, jint moduleCount, jdouble odometryFrequency) {
  return c_kvor_zephrin6_swerve_create_drivetrain_with_freq(
      FromHandle<_swerve_drivetrain_constants_t>(drivetrainConstants),
      FromHandle<_swerve_module_constants_arr_t>(moduleConstants), Widen(moduleCount), odometryFrequency);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1CreateDrivetrainWithStddev(
    JNIEnv* env, jobject, jlong drivetrainConstants, jdoubleArray odometryStdDev, jdoubleArray visionStdDev,
    jlong moduleConstants, jint moduleCount, jdouble odometryFrequency) {
  if (!HasLength3(env, odometryStdDev) || !HasLength3(env, visionStdDev)) return 0;
  DoubleElements odometry(env, odometryStdDev);
  DoubleElements vision(env, visionStdDev);
  if (odometry.size() != 3 || vision.size() != 3) return 0;
  return c_kvor_zephrin6_swerve_create_drivetrain_with_stddev(
      FromHandle<_swerve_drivetrain_constants_t>(drivetrainConstants), odometry.data(), vision.data(),
      FromHandle<_swerve_module_constants_arr_t>(moduleConstants), Widen(moduleCount), odometryFrequency);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1DestroyDrivetrain(JNIEnv*, jobject,
                                                                                                       jint id) {
  c_kvor_zephrin6_swerve_destroy_drivetrain(id);
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1CreateDrivetrainConstants(
    JNIEnv* env, jobject, jstring canBusName, jint auklet2Id) {
  if (canBusName == nullptr) return 0;
  // The Java text lives no longer than this call, so the constants keep a
  // copy of it, released with them.
  const jsize characters = env->GetStringLength(canBusName);
  std::string name(static_cast<std::size_t>(env->GetStringUTFLength(canBusName)), '\0');
  env->GetStringUTFRegion(canBusName, 0, characters, name.data());
  return Handle(cstyle::CreateDrivetrainConstantsCopyingName(name, auklet2Id));
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL
Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1CreateModuleConstantsArr(JNIEnv*, jobject, jint count) {
  if (count < 0) return 0;
  return Handle(c_kvor_zephrin6_swerve_create_module_constants_arr(Widen(count)));
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetModuleConstants(
    JNIEnv*, jobject, jlong moduleConstants, jint index, jint steerMotorId, jint driveMotorId, jint encoderId,
    jdouble encoderOffset, jdouble locationX, jdouble locationY, jboolean driveMotorInverted,
    jboolean steerMotorInverted, jboolean encoderInverted, jdouble driveMotorGearRatio, jdouble steerMotorGearRatio,
    jdouble couplingGearRatio, jdouble wheelRadius, jint steerMotorClosedLoopOutput, jint driveMotorClosedLoopOutput,
    jdouble slipCurrent, jdouble speedAt12Volts, jint driveMotorType, jint steerMotorType, jint feedbackSource,
    jdouble steerInertia, jdouble driveInertia, jdouble steerFrictionVoltage, jdouble driveFrictionVoltage) {
  return Handle(c_kvor_zephrin6_swerve_set_module_constants(
      FromHandle<_swerve_module_constants_arr_t>(moduleConstants), Widen(index), steerMotorId, driveMotorId, encoderId,
      encoderOffset, locationX, locationY, driveMotorInverted != JNI_FALSE, steerMotorInverted != JNI_FALSE,
      encoderInverted != JNI_FALSE, driveMotorGearRatio, steerMotorGearRatio, couplingGearRatio, wheelRadius,
      steerMotorClosedLoopOutput, driveMotorClosedLoopOutput, slipCurrent, speedAt12Volts, driveMotorType,
      steerMotorType, feedbackSource, steerInertia, driveInertia, steerFrictionVoltage, driveFrictionVoltage));
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1DestroyConstants(JNIEnv*, jobject,
                                                                                                      jlong handle) {
  void* address = FromHandle<void>(handle);
  c_kvor_zephrin6_free_memory(&address);
}

// ---- Drivetrain ----

ZEPHRIN6_API JNIEXPORT jboolean JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1IsOnCANFD(JNIEnv*, jobject,
                                                                                                   jint id) {
  return c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(id) ? JNI_TRUE : JNI_FALSE;
}

ZEPHRIN6_API JNIEXPORT jdouble JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1GetOdometryFrequency(JNIEnv*,
                                                                                                             jobject,
                                                                                                             jint id) {
  return c_kvor_zephrin6_swerve_drivetrain_get_odometry_frequency(id);
}

ZEPHRIN6_API JNIEXPORT jboolean JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1IsOdometryValid(JNIEnv*,
                                                                                                         jobject,
                                                                                                         jint id) {
  return c_kvor_zephrin6_swerve_drivetrain_is_odometry_valid(id) ? JNI_TRUE : JNI_FALSE;
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetControl(JNIEnv* env,
                                                                                                 jobject self, jint id,
                                                                                                 jobject callback) {
  return Register(env, self, id, callback, controlParamsField, "getAsInt", "()I",
                  &c_kvor_zephrin6_swerve_drivetrain_set_control, &ControlCallback);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1DestroyControl(JNIEnv* env,
                                                                                                    jobject,
                                                                                                    jlong handle) {
  Release(env, FromHandle<CallbackContext>(handle));
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1GetState(JNIEnv* env, jobject self,
                                                                                              jint id) {
  jobject driveState = Scratch(env, self, driveStateField);
  if (driveState == nullptr) return;
  JavaModuleArrays arrays(env, driveState);
  // As many entries as the Java arrays hold, reused by later calls on this
  // thread; entries the drivetrain does not have stay zero.
  thread_local std::vector<_swerve_module_state_t> states;
  thread_local std::vector<_swerve_module_state_t> targets;
  thread_local std::vector<_swerve_module_position_t> positions;
  states.assign(arrays.count, {});
  targets.assign(arrays.count, {});
  positions.assign(arrays.count, {});
  _swerve_drive_state_t record{};
  record.ModuleStates = states.data();
  record.ModuleTargets = targets.data();
  record.ModulePositions = positions.data();
  cstyle::GetState(id, record, arrays.count);
  WriteDriveState(env, driveState, record, arrays, arrays.count);
  arrays.Release(env);
  env->DeleteLocalRef(driveState);
}

ZEPHRIN6_API JNIEXPORT jlong JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1RegisterTelemetry(
    JNIEnv* env, jobject self, jint id, jobject callback) {
  return Register(env, self, id, callback, driveStateField, "run", "()V",
                  &c_kvor_zephrin6_swerve_drivetrain_register_telemetry, &TelemetryCallback);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1DestroyTelemetry(JNIEnv* env,
                                                                                                      jobject,
                                                                                                      jlong handle) {
  Release(env, FromHandle<CallbackContext>(handle));
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1ConfigNeutralMode(JNIEnv*, jobject,
                                                                                                       jint id,
                                                                                                       jint mode) {
  return c_kvor_zephrin6_swerve_drivetrain_config_neutral_mode(id, mode);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1TareEverything(JNIEnv*, jobject,
                                                                                                    jint id) {
  c_kvor_zephrin6_swerve_drivetrain_tare_everything(id);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SeedFieldCentric(JNIEnv*, jobject,
                                                                                                      jint id) {
  c_kvor_zephrin6_swerve_drivetrain_seed_field_centric(id);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1ResetPose(JNIEnv*, jobject,
                                                                                               jint id, jdouble x,
                                                                                               jdouble y,
                                                                                               jdouble theta) {
  c_kvor_zephrin6_swerve_drivetrain_reset_pose(id, x, y, theta);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1ResetTranslation(JNIEnv*, jobject,
                                                                                                      jint id,
                                                                                                      jdouble x,
                                                                                                      jdouble y) {
  c_kvor_zephrin6_swerve_drivetrain_reset_translation(id, x, y);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1ResetRotation(JNIEnv*, jobject,
                                                                                                   jint id,
                                                                                                   jdouble theta) {
  c_kvor_zephrin6_swerve_drivetrain_reset_rotation(id, theta);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetOperatorPerspectiveForward(
    JNIEnv*, jobject, jint id, jdouble theta) {
  c_kvor_zephrin6_swerve_drivetrain_set_operator_perspective_forward(id, theta);
}

ZEPHRIN6_API JNIEXPORT jdouble JNICALL
Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1GetOperatorForwardDirection(JNIEnv*, jobject, jint id) {
  return c_kvor_zephrin6_swerve_drivetrain_get_operator_forward_direction(id);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1AddVisionMeasurement(
    JNIEnv*, jobject, jint id, jdouble x, jdouble y, jdouble theta, jdouble timestamp) {
  c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement(id, x, y, theta, timestamp);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1AddVisionMeasurementWithStdDev(
    JNIEnv* env, jobject, jint id, jdouble x, jdouble y, jdouble theta, jdouble timestamp, jdoubleArray stdDevs) {
  if (!HasLength3(env, stdDevs)) return;
  DoubleElements deviations(env, stdDevs);
  if (deviations.size() != 3) return;
  c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement_with_stddev(id, x, y, theta, timestamp, deviations.data());
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetVisionMeasurementStdDevs(
    JNIEnv* env, jobject, jint id, jdoubleArray stdDevs) {
  if (!HasLength3(env, stdDevs)) return;
  DoubleElements deviations(env, stdDevs);
  if (deviations.size() != 3) return;
  c_kvor_zephrin6_swerve_drivetrain_set_vision_measurement_stddevs(id, deviations.data());
}

ZEPHRIN6_API JNIEXPORT jdoubleArray JNICALL
Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SamplePoseAt(JNIEnv* env, jobject, jint id, jdouble timestamp) {
  _swerve_pose_t pose{};
  if (!c_kvor_zephrin6_swerve_drivetrain_sample_pose_at(id, &pose, timestamp)) return nullptr;
  jdoubleArray result = env->NewDoubleArray(3);
  if (result == nullptr) return nullptr;
  const jdouble values[3] = {pose.x, pose.y, pose.theta};
  env->SetDoubleArrayRegion(result, 0, 3, values);
  return result;
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Odom_1Start(JNIEnv*, jobject,
                                                                                                 jint id) {
  c_kvor_zephrin6_swerve_drivetrain_odom_start(id);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Odom_1Stop(JNIEnv*, jobject,
                                                                                                jint id) {
  c_kvor_zephrin6_swerve_drivetrain_odom_stop(id);
}

ZEPHRIN6_API JNIEXPORT void JNICALL
Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Odom_1SetThreadPriority(JNIEnv*, jobject, jint id, jint priority) {
  c_kvor_zephrin6_swerve_drivetrain_odom_set_thread_priority(id, priority);
}

// ---- Modules ----

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Module_1Apply(JNIEnv* env,
                                                                                                   jobject self,
                                                                                                   jint id,
                                                                                                   jint moduleIndex) {
  jobject params = Scratch(env, self, moduleApplyParamsField);
  if (params == nullptr) return;
  _swerve_module_apply_params_t request{};
  CopyFromJava(env, params, request);
  env->DeleteLocalRef(params);
  c_kvor_zephrin6_swerve_module_apply(id, Widen(moduleIndex), &request);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Module_1GetPosition(
    JNIEnv* env, jobject self, jint id, jint moduleIndex, jboolean refresh) {
  WriteScratch(env, self, modulePositionField,
               c_kvor_zephrin6_swerve_module_get_position(id, Widen(moduleIndex), refresh != JNI_FALSE));
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Module_1GetCachedPosition(
    JNIEnv* env, jobject self, jint id, jint moduleIndex) {
  WriteScratch(env, self, modulePositionField,
               c_kvor_zephrin6_swerve_module_get_cached_position(id, Widen(moduleIndex)));
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Module_1GetCurrentState(
    JNIEnv* env, jobject self, jint id, jint moduleIndex) {
  WriteScratch(env, self, moduleStateField,
               c_kvor_zephrin6_swerve_module_get_current_state(id, Widen(moduleIndex)));
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Module_1GetTargetState(
    JNIEnv* env, jobject self, jint id, jint moduleIndex) {
  WriteScratch(env, self, moduleStateField,
               c_kvor_zephrin6_swerve_module_get_target_state(id, Widen(moduleIndex)));
}

ZEPHRIN6_API JNIEXPORT void JNICALL
Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Module_1ResetPosition(JNIEnv*, jobject, jint id, jint moduleIndex) {
  c_kvor_zephrin6_swerve_module_reset_position(id, Widen(moduleIndex));
}

}  // extern "C"
