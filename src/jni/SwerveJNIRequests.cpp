// The request native methods of com.kvor.zephrin6.swerve.jni.SwerveJNI: one
// pair per swerve request, SetControl_<Name> installing it and
// Request_Apply_<Name> applying it once, each calling the C interface's
// function of the same name with the Java arguments in the same order. The
// wheel-force arrays are read in place for the call and released unchanged.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <jni.h>

#include "jni/internal/DoubleElements.hpp"

namespace {

using kvor::zephrin6::jni::DoubleElements;

bool Flag(jboolean value) { return value != JNI_FALSE; }

}  // namespace

extern "C" {

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetControl_1Idle(JNIEnv*, jobject,
                                                                                                      jint id) {
  c_kvor_zephrin6_swerve_drivetrain_set_control_idle(id);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Request_1Apply_1Idle(JNIEnv*,
                                                                                                          jobject,
                                                                                                          jint id) {
  return c_kvor_zephrin6_swerve_request_apply_idle(id);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetControl_1SwerveDriveBrake(
    JNIEnv*, jobject, jint id, jint driveRequestType, jint steerRequestType) {
  c_kvor_zephrin6_swerve_drivetrain_set_control_swerve_drive_brake(id, driveRequestType, steerRequestType);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Request_1Apply_1SwerveDriveBrake(
    JNIEnv*, jobject, jint id, jint driveRequestType, jint steerRequestType) {
  return c_kvor_zephrin6_swerve_request_apply_swerve_drive_brake(id, driveRequestType, steerRequestType);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetControl_1FieldCentric(
    JNIEnv*, jobject, jint id, jint driveRequestType, jint steerRequestType, jboolean desaturateWheelSpeeds,
    jint forwardPerspective, jdouble velocityX, jdouble velocityY, jdouble rotationalRate, jdouble deadband,
    jdouble rotationalDeadband, jdouble centerOfRotationX, jdouble centerOfRotationY) {
  c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(
      id, driveRequestType, steerRequestType, Flag(desaturateWheelSpeeds), forwardPerspective, velocityX, velocityY,
      rotationalRate, deadband, rotationalDeadband, centerOfRotationX, centerOfRotationY);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Request_1Apply_1FieldCentric(
    JNIEnv*, jobject, jint id, jint driveRequestType, jint steerRequestType, jboolean desaturateWheelSpeeds,
    jint forwardPerspective, jdouble velocityX, jdouble velocityY, jdouble rotationalRate, jdouble deadband,
    jdouble rotationalDeadband, jdouble centerOfRotationX, jdouble centerOfRotationY) {
  return c_kvor_zephrin6_swerve_request_apply_field_centric(
      id, driveRequestType, steerRequestType, Flag(desaturateWheelSpeeds), forwardPerspective, velocityX, velocityY,
      rotationalRate, deadband, rotationalDeadband, centerOfRotationX, centerOfRotationY);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetControl_1RobotCentric(
    JNIEnv*, jobject, jint id, jint driveRequestType, jint steerRequestType, jboolean desaturateWheelSpeeds,
    jdouble velocityX, jdouble velocityY, jdouble rotationalRate, jdouble deadband, jdouble rotationalDeadband,
    jdouble centerOfRotationX, jdouble centerOfRotationY) {
  c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(
      id, driveRequestType, steerRequestType, Flag(desaturateWheelSpeeds), velocityX, velocityY, rotationalRate,
      deadband, rotationalDeadband, centerOfRotationX, centerOfRotationY);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Request_1Apply_1RobotCentric(
    JNIEnv*, jobject, jint id, jint driveRequestType, jint steerRequestType, jboolean desaturateWheelSpeeds,
    jdouble velocityX, jdouble velocityY, jdouble rotationalRate, jdouble deadband, jdouble rotationalDeadband,
    jdouble centerOfRotationX, jdouble centerOfRotationY) {
  return c_kvor_zephrin6_swerve_request_apply_robot_centric(
      id, driveRequestType, steerRequestType, Flag(desaturateWheelSpeeds), velocityX, velocityY, rotationalRate,
      deadband, rotationalDeadband, centerOfRotationX, centerOfRotationY);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetControl_1PointWheelsAt(
    JNIEnv*, jobject, jint id, jint driveRequestType, jint steerRequestType, jdouble moduleDirection) {
  c_kvor_zephrin6_swerve_drivetrain_set_control_point_wheels_at(id, driveRequestType, steerRequestType,
                                                                moduleDirection);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Request_1Apply_1PointWheelsAt(
    JNIEnv*, jobject, jint id, jint driveRequestType, jint steerRequestType, jdouble moduleDirection) {
  return c_kvor_zephrin6_swerve_request_apply_point_wheels_at(id, driveRequestType, steerRequestType, moduleDirection);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetControl_1ApplyRobotSpeeds(
    JNIEnv* env, jobject, jint id, jdoubleArray wheelForceFeedforwardsX, jdoubleArray wheelForceFeedforwardsY,
    jint driveRequestType, jint steerRequestType, jboolean desaturateWheelSpeeds, jdouble vx, jdouble vy, jdouble omega,
    jdouble centerOfRotationX, jdouble centerOfRotationY) {
  const DoubleElements forcesX(env, wheelForceFeedforwardsX);
  const DoubleElements forcesY(env, wheelForceFeedforwardsY);
  c_kvor_zephrin6_swerve_drivetrain_set_control_apply_robot_speeds(
      id, forcesX.data(), forcesX.size(), forcesY.data(), forcesY.size(), driveRequestType, steerRequestType,
      Flag(desaturateWheelSpeeds), vx, vy, omega, centerOfRotationX, centerOfRotationY);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Request_1Apply_1ApplyRobotSpeeds(
    JNIEnv* env, jobject, jint id, jdoubleArray wheelForceFeedforwardsX, jdoubleArray wheelForceFeedforwardsY,
    jint driveRequestType, jint steerRequestType, jboolean desaturateWheelSpeeds, jdouble vx, jdouble vy, jdouble omega,
    jdouble centerOfRotationX, jdouble centerOfRotationY) {
  const DoubleElements forcesX(env, wheelForceFeedforwardsX);
  const DoubleElements forcesY(env, wheelForceFeedforwardsY);
  return c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(
      id, forcesX.data(), forcesX.size(), forcesY.data(), forcesY.size(), driveRequestType, steerRequestType,
      Flag(desaturateWheelSpeeds), vx, vy, omega, centerOfRotationX, centerOfRotationY);
}

ZEPHRIN6_API JNIEXPORT void JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1SetControl_1ApplyFieldSpeeds(
    JNIEnv* env, jobject, jint id, jdoubleArray wheelForceFeedforwardsX, jdoubleArray wheelForceFeedforwardsY,
    jint driveRequestType, jint steerRequestType, jboolean desaturateWheelSpeeds, jint forwardPerspective, jdouble vx,
    jdouble vy, jdouble omega, jdouble centerOfRotationX, jdouble centerOfRotationY) {
  const DoubleElements forcesX(env, wheelForceFeedforwardsX);
  const DoubleElements forcesY(env, wheelForceFeedforwardsY);
  c_kvor_zephrin6_swerve_drivetrain_set_control_apply_field_speeds(
      id, forcesX.data(), forcesX.size(), forcesY.data(), forcesY.size(), driveRequestType, steerRequestType,
      Flag(desaturateWheelSpeeds), forwardPerspective, vx, vy, omega, centerOfRotationX, centerOfRotationY);
}

ZEPHRIN6_API JNIEXPORT jint JNICALL Java_com_kvor_zephrin6_swerve_jni_SwerveJNI_JNI_1Request_1Apply_1ApplyFieldSpeeds(
    JNIEnv* env, jobject, jint id, jdoubleArray wheelForceFeedforwardsX, jdoubleArray wheelForceFeedforwardsY,
    jint driveRequestType, jint steerRequestType, jboolean desaturateWheelSpeeds, jint forwardPerspective, jdouble vx,
    jdouble vy, jdouble omega, jdouble centerOfRotationX, jdouble centerOfRotationY) {
  const DoubleElements forcesX(env, wheelForceFeedforwardsX);
  const DoubleElements forcesY(env, wheelForceFeedforwardsY);
  return c_kvor_zephrin6_swerve_request_apply_apply_field_speeds(
      id, forcesX.data(), forcesX.size(), forcesY.data(), forcesY.size(), driveRequestType, steerRequestType,
      Flag(desaturateWheelSpeeds), forwardPerspective, vx, vy, omega, centerOfRotationX, centerOfRotationY);
}

}  // extern "C"
