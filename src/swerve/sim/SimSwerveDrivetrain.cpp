#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>
#include <kvor/zephrin6/sim/Auklet2SimState.hpp>
#include <kvor/zephrin6/sim/RapaxQSimState.hpp>
#include <kvor/zephrin6/sim/RapaxWSimState.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <string>
#include <variant>

#include "core/internal/Report.hpp"
#include "sim/internal/SimCalls.hpp"
#include "swerve/internal/FiniteInputs.hpp"
#include "swerve/internal/SpeedsOfStates.hpp"
#include "swerve/sim/internal/FieldWorld.hpp"
#include "swerve/sim/internal/MechanismPhysics.hpp"

namespace kvor::zephrin6::swerve::sim {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::sim::Auklet2SimState;
using kvor::zephrin6::sim::ChassisReference;
using kvor::zephrin6::sim::RapaxQSimState;
using kvor::zephrin6::sim::RapaxWSimState;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

bool PositiveFinite(double x) { return std::isfinite(x) && x > 0.0; }

// One simulated motor controller of either model, through its simulation
// state, in the mechanism's sign convention (the state negates for an
// inverted motor).
class MotorSim {
 public:
  MotorSim(hardware::traits::CommonRapax& motor, bool inverted)
      : state_(StateOf(motor, OrientationOf(inverted))),
        id_(IdOf(motor)),
        type_(RapaxW() != nullptr ? kvor::zephrin::platform::DeviceType::RapaxW
                                  : kvor::zephrin::platform::DeviceType::RapaxQ),
        orientation_(OrientationOf(inverted)) {}

  /// A read of one of the motor's outputs ("MotorVoltage", "TorqueCurrent"),
  /// for a batch of reads; Oriented gives its value in the mechanism's sign
  /// convention, as the state's getters sign it.
  kvor::zephrin::platform::SimOutputRead Read(std::string_view output) const { return {type_, id_, output}; }
  double Oriented(double value) const { return kvor::zephrin6::sim::internal::Oriented(orientation_, value); }
  void SetSupply(double volts) {
    std::visit([&](auto& s) { s.SetSupplyVoltage(units::voltage::volt_t{volts}); }, state_);
  }
  /// Places the rotor's position and velocity, in this order, in `batch`;
  /// Oriented signs them as the state's SetRawRotorPosition and
  /// SetRotorVelocity do.
  std::size_t PlaceRotor(kvor::zephrin6::sim::internal::InputBatch& batch) const {
    using kvor::zephrin::platform::DeviceType;
    return type_ == DeviceType::RapaxW ? batch.Place<DeviceType::RapaxW, "RawRotorPosition", "RotorVelocity">(id_)
                                       : batch.Place<DeviceType::RapaxQ, "RawRotorPosition", "RotorVelocity">(id_);
  }
  /// Enables or disables the controller's outputs, as the robot's enable
  /// line does; the simulation states have no input for it.
  void SetEnabled(bool enabled) {
    using kvor::zephrin::platform::DeviceType;
    using kvor::zephrin6::sim::internal::SetInput;
    // A runtime without this input leaves the motor driving: nothing to do about it here.
    const double value = enabled ? 1.0 : 0.0;
    static_cast<void>(type_ == DeviceType::RapaxW ? SetInput<DeviceType::RapaxW, "DeviceEnable">(id_, value)
                                                  : SetInput<DeviceType::RapaxQ, "DeviceEnable">(id_, value));
  }
  /// The rapax w's state (for its own encoder input), or null.
  const RapaxWSimState* RapaxW() const { return std::get_if<RapaxWSimState>(&state_); }
  int32_t Id() const { return id_; }

 private:
  using State = std::variant<RapaxQSimState, RapaxWSimState>;
  static ChassisReference OrientationOf(bool inverted) {
    return inverted ? ChassisReference::Clockwise_Positive : ChassisReference::CounterClockwise_Positive;
  }
  static State StateOf(hardware::traits::CommonRapax& motor, ChassisReference orientation) {
    if (auto* q = dynamic_cast<hardware::core::CoreRapaxQ*>(&motor)) return RapaxQSimState(*q, orientation);
    return RapaxWSimState(dynamic_cast<hardware::core::CoreRapaxW&>(motor), orientation);
  }
  static int32_t IdOf(hardware::traits::CommonRapax& motor) {
    const auto* device = dynamic_cast<hardware::ParentDevice*>(&motor);
    return device != nullptr ? device->GetDeviceID() : 0;
  }

