#include <kvor/zephrin6/swerve/swerve_c_style.h>

// The request functions of the C interface: each pair builds one swerve
// request from its arguments and either installs it on the drivetrain or
// applies it once, now. Arguments are checked first (request types 0 or 1,
// every number finite, the wheel forces the request uses finite); a refused
// call is reported and changes nothing: the installed request stays, and an
// apply returns InvalidParamValue.

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
#include <optional>
#include <vector>

#include "cinterface/internal/ArgumentCheck.hpp"
#include "cinterface/internal/DrivetrainRegistry.hpp"

namespace {

namespace swerve = kvor::zephrin6::swerve;
namespace requests = kvor::zephrin6::swerve::requests;
namespace cinterface = kvor::zephrin6::cinterface;
using kvor::zephrin::StatusCode;
using cinterface::ArgumentCheck;
using swerve::impl::SwerveDrivetrainImpl;
using units::angular_velocity::radians_per_second_t;
using units::length::meter_t;
using units::velocity::meters_per_second_t;

cinterface::DrivetrainRegistry& Registry() { return cinterface::DrivetrainRegistry::Instance(); }

/// Installs the request `build(drivetrain)` returns on drivetrain `id`,
/// unless `check` refused an argument or `build` refuses (returns nothing):
/// then the installed request stays.
template <typename Build>
void Install(const ArgumentCheck& check, int id, Build&& build) {
  if (!check.Passed()) return;
  Registry().With(id, [&](SwerveDrivetrainImpl& drivetrain) {
    if (auto request = build(drivetrain)) drivetrain.SetControl(*request);
  });
}

/// Applies the request `build(drivetrain)` returns once to drivetrain `id`,
/// with the parameters of the last sample, holding the modules against the
/// odometry thread. @return its status, or InvalidParamValue for an unknown
/// ID or a refused argument.
template <typename Build>
int ApplyOnce(const ArgumentCheck& check, int id, Build&& build) {
  if (!check.Passed()) return int{StatusCode::InvalidParamValue};
  return Registry().With(id, int{StatusCode::InvalidParamValue}, [&](SwerveDrivetrainImpl& drivetrain) {
    auto request = build(drivetrain);
    if (!request) return int{StatusCode::InvalidParamValue};
    SwerveDrivetrainImpl::ModuleLock lock(drivetrain);
    return request->Apply(drivetrain.GetControlParameters(), drivetrain.GetModules()).value();
  });
}

swerve::DriveRequestType Drive(int type) { return static_cast<swerve::DriveRequestType>(type); }
swerve::SteerRequestType Steer(int type) { return static_cast<swerve::SteerRequestType>(type); }
requests::ForwardPerspectiveValue Perspective(int value) {
  return static_cast<requests::ForwardPerspectiveValue>(value);
}
swerve::Translation2d Center(double x, double y) { return swerve::Translation2d(meter_t{x}, meter_t{y}); }

// The argument checks of each request kind, shared by its pair of functions.

ArgumentCheck& CheckTypes(ArgumentCheck& check, int driveRequestType, int steerRequestType) {
  return check.Binary("driveRequestType", driveRequestType).Binary("steerRequestType", steerRequestType);
}

ArgumentCheck& CheckVelocities(ArgumentCheck& check, int driveRequestType, int steerRequestType, double velocityX,
                               double velocityY, double rotationalRate, double deadband, double rotationalDeadband,
                               double centerOfRotationX, double centerOfRotationY) {
  return CheckTypes(check, driveRequestType, steerRequestType)
      .Finite("velocityX", velocityX)
      .Finite("velocityY", velocityY)
      .Finite("rotationalRate", rotationalRate)
      .Finite("deadband", deadband)
      .Finite("rotationalDeadband", rotationalDeadband)
      .Finite("centerOfRotationX", centerOfRotationX)
      .Finite("centerOfRotationY", centerOfRotationY);
}

ArgumentCheck& CheckSpeeds(ArgumentCheck& check, int driveRequestType, int steerRequestType, double vx, double vy,
                           double omega, double centerOfRotationX, double centerOfRotationY) {
  return CheckTypes(check, driveRequestType, steerRequestType)
      .Finite("vx", vx)
      .Finite("vy", vy)
      .Finite("omega", omega)
      .Finite("centerOfRotationX", centerOfRotationX)
      .Finite("centerOfRotationY", centerOfRotationY);
}

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

/// The fields ApplyRobotSpeeds and ApplyFieldSpeeds share; nothing (reported
/// as a refused call of `function`) when a force the drivetrain would use is
/// not finite.
template <typename Request>
std::optional<Request> Speeds(const char* function, const SwerveDrivetrainImpl& drivetrain, const double* forcesX,
                              std::size_t countX, const double* forcesY, std::size_t countY, int driveRequestType,
                              int steerRequestType, bool desaturateWheelSpeeds, double vx, double vy, double omega,
                              double centerOfRotationX, double centerOfRotationY) {
  const std::size_t modules = drivetrain.GetModules().size();
  ArgumentCheck forces(function);
  forces.Finite("wheelForceFeedforwardsX", forcesX, std::min(countX, modules))
      .Finite("wheelForceFeedforwardsY", forcesY, std::min(countY, modules));
  if (!forces.Passed()) return std::nullopt;
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

std::optional<requests::ApplyFieldSpeeds> FieldSpeedsOf(const char* function, const SwerveDrivetrainImpl& drivetrain,
                                                        const double* forcesX, std::size_t countX,
                                                        const double* forcesY, std::size_t countY,
                                                        int driveRequestType, int steerRequestType,
                                                        bool desaturateWheelSpeeds, int forwardPerspective, double vx,
                                                        double vy, double omega, double centerOfRotationX,
                                                        double centerOfRotationY) {
  auto request = Speeds<requests::ApplyFieldSpeeds>(function, drivetrain, forcesX, countX, forcesY, countY,
                                                    driveRequestType, steerRequestType, desaturateWheelSpeeds, vx, vy,
                                                    omega, centerOfRotationX, centerOfRotationY);
  if (request) request->ForwardPerspective = Perspective(forwardPerspective);
  return request;
}

/// `request` as a builder's result for requests that have no arguments of
/// their own to refuse once the scalars passed.
template <typename Request>
std::optional<Request> Built(Request request) {
  return request;
}

}  // namespace

extern "C" {

void c_kvor_zephrin6_swerve_drivetrain_set_control_idle(int id) {
  ArgumentCheck check(__func__);
  Install(check, id, [](const SwerveDrivetrainImpl&) { return Built(requests::Idle()); });
}

int c_kvor_zephrin6_swerve_request_apply_idle(int id) {
  ArgumentCheck check(__func__);
  return ApplyOnce(check, id, [](const SwerveDrivetrainImpl&) { return Built(requests::Idle()); });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_swerve_drive_brake(int id, int driveRequestType,
                                                                      int steerRequestType) {
  ArgumentCheck check(__func__);
  CheckTypes(check, driveRequestType, steerRequestType);
  Install(check, id, [&](const SwerveDrivetrainImpl&) { return Built(Brake(driveRequestType, steerRequestType)); });
}

int c_kvor_zephrin6_swerve_request_apply_swerve_drive_brake(int id, int driveRequestType, int steerRequestType) {
  ArgumentCheck check(__func__);
  CheckTypes(check, driveRequestType, steerRequestType);
  return ApplyOnce(check, id,
                   [&](const SwerveDrivetrainImpl&) { return Built(Brake(driveRequestType, steerRequestType)); });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(int id, int driveRequestType, int steerRequestType,
                                                                 bool desaturateWheelSpeeds, int forwardPerspective,
                                                                 double velocityX, double velocityY,
                                                                 double rotationalRate, double deadband,
                                                                 double rotationalDeadband, double centerOfRotationX,
                                                                 double centerOfRotationY) {
  ArgumentCheck check(__func__);
  CheckVelocities(check, driveRequestType, steerRequestType, velocityX, velocityY, rotationalRate, deadband,
                  rotationalDeadband, centerOfRotationX, centerOfRotationY);
  Install(check, id, [&](const SwerveDrivetrainImpl&) {
    return Built(FieldCentricOf(driveRequestType, steerRequestType, desaturateWheelSpeeds, forwardPerspective,
                                velocityX, velocityY, rotationalRate, deadband, rotationalDeadband, centerOfRotationX,
                                centerOfRotationY));
  });
}

int c_kvor_zephrin6_swerve_request_apply_field_centric(int id, int driveRequestType, int steerRequestType,
                                                       bool desaturateWheelSpeeds, int forwardPerspective,
                                                       double velocityX, double velocityY, double rotationalRate,
                                                       double deadband, double rotationalDeadband,
                                                       double centerOfRotationX, double centerOfRotationY) {
  ArgumentCheck check(__func__);
  CheckVelocities(check, driveRequestType, steerRequestType, velocityX, velocityY, rotationalRate, deadband,
                  rotationalDeadband, centerOfRotationX, centerOfRotationY);
  return ApplyOnce(check, id, [&](const SwerveDrivetrainImpl&) {
    return Built(FieldCentricOf(driveRequestType, steerRequestType, desaturateWheelSpeeds, forwardPerspective,
                                velocityX, velocityY, rotationalRate, deadband, rotationalDeadband, centerOfRotationX,
                                centerOfRotationY));
  });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(int id, int driveRequestType, int steerRequestType,
                                                                 bool desaturateWheelSpeeds, double velocityX,
                                                                 double velocityY, double rotationalRate,
                                                                 double deadband, double rotationalDeadband,
                                                                 double centerOfRotationX, double centerOfRotationY) {
  ArgumentCheck check(__func__);
  CheckVelocities(check, driveRequestType, steerRequestType, velocityX, velocityY, rotationalRate, deadband,
                  rotationalDeadband, centerOfRotationX, centerOfRotationY);
  Install(check, id, [&](const SwerveDrivetrainImpl&) {
    return Built(Velocities<requests::RobotCentric>(driveRequestType, steerRequestType, desaturateWheelSpeeds,
                                                    velocityX, velocityY, rotationalRate, deadband, rotationalDeadband,
                                                    centerOfRotationX, centerOfRotationY));
  });
}

int c_kvor_zephrin6_swerve_request_apply_robot_centric(int id, int driveRequestType, int steerRequestType,
                                                       bool desaturateWheelSpeeds, double velocityX, double velocityY,
                                                       double rotationalRate, double deadband,
                                                       double rotationalDeadband, double centerOfRotationX,
                                                       double centerOfRotationY) {
  ArgumentCheck check(__func__);
  CheckVelocities(check, driveRequestType, steerRequestType, velocityX, velocityY, rotationalRate, deadband,
                  rotationalDeadband, centerOfRotationX, centerOfRotationY);
  return ApplyOnce(check, id, [&](const SwerveDrivetrainImpl&) {
    return Built(Velocities<requests::RobotCentric>(driveRequestType, steerRequestType, desaturateWheelSpeeds,
                                                    velocityX, velocityY, rotationalRate, deadband, rotationalDeadband,
                                                    centerOfRotationX, centerOfRotationY));
  });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_point_wheels_at(int id, int driveRequestType, int steerRequestType,
                                                                   double moduleDirection) {
  ArgumentCheck check(__func__);
  CheckTypes(check, driveRequestType, steerRequestType).Finite("moduleDirection", moduleDirection);
  Install(check, id, [&](const SwerveDrivetrainImpl&) {
    return Built(PointAt(driveRequestType, steerRequestType, moduleDirection));
  });
}

int c_kvor_zephrin6_swerve_request_apply_point_wheels_at(int id, int driveRequestType, int steerRequestType,
                                                         double moduleDirection) {
  ArgumentCheck check(__func__);
  CheckTypes(check, driveRequestType, steerRequestType).Finite("moduleDirection", moduleDirection);
  return ApplyOnce(check, id, [&](const SwerveDrivetrainImpl&) {
    return Built(PointAt(driveRequestType, steerRequestType, moduleDirection));
  });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_apply_robot_speeds(
    int id, const double* wheelForceFeedforwardsX, size_t countX, const double* wheelForceFeedforwardsY, size_t countY,
    int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, double vx, double vy, double omega,
    double centerOfRotationX, double centerOfRotationY) {
  const char* const function = __func__;  // the lambda below has a name of its own
  ArgumentCheck check(function);
  CheckSpeeds(check, driveRequestType, steerRequestType, vx, vy, omega, centerOfRotationX, centerOfRotationY);
  Install(check, id, [&](const SwerveDrivetrainImpl& drivetrain) {
    return Speeds<requests::ApplyRobotSpeeds>(function, drivetrain, wheelForceFeedforwardsX, countX,
                                              wheelForceFeedforwardsY, countY, driveRequestType, steerRequestType,
                                              desaturateWheelSpeeds, vx, vy, omega, centerOfRotationX,
                                              centerOfRotationY);
  });
}

int c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(int id, const double* wheelForceFeedforwardsX,
                                                            size_t countX, const double* wheelForceFeedforwardsY,
                                                            size_t countY, int driveRequestType, int steerRequestType,
                                                            bool desaturateWheelSpeeds, double vx, double vy,
                                                            double omega, double centerOfRotationX,
                                                            double centerOfRotationY) {
  const char* const function = __func__;  // the lambda below has a name of its own
  ArgumentCheck check(function);
  CheckSpeeds(check, driveRequestType, steerRequestType, vx, vy, omega, centerOfRotationX, centerOfRotationY);
  return ApplyOnce(check, id, [&](const SwerveDrivetrainImpl& drivetrain) {
    return Speeds<requests::ApplyRobotSpeeds>(function, drivetrain, wheelForceFeedforwardsX, countX,
                                              wheelForceFeedforwardsY, countY, driveRequestType, steerRequestType,
                                              desaturateWheelSpeeds, vx, vy, omega, centerOfRotationX,
                                              centerOfRotationY);
  });
}

void c_kvor_zephrin6_swerve_drivetrain_set_control_apply_field_speeds(
    int id, const double* wheelForceFeedforwardsX, size_t countX, const double* wheelForceFeedforwardsY, size_t countY,
    int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, int forwardPerspective, double vx,
    double vy, double omega, double centerOfRotationX, double centerOfRotationY) {
  const char* const function = __func__;  // the lambda below has a name of its own
  ArgumentCheck check(function);
  CheckSpeeds(check, driveRequestType, steerRequestType, vx, vy, omega, centerOfRotationX, centerOfRotationY);
  Install(check, id, [&](const SwerveDrivetrainImpl& drivetrain) {
    return FieldSpeedsOf(function, drivetrain, wheelForceFeedforwardsX, countX, wheelForceFeedforwardsY, countY,
                         driveRequestType, steerRequestType, desaturateWheelSpeeds, forwardPerspective, vx, vy, omega,
                         centerOfRotationX, centerOfRotationY);
  });
}

int c_kvor_zephrin6_swerve_request_apply_apply_field_speeds(int id, const double* wheelForceFeedforwardsX,
                                                            size_t countX, const double* wheelForceFeedforwardsY,
                                                            size_t countY, int driveRequestType, int steerRequestType,
                                                            bool desaturateWheelSpeeds, int forwardPerspective,
                                                            double vx, double vy, double omega,
                                                            double centerOfRotationX, double centerOfRotationY) {
  const char* const function = __func__;  // the lambda below has a name of its own
  ArgumentCheck check(function);
  CheckSpeeds(check, driveRequestType, steerRequestType, vx, vy, omega, centerOfRotationX, centerOfRotationY);
  return ApplyOnce(check, id, [&](const SwerveDrivetrainImpl& drivetrain) {
    return FieldSpeedsOf(function, drivetrain, wheelForceFeedforwardsX, countX, wheelForceFeedforwardsY, countY,
                         driveRequestType, steerRequestType, desaturateWheelSpeeds, forwardPerspective, vx, vy, omega,
                         centerOfRotationX, centerOfRotationY);
  });
}

}  // extern "C"
