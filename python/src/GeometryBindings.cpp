// zephrin6.swerve's plane geometry (rotations, translations, poses,
// transforms, twists, chassis speeds, module states and positions), the
// swerve kinematics, the pose estimator and the PID controller. Every one is
// a value or an object owned by its Python caller; nothing here starts a
// thread or touches a device, so the GIL stays held throughout.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/Transform2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/Twist2d.hpp>
#include <kvor/zephrin6/swerve/ZephrinPIDController.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivePoseEstimator.hpp>

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <array>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Bindings.hpp"
#include "Repr.hpp"

namespace zephrin6_python {

namespace {

namespace swerve = kvor::zephrin6::swerve;
using swerve::ChassisSpeeds;
using swerve::Pose2d;
using swerve::Rotation2d;
using swerve::SwerveModulePosition;
using swerve::SwerveModuleState;
using swerve::Transform2d;
using swerve::Translation2d;
using swerve::Twist2d;
using swerve::ZephrinPIDController;
using swerve::impl::SwerveDriveKinematics;
using swerve::impl::SwerveDrivePoseEstimator;
using units::angle::radian_t;
using units::length::meter_t;

using StdDevs = std::array<double, 3>;
constexpr StdDevs kDefaultStateStdDevs{0.1, 0.1, 0.1};
constexpr StdDevs kDefaultVisionStdDevs{0.9, 0.9, 0.9};

Rotation2d FromRadians(double radians) { return Rotation2d(radian_t{radians}); }

/// Refuses a list shorter than the kinematics' module count, which the C++
/// side leaves to its callers.
template <class T>
const std::vector<T>& OnePerModule(const SwerveDriveKinematics& kinematics, const std::vector<T>& entries,
                                   const char* what) {
  if (entries.size() < kinematics.NumModules()) {
    throw py::value_error(std::string(what) + " holds " + std::to_string(entries.size()) + " entries for " +
                          std::to_string(kinematics.NumModules()) + " modules");
  }
  return entries;
}

void BindValues(py::module_& m) {
  py::class_<Rotation2d> rotation(m, "Rotation2d", R"doc(
A heading in the plane: an angle in radians with its cosine and sine. A
rotation built from an angle keeps it unwrapped (7 rad stays 7 rad); one built
from a vector or by adding rotations has its angle in (-pi, pi]. Immutable.)doc");
  rotation.def(py::init(&FromRadians), py::arg("radians") = 0.0, "The rotation by an angle in radians.")
      .def(py::init<double, double>(), py::arg("x"), py::arg("y"),
           "The direction of the vector (x, y); a vector shorter than 1e-6 gives the zero rotation.")
      .def_static(
          "from_degrees", [](double degrees) { return Rotation2d(units::angle::degree_t{degrees}); },
          py::arg("degrees"), "The rotation by an angle in degrees.")
      .def_static(
          "from_turns", [](double turns) { return Rotation2d(units::angle::turn_t{turns}); }, py::arg("turns"),
          "The rotation by an angle in turns.")
      .def(
          "radians", [](const Rotation2d& r) { return r.Radians().value(); }, "The angle, radians.")
      .def(
          "degrees", [](const Rotation2d& r) { return r.Degrees().value(); }, "The angle, degrees.")
      .def(
          "turns", [](const Rotation2d& r) { return r.Turns().value(); }, "The angle, turns.")
      .def("cos", &Rotation2d::Cos, "Cosine of the angle.")
      .def("sin", &Rotation2d::Sin, "Sine of the angle.")
      .def("tan", &Rotation2d::Tan, "Tangent of the angle (infinite at a quarter turn).")
      .def("rotate_by", &Rotation2d::RotateBy, py::arg("other"),
           "This rotation followed by `other`, renormalised into (-pi, pi].")
      .def(py::self + py::self)
      .def(py::self - py::self)
      .def(-py::self)
      .def(py::self * double())
      .def(py::self == py::self)
      .def("__repr__", [](const Rotation2d& r) { return Repr(r); });

  py::class_<Translation2d>(m, "Translation2d", R"doc(
A point or displacement in the plane, metres: x forward, y left in the robot
frame. Immutable.)doc")
      .def(py::init([](double x, double y) { return Translation2d(meter_t{x}, meter_t{y}); }), py::arg("x") = 0.0,
           py::arg("y") = 0.0, "The point (x, y), metres.")
      .def(py::init([](double distance, const Rotation2d& angle) { return Translation2d(meter_t{distance}, angle); }),
           py::arg("distance"), py::arg("angle"), "The point `distance` metres from the origin towards `angle`.")
      .def(
          "x", [](const Translation2d& t) { return t.X().value(); }, "x, metres.")
      .def(
          "y", [](const Translation2d& t) { return t.Y().value(); }, "y, metres.")
      .def(
          "norm", [](const Translation2d& t) { return t.Norm().value(); }, "Distance from the origin, metres.")
      .def(
          "distance", [](const Translation2d& t, const Translation2d& other) { return t.Distance(other).value(); },
          py::arg("other"), "Distance to `other`, metres.")
      .def("angle", &Translation2d::Angle, "Direction from the origin (zero for a point closer than 1e-6 m).")
      .def("rotate_by", &Translation2d::RotateBy, py::arg("rotation"), "This vector turned about the origin.")
      .def(py::self + py::self)
      .def(py::self - py::self)
      .def(-py::self)
      .def(py::self * double())
      .def(py::self / double())
      .def(py::self == py::self)
      .def("__repr__", [](const Translation2d& t) { return Repr(t); });

  py::class_<Pose2d>(m, "Pose2d", R"doc(
Where the robot is on the field: a position in metres and a heading.
Immutable.)doc")
      .def(py::init(
               [](double x, double y, const Rotation2d& rotation) { return Pose2d(meter_t{x}, meter_t{y}, rotation); }),
           py::arg("x") = 0.0, py::arg("y") = 0.0, py::arg("rotation") = Rotation2d(),
           "The pose at (x, y) metres facing `rotation`.")
      .def(py::init<const Translation2d&, const Rotation2d&>(), py::arg("translation"), py::arg("rotation"),
           "The pose at `translation` facing `rotation`.")
      .def("translation", &Pose2d::Translation, "The position, metres.")
      .def("rotation", &Pose2d::Rotation, "The heading.")
      .def(
          "x", [](const Pose2d& p) { return p.X().value(); }, "x, metres.")
      .def(
          "y", [](const Pose2d& p) { return p.Y().value(); }, "y, metres.")
      .def("transform_by", &Pose2d::TransformBy, py::arg("transform"),
           "The pose reached by applying `transform` in this pose's frame.")
      .def("relative_to", &Pose2d::RelativeTo, py::arg("other"), "This pose in the frame of `other`.")
      .def("exp", &Pose2d::Exp, py::arg("twist"), "The pose reached by moving along `twist` (robot frame).")
      .def("log", &Pose2d::Log, py::arg("end"), "The twist that exp() turns into `end` from this pose.")
      .def(py::self + Transform2d())
      .def(py::self - py::self)
      .def(py::self == py::self)
      .def("__repr__", [](const Pose2d& p) { return Repr(p); });

  py::class_<Transform2d>(m, "Transform2d", R"doc(
A rigid motion in the plane, applied in the frame of the pose it acts on:
a translation (metres) and a rotation. Immutable.)doc")
      .def(py::init([](double x, double y, const Rotation2d& rotation) {
             return Transform2d(meter_t{x}, meter_t{y}, rotation);
           }),
           py::arg("x") = 0.0, py::arg("y") = 0.0, py::arg("rotation") = Rotation2d(),
           "The transform of (x, y) metres and `rotation`.")
      .def(py::init<const Translation2d&, const Rotation2d&>(), py::arg("translation"), py::arg("rotation"))
      .def(py::init<const Pose2d&, const Pose2d&>(), py::arg("initial"), py::arg("final"),
           "The transform taking `initial` to `final`, in the frame of `initial`.")
      .def("translation", &Transform2d::Translation, "The translation, metres.")
      .def("rotation", &Transform2d::Rotation, "The rotation.")
      .def(
          "x", [](const Transform2d& t) { return t.X().value(); }, "x of the translation, metres.")
      .def(
          "y", [](const Transform2d& t) { return t.Y().value(); }, "y of the translation, metres.")
      .def("inverse", &Transform2d::Inverse, "The transform that undoes this one.")
      .def(py::self + py::self)
      .def(py::self == py::self)
      .def("__repr__", [](const Transform2d& t) {
        return "Transform2d(x=" + Repr(t.X().value()) + ", y=" + Repr(t.Y().value()) +
               ", rotation=" + Repr(t.Rotation()) + ")";
      });

  py::class_<Twist2d> twist(m, "Twist2d", R"doc(
A small motion along an arc in the frame of the pose it starts from: dx
forward and dy left in metres, dtheta counter-clockwise in radians.)doc");
  twist.def(py::init([](double dx, double dy, double dtheta) {
              return Twist2d{meter_t{dx}, meter_t{dy}, radian_t{dtheta}};
            }),
            py::arg("dx") = 0.0, py::arg("dy") = 0.0, py::arg("dtheta") = 0.0);
  DefUnit(twist, "dx", &Twist2d::dx, "Forward change, metres.");
  DefUnit(twist, "dy", &Twist2d::dy, "Leftward change, metres.");
  DefUnit(twist, "dtheta", &Twist2d::dtheta, "Heading change, radians, counter-clockwise positive.");
  twist.def(py::self * double()).def(py::self == py::self).def("__repr__", [](const Twist2d& t) { return Repr(t); });

  py::class_<ChassisSpeeds> speeds(m, "ChassisSpeeds", R"doc(
The velocity of the robot body: vx forward and vy left in m/s, omega
counter-clockwise in rad/s. Robot-relative unless said otherwise.)doc");
  speeds.def(py::init([](double vx, double vy, double omega) {
               return ChassisSpeeds{units::velocity::meters_per_second_t{vx}, units::velocity::meters_per_second_t{vy},
                                    units::angular_velocity::radians_per_second_t{omega}};
             }),
             py::arg("vx") = 0.0, py::arg("vy") = 0.0, py::arg("omega") = 0.0);
  DefUnit(speeds, "vx", &ChassisSpeeds::vx, "Forward velocity, m/s.");
  DefUnit(speeds, "vy", &ChassisSpeeds::vy, "Leftward velocity, m/s.");
  DefUnit(speeds, "omega", &ChassisSpeeds::omega, "Rotational rate, rad/s, counter-clockwise positive.");
  speeds.def(py::self + py::self)
      .def(py::self - py::self)
      .def(py::self * double())
      .def("__eq__", [](const ChassisSpeeds& a,
                        const ChassisSpeeds& b) { return a.vx == b.vx && a.vy == b.vy && a.omega == b.omega; })
      .def("__repr__", [](const ChassisSpeeds& s) { return Repr(s); });

  py::class_<SwerveModuleState> state(m, "SwerveModuleState",
                                      "What a wheel module does: ground speed (m/s, negative backwards) and azimuth.");
  state.def(py::init([](double speed, const Rotation2d& angle) {
              return SwerveModuleState{units::velocity::meters_per_second_t{speed}, angle};
            }),
            py::arg("speed") = 0.0, py::arg("angle") = Rotation2d());
  DefUnit(state, "speed", &SwerveModuleState::speed, "Wheel ground speed, m/s.");
  state.def_readwrite("angle", &SwerveModuleState::angle, "Azimuth relative to the robot's forward direction.")
      .def(py::self == py::self)
      .def("__repr__", [](const SwerveModuleState& s) { return Repr(s); });

  py::class_<SwerveModulePosition> position(m, "SwerveModulePosition",
                                            "How far a wheel has rolled (metres) and its azimuth.");
  position.def(py::init([](double distance, const Rotation2d& angle) {
                 return SwerveModulePosition{meter_t{distance}, angle};
               }),
               py::arg("distance") = 0.0, py::arg("angle") = Rotation2d());
  DefUnit(position, "distance", &SwerveModulePosition::distance, "Distance rolled, metres.");
  position.def_readwrite("angle", &SwerveModulePosition::angle, "Azimuth relative to the robot's forward direction.")
      .def(py::self == py::self)
      .def("__repr__", [](const SwerveModulePosition& p) { return Repr(p); });

  m.def("to_robot_relative", &swerve::ToRobotRelative, py::arg("speeds"), py::arg("heading"),
        "Field-relative `speeds` seen from a robot facing `heading` (omega unchanged).");
  m.def(
      "discretize",
      [](const ChassisSpeeds& s, double dt) {
        if (!std::isfinite(dt) || dt == 0.0)
          throw py::value_error("dt must be a finite number of seconds other than 0");
        return swerve::Discretize(s, units::time::second_t{dt});
      },
      py::arg("speeds"), py::arg("dt"),
      "The speeds that, held for `dt` seconds along a straight twist, end where `speeds` would end while "
      "turning; without this a robot that drives and turns at once drifts sideways.");
  m.def("interpolate", &swerve::Interpolate, py::arg("start"), py::arg("end"), py::arg("t"),
        "The pose a fraction `t` of the way from `start` to `end` along their arc (start for t < 0, end for t >= 1).");
}

void BindKinematics(py::module_& m) {
  py::class_<SwerveDriveKinematics>(m, "SwerveDriveKinematics", R"doc(
Converts between the motion of the robot body (ChassisSpeeds, Twist2d) and
of its modules (SwerveModuleState, SwerveModulePosition), given where each
module sits relative to the robot centre. The inverse direction remembers
each module's last azimuth, so that all-zero speeds keep the wheels where
they point.)doc")
      .def(py::init([](std::vector<Translation2d> locations) {
             if (locations.empty()) throw py::value_error("a swerve drivetrain needs at least one module");
             return SwerveDriveKinematics(std::move(locations));
           }),
           py::arg("module_locations"), "Kinematics for modules at these locations (metres, x forward, y left).")
      .def(
          "to_swerve_module_states",
          [](SwerveDriveKinematics& k, const ChassisSpeeds& speeds, const Translation2d& center) {
            return k.ToSwerveModuleStates(speeds, center);
          },
          py::arg("speeds"), py::arg("center_of_rotation") = Translation2d(),
          "The module states that move the robot at `speeds` turning about `center_of_rotation` (metres); "
          "all-zero speeds keep each module's last azimuth with speed 0.")
      .def(
          "to_chassis_speeds",
          [](const SwerveDriveKinematics& k, const std::vector<SwerveModuleState>& states) {
            return k.ToChassisSpeeds(OnePerModule(k, states, "states"));
          },
          py::arg("states"), "The chassis speeds that best explain one measured state per module.")
      .def(
          "to_twist2d",
          [](const SwerveDriveKinematics& k, const std::vector<SwerveModulePosition>& deltas) {
            return k.ToTwist2d(OnePerModule(k, deltas, "deltas"));
          },
          py::arg("deltas"), "The robot motion that best explains one module distance change per module.")
      .def_static(
          "desaturate_wheel_speeds",
          [](std::vector<SwerveModuleState> states, double maxSpeed) {
            SwerveDriveKinematics::DesaturateWheelSpeeds(&states, units::velocity::meters_per_second_t{maxSpeed});
            return states;
          },
          py::arg("states"), py::arg("max_speed"),
          "The states with every speed scaled by one factor so that none exceeds `max_speed` (m/s).")
      .def("num_modules", &SwerveDriveKinematics::NumModules, "Number of modules.")
      .def("module_locations", &SwerveDriveKinematics::ModuleLocations, "Module locations, metres.")
      .def("__repr__", [](const SwerveDriveKinematics& k) {
        std::string text = "SwerveDriveKinematics([";
        for (std::size_t i = 0; i < k.NumModules(); ++i) text += (i ? ", " : "") + Repr(k.ModuleLocations()[i]);
        return text + "])";
      });

  py::class_<SwerveDrivePoseEstimator>(m, "SwerveDrivePoseEstimator", R"doc(
Fuses odometry with late absolute pose measurements (from cameras, say): it
keeps the odometry poses of the last 1.5 s, corrects the pose of a
measurement's time by a fixed gain and replays the motion since. Times are
seconds on the runtime's clock. Keeps the kinematics alive. Numbers that
are not finite are refused with a warning report.)doc")
      .def(py::init([](const SwerveDriveKinematics& kinematics, const Rotation2d& gyroAngle,
                       std::vector<SwerveModulePosition> positions, const Pose2d& initialPose,
                       const StdDevs& stateStdDevs, const StdDevs& visionStdDevs) {
             return SwerveDrivePoseEstimator(kinematics, gyroAngle, std::move(positions), initialPose, stateStdDevs,
                                             visionStdDevs);
           }),
           py::arg("kinematics"), py::arg("gyro_angle"), py::arg("module_positions"),
           py::arg("initial_pose") = Pose2d(), py::arg("state_std_devs") = kDefaultStateStdDevs,
           py::arg("vision_std_devs") = kDefaultVisionStdDevs, py::keep_alive<1, 2>(),
           "An estimator starting at `initial_pose`; the standard deviations (x, y in metres, heading in "
           "radians) say how much odometry and vision are trusted, smaller is more.")
      .def("set_vision_measurement_std_devs", &SwerveDrivePoseEstimator::SetVisionMeasurementStdDevs,
           py::arg("std_devs"), "How much later measurements are trusted (x, y metres, heading radians).")
      .def(
          "add_vision_measurement",
          [](SwerveDrivePoseEstimator& e, const Pose2d& pose, double timestamp) {
            e.AddVisionMeasurement(pose, units::time::second_t{timestamp});
          },
          py::arg("vision_robot_pose"), py::arg("timestamp"),
          "Fuses a pose measured at `timestamp` (seconds); dropped without history or when too old.")
      .def(
          "sample_at",
          [](const SwerveDrivePoseEstimator& e, double timestamp) {
            return e.SampleAt(units::time::second_t{timestamp});
          },
          py::arg("timestamp"), "The fused pose at `timestamp` (seconds), or None without history.")
      .def(
          "update_with_time",
          [](SwerveDrivePoseEstimator& e, double timestamp, const Rotation2d& gyro,
             const std::vector<SwerveModulePosition>& positions) {
            return e.UpdateWithTime(units::time::second_t{timestamp}, gyro, positions);
          },
          py::arg("timestamp"), py::arg("gyro_angle"), py::arg("module_positions"),
          "Integrates one odometry sample taken at `timestamp` (seconds); returns the fused pose.")
      .def(
          "update",
          [](SwerveDrivePoseEstimator& e, const Rotation2d& gyro, const std::vector<SwerveModulePosition>& positions) {
            return e.Update(gyro, positions);
          },
          py::arg("gyro_angle"), py::arg("module_positions"), "update_with_time at the runtime's current time.")
      .def(
          "reset_position",
          [](SwerveDrivePoseEstimator& e, const Rotation2d& gyro, const std::vector<SwerveModulePosition>& positions,
             const Pose2d& pose) { e.ResetPosition(gyro, positions, pose); },
          py::arg("gyro_angle"), py::arg("module_positions"), py::arg("pose"),
          "Restarts at `pose` with this gyro angle and these module positions; forgets the history.")
      .def("reset_pose", &SwerveDrivePoseEstimator::ResetPose, py::arg("pose"), "Moves the estimate to `pose`.")
      .def("reset_translation", &SwerveDrivePoseEstimator::ResetTranslation, py::arg("translation"),
           "Moves the estimate to `translation`, keeping the heading.")
      .def("reset_rotation", &SwerveDrivePoseEstimator::ResetRotation, py::arg("rotation"),
           "Sets the estimated heading.")
      .def("get_estimated_position", &SwerveDrivePoseEstimator::GetEstimatedPosition, "The fused pose estimate.")
      .def("get_odometry_pose", &SwerveDrivePoseEstimator::GetOdometryPose, "The pose from odometry alone.");
}

void BindPid(py::module_& m) {
  py::class_<ZephrinPIDController>(m, "ZephrinPIDController", R"doc(
A PID controller driven by explicit timestamps: each calculate() carries the
time of its measurement (seconds), so the integral and derivative use the
real time between calls. Handles a wrapping input such as an angle, an
integrator zone and range, and at-setpoint tolerances. Negative gains are
reported and replaced by zero gains.)doc")
      .def(py::init<double, double, double>(), py::arg("kp"), py::arg("ki"), py::arg("kd"),
           "A controller with these gains (output per error, per error-second, per error per second).")
      .def("set_pid", &ZephrinPIDController::SetPID, py::arg("kp"), py::arg("ki"), py::arg("kd"))
      .def("set_p", &ZephrinPIDController::SetP, py::arg("kp"))
      .def("set_i", &ZephrinPIDController::SetI, py::arg("ki"))
      .def("set_d", &ZephrinPIDController::SetD, py::arg("kd"))
      .def("set_i_zone", &ZephrinPIDController::SetIZone, py::arg("i_zone"),
           "Error magnitude above which the integral is cleared (a negative zone is reported and kept).")
      .def("get_p", &ZephrinPIDController::GetP)
      .def("get_i", &ZephrinPIDController::GetI)
      .def("get_d", &ZephrinPIDController::GetD)
      .def("get_i_zone", &ZephrinPIDController::GetIZone)
      .def("get_position_tolerance", &ZephrinPIDController::GetPositionTolerance)
      .def("get_velocity_tolerance", &ZephrinPIDController::GetVelocityTolerance)
      .def("get_setpoint", &ZephrinPIDController::GetSetpoint, "The setpoint of the last calculate().")
      .def("get_position_error", &ZephrinPIDController::GetPositionError,
           "The (wrapped) error of the last calculate().")
      .def("get_velocity_error", &ZephrinPIDController::GetVelocityError, "The error's rate of change, per second.")
      .def("get_last_applied_output", &ZephrinPIDController::GetLastAppliedOutput)
      .def("enable_continuous_input", &ZephrinPIDController::EnableContinuousInput, py::arg("minimum_input"),
           py::arg("maximum_input"), "Treats the input as wrapping between the two, so errors take the short way.")
      .def("disable_continuous_input", &ZephrinPIDController::DisableContinuousInput)
      .def("is_continuous_input_enabled", &ZephrinPIDController::IsContinuousInputEnabled)
      .def("set_integrator_range", &ZephrinPIDController::SetIntegratorRange, py::arg("minimum_integral"),
           py::arg("maximum_integral"), "Limits the integral term's contribution to the output.")
      .def("set_tolerance", &ZephrinPIDController::SetTolerance, py::arg("position_tolerance"),
           py::arg("velocity_tolerance") = std::numeric_limits<double>::infinity(),
           "How close the error and its rate must be (strictly) for at_setpoint().")
      .def("at_setpoint", &ZephrinPIDController::AtSetpoint, "Whether the last calculate() was within both tolerances.")
      .def(
          "calculate",
          [](ZephrinPIDController& c, double measurement, double setpoint, double timestamp) {
            return c.Calculate(measurement, setpoint, units::time::second_t{timestamp});
          },
          py::arg("measurement"), py::arg("setpoint"), py::arg("current_timestamp"),
          "The output for `measurement` against `setpoint` at `current_timestamp` (seconds, increasing).")
      .def("reset", &ZephrinPIDController::Reset, "Forgets the error history and the measurement.")
      .def("__repr__", [](const ZephrinPIDController& c) {
        return "ZephrinPIDController(kp=" + Repr(c.GetP()) + ", ki=" + Repr(c.GetI()) + ", kd=" + Repr(c.GetD()) + ")";
      });
}

}  // namespace

void BindGeometry(py::module_& swerve) {
  BindValues(swerve);
  BindKinematics(swerve);
  BindPid(swerve);
}

}  // namespace zephrin6_python