  State state_;
  int32_t id_;
  // Fixed with the state (whose orientation nothing changes), kept for the
  // calls of every step.
  kvor::zephrin::platform::DeviceType type_;
  ChassisReference orientation_;
};

std::string DeviceText(hardware::traits::CommonRapax& motor) {
  if (auto* device = dynamic_cast<hardware::ParentDevice*>(&motor)) return device->GetDeviceIdentifier().ToString();
  return "unknown device";
}

// Warns, at construction, that a module setting cannot be simulated as given.
void ReportSetting(const std::string& location, std::size_t module, const char* setting, double value,
                   const char* outcome) {
  char text[192];
  std::snprintf(text, sizeof text, "Swerve simulation: module %zu %s of %g cannot be simulated; %s.", module, setting,
                value, outcome);
  kvor::zephrin6::internal::ReportMessage(false, text, location, 2);
}

// `value` when it is positive and finite, else `fallback` (reported).
double PositiveOr(double value, double fallback, const std::string& location, std::size_t module,
                  const char* setting, const char* outcome) {
  if (PositiveFinite(value)) return value;
  ReportSetting(location, module, setting, value, outcome);
  return fallback;
}

// `value` when it is finite and at least 0, else 0 (reported).
double NonNegativeOrZero(double value, const std::string& location, std::size_t module, const char* setting) {
  if (std::isfinite(value) && value >= 0.0) return value;
  ReportSetting(location, module, setting, value, "using 0");
  return 0.0;
}

// The motor's own constants when it reports them, else the model's (and the
// built-in model's for a model that is not physical).
internal::MotorElectrics ElectricsOf(hardware::traits::CommonRapax& motor,
                                     const SimSwerveDrivetrain::MotorModel& model) {
  const double kv = motor.GetMotorKV(true).GetValue().value();
  const double stall = motor.GetMotorStallCurrent(true).GetValue().value();
  if (PositiveFinite(kv) && PositiveFinite(stall)) return internal::MotorElectrics::FromKv(kv, stall);
  if (PositiveFinite(model.Kv.value()) && PositiveFinite(model.StallCurrent.value())) {
    return internal::MotorElectrics::FromKv(model.Kv.value(), model.StallCurrent.value());
  }
  const SimSwerveDrivetrain::MotorModel standard;
  return internal::MotorElectrics::FromKv(standard.Kv.value(), standard.StallCurrent.value());
}

}  // namespace

// Nested in an exported class, the state would export its members too; kept
// out of the library's symbols, the step's calls among them are direct and
// may be inlined.
struct [[gnu::visibility("hidden")]] SimSwerveDrivetrain::State {
  struct Module {
    Module(MotorSim driveMotor, MotorSim steerMotor) : drive(driveMotor), steer(steerMotor) {}

    MotorSim drive;
    MotorSim steer;
    /// False when the settings cannot move it: it stands still.
    bool simulated = false;
    internal::Mechanism wheel;
    internal::Mechanism azimuth;
    double wheelRadius = 0.0;
    double coupling = 0.0;
    /// Stator current above which the wheel slips; infinite for none.
    double slipAmps = std::numeric_limits<double>::infinity();
    EncoderType encoder = EncoderType::None;
    int32_t encoderId = 0;
    double encoderOffsetTurns = 0.0;
    double encoderSign = 1.0;
    /// Where the step's inputs of a simulated module stand in the batch:
    /// each motor's rotor position and velocity, and the encoder's reading
    /// and rate (kNoInput: an encoder the simulation does not feed), which
    /// `encoderOrientation` signs.
    std::size_t steerInputs = kNoInput;
    std::size_t driveInputs = kNoInput;
    std::size_t encoderInputs = kNoInput;
    ChassisReference encoderOrientation = ChassisReference::CounterClockwise_Positive;

    // What the controllers apply during this Update.
    internal::Drive driveOutput;
    internal::Drive steerOutput;

