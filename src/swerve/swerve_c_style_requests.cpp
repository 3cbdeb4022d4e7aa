#include <kvor/zephrin6/swerve/swerve_c_style.h>

// The request functions of the C interface: each pair builds one swerve
// request from its arguments and either installs it on the drivetrain or
// applies it once, now.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/requests/ApplyFieldSpeeds.hpp>
#include <kvor/zephrin6/swerve/requests/ApplyRobotSpeeds.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/requests/Idle.hpp>
#include <kvor/zephrin6/swerve/requests/PointWheelsAt.hpp>
#include <kvor/zephrin6/swerve/requests/RobotCentric.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveDriveBrake.hpp>

#include <algorithm>
#include <vector>

#include "swerve/internal/DrivetrainRegistry.hpp"

namespace {

namespace swerve = kvor::zephrin6::swerve;
namespace requests = kvor::zephrin6::swerve::requests;
using kvor::zephrin::StatusCode;
using swerve::impl::SwerveDrivetrainImpl;
using units::angular_velocity::radians_per_second_t;
using units::length::meter_t;
using units::velocity::meters_per_second_t;

swerve::internal::DrivetrainRegistry& Registry() { return swerve::internal::DrivetrainRegistry::Instance(); }

/// Installs the request `build(drivetrain)` returns on drivetrain `id`.
template <typename Build>
void Install(int id, Build&& build) {
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) { drivetrain.SetControl(build(drivetrain)); });
}

/// Applies the request `build(drivetrain)` returns once to drivetrain `id`,
/// with the parameters of the last sample, holding the modules against the
/// odometry thread. @return its status, or InvalidParamValue for an unknown ID.
template <typename Build>
int ApplyOnce(int id, Build&& build) {
  return Registry().With(id, int{StatusCode::InvalidParamValue}, [&](SwerveDrivetrainImpl& drivetrain) {
    auto request = build(drivetrain);
    auto lock = drivetrain.LockModules();
    return request.Apply(drivetrain.GetControlParameters(), drivetrain.GetModules()).value();
  });
}

swerve::DriveRequestType Drive(int type) { return static_cast<swerve::DriveRequestType>(type); }
swerve::SteerRequestType Steer(int type) { return static_cast<swerve::SteerRequestType>(type); }
requests::ForwardPerspectiveValue Perspective(int value) {
  return static_cast<requests::ForwardPerspectiveValue>(value);
}
swerve::Translation2d Center(double x, double y) { return swerve::Translation2d(meter_t{x}, meter_t{y}); }

/// The caller's forces (newtons), at most one per module: later entries are
/// never used, and a count larger than the array must not make us read on.
std::vector<units::force::newton_t> Forces(const double* forces, std::size_t count, std::size_t modules) {
  std::vector<units::force::newton_t> copy;
  if (forces == nullptr) return copy;
  copy.reserve(std::min(count, modules));
  for (std::size_t i = 0; i < count && i < modules; ++i) copy.emplace_back(forces[i]);
  return copy;
}

requests::SwerveDriveBrake Brake(int driveRequestType, int steerRequestType) {
  requests::SwerveDriveBrake request;
  request.DriveRequestType = Drive(driveRequestType);
  request.SteerRequestType = Steer(steerRequestType);
  return request;
}

/// The fields FieldCentric and RobotCentric share.
template <typename Request>
Request Velocities(int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, double velocityX,
                   double velocityY, double rotationalRate, double deadband, double rotationalDeadband,
                   double centerOfRotationX, double centerOfRotationY) {
  Request request;
  request.VelocityX = meters_per_second_t{velocityX};
  request.VelocityY = meters_per_second_t{velocityY};
  request.RotationalRate = radians_per_second_t{rotationalRate};
  request.Deadband = meters_per_second_t{deadband};
  request.RotationalDeadband = radians_per_second_t{rotationalDeadband};
  request.CenterOfRotation = Center(centerOfRotationX, centerOfRotationY);
  request.DriveRequestType = Drive(driveRequestType);
  request.SteerRequestType = Steer(steerRequestType);
  request.DesaturateWheelSpeeds = desaturateWheelSpeeds;
  return request;
}

requests::FieldCentric FieldCentricOf(int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds,
                                      int forwardPerspective, double velocityX, double velocityY, double rotationalRate,
                                      double deadband, double rotationalDeadband, double centerOfRotationX,
                                      double centerOfRotationY) {
  auto request = Velocities<requests::FieldCentric>(driveRequestType, steerRequestType, desaturateWheelSpeeds,
                                                    velocityX, velocityY, rotationalRate, deadband, rotationalDeadband,
                                                    centerOfRotationX, centerOfRotationY);
  request.ForwardPerspective = Perspective(forwardPerspective);
  return request;
}

