#pragma once

// The field IDs of the Java classes the bindings read and write, looked up
// once when the JVM loads the library (JNI_OnLoad) and never cleared. Field
// IDs stay valid as long as their class is loaded, and the classes are
// reachable from SwerveJNI, whose native methods are the only users, so
// caching them is safe; looking them up per call would cost more than the
// calls themselves. Written only during loading, read from any thread after.

#include <jni.h>

namespace kvor::zephrin6::jni {

// SwerveJNI: its five scratch objects.
extern jfieldID driveStateField;
extern jfieldID controlParamsField;
extern jfieldID moduleApplyParamsField;
extern jfieldID moduleStateField;
extern jfieldID modulePositionField;

// SwerveJNI$ModuleState and SwerveJNI$ModulePosition.
extern jfieldID ModuleStateSpeedField;
extern jfieldID ModuleStateAngleField;
extern jfieldID ModulePositionDistanceField;
extern jfieldID ModulePositionAngleField;

// SwerveJNI$DriveState.
extern jfieldID PoseXField;
extern jfieldID PoseYField;
extern jfieldID PoseThetaField;
extern jfieldID SpeedsVxField;
extern jfieldID SpeedsVyField;
extern jfieldID SpeedsOmegaField;
extern jfieldID ModuleStatesField;
extern jfieldID ModuleTargetsField;
extern jfieldID ModulePositionsField;
extern jfieldID RawHeadingField;
extern jfieldID TimestampField;
extern jfieldID OdometryPeriodField;
extern jfieldID SuccessfulDaqsField;
extern jfieldID FailedDaqsField;

// SwerveJNI$ControlParams.
extern jfieldID ControlMaxSpeedMpsField;
extern jfieldID ControlOperatorForwardDirectionField;
extern jfieldID ControlChassisSpeedVxField;
extern jfieldID ControlChassisSpeedVyField;
extern jfieldID ControlChassisSpeedOmegaField;
extern jfieldID ControlPoseXField;
extern jfieldID ControlPoseYField;
extern jfieldID ControlPoseThetaField;
extern jfieldID ControlTimestampField;
extern jfieldID ControlUpdatePeriodField;

// SwerveJNI$ModuleApplyParams.
extern jfieldID ModuleApplyStateField;
extern jfieldID ModuleApplyWheelForceFeedforwardXField;
extern jfieldID ModuleApplyWheelForceFeedforwardYField;
extern jfieldID ModuleApplyDriveRequestField;
extern jfieldID ModuleApplySteerRequestField;
extern jfieldID ModuleApplyUpdatePeriodField;
extern jfieldID ModuleApplyEnableFOCField;

/// One Java class the bindings use and the lookup of its fields.
struct JavaClassFields {
  /// JNI class name, e.g. "com/kvor/zephrin6/swerve/jni/SwerveJNI$ModuleState".
  const char* name;
  /// Looks up every field of `javaClass` that is still unset. @return false,
  /// with the JVM's NoSuchFieldError pending, when one is missing.
  bool (*lookUp)(JNIEnv* env, jclass javaClass);
};

/// The six classes, in the order they are loaded.
extern const JavaClassFields kJavaClasses[6];

}  // namespace kvor::zephrin6::jni