    /// Motion, radians and radians per second of the mechanisms.
    struct Motion {
      double azimuthAngle = 0.0;
      double azimuthVelocity = 0.0;
      /// The wheel's rotation (what its motor turns), slip included.
      double wheelAngle = 0.0;
      double wheelVelocity = 0.0;
      /// The wheel's ground speed as a rotation rate (speed / radius); the
      /// wheel turns faster than this while it slips.
      double groundVelocity = 0.0;
    };
    Motion motion;

    /// One step of the module: the motion at its end, the azimuth halfway
    /// through and the angle the wheel rolled along the ground meanwhile.
    struct Stride {
      Motion motion;
      double midAzimuth = 0.0;
      double groundAngle = 0.0;
    };
    /// The exponentials of the last step of each mechanism, which the next
    /// step of the same length reuses.
    internal::StepDecay wheelDecay;
    internal::StepDecay azimuthDecay;

    /// The step through `seconds` more of the current outputs.
    [[gnu::always_inline]] inline Stride Stepped(double seconds);
  };

  static constexpr std::size_t kNoInput = static_cast<std::size_t>(-1);

  State(impl::SwerveDrivetrainImpl& drivetrain, std::span<const ModuleSettings> settings);
  /// Lays out the batch of inputs every step feeds, in the order of the
  /// modules: each simulated module's steer and drive motors and encoder,
  /// then the auklet 2.
  void PlaceInputs();

  void ReadOutputs();
  void Advance(double seconds);
  void Collide(double seconds, Pose2d& moved, double& turned);
  void Feed(double supplyVolts);

  std::vector<Module> modules;
  /// Where the simulation's reports come from: its first drive motor.
  std::string location;
  /// Whether a step since the last report held a module or the pose because
  /// its motion would not have been finite.
  bool held = false;
  impl::SwerveDriveKinematics kinematics;
  Auklet2SimState imu;
  /// The auklet 2's device ID, for its yaw and rate in one call.
  int imuId = 0;
  Pose2d pose;
  /// Heading as a continuous angle, radians (the auklet 2's yaw counts turns).
  double yaw = 0.0;
  ChassisSpeeds speeds;
  double simulatedSeconds = 0.0;
  double suppliedVolts = std::numeric_limits<double>::quiet_NaN();
  // Working space of each step, sized once.
  std::vector<SwerveModulePosition> deltas;
  std::vector<SwerveModuleState> states;
  std::vector<SwerveModulePosition> travel;  // the states' speeds as one second's travel
  std::vector<Translation2d> moduleLocations;
  /// The physics inputs of a step, laid out once, and the motor outputs
  /// read, kept so that their storage is reused.
  kvor::zephrin6::sim::internal::InputBatch inputs;
  std::size_t imuInputs = 0;
  std::vector<kvor::zephrin::platform::SimOutputRead> reads;
  /// The motor voltages every step reads, the drive's and the steer's of
  /// each simulated module in order: the same reads every step.
  std::vector<kvor::zephrin::platform::SimOutputRead> voltageReads;
  /// The field the robot is on; null for an endless floor.
  std::unique_ptr<internal::FieldWorld> field;
  SimBattery battery;
  /// Whether a brownout disabled the motor controllers.
  bool disabled = false;
};

