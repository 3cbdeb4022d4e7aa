// zephrin6.swerve.requests: the seven swerve requests, and the enumerations
// of zephrin6.swerve that say how modules are built and commanded. A request
// takes its fields as keyword arguments (FieldCentric(velocity_x=1.0)), has
// them as attributes, and has a with_... method per field that sets it and
// returns the request itself, so that a loop can change one request object
// every cycle and hand it to SwerveDrivetrain.set_control. Numbers that are
// not finite are refused with ValueError as they are set.

#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/requests/ApplyFieldSpeeds.hpp>
#include <kvor/zephrin6/swerve/requests/ApplyRobotSpeeds.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/requests/Idle.hpp>
#include <kvor/zephrin6/swerve/requests/PointWheelsAt.hpp>
#include <kvor/zephrin6/swerve/requests/RobotCentric.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveDriveBrake.hpp>

#include "Bindings.hpp"
#include "Fields.hpp"

namespace zephrin6_python {

namespace {

namespace swerve = kvor::zephrin6::swerve;
namespace requests = kvor::zephrin6::swerve::requests;

template <class R>
void DefVelocityFields(py::class_<R>& cls) {
  DefField(cls, "velocity_x", &R::VelocityX, "Velocity forward, m/s.");
  DefField(cls, "velocity_y", &R::VelocityY, "Velocity to the left of forward, m/s.");
  DefField(cls, "rotational_rate", &R::RotationalRate, "Turning rate, rad/s, counter-clockwise positive.");
  DefField(cls, "deadband", &R::Deadband, "Translations slower than this (m/s) count as none.");
  DefField(cls, "rotational_deadband", &R::RotationalDeadband, "Turning rates slower than this (rad/s) count as none.");
}

template <class R>
void DefSpeedsFields(py::class_<R>& cls) {
  DefField(cls, "speeds", &R::Speeds, "Chassis speeds to drive at (m/s, rad/s).");
  DefField(cls, "wheel_force_feedforwards_x", &R::WheelForceFeedforwardsX,
           "Force each wheel pushes with along x, newtons, one per module in module order.");
  DefField(cls, "wheel_force_feedforwards_y", &R::WheelForceFeedforwardsY,
           "Force each wheel pushes with along y, newtons, one per module in module order.");
}

template <class R>
void DefDriveAndSteer(py::class_<R>& cls) {
  DefField(cls, "drive_request_type", &R::DriveRequestType, "How the wheels are driven.");
  DefField(cls, "steer_request_type", &R::SteerRequestType, "How the azimuths are turned.");
}

template <class R>
void DefModuleCommandFields(py::class_<R>& cls) {
  DefField(cls, "center_of_rotation", &R::CenterOfRotation, "Point the robot turns about, metres, robot frame.");
  DefDriveAndSteer(cls);
  DefField(cls, "desaturate_wheel_speeds", &R::DesaturateWheelSpeeds,
           "Scale all wheel speeds down together when one would exceed the top speed.");
}

template <class R>
py::class_<R> Request(py::module_& m, const char* name, const char* doc) {
  py::class_<R> cls(m, name, doc);
  DefKeywordInitAndRepr(cls);
  return cls;
}

}  // namespace

void BindRequests(py::module_& swerve, py::module_& m) {
  py::enum_<swerve::MotorControllerType>(swerve, "MotorControllerType", "Which motor controller a motor is.")
      .value("RapaxQ", swerve::MotorControllerType::RapaxQ)
      .value("RapaxW", swerve::MotorControllerType::RapaxW);
  py::enum_<swerve::ClosedLoopOutputType>(swerve, "ClosedLoopOutputType", "What a motor's closed loop outputs.")
      .value("Voltage", swerve::ClosedLoopOutputType::Voltage)
      .value("TorqueCurrentFOC", swerve::ClosedLoopOutputType::TorqueCurrentFOC);
  py::enum_<swerve::DriveRequestType>(swerve, "DriveRequestType", "How a module drives its wheel.")
      .value("OpenLoopVoltage", swerve::DriveRequestType::OpenLoopVoltage)
      .value("Velocity", swerve::DriveRequestType::Velocity);
  py::enum_<swerve::SteerRequestType>(swerve, "SteerRequestType", "How a module turns its azimuth.")
      .value("KinetraExpo", swerve::SteerRequestType::KinetraExpo)
      .value("Position", swerve::SteerRequestType::Position);
  py::enum_<requests::ForwardPerspectiveValue>(m, "ForwardPerspectiveValue",
                                               "Which way is forward for a field-relative request.")
      .value("OperatorPerspective", requests::ForwardPerspectiveValue::OperatorPerspective)
      .value("FieldOrigin", requests::ForwardPerspectiveValue::FieldOrigin);

  Request<requests::Idle>(m, "Idle", "Commands nothing: the modules keep what their motors last received.");

  auto brake = Request<requests::SwerveDriveBrake>(
      m, "SwerveDriveBrake", "Stops and points every wheel along the line from the robot centre, forming an X.");
  DefDriveAndSteer(brake);

  auto field = Request<requests::FieldCentric>(m, "FieldCentric", R"doc(
Drives with velocities in the field's frame: velocity_x always moves the
robot away from the driver (or along the field's x axis, see
forward_perspective) whichever way it faces, while it turns at
rotational_rate.)doc");
  DefVelocityFields(field);
  DefModuleCommandFields(field);
  DefField(field, "forward_perspective", &requests::FieldCentric::ForwardPerspective, "Which way is forward.");

  auto robot = Request<requests::RobotCentric>(m, "RobotCentric", "Drives with velocities in the robot's own frame.");
  DefVelocityFields(robot);
  DefModuleCommandFields(robot);

  auto point = Request<requests::PointWheelsAt>(m, "PointWheelsAt", "Stops and turns every wheel to one azimuth.");
  DefField(point, "module_direction", &requests::PointWheelsAt::ModuleDirection,
           "Azimuth of every wheel relative to the robot's forward direction.");
  DefDriveAndSteer(point);

  auto robotSpeeds = Request<requests::ApplyRobotSpeeds>(
      m, "ApplyRobotSpeeds", "Drives at robot-relative chassis speeds, with optional per-wheel force feed-forwards.");
  DefSpeedsFields(robotSpeeds);
  DefModuleCommandFields(robotSpeeds);

  auto fieldSpeeds = Request<requests::ApplyFieldSpeeds>(
      m, "ApplyFieldSpeeds", "Drives at field-relative chassis speeds, with optional per-wheel force feed-forwards.");
  DefSpeedsFields(fieldSpeeds);
  DefModuleCommandFields(fieldSpeeds);
  DefField(fieldSpeeds, "forward_perspective", &requests::ApplyFieldSpeeds::ForwardPerspective,
           "Which way is forward.");
}

}  // namespace zephrin6_python
