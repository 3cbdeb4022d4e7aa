#include "jni/internal/JavaState.hpp"

#include <algorithm>

#include "jni/internal/FieldIds.hpp"

namespace kvor::zephrin6::jni {

namespace {

std::size_t LengthOf(JNIEnv* env, jobjectArray array) {
  return array == nullptr ? 0 : static_cast<std::size_t>(env->GetArrayLength(array));
}

/// Writes `values[i]` into element i of `array` for i below `count` and
/// the array's length.
template <typename Record>
void WriteElements(JNIEnv* env, jobjectArray array, const Record* values, std::size_t count,
                   void (*write)(JNIEnv*, jobject, const Record&)) {
  if (values == nullptr) return;
  const std::size_t bounded = std::min(count, LengthOf(env, array));
  for (std::size_t i = 0; i < bounded; ++i) {
    jobject element = env->GetObjectArrayElement(array, static_cast<jsize>(i));
    write(env, element, values[i]);
    if (element != nullptr) env->DeleteLocalRef(element);
  }
}

}  // namespace

JavaModuleArrays::JavaModuleArrays(JNIEnv* env, jobject driveState) {
  states = static_cast<jobjectArray>(env->GetObjectField(driveState, ModuleStatesField));
  targets = static_cast<jobjectArray>(env->GetObjectField(driveState, ModuleTargetsField));
  positions = static_cast<jobjectArray>(env->GetObjectField(driveState, ModulePositionsField));
  count = LengthOf(env, states);
}

void JavaModuleArrays::Release(JNIEnv* env) {
  for (jobjectArray array : {states, targets, positions}) {
    if (array != nullptr) env->DeleteLocalRef(array);
  }
  states = targets = positions = nullptr;
}

void WriteDriveState(JNIEnv* env, jobject driveState, const _swerve_drive_state_t& state,
                     const JavaModuleArrays& arrays, std::size_t count) {
  env->SetDoubleField(driveState, PoseXField, state.PoseX);
  env->SetDoubleField(driveState, PoseYField, state.PoseY);
  env->SetDoubleField(driveState, PoseThetaField, state.PoseTheta);
  env->SetDoubleField(driveState, SpeedsVxField, state.SpeedsVx);
  env->SetDoubleField(driveState, SpeedsVyField, state.SpeedsVy);
  env->SetDoubleField(driveState, SpeedsOmegaField, state.SpeedsOmega);
  env->SetDoubleField(driveState, RawHeadingField, state.RawHeading);
  env->SetDoubleField(driveState, TimestampField, state.Timestamp);
  env->SetDoubleField(driveState, OdometryPeriodField, state.OdometryPeriod);
  env->SetIntField(driveState, SuccessfulDaqsField, state.SuccessfulDaqs);
  env->SetIntField(driveState, FailedDaqsField, state.FailedDaqs);
  WriteElements(env, arrays.states, state.ModuleStates, count, &WriteModuleState);
  WriteElements(env, arrays.targets, state.ModuleTargets, count, &WriteModuleState);
  WriteElements(env, arrays.positions, state.ModulePositions, count, &WriteModulePosition);
}

void WriteModuleState(JNIEnv* env, jobject target, const _swerve_module_state_t& state) {
  if (target == nullptr) return;
  env->SetDoubleField(target, ModuleStateSpeedField, state.speed);
  env->SetDoubleField(target, ModuleStateAngleField, state.angle);
}

void WriteModulePosition(JNIEnv* env, jobject target, const _swerve_module_position_t& position) {
  if (target == nullptr) return;
  env->SetDoubleField(target, ModulePositionDistanceField, position.distance);
  env->SetDoubleField(target, ModulePositionAngleField, position.angle);
}

void WriteControlParams(JNIEnv* env, jobject target, const _swerve_control_params_t& params) {
  if (target == nullptr) return;
  env->SetDoubleField(target, ControlMaxSpeedMpsField, params.kMaxSpeedMps);
  env->SetDoubleField(target, ControlOperatorForwardDirectionField, params.operatorForwardDirection);
  env->SetDoubleField(target, ControlChassisSpeedVxField, params.currentChassisSpeedVx);
  env->SetDoubleField(target, ControlChassisSpeedVyField, params.currentChassisSpeedVy);
  env->SetDoubleField(target, ControlChassisSpeedOmegaField, params.currentChassisSpeedOmega);
  env->SetDoubleField(target, ControlPoseXField, params.currentPoseX);
  env->SetDoubleField(target, ControlPoseYField, params.currentPoseY);
  env->SetDoubleField(target, ControlPoseThetaField, params.currentPoseTheta);
  env->SetDoubleField(target, ControlTimestampField, params.timestamp);
  env->SetDoubleField(target, ControlUpdatePeriodField, params.updatePeriod);
}

}  // namespace kvor::zephrin6::jni