SimSwerveDrivetrain::State::State(impl::SwerveDrivetrainImpl& drivetrain, std::span<const ModuleSettings> settings)
    : kinematics(drivetrain.GetModuleLocations()),
      imu(drivetrain.GetAuklet2()),
      imuId(drivetrain.GetAuklet2().GetDeviceID()),
      moduleLocations(drivetrain.GetModuleLocations()) {
  const auto& driveModules = drivetrain.GetModules();
  location = driveModules.empty() ? std::string("Swerve Simulation")
                                  : DeviceText(driveModules.front()->GetDriveMotor()) + " Swerve Simulation";
  modules.reserve(driveModules.size());
  for (std::size_t i = 0; i < driveModules.size(); ++i) {
    impl::SwerveModuleImpl& source = *driveModules[i];
    const std::string location = DeviceText(source.GetDriveMotor()) + " Swerve Simulation";
    if (i >= settings.size()) {
      ReportSetting(location, i, "settings count", static_cast<double>(settings.size()), "the module stands still");
      modules.emplace_back(MotorSim(source.GetDriveMotor(), false), MotorSim(source.GetSteerMotor(), false));
      continue;
    }
    const ModuleSettings& s = settings[i];
    Module m(MotorSim(source.GetDriveMotor(), s.DriveMotorInverted),
             MotorSim(source.GetSteerMotor(), s.SteerMotorInverted));
    constexpr const char* kStill = "the module stands still";
    const double driveRatio = PositiveOr(s.DriveMotorGearRatio, 0.0, location, i, "DriveMotorGearRatio", kStill);
    const double steerRatio = PositiveOr(s.SteerMotorGearRatio, 0.0, location, i, "SteerMotorGearRatio", kStill);
    m.wheelRadius = PositiveOr(s.WheelRadius.value(), 0.0, location, i, "WheelRadius", kStill);
    m.simulated = driveRatio > 0.0 && steerRatio > 0.0 && m.wheelRadius > 0.0;

    m.wheel = {ElectricsOf(source.GetDriveMotor(), s.DriveMotor), driveRatio,
               PositiveOr(s.DriveInertia.value(), kDefaultDriveInertia.value(), location, i, "DriveInertia",
                          "using the default inertia"),
               NonNegativeOrZero(s.DriveFrictionVoltage.value(), location, i, "DriveFrictionVoltage")};
    m.azimuth = {ElectricsOf(source.GetSteerMotor(), s.SteerMotor), steerRatio,
                 PositiveOr(s.SteerInertia.value(), kDefaultSteerInertia.value(), location, i, "SteerInertia",
                            "using the default inertia"),
                 NonNegativeOrZero(s.SteerFrictionVoltage.value(), location, i, "SteerFrictionVoltage")};
    if (std::isfinite(s.CouplingGearRatio)) {
      m.coupling = s.CouplingGearRatio;
    } else {
      ReportSetting(location, i, "CouplingGearRatio", s.CouplingGearRatio, "using 0");
    }
    const double slip = NonNegativeOrZero(s.SlipCurrent.value(), location, i, "SlipCurrent");
    if (slip > 0.0) m.slipAmps = slip;
    m.encoder = s.Encoder;
    m.encoderId = s.EncoderId;
    m.encoderOffsetTurns = std::isfinite(s.EncoderOffset.value()) ? s.EncoderOffset.value() : 0.0;
    m.encoderSign = s.EncoderInverted ? -1.0 : 1.0;
    modules.push_back(std::move(m));
  }
  deltas.resize(modules.size());
  states.resize(modules.size());
  travel.resize(modules.size());
  for (const Module& m : modules) {
    if (!m.simulated) continue;
    voltageReads.push_back(m.drive.Read("MotorVoltage"));
    voltageReads.push_back(m.steer.Read("MotorVoltage"));
  }
  PlaceInputs();
}

void SimSwerveDrivetrain::State::PlaceInputs() {
  using kvor::zephrin::platform::DeviceType;
  for (Module& m : modules) {
    if (!m.simulated) continue;
    m.steerInputs = m.steer.PlaceRotor(inputs);
    m.driveInputs = m.drive.PlaceRotor(inputs);
    if (m.encoder == EncoderType::Angulon) {
      // The drivetrain has no object for the encoder, so it is fed by ID; an
      // encoder the program never created is simply not there.
      m.encoderInputs = inputs.Place<DeviceType::Angulon, "RawPosition", "Velocity">(m.encoderId);
    } else if (const RapaxWSimState* input = m.encoder == EncoderType::RapaxWInput ? m.steer.RapaxW() : nullptr) {
      // Signed as the state's SetPulseWidthPosition and SetPulseWidthVelocity sign them.
      m.encoderInputs = inputs.Place<DeviceType::RapaxW, "PulseWidthPosition", "PulseWidthVelocity">(m.steer.Id());
      m.encoderOrientation = input->SensorOrientation;
    }
  }
  imuInputs = inputs.Place<DeviceType::Auklet2, "RawYaw", "AngularVelocityZ">(imuId);
}