requests::PointWheelsAt PointAt(int driveRequestType, int steerRequestType, double moduleDirection) {
  requests::PointWheelsAt request;
  request.ModuleDirection = swerve::Rotation2d(units::angle::radian_t{moduleDirection});
  request.DriveRequestType = Drive(driveRequestType);
  request.SteerRequestType = Steer(steerRequestType);
  return request;
}

/// The fields ApplyRobotSpeeds and ApplyFieldSpeeds share.
template <typename Request>
Request Speeds(const SwerveDrivetrainImpl& drivetrain, const double* forcesX, std::size_t countX, const double* forcesY,
               std::size_t countY, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, double vx,
               double vy, double omega, double centerOfRotationX, double centerOfRotationY) {
  const std::size_t modules = drivetrain.GetModules().size();
  Request request;
  request.Speeds = {meters_per_second_t{vx}, meters_per_second_t{vy}, radians_per_second_t{omega}};
  request.WheelForceFeedforwardsX = Forces(forcesX, countX, modules);
  request.WheelForceFeedforwardsY = Forces(forcesY, countY, modules);
  request.CenterOfRotation = Center(centerOfRotationX, centerOfRotationY);
  request.DriveRequestType = Drive(driveRequestType);
  request.SteerRequestType = Steer(steerRequestType);
  request.DesaturateWheelSpeeds = desaturateWheelSpeeds;
  return request;
}

requests::ApplyFieldSpeeds FieldSpeedsOf(const SwerveDrivetrainImpl& drivetrain, const double* forcesX,
                                         std::size_t countX, const double* forcesY, std::size_t countY,
                                         int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds,
                                         int forwardPerspective, double vx, double vy, double omega,
                                         double centerOfRotationX, double centerOfRotationY) {
  auto request = Speeds<requests::ApplyFieldSpeeds>(drivetrain, forcesX, countX, forcesY, countY, driveRequestType,
                                                    steerRequestType, desaturateWheelSpeeds, vx, vy, omega,
                                                    centerOfRotationX, centerOfRotationY);
  request.ForwardPerspective = Perspective(forwardPerspective);
  return request;
}

}  // namespace

