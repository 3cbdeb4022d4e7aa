// zephrin6.swerve's drivetrain: the module constants and their factory, the
// drivetrain constants, the state snapshot, and SwerveDrivetrain with its
// simulation (see Drivetrain.hpp for its lifetime and the GIL). Every
// operation that may wait for the engine's locks or a thread runs with the
// GIL released.

#include <kvor/zephrin6/configs/Slot0Configs.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/swerve/SwerveDriveState.hpp>
#include <kvor/zephrin6/swerve/sim/SimBattery.hpp>
#include <kvor/zephrin6/swerve/sim/SimField.hpp>
#include <kvor/zephrin6/swerve/requests/ApplyFieldSpeeds.hpp>
#include <kvor/zephrin6/swerve/requests/ApplyRobotSpeeds.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/requests/Idle.hpp>
#include <kvor/zephrin6/swerve/requests/PointWheelsAt.hpp>
#include <kvor/zephrin6/swerve/requests/RobotCentric.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveDriveBrake.hpp>

#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "Bindings.hpp"
#include "Drivetrain.hpp"
#include "Fields.hpp"
#include "Repr.hpp"

namespace zephrin6_python {

namespace {

namespace swerve = kvor::zephrin6::swerve;
namespace configs = kvor::zephrin6::configs;
using kvor::zephrin::StatusCode;
using swerve::MotorControllerType;
using swerve::Pose2d;
using swerve::Rotation2d;
using swerve::SwerveDriveState;
using swerve::Translation2d;
using swerve::impl::SwerveDrivetrainImpl;

/// The neutral modes a drive motor can be configured with.
enum class NeutralMode : int32_t {
  Coast = kvor::zephrin6::signals::NeutralModeValue::Coast,
  Brake = kvor::zephrin6::signals::NeutralModeValue::Brake,
};

/// The settings every module of a drivetrain usually shares.
struct ModuleConstantsFactory {
  ModuleConstants shared;
};

/// The factory's fields are those of its shared constants.
struct SharedFields {
  ModuleConstants& operator()(ModuleConstantsFactory& factory) const { return factory.shared; }
};

/// Calls `visit(name, member, doc)` for each field of the module constants
/// that differs from module to module, in the constants' order.
template <class Visit>
void ForEachModuleField(Visit&& visit) {
  visit("steer_motor_id", &ModuleConstants::SteerMotorId, "CAN ID of the steer motor.");
  visit("drive_motor_id", &ModuleConstants::DriveMotorId, "CAN ID of the drive motor.");
  visit("encoder_id", &ModuleConstants::EncoderId, "CAN ID of the azimuth encoder.");
  visit("encoder_offset", &ModuleConstants::EncoderOffset, "Encoder reading with the wheel pointing forward, turns.");
  visit("location_x", &ModuleConstants::LocationX, "Metres forward of the robot centre.");
  visit("location_y", &ModuleConstants::LocationY, "Metres left of the robot centre.");
  visit("drive_motor_inverted", &ModuleConstants::DriveMotorInverted, "The drive motor turns clockwise for forward.");
  visit("steer_motor_inverted", &ModuleConstants::SteerMotorInverted, "The steer motor turns clockwise for positive.");
  visit("encoder_inverted", &ModuleConstants::EncoderInverted, "The encoder counts clockwise as positive.");
}

/// The same for the fields modules usually share.
template <class Visit>
void ForEachSharedField(Visit&& visit) {
  visit("drive_motor_gear_ratio", &ModuleConstants::DriveMotorGearRatio, "Drive motor rotations per wheel rotation.");
  visit("steer_motor_gear_ratio", &ModuleConstants::SteerMotorGearRatio, "Steer motor rotations per azimuth rotation.");
  visit("coupling_gear_ratio", &ModuleConstants::CouplingGearRatio,
        "Drive motor rotations per azimuth rotation (the wheel standing).");
  visit("wheel_radius", &ModuleConstants::WheelRadius, "Wheel radius, metres.");
  visit("steer_motor_gains", &ModuleConstants::SteerMotorGains, "The steer motor's slot 0 gains.");
  visit("drive_motor_gains", &ModuleConstants::DriveMotorGains, "The drive motor's slot 0 gains.");
  visit("steer_motor_closed_loop_output", &ModuleConstants::SteerMotorClosedLoopOutput,
        "What the steer motor's closed loop outputs.");
  visit("drive_motor_closed_loop_output", &ModuleConstants::DriveMotorClosedLoopOutput,
        "What the drive motor's closed loop outputs.");
  visit("slip_current", &ModuleConstants::SlipCurrent, "Stator current at which the wheel slips, amperes.");
  visit("speed_at_12_volts", &ModuleConstants::SpeedAt12Volts, "Wheel speed reached at 12 V, m/s.");
  visit("drive_motor_type", &ModuleConstants::DriveMotorType,
        "The drive motor's model (a SwerveDrivetrain sets it from its drive_motor argument).");
  visit("steer_motor_type", &ModuleConstants::SteerMotorType,
        "The steer motor's model (a SwerveDrivetrain sets it from its steer_motor argument).");
  visit("feedback_source", &ModuleConstants::FeedbackSource,
        "How the steer motor is to use the encoder (for the program's own configuration code).");
  visit("steer_inertia", &ModuleConstants::SteerInertia, "Inertia of the azimuth, kg m^2 (simulation).");
  visit("drive_inertia", &ModuleConstants::DriveInertia, "Inertia the wheel sees, kg m^2 (simulation).");
  visit("steer_friction_voltage", &ModuleConstants::SteerFrictionVoltage,
        "Voltage the azimuth's friction costs, volts (simulation).");
  visit("drive_friction_voltage", &ModuleConstants::DriveFrictionVoltage,
        "Voltage the wheel's friction costs, volts (simulation).");
}

/// The drivetrain operation `operation(engine, arguments...)` with the GIL
/// released while it runs.
template <class Operation, class Result, class... Arguments>
auto ReleasedCall(Operation operation, Result (Operation::*)(SwerveDrivetrainImpl&, Arguments...) const) {
  return [operation](const Drivetrain& drivetrain, Arguments... arguments) -> Result {
    const Drivetrain::Engine engine = drivetrain.Impl();
    py::gil_scoped_release release;
    return operation(*engine, arguments...);
  };
}
template <class Operation>
auto Released(Operation operation) {
  return ReleasedCall(operation, &Operation::operator());
}

/// One set_control overload per request type.
template <class... Requests>
void DefSetControl(py::class_<Drivetrain>& cls) {
  (cls.def(
       "set_control",
       [](const Drivetrain& drivetrain, const Requests& request) {
         const Drivetrain::Engine engine = drivetrain.Impl();
         const Requests copy = request;
         py::gil_scoped_release release;
         engine->SetControl(copy);
       },
       py::arg("request"),
       "Installs a copy of `request`, applied from the next odometry sample on; changing the command every loop "
       "with the same request type allocates nothing."),
   ...);
}

void BindConstants(py::module_& m) {
  py::class_<configs::Slot0Configs> gains(m, "Slot0Configs",
                                          "A motor's closed-loop gains (slot 0), in the motor's own units.");
  DefKeywordInitAndRepr(gains);
  DefField(gains, "k_p", &configs::Slot0Configs::kP, "Proportional gain.");
  DefField(gains, "k_i", &configs::Slot0Configs::kI, "Integral gain.");
  DefField(gains, "k_d", &configs::Slot0Configs::kD, "Derivative gain.");
  DefField(gains, "k_s", &configs::Slot0Configs::kS, "Static feed-forward (overcomes friction).");
  DefField(gains, "k_v", &configs::Slot0Configs::kV, "Velocity feed-forward.");
  DefField(gains, "k_a", &configs::Slot0Configs::kA, "Acceleration feed-forward.");
  DefField(gains, "k_g", &configs::Slot0Configs::kG, "Gravity feed-forward.");

  py::enum_<EncoderType>(m, "EncoderType", "The azimuth encoder model of a drivetrain's modules.")
      .value("Angulon", EncoderType::Angulon)
      .value("Portis", EncoderType::Portis)
      .value("RapaxW", EncoderType::RapaxW, "The steer rapax w's own encoder input.");
  py::enum_<NeutralMode>(m, "NeutralModeValue", "What a motor does with no output.")
      .value("Coast", NeutralMode::Coast)
      .value("Brake", NeutralMode::Brake);

  py::class_<ModuleConstants> constants(m, "SwerveModuleConstants", R"doc(
One wheel module of a swerve drivetrain: the CAN IDs of its motors and
encoder, where it sits, its gear ratios and wheel radius, how its motors are
commanded, and what the simulation needs (inertias, friction). Usually made
by SwerveModuleConstantsFactory.create_module_constants.)doc");
  DefKeywordInitAndRepr(constants);
  auto constantsField = [&](const char* name, auto member, const char* doc) { DefField(constants, name, member, doc); };
  ForEachModuleField(constantsField);
  ForEachSharedField(constantsField);

  py::class_<ModuleConstantsFactory> factory(m, "SwerveModuleConstantsFactory", R"doc(
Holds the settings every module of a drivetrain shares (gear ratios, wheel
radius, gains, speed at 12 V, ...) and creates each module's constants from
what differs per module.)doc");
  DefKeywordInitAndRepr(factory);
  ForEachSharedField(
      [&](const char* name, auto member, const char* doc) { DefField<SharedFields>(factory, name, member, doc); });
  factory
      .def(
          "create_module_constants",
          [](const ModuleConstantsFactory& self, int32_t steerMotorId, int32_t driveMotorId, int32_t encoderId,
             double encoderOffset, double locationX, double locationY, bool driveMotorInverted, bool steerMotorInverted,
             bool encoderInverted) {
            ModuleConstants module = self.shared;
            module.WithSteerMotorId(steerMotorId)
                .WithDriveMotorId(driveMotorId)
                .WithEncoderId(encoderId)
                .WithEncoderOffset(units::angle::turn_t{Finite(encoderOffset, "encoder_offset")})
                .WithLocationX(units::length::meter_t{Finite(locationX, "location_x")})
                .WithLocationY(units::length::meter_t{Finite(locationY, "location_y")})
                .WithDriveMotorInverted(driveMotorInverted)
                .WithSteerMotorInverted(steerMotorInverted)
                .WithEncoderInverted(encoderInverted);
            return module;
          },
          py::arg("steer_motor_id"), py::arg("drive_motor_id"), py::arg("encoder_id"), py::arg("encoder_offset"),
          py::arg("location_x"), py::arg("location_y"), py::arg("drive_motor_inverted") = false,
          py::arg("steer_motor_inverted") = false, py::arg("encoder_inverted") = false,
          "One module's constants: the shared settings plus its CAN IDs, encoder offset (turns), location "
          "(metres forward and left of the robot centre) and inversions.")
      .def(
          "get_shared_settings", [](const ModuleConstantsFactory& self) { return self.shared; },
          "The shared settings so far, as the constants every module starts from.");

  py::class_<DrivetrainConstants> drivetrain(m, "SwerveDrivetrainConstants",
                                             "The CAN bus of every device of a drivetrain and its auklet 2's CAN ID.");
  DefKeywordInitAndRepr(drivetrain);
  DefField(drivetrain, "can_bus_name", &DrivetrainConstants::CANBusName,
           "The CAN bus: \"\" for the controller's own classic bus, any other name for a CAN FD bus.");
  DefField(drivetrain, "auklet2_id", &DrivetrainConstants::Auklet2Id, "CAN ID of the auklet 2.");
}

void BindState(py::module_& m) {
  py::class_<SwerveDriveState>(m, "SwerveDriveState", R"doc(
The drivetrain's state after an odometry sample: the fused pose, the measured
speeds, what each module measured, was told and has rolled, the raw gyro
heading, and the sample's time and counters. A copy; its list attributes
return new lists each time.)doc")
      .def_readonly("pose", &SwerveDriveState::Pose, "Fused pose estimate on the field.")
      .def_readonly("speeds", &SwerveDriveState::Speeds, "Measured robot-relative speeds.")
      .def_readonly("module_states", &SwerveDriveState::ModuleStates, "Measured state of each module.")
      .def_readonly("module_targets", &SwerveDriveState::ModuleTargets, "State each module was last told to reach.")
      .def_readonly("module_positions", &SwerveDriveState::ModulePositions, "Distance rolled and azimuth per module.")
      .def_readonly("raw_heading", &SwerveDriveState::RawHeading, "Gyro heading without the odometry's offset.")
      .def_property_readonly(
          "timestamp", [](const SwerveDriveState& s) { return s.Timestamp.value(); },
          "Time of the sample, seconds on the runtime's clock.")
      .def_property_readonly(
          "odometry_period", [](const SwerveDriveState& s) { return s.OdometryPeriod.value(); },
          "Time between samples averaged over the last 50, seconds.")
      .def_readonly("successful_daqs", &SwerveDriveState::SuccessfulDaqs, "Samples whose signals all arrived in time.")
      .def_readonly("failed_daqs", &SwerveDriveState::FailedDaqs, "Samples with some signal late or missing.")
      .def("__repr__", [](const SwerveDriveState& s) {
        return "SwerveDriveState(pose=" + Repr(s.Pose) + ", speeds=" + Repr(s.Speeds) +
               ", timestamp=" + Repr(s.Timestamp.value()) + ", successful_daqs=" + std::to_string(s.SuccessfulDaqs) +
               ", failed_daqs=" + std::to_string(s.FailedDaqs) + ")";
      });
}

void BindDrivetrainClass(py::module_& m) {
  py::class_<Drivetrain> cls(m, "SwerveDrivetrain", R"doc(
A swerve drivetrain: an auklet 2 for the heading and one module (a drive and
a steer motor) per SwerveModuleConstants, with an odometry thread that
samples them, tracks the pose, applies the installed request and calls the
telemetry callable. In simulation it has a physics model of the robot
(update_sim or start_sim_thread) that knows the true pose. close() (or
leaving a with block, or exit) stops its threads and frees its devices.)doc");
  cls.def(py::init([](const DrivetrainConstants& constants, std::vector<ModuleConstants> modules, double frequency,
                      const StdDevs& odometry, const StdDevs& vision, MotorControllerType drive,
                      MotorControllerType steer, EncoderType encoder, bool startOdometryThread, bool configureMotors) {
            return std::make_unique<Drivetrain>(constants, std::move(modules), frequency, odometry, vision, drive,
                                                steer, encoder, startOdometryThread, configureMotors);
          }),
          py::arg("drivetrain_constants"), py::arg("modules"), py::arg("odometry_update_frequency") = 0.0,
          py::arg("odometry_standard_deviation") = StdDevs{0.1, 0.1, 0.1},
          py::arg("vision_standard_deviation") = StdDevs{0.9, 0.9, 0.9}, py::kw_only(),
          py::arg("drive_motor") = MotorControllerType::RapaxQ, py::arg("steer_motor") = MotorControllerType::RapaxQ,
          py::arg("encoder") = EncoderType::Angulon, py::arg("start_odometry_thread") = true,
          py::arg("configure_motors") = true, R"doc(
Builds the drivetrain: the auklet 2, one module per entry of `modules` (in
order), each module's first reading and the heading (waiting for the
devices' frames; on the manual clock, time is moved on meanwhile).

odometry_update_frequency: samples per second; 0 picks 250 Hz on a CAN FD
  bus and 100 Hz otherwise.
odometry_standard_deviation, vision_standard_deviation: how much odometry
  and vision are trusted, x and y in metres and heading in radians.
drive_motor, steer_motor, encoder: the device models of every module (they
  replace the constants' motor types).
start_odometry_thread: False for programs that step odometry themselves
  (step_odometry), for example on the manual clock.
configure_motors: configure each module's motors and encoder from its
  constants, as the C++ and Java drivetrains do (gains, azimuth feedback,
  wrap, inversions, the slip current as the drive motors' stator limit).)doc");
  cls.def(
      "close",
      [](Drivetrain& d) {
        py::gil_scoped_release release;
        d.Close();
      },
      "Stops the threads and frees the devices; the drivetrain cannot be used afterwards.");
  cls.def("__enter__", [](py::object self) { return self; });
  cls.def("__exit__", [](Drivetrain& d, const py::args&) {
    py::gil_scoped_release release;
    d.Close();
  });
  cls.def("__repr__", &Drivetrain::Repr);

  DefSetControl<swerve::requests::Idle, swerve::requests::SwerveDriveBrake, swerve::requests::FieldCentric,
                swerve::requests::RobotCentric, swerve::requests::PointWheelsAt, swerve::requests::ApplyRobotSpeeds,
                swerve::requests::ApplyFieldSpeeds>(cls);
  cls.def("get_state", Released([](SwerveDrivetrainImpl& impl) { return impl.GetState(); }),
          "A copy of the state of the last odometry sample.");
  cls.def("register_telemetry", &Drivetrain::RegisterTelemetry, py::arg("telemetry"),
          "Calls `telemetry(state)` on the odometry thread after every sample (None stops the calls). It must be "
          "quick: the thread waits for it. An exception it raises is reported as unraisable and the thread goes on.");
  cls.def("config_neutral_mode", Released([](SwerveDrivetrainImpl& impl, NeutralMode mode) {
            return impl.ConfigNeutralMode(kvor::zephrin6::signals::NeutralModeValue(static_cast<int>(mode)));
          }),
          py::arg("mode"),
          "Sets every drive motor's neutral mode (0.1 s timeout each); the first failing status, else OK.");
  cls.def(
      "tare_everything",
      [](Drivetrain& d) {
        const Drivetrain::Engine engine = d.Impl();
        py::gil_scoped_release release;
        WhileManualTimeRuns([&] { engine->TareEverything(); });
      },
      "Zeroes the drive positions and restarts odometry at the origin (waits for fresh module readings).");
  cls.def("seed_field_centric", Released([](SwerveDrivetrainImpl& impl) { impl.SeedFieldCentric(); }),
          "Makes the operator's forward direction the robot's current heading.");
  // The values are checked with the GIL released: a refusal unwinds to the
  // binding, which takes the GIL back before raising it in Python.
  cls.def("reset_pose", Released([](SwerveDrivetrainImpl& impl, Pose2d p) { impl.ResetPose(Finite(p, "pose")); }),
          py::arg("pose"), "Moves the pose estimate to `pose`.");
  cls.def("reset_translation", Released([](SwerveDrivetrainImpl& impl, Translation2d t) {
            impl.ResetTranslation(Finite(t, "translation"));
          }),
          py::arg("translation"), "Moves the pose estimate to `translation` (metres), keeping the heading.");
  cls.def("reset_rotation",
          Released([](SwerveDrivetrainImpl& impl, Rotation2d r) { impl.ResetRotation(Finite(r, "rotation")); }),
          py::arg("rotation"), "Sets the estimated heading.");
  cls.def("set_operator_perspective_forward", Released([](SwerveDrivetrainImpl& impl, Rotation2d r) {
            impl.SetOperatorPerspectiveForward(Finite(r, "forward"));
          }),
          py::arg("forward"), "Sets the field direction the operator calls forward.");
  cls.def("get_operator_forward_direction",
          Released([](SwerveDrivetrainImpl& impl) { return impl.GetOperatorForwardDirection(); }),
          "The field direction the operator calls forward.");
  cls.def(
      "add_vision_measurement",
      [](Drivetrain& d, const Pose2d& pose, double timestamp, std::optional<StdDevs> stdDevs) {
        Finite(pose, "vision_robot_pose");
        Finite(timestamp, "timestamp");
        const Drivetrain::Engine engine = d.Impl();
        py::gil_scoped_release release;
        if (stdDevs) {
          engine->AddVisionMeasurement(pose, units::time::second_t{timestamp}, *stdDevs);
        } else {
          engine->AddVisionMeasurement(pose, units::time::second_t{timestamp});
        }
      },
      py::arg("vision_robot_pose"), py::arg("timestamp"), py::arg("vision_measurement_std_devs") = py::none(),
      "Fuses a pose measured at `timestamp` (seconds, runtime clock); with standard deviations (x, y metres, "
      "heading radians) they also apply to later measurements.");
  cls.def("set_vision_measurement_std_devs",
          Released([](SwerveDrivetrainImpl& impl, StdDevs s) { impl.SetVisionMeasurementStdDevs(s); }),
          py::arg("std_devs"), "How much vision measurements are trusted (x, y metres, heading radians).");
  cls.def("sample_pose_at",
          Released([](SwerveDrivetrainImpl& impl, double t) { return impl.SamplePoseAt(units::time::second_t{t}); }),
          py::arg("timestamp"), "The fused pose at `timestamp` (seconds), or None without odometry history.");
  cls.def("is_odometry_valid", Released([](SwerveDrivetrainImpl& impl) { return impl.IsOdometryValid(); }),
          "True once more than two samples read every signal in time.");
  cls.def("is_on_can_fd", Released([](SwerveDrivetrainImpl& impl) { return impl.IsOnCANFD(); }),
          "Whether the drivetrain's bus is CAN FD.");
  cls.def("get_odometry_frequency",
          Released([](SwerveDrivetrainImpl& impl) { return impl.GetOdometryFrequency().value(); }),
          "Odometry samples per second.");
  cls.def("get_module_locations", Released([](SwerveDrivetrainImpl& impl) { return impl.GetModuleLocations(); }),
          "Module locations, metres, in module order.");

  cls.def("start_odometry_thread", Released([](SwerveDrivetrainImpl& impl) { impl.GetOdometryThread().Start(); }),
          "Starts the odometry thread unless it runs.");
  cls.def(
      "stop_odometry_thread",
      [](Drivetrain& d) {
        const Drivetrain::Engine engine = d.Impl();
        py::gil_scoped_release release;
        WhileManualTimeRuns([&] { engine->GetOdometryThread().Stop(); });
      },
      "Stops the odometry thread and waits for its sample to end (on the manual clock, moving time on meanwhile).");
  cls.def("is_odometry_thread_running",
          Released([](SwerveDrivetrainImpl& impl) { return impl.GetOdometryThread().IsRunning(); }));
  cls.def("set_odometry_thread_priority", Released([](SwerveDrivetrainImpl& impl, int priority) {
            impl.GetOdometryThread().SetThreadPriority(priority);
          }),
          py::arg("priority"), "Asks for real-time priority 1 to 99, applied after the next sample.");
  cls.def("step_odometry", Released([](SwerveDrivetrainImpl& impl) { return impl.GetOdometryThread().RunOnce(); }),
          "Runs one odometry sample now, on this thread, without waiting: reads the latest frames, updates the "
          "pose, applies the request, publishes the state and calls the telemetry. Returns the read's status, or "
          "TaskIsBusy while the odometry thread runs.");

  cls.def(
      "start_sim_thread",
      [](Drivetrain& d, double period, std::optional<double> supplyVoltage) {
        if (!std::isfinite(period) || period <= 0.0)
          throw py::value_error("period must be a positive number of seconds");
        if (supplyVoltage && (!std::isfinite(*supplyVoltage) || *supplyVoltage < 0.0)) {
          throw py::value_error("supply_voltage must be a finite number of volts at or above 0");
        }
        py::gil_scoped_release release;
        const auto sim = d.Sim();
        (void)(supplyVoltage ? sim->StartThread(units::time::second_t{period}, units::voltage::volt_t{*supplyVoltage})
                             : sim->StartThread(units::time::second_t{period}));
      },
      py::arg("period"), py::arg("supply_voltage") = 12.0,
      "Moves the simulated robot on a thread of its own: every `period` seconds of wall time it integrates the "
      "time the runtime's clock moved (at most 1 s at once), with `supply_voltage` as the battery, or the "
      "simulated battery (set_sim_battery) when it is None. Nothing when it runs already.");
  cls.def(
      "stop_sim_thread",
      [](Drivetrain& d) {
        py::gil_scoped_release release;
        d.Sim()->StopThread();
      },
      "Stops the simulation thread and waits for it.");
  cls.def(
      "update_sim",
      [](Drivetrain& d, double dt, std::optional<double> supplyVoltage) {
        if (!std::isfinite(dt) || dt < 0.0)
          throw py::value_error("dt must be a finite number of seconds at or above 0");
        if (supplyVoltage && (!std::isfinite(*supplyVoltage) || *supplyVoltage < 0.0)) {
          throw py::value_error("supply_voltage must be a finite number of volts at or above 0");
        }
        py::gil_scoped_release release;
        const auto sim = d.Sim();
        (void)(supplyVoltage ? sim->Update(units::time::second_t{dt}, units::voltage::volt_t{*supplyVoltage})
                             : sim->Update(units::time::second_t{dt}));
      },
      py::arg("dt"), py::arg("supply_voltage") = 12.0,
      "Moves the simulated robot through `dt` seconds (the time the runtime's clock just moved, in steps of at most "
      "1 ms; at most 1 s per call) with `supply_voltage` as the battery. With None it draws on the simulated "
      "battery instead: the motor controllers' supply currents load it, and a brownout disables them.");
  cls.def(
      "set_sim_field",
      [](Drivetrain& d, const swerve::sim::SimField& field) {
        const swerve::sim::SimField copy = field;
        StatusCode status;
        {
          py::gil_scoped_release release;
          status = d.Sim()->SetField(copy);
        }
        if (status != StatusCode::OK) {
          throw py::value_error("the simulation cannot take this field: a size, mass or inertia out of range, or a "
                                "polygon that is not convex, too small, too far or with the wrong number of corners");
        }
      },
      py::arg("field"),
      "Puts the simulated robot on `field` from now on (place it with reset_sim_pose): walls and obstacles stop "
      "and push the chassis, and its wheels slip against them. Raises ValueError, changing nothing, for a field "
      "it cannot simulate.");
  cls.def(
      "clear_sim_field",
      [](Drivetrain& d) {
        py::gil_scoped_release release;
        d.Sim()->ClearField();
      },
      "Takes the simulated robot off its field: it drives on an endless floor again.");
  cls.def(
      "set_sim_battery",
      [](Drivetrain& d, const swerve::sim::SimBattery& battery) {
        const swerve::sim::SimBattery copy = battery;
        py::gil_scoped_release release;
        d.Sim()->SetBattery(copy);
      },
      py::arg("battery"), "Replaces the simulated battery's settings and state with `battery`'s.");
  cls.def(
      "get_sim_battery",
      [](Drivetrain& d) {
        py::gil_scoped_release release;
        return d.Sim()->GetBattery();
      },
      "A copy of the simulated battery: its settings, and its voltage, current and brownout after the last step "
      "without a supply voltage.");
  cls.def(
      "get_sim_pose",
      [](Drivetrain& d) {
        py::gil_scoped_release release;
        return d.Sim()->GetPose();
      },
      "The simulated robot's true pose on the field.");
  cls.def(
      "reset_sim_pose",
      [](Drivetrain& d, const Pose2d& pose) {
        Finite(pose, "pose");
        py::gil_scoped_release release;
        // Refuses only poses that are not finite, which Finite raised for.
        (void)d.Sim()->ResetPose(pose);
      },
      py::arg("pose"), "Moves the simulated robot to `pose` (its wheels keep their motion).");
  cls.def(
      "get_sim_chassis_speeds",
      [](Drivetrain& d) {
        py::gil_scoped_release release;
        return d.Sim()->GetChassisSpeeds();
      },
      "The simulated robot's true robot-relative speeds.");
}

}  // namespace

void BindDrivetrain(py::module_& swerve) {
  BindConstants(swerve);
  BindState(swerve);
  BindDrivetrainClass(swerve);
}

}  // namespace zephrin6_python