void SimSwerveDrivetrain::State::ReadOutputs() {
  // Every motor's voltage in one call to the simulator, then, in a second,
  // the current of those that apply none: a bridge that applies no voltage
  // and carries no current has its windings open, and the motor coasts
  // instead of braking.
  // A read the simulator refuses leaves its value: 0, as every step starts it.
  for (kvor::zephrin::platform::SimOutputRead& read : voltageReads) read.value = 0.0;
  kvor::zephrin::platform::SimGetPhysicsValues(voltageReads);
  std::size_t next = 0;
  reads.clear();
  for (Module& m : modules) {
    if (!m.simulated) continue;
    m.driveOutput = {m.drive.Oriented(voltageReads[next++].value), false};
    m.steerOutput = {m.steer.Oriented(voltageReads[next++].value), false};
    if (m.driveOutput.volts == 0.0) reads.push_back(m.drive.Read("TorqueCurrent"));
    if (m.steerOutput.volts == 0.0) reads.push_back(m.steer.Read("TorqueCurrent"));
  }
  if (reads.empty()) return;
  kvor::zephrin::platform::SimGetPhysicsValues(reads);
  next = 0;
  for (Module& m : modules) {
    if (!m.simulated) continue;
    if (m.driveOutput.volts == 0.0) m.driveOutput.coasting = m.drive.Oriented(reads[next++].value) == 0.0;
    if (m.steerOutput.volts == 0.0) m.steerOutput.coasting = m.steer.Oriented(reads[next++].value) == 0.0;
  }
}

SimSwerveDrivetrain::State::Module::Stride SimSwerveDrivetrain::State::Module::Stepped(double seconds) {
  Stride stride;
  Motion& next = stride.motion;
  const internal::Motion turned = internal::Step(azimuth, steerOutput, motion.azimuthVelocity, seconds, azimuthDecay);
  stride.midAzimuth = motion.azimuthAngle + turned.angle / 2.0;
  next.azimuthAngle = motion.azimuthAngle + turned.angle;
  next.azimuthVelocity = turned.velocity;

  // Turning the azimuth turns the drive motor through the coupling gear;
  // that motion's back-EMF is lost to the wheel.
  internal::Drive wheelDrive = driveOutput;
  wheelDrive.volts -= wheel.motor.torquePerAmp * coupling * turned.angle / seconds;
  const double amps = wheelDrive.coasting ? 0.0 : internal::Current(wheel, wheelDrive.volts, motion.groundVelocity);
  if (std::abs(amps) > slipAmps) {
    // The floor takes no more than the slip current's torque; the rest
    // spins the (light) wheel, whose motor then draws just that current.
    const double push = std::copysign(slipAmps, amps);
    const double acceleration = wheel.gearRatio * wheel.motor.torquePerAmp * push / wheel.inertia;
    stride.groundAngle = motion.groundVelocity * seconds + acceleration * seconds * seconds / 2.0;
    next.groundVelocity = motion.groundVelocity + acceleration * seconds;
    next.wheelVelocity = internal::VelocityAtCurrent(wheel, wheelDrive.volts, push);
    next.wheelAngle = motion.wheelAngle + next.wheelVelocity * seconds;
  } else {
    const internal::Motion rolled = internal::Step(wheel, wheelDrive, motion.groundVelocity, seconds, wheelDecay);
    stride.groundAngle = rolled.angle;
    next.groundVelocity = next.wheelVelocity = rolled.velocity;
    next.wheelAngle = motion.wheelAngle + rolled.angle;
  }
  return stride;
}

void SimSwerveDrivetrain::State::Advance(double seconds) {
  for (std::size_t i = 0; i < modules.size(); ++i) {
    Module& m = modules[i];
    if (m.simulated) {
      const Module::Stride stride = m.Stepped(seconds);
      const Module::Motion& next = stride.motion;
      // Settings or outputs at the ends of the doubles (a gear ratio of 1e308,
      // a motor voltage of 1e308) can overflow the physics; such a step is
      // not taken, so that the module, its ground speed and the pose stay
      // finite numbers.
      const double distance = stride.groundAngle * m.wheelRadius;
      if (std::isfinite(next.azimuthAngle) && std::isfinite(next.azimuthVelocity) && std::isfinite(next.wheelAngle) &&
          std::isfinite(next.wheelVelocity) && std::isfinite(next.groundVelocity * m.wheelRadius) &&
          std::isfinite(distance)) {
        m.motion = next;
        deltas[i] = {units::length::meter_t{distance}, Rotation2d(units::angle::radian_t{stride.midAzimuth})};
        continue;
      }
      held = true;
    }
    // A module that did not move stands at its azimuth (built only here: a
    // rotation costs a cosine and a sine).
    deltas[i] = {units::length::meter_t{0.0}, Rotation2d(units::angle::radian_t{m.motion.azimuthAngle})};
  }
  const Twist2d twist = kinematics.ToTwist2d(deltas);
  Pose2d moved = pose.Exp(twist);
  double turned = twist.dtheta.value();
  if (field) Collide(seconds, moved, turned);
  if (!swerve::internal::FindNonFinite(moved) && std::isfinite(yaw + turned)) {
    pose = moved;
    yaw += turned;
  } else {
    held = true;
  }
}

