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
void WriteElements(JNIEnv* env, jobjectArray array, const Record* values, std::size_t count) {
  if (values == nullptr) return;
  const std::size_t bounded = std::min(count, LengthOf(env, array));
  for (std::size_t i = 0; i < bounded; ++i) {
    jobject element = env->GetObjectArrayElement(array, static_cast<jsize>(i));
    CopyToJava(env, element, values[i]);
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
  CopyToJava(env, driveState, state);
  WriteElements(env, arrays.states, state.ModuleStates, count);
  WriteElements(env, arrays.targets, state.ModuleTargets, count);
  WriteElements(env, arrays.positions, state.ModulePositions, count);
}

}  // namespace kvor::zephrin6::jni