extern "C" {

void c_kvor_zephrin6_swerve_drivetrain_set_control_idle(int id) {
  Install(id, [](const SwerveDrivetrainImpl&) { return requests::Idle(); });
}

int c_kvor_zephrin6_swerve_request_apply_idle(int id) {
  return ApplyOnce(id, [](const SwerveDrivetrainImpl&) { return requests::Idle(); });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_swerve_drive_brake(int id, int driveRequestType,
                                                                      int steerRequestType) {
  Install(id, [&](const SwerveDrivetrainImpl&) { return Brake(driveRequestType, steerRequestType); });
}

int c_kvor_zephrin6_swerve_request_apply_swerve_drive_brake(int id, int driveRequestType, int steerRequestType) {
  return ApplyOnce(id, [&](const SwerveDrivetrainImpl&) { return Brake(driveRequestType, steerRequestType); });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(int id, int driveRequestType, int steerRequestType,
                                                                 bool desaturateWheelSpeeds, int forwardPerspective,
                                                                 double velocityX, double velocityY,
                                                                 double rotationalRate, double deadband,
                                                                 double rotationalDeadband, double centerOfRotationX,
                                                                 double centerOfRotationY) {
  Install(id, [&](const SwerveDrivetrainImpl&) {
    return FieldCentricOf(driveRequestType, steerRequestType, desaturateWheelSpeeds, forwardPerspective, velocityX,
                          velocityY, rotationalRate, deadband, rotationalDeadband, centerOfRotationX,
                          centerOfRotationY);
  });
}

int c_kvor_zephrin6_swerve_request_apply_field_centric(int id, int driveRequestType, int steerRequestType,
                                                       bool desaturateWheelSpeeds, int forwardPerspective,
                                                       double velocityX, double velocityY, double rotationalRate,
                                                       double deadband, double rotationalDeadband,
                                                       double centerOfRotationX, double centerOfRotationY) {
  return ApplyOnce(id, [&](const SwerveDrivetrainImpl&) {
    return FieldCentricOf(driveRequestType, steerRequestType, desaturateWheelSpeeds, forwardPerspective, velocityX,
                          velocityY, rotationalRate, deadband, rotationalDeadband, centerOfRotationX,
                          centerOfRotationY);
  });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(int id, int driveRequestType, int steerRequestType,
                                                                 bool desaturateWheelSpeeds, double velocityX,
                                                                 double velocityY, double rotationalRate,
                                                                 double deadband, double rotationalDeadband,
                                                                 double centerOfRotationX, double centerOfRotationY) {
  Install(id, [&](const SwerveDrivetrainImpl&) {
    return Velocities<requests::RobotCentric>(driveRequestType, steerRequestType, desaturateWheelSpeeds, velocityX,
                                              velocityY, rotationalRate, deadband, rotationalDeadband,
                                              centerOfRotationX, centerOfRotationY);
  });
}

int c_kvor_zephrin6_swerve_request_apply_robot_centric(int id, int driveRequestType, int steerRequestType,
                                                       bool desaturateWheelSpeeds, double velocityX, double velocityY,
                                                       double rotationalRate, double deadband,
                                                       double rotationalDeadband, double centerOfRotationX,
                                                       double centerOfRotationY) {
  return ApplyOnce(id, [&](const SwerveDrivetrainImpl&) {
    return Velocities<requests::RobotCentric>(driveRequestType, steerRequestType, desaturateWheelSpeeds, velocityX,
                                              velocityY, rotationalRate, deadband, rotationalDeadband,
                                              centerOfRotationX, centerOfRotationY);
  });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_point_wheels_at(int id, int driveRequestType, int steerRequestType,
                                                                   double moduleDirection) {
  Install(id,
          [&](const SwerveDrivetrainImpl&) { return PointAt(driveRequestType, steerRequestType, moduleDirection); });
}

int c_kvor_zephrin6_swerve_request_apply_point_wheels_at(int id, int driveRequestType, int steerRequestType,
                                                         double moduleDirection) {
  return ApplyOnce(
      id, [&](const SwerveDrivetrainImpl&) { return PointAt(driveRequestType, steerRequestType, moduleDirection); });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_apply_robot_speeds(
    int id, const double* wheelForceFeedforwardsX, size_t countX, const double* wheelForceFeedforwardsY, size_t countY,
    int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, double vx, double vy, double omega,
    double centerOfRotationX, double centerOfRotationY) {
  Install(id, [&](const SwerveDrivetrainImpl& drivetrain) {
    return Speeds<requests::ApplyRobotSpeeds>(drivetrain, wheelForceFeedforwardsX, countX, wheelForceFeedforwardsY,
                                              countY, driveRequestType, steerRequestType, desaturateWheelSpeeds, vx, vy,
                                              omega, centerOfRotationX, centerOfRotationY);
  });
}

int c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(int id, const double* wheelForceFeedforwardsX,
                                                            size_t countX, const double* wheelForceFeedforwardsY,
                                                            size_t countY, int driveRequestType, int steerRequestType,
                                                            bool desaturateWheelSpeeds, double vx, double vy,
                                                            double omega, double centerOfRotationX,
                                                            double centerOfRotationY) {
  return ApplyOnce(id, [&](const SwerveDrivetrainImpl& drivetrain) {
    return Speeds<requests::ApplyRobotSpeeds>(drivetrain, wheelForceFeedforwardsX, countX, wheelForceFeedforwardsY,
                                              countY, driveRequestType, steerRequestType, desaturateWheelSpeeds, vx, vy,
                                              omega, centerOfRotationX, centerOfRotationY);
  });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_apply_field_speeds(
    int id, const double* wheelForceFeedforwardsX, size_t countX, const double* wheelForceFeedforwardsY, size_t countY,
    int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, int forwardPerspective, double vx,
    double vy, double omega, double centerOfRotationX, double centerOfRotationY) {
  Install(id, [&](const SwerveDrivetrainImpl& drivetrain) {
    return FieldSpeedsOf(drivetrain, wheelForceFeedforwardsX, countX, wheelForceFeedforwardsY, countY, driveRequestType,
                         steerRequestType, desaturateWheelSpeeds, forwardPerspective, vx, vy, omega, centerOfRotationX,
                         centerOfRotationY);
  });
}

int c_kvor_zephrin6_swerve_request_apply_apply_field_speeds(int id, const double* wheelForceFeedforwardsX,
                                                            size_t countX, const double* wheelForceFeedforwardsY,
                                                            size_t countY, int driveRequestType, int steerRequestType,
                                                            bool desaturateWheelSpeeds, int forwardPerspective,
                                                            double vx, double vy, double omega,
                                                            double centerOfRotationX, double centerOfRotationY) {
  return ApplyOnce(id, [&](const SwerveDrivetrainImpl& drivetrain) {
    return FieldSpeedsOf(drivetrain, wheelForceFeedforwardsX, countX, wheelForceFeedforwardsY, countY, driveRequestType,
                         steerRequestType, desaturateWheelSpeeds, forwardPerspective, vx, vy, omega, centerOfRotationX,
                         centerOfRotationY);
  });
}

}  // extern "C"