// Where a wall or an obstacle stopped or deflected the chassis, each wheel
// rolls on with the chassis' motion at its location along its azimuth: a
// wheel driven on against a wall then slips, its motor turning on while the
// robot stands, as on a real robot.
void SimSwerveDrivetrain::State::Collide(double seconds, Pose2d& moved, double& turned) {
  ChassisSpeeds chassis;
  if (!field->Move(pose, moved, turned, seconds, chassis)) return;
  const double vx = chassis.vx.value(), vy = chassis.vy.value(), omega = chassis.omega.value();
  for (std::size_t i = 0; i < modules.size(); ++i) {
    Module& m = modules[i];
    if (!m.simulated || i >= moduleLocations.size()) continue;
    const double x = moduleLocations[i].X().value(), y = moduleLocations[i].Y().value();
    const double along =
        (vx - omega * y) * std::cos(m.motion.azimuthAngle) + (vy + omega * x) * std::sin(m.motion.azimuthAngle);
    m.motion.groundVelocity = along / m.wheelRadius;
  }
}

void SimSwerveDrivetrain::State::Feed(double supplyVolts) {
  if (supplyVolts != suppliedVolts) {
    for (Module& m : modules) {
      m.drive.SetSupply(supplyVolts);
      m.steer.SetSupply(supplyVolts);
    }
    imu.SetSupplyVoltage(units::voltage::volt_t{supplyVolts});
    suppliedVolts = supplyVolts;
  }
  // Every device's inputs of the step go to the simulator in one call.
  using kvor::zephrin6::sim::internal::Oriented;
  for (std::size_t i = 0; i < modules.size(); ++i) {
    Module& m = modules[i];
    const Module::Motion& motion = m.motion;
    states[i] = {units::velocity::meters_per_second_t{motion.groundVelocity * m.wheelRadius},
                 Rotation2d(units::angle::radian_t{motion.azimuthAngle})};
    if (!m.simulated) continue;
    inputs.Set(m.steerInputs, m.steer.Oriented(motion.azimuthAngle * m.azimuth.gearRatio / kTwoPi));
    inputs.Set(m.steerInputs + 1, m.steer.Oriented(motion.azimuthVelocity * m.azimuth.gearRatio / kTwoPi));
    inputs.Set(m.driveInputs,
               m.drive.Oriented((motion.wheelAngle * m.wheel.gearRatio + motion.azimuthAngle * m.coupling) / kTwoPi));
    inputs.Set(m.driveInputs + 1, m.drive.Oriented((motion.wheelVelocity * m.wheel.gearRatio +
                                                    motion.azimuthVelocity * m.coupling) /
                                                   kTwoPi));
    if (m.encoderInputs == kNoInput) continue;
    const double reading = m.encoderOffsetTurns + m.encoderSign * motion.azimuthAngle / kTwoPi;
    const double readingRate = m.encoderSign * motion.azimuthVelocity / kTwoPi;
    inputs.Set(m.encoderInputs, Oriented(m.encoderOrientation, reading));
    inputs.Set(m.encoderInputs + 1, Oriented(m.encoderOrientation, readingRate));
  }
  // Finite module speeds near the end of the doubles may still overflow
  // in the kinematics; the robot then keeps the speeds it last had. The
  // states' rotations were built from their azimuths just above.
  if (const ChassisSpeeds measured = swerve::internal::SpeedsOfBuiltStates(kinematics, states, travel);
      swerve::internal::IsFinite(measured)) {
    speeds = measured;
  }
  inputs.Set(imuInputs, yaw * kDegreesPerRadian);
  inputs.Set(imuInputs + 1, speeds.omega.value() * kDegreesPerRadian);
  inputs.Send();
}

