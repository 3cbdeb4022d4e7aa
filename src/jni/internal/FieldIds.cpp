#include "jni/internal/FieldIds.hpp"

#include <cstddef>

namespace kvor::zephrin6::jni {

jfieldID driveStateField = nullptr;
jfieldID controlParamsField = nullptr;
jfieldID moduleApplyParamsField = nullptr;
jfieldID moduleStateField = nullptr;
jfieldID modulePositionField = nullptr;
jfieldID ModuleStateSpeedField = nullptr;
jfieldID ModuleStateAngleField = nullptr;
jfieldID ModulePositionDistanceField = nullptr;
jfieldID ModulePositionAngleField = nullptr;
jfieldID PoseXField = nullptr;
jfieldID PoseYField = nullptr;
jfieldID PoseThetaField = nullptr;
jfieldID SpeedsVxField = nullptr;
jfieldID SpeedsVyField = nullptr;
jfieldID SpeedsOmegaField = nullptr;
jfieldID ModuleStatesField = nullptr;
jfieldID ModuleTargetsField = nullptr;
jfieldID ModulePositionsField = nullptr;
jfieldID RawHeadingField = nullptr;
jfieldID TimestampField = nullptr;
jfieldID OdometryPeriodField = nullptr;
jfieldID SuccessfulDaqsField = nullptr;
jfieldID FailedDaqsField = nullptr;
jfieldID ControlMaxSpeedMpsField = nullptr;
jfieldID ControlOperatorForwardDirectionField = nullptr;
jfieldID ControlChassisSpeedVxField = nullptr;
jfieldID ControlChassisSpeedVyField = nullptr;
jfieldID ControlChassisSpeedOmegaField = nullptr;
jfieldID ControlPoseXField = nullptr;
jfieldID ControlPoseYField = nullptr;
jfieldID ControlPoseThetaField = nullptr;
jfieldID ControlTimestampField = nullptr;
jfieldID ControlUpdatePeriodField = nullptr;
jfieldID ModuleApplyStateField = nullptr;
jfieldID ModuleApplyWheelForceFeedforwardXField = nullptr;
jfieldID ModuleApplyWheelForceFeedforwardYField = nullptr;
jfieldID ModuleApplyDriveRequestField = nullptr;
jfieldID ModuleApplySteerRequestField = nullptr;
jfieldID ModuleApplyUpdatePeriodField = nullptr;
jfieldID ModuleApplyEnableFOCField = nullptr;

namespace {

#define ZEPHRIN6_JNI_CLASS "com/kvor/zephrin6/swerve/jni/SwerveJNI"
constexpr const char* kModuleStateType = "L" ZEPHRIN6_JNI_CLASS "$ModuleState;";

/// One field to look up: where its ID goes, its name and type signature.
struct Field {
  jfieldID* id;
  const char* name;
  const char* signature;
};

template <std::size_t N>
bool LookUp(JNIEnv* env, jclass javaClass, const Field (&fields)[N]) {
  for (const Field& field : fields) {
    if (*field.id != nullptr) continue;
    *field.id = env->GetFieldID(javaClass, field.name, field.signature);
    if (*field.id == nullptr) return false;
  }
  return true;
}

bool LookUpSwerveJNI(JNIEnv* env, jclass javaClass) {
  static const Field kFields[] = {
      {&driveStateField, "driveState", "L" ZEPHRIN6_JNI_CLASS "$DriveState;"},
      {&controlParamsField, "controlParams", "L" ZEPHRIN6_JNI_CLASS "$ControlParams;"},
      {&moduleApplyParamsField, "moduleApplyParams", "L" ZEPHRIN6_JNI_CLASS "$ModuleApplyParams;"},
      {&moduleStateField, "moduleState", kModuleStateType},
      {&modulePositionField, "modulePosition", "L" ZEPHRIN6_JNI_CLASS "$ModulePosition;"},
  };
  return LookUp(env, javaClass, kFields);
}

bool LookUpModuleState(JNIEnv* env, jclass javaClass) {
  static const Field kFields[] = {{&ModuleStateSpeedField, "speed", "D"}, {&ModuleStateAngleField, "angle", "D"}};
  return LookUp(env, javaClass, kFields);
}

bool LookUpModulePosition(JNIEnv* env, jclass javaClass) {
  static const Field kFields[] = {{&ModulePositionDistanceField, "distance", "D"},
                                  {&ModulePositionAngleField, "angle", "D"}};
  return LookUp(env, javaClass, kFields);
}

bool LookUpDriveState(JNIEnv* env, jclass javaClass) {
  static const Field kFields[] = {
      {&PoseXField, "PoseX", "D"},
      {&PoseYField, "PoseY", "D"},
      {&PoseThetaField, "PoseTheta", "D"},
      {&SpeedsVxField, "SpeedsVx", "D"},
      {&SpeedsVyField, "SpeedsVy", "D"},
      {&SpeedsOmegaField, "SpeedsOmega", "D"},
      {&ModuleStatesField, "ModuleStates", "[L" ZEPHRIN6_JNI_CLASS "$ModuleState;"},
      {&ModuleTargetsField, "ModuleTargets", "[L" ZEPHRIN6_JNI_CLASS "$ModuleState;"},
      {&ModulePositionsField, "ModulePositions", "[L" ZEPHRIN6_JNI_CLASS "$ModulePosition;"},
      {&RawHeadingField, "RawHeading", "D"},
      {&TimestampField, "Timestamp", "D"},
      {&OdometryPeriodField, "OdometryPeriod", "D"},
      {&SuccessfulDaqsField, "SuccessfulDaqs", "I"},
      {&FailedDaqsField, "FailedDaqs", "I"},
  };
  return LookUp(env, javaClass, kFields);
}

bool LookUpControlParams(JNIEnv* env, jclass javaClass) {
  static const Field kFields[] = {
      {&ControlMaxSpeedMpsField, "kMaxSpeedMps", "D"},
      {&ControlOperatorForwardDirectionField, "operatorForwardDirection", "D"},
      {&ControlChassisSpeedVxField, "currentChassisSpeedVx", "D"},
      {&ControlChassisSpeedVyField, "currentChassisSpeedVy", "D"},
      {&ControlChassisSpeedOmegaField, "currentChassisSpeedOmega", "D"},
      {&ControlPoseXField, "currentPoseX", "D"},
      {&ControlPoseYField, "currentPoseY", "D"},
      {&ControlPoseThetaField, "currentPoseTheta", "D"},
      {&ControlTimestampField, "timestamp", "D"},
      {&ControlUpdatePeriodField, "updatePeriod", "D"},
  };
  return LookUp(env, javaClass, kFields);
}

bool LookUpModuleApplyParams(JNIEnv* env, jclass javaClass) {
  static const Field kFields[] = {
      {&ModuleApplyStateField, "state", kModuleStateType},
      {&ModuleApplyWheelForceFeedforwardXField, "wheelForceFeedforwardX", "D"},
      {&ModuleApplyWheelForceFeedforwardYField, "wheelForceFeedforwardY", "D"},
      {&ModuleApplyDriveRequestField, "driveRequest", "I"},
      {&ModuleApplySteerRequestField, "steerRequest", "I"},
      {&ModuleApplyUpdatePeriodField, "updatePeriod", "D"},
      {&ModuleApplyEnableFOCField, "enableFOC", "Z"},
  };
  return LookUp(env, javaClass, kFields);
}

}  // namespace

const JavaClassFields kJavaClasses[6] = {
    {ZEPHRIN6_JNI_CLASS, &LookUpSwerveJNI},
    {ZEPHRIN6_JNI_CLASS "$ModuleState", &LookUpModuleState},
    {ZEPHRIN6_JNI_CLASS "$ModulePosition", &LookUpModulePosition},
    {ZEPHRIN6_JNI_CLASS "$DriveState", &LookUpDriveState},
    {ZEPHRIN6_JNI_CLASS "$ControlParams", &LookUpControlParams},
    {ZEPHRIN6_JNI_CLASS "$ModuleApplyParams", &LookUpModuleApplyParams},
};

#undef ZEPHRIN6_JNI_CLASS

}  // namespace kvor::zephrin6::jni