SimSwerveDrivetrain::SimSwerveDrivetrain(impl::SwerveDrivetrainImpl& drivetrain,
                                         std::span<const ModuleSettings> modules)
    : state_(std::make_unique<State>(drivetrain, modules)) {}

SimSwerveDrivetrain::~SimSwerveDrivetrain() { StopThread(); }

StatusCode SimSwerveDrivetrain::Update(units::time::second_t dt, units::voltage::volt_t supplyVoltage) {
  const double seconds = dt.value();
  const double volts = supplyVoltage.value();
  if (!(std::isfinite(seconds) && seconds >= 0.0) || !(std::isfinite(volts) && volts >= 0.0)) {
    return StatusCode::InvalidParamValue;
  }
  // A longer step is a program that stood still (a debugger, a stalled
  // machine) or a clock that jumped, not the robot driving on for that
  // long; integrating all of it would hold the lock for as long as it takes.
  const double integrated = std::min(seconds, kMaxUpdate.value());
  kvor::zephrin::LockGuard lock(mutex_);
  State& state = *state_;
  state.ReadOutputs();
  const int pieces = static_cast<int>(std::ceil(integrated / kMaxStep.value()));
  for (int piece = 0; piece < pieces; ++piece) state.Advance(integrated / pieces);
  state.simulatedSeconds += integrated;
  state.Feed(volts);
  if (integrated < seconds) {
    char text[160];
    std::snprintf(text, sizeof text, "Swerve simulation: an update of %g s integrates only its first %g s.", seconds,
                  integrated);
    kvor::zephrin6::internal::ReportMessage(false, text, state.location, 2);
  }
  if (state.held) {
    kvor::zephrin6::internal::ReportMessage(
        false, "Swerve simulation: a module or the pose stood still where its motion would not have been finite.",
        state.location, 2);
    state.held = false;
  }
  return StatusCode::OK;
}

Pose2d SimSwerveDrivetrain::GetPose() const {
  kvor::zephrin::LockGuard lock(mutex_);
  return state_->pose;
}

StatusCode SimSwerveDrivetrain::ResetPose(const Pose2d& pose) {
  const double heading = pose.Rotation().Radians().value();
  if (!std::isfinite(pose.X().value()) || !std::isfinite(pose.Y().value()) || !std::isfinite(heading)) {
    return StatusCode::InvalidParamValue;
  }
  kvor::zephrin::LockGuard lock(mutex_);
  state_->pose = pose;
  state_->yaw = heading;
  if (state_->field) state_->field->Reset();
  return StatusCode::OK;
}

ChassisSpeeds SimSwerveDrivetrain::GetChassisSpeeds() const {
  kvor::zephrin::LockGuard lock(mutex_);
  return state_->speeds;
}

std::vector<SwerveModuleState> SimSwerveDrivetrain::GetModuleStates() const {
  kvor::zephrin::LockGuard lock(mutex_);
  return state_->states;
}

units::time::second_t SimSwerveDrivetrain::GetSimulatedTime() const {
  kvor::zephrin::LockGuard lock(mutex_);
  return units::time::second_t{state_->simulatedSeconds};
}

StatusCode SimSwerveDrivetrain::Update(units::time::second_t dt) {
  if (!(std::isfinite(dt.value()) && dt.value() >= 0.0)) return StatusCode::InvalidParamValue;
  return Update(dt, DrawBattery());
}

// The battery answers the current the controllers drew at their last
// firmware step: the load lags the voltage by that step, a millisecond.
units::voltage::volt_t SimSwerveDrivetrain::DrawBattery() {
  kvor::zephrin::LockGuard lock(mutex_);
  State& state = *state_;
  // Every motor's supply current in one call to the simulator.
  state.reads.clear();
  for (const State::Module& m : state.modules) {
    state.reads.push_back(m.drive.Read("SupplyCurrent"));
    state.reads.push_back(m.steer.Read("SupplyCurrent"));
  }
  kvor::zephrin::platform::SimGetPhysicsValues(state.reads);
  double amps = 0.0;
  for (std::size_t i = 0; i < state.modules.size(); ++i) {
    amps += state.reads[2 * i].value + state.reads[2 * i + 1].value;
  }
  const units::voltage::volt_t volts = state.battery.Draw(units::current::ampere_t{amps});
  if (state.battery.IsBrownedOut() != state.disabled) {
    state.disabled = state.battery.IsBrownedOut();
    for (State::Module& m : state.modules) {
      m.drive.SetEnabled(!state.disabled);
      m.steer.SetEnabled(!state.disabled);
    }
  }
  return volts;
}

StatusCode SimSwerveDrivetrain::SetField(const SimField& field) {
  if (field.Check() != StatusCode::OK) return StatusCode::InvalidParamValue;
  const std::vector<Translation2d> locations = [&] {
    kvor::zephrin::LockGuard lock(mutex_);
    return state_->moduleLocations;
  }();
  const std::vector<Translation2d> footprint = field.FootprintFor(locations);
  if (SimField::CheckPolygon(footprint) != StatusCode::OK) return StatusCode::InvalidParamValue;
  auto world = std::make_unique<internal::FieldWorld>(field, footprint, locations, field.ChassisMass.value(),
                                                      field.MomentOfInertiaFor(footprint).value());
  kvor::zephrin::LockGuard lock(mutex_);
  state_->field = std::move(world);
  return StatusCode::OK;
}

void SimSwerveDrivetrain::ClearField() {
  kvor::zephrin::LockGuard lock(mutex_);
  state_->field.reset();
}

bool SimSwerveDrivetrain::HasField() const {
  kvor::zephrin::LockGuard lock(mutex_);
  return state_->field != nullptr;
}

void SimSwerveDrivetrain::SetBattery(const SimBattery& battery) {
  kvor::zephrin::LockGuard lock(mutex_);
  state_->battery = battery;
}

SimBattery SimSwerveDrivetrain::GetBattery() const {
  kvor::zephrin::LockGuard lock(mutex_);
  return state_->battery;
}

StatusCode SimSwerveDrivetrain::StartThread(units::time::second_t period) {
  if (!PositiveFinite(period.value())) return StatusCode::InvalidParamValue;
  return Start(period.value(), std::numeric_limits<double>::quiet_NaN());
}

StatusCode SimSwerveDrivetrain::StartThread(units::time::second_t period, units::voltage::volt_t supplyVoltage) {
  const double volts = supplyVoltage.value();
  if (!PositiveFinite(period.value()) || !(std::isfinite(volts) && volts >= 0.0)) return StatusCode::InvalidParamValue;
  return Start(period.value(), volts);
}

StatusCode SimSwerveDrivetrain::Start(double seconds, double volts) {
  kvor::zephrin::LockGuard lock(threadMutex_);
  if (running_.load()) return StatusCode::OK;
  if (thread_.joinable()) thread_.join();
  running_.store(true);
  // Time counts from this call, however late the thread gets going.
  const double start = kvor::zephrin6::utils::GetCurrentTimeSeconds();
  thread_ = std::thread([this, start, seconds, volts] { Run(start, seconds, volts); });
  return StatusCode::OK;
}

void SimSwerveDrivetrain::StopThread() {
  kvor::zephrin::LockGuard lock(threadMutex_);
  {
    kvor::zephrin::LockGuard wake(wakeMutex_);
    running_.store(false);
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void SimSwerveDrivetrain::Run(double startSeconds, double periodSeconds, double supplyVolts) {
  double last = startSeconds;
  const auto period = std::chrono::duration<double>(periodSeconds);
  while (true) {
    {
      kvor::zephrin::UniqueLock wake(wakeMutex_);
      if (wake.WaitFor(wake_, period, [&] { return !running_.load(); })) return;
    }
    // The runtime's clock may be manual or a replay: the physics follows
    // whatever time it shows, and a clock that went back is taken as the
    // new start.
    const double now = kvor::zephrin6::utils::GetCurrentTimeSeconds();
    if (now > last) {
      const units::time::second_t dt{now - last};
      // Update refuses only a dt that is not finite, which a later clock reading replaces.
      static_cast<void>(std::isnan(supplyVolts) ? Update(dt) : Update(dt, units::voltage::volt_t{supplyVolts}));
    }
    last = now;
  }
}

}  // namespace kvor::zephrin6::swerve::sim
