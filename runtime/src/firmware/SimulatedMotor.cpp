#include "firmware/SimulatedMotor.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace kvor::zephrin::runtime::firmware {
namespace {

constexpr double kDt = SimulatedMotor::kStepSeconds;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The motors. Both have a speed constant consistent with their torque
// constant; the rotor inertia is what a bare motor turns without a physics
// model (a rotor of a few centimetres).
constexpr MotorConstants kIntegratedMotor{500.0, 360.0, 6.0e-5};
constexpr MotorConstants kExternalMotor{560.0, 260.0, 5.0e-5};

// The firmware version every simulated motor controller reports.
constexpr int kVersionMajor = 1, kVersionMinor = 0, kVersionBugfix = 0, kVersionBuild = 0;

// Ambient temperature of the simulated devices, degrees Celsius.
constexpr double kAmbientCelsius = 25.0;
// Supply voltages below which the device warns and below which its bridge
// turns off, and above which it warns of over-voltage.
constexpr double kUndervoltage = 6.5;
constexpr double kBrownout = 5.5;
constexpr double kOverSupply = 28.0;

// The faults of a motor controller, by bit of the fault field; a fault with
// signal ID N has its sticky twin at N + 1 and its clear action at N + 2.
constexpr uint16_t kFaultIds[] = {10001, 10004, 10007, 10010, 10013, 10049, 10052, 10055, 10058,
                                  10061, 10064, 10067, 10070, 10073, 10076, 10079, 10082, 10085,
                                  10088, 10091, 10094, 10100, 10103, 10106, 10109, 10112, 10115};
enum FaultBit {
  kUndervoltageFault = 3,
  kBrownoutFault = 5,
  kMissingDifferentialQ = 7,
  kOverSupplyFault = 9,
  kReverseHardLimit = 11,
  kForwardHardLimit = 12,
  kReverseSoftLimit = 13,
  kForwardSoftLimit = 14,
  kMissingHardLimitRemote = 16,
  kRemoteSensorDataInvalid = 17,
  kStatorCurrLimit = 19,
  kSupplyCurrLimit = 20,
};
constexpr int kSetPositionAction = 1016;
constexpr int kClearAllStickyAction = 2216;

int FaultIndex(uint16_t signalId) {
  for (int i = 0; i < static_cast<int>(std::size(kFaultIds)); ++i) {
    if (kFaultIds[i] == signalId) return i;
  }
  return -1;
}

// Outputs that a ramp period takes from zero to full, by output kind.
constexpr double kFullScale[] = {1.0, 12.0, 300.0};

// Signals of the sensors a motor controller reads remotely.
constexpr uint16_t kAngulonVelocity = 2206, kAngulonPosition = 2207, kAngulonMagnetHealth = 2213;
constexpr double kMagnetMissing = 3.0;
constexpr uint16_t kPortisQuadraturePosition = 2679, kPortisQuadratureVelocity = 2857;
constexpr uint16_t kPortisPwm1Position = 2686, kPortisPwm1Velocity = 2688;
constexpr uint16_t kPortisPwm2Position = 2690, kPortisPwm2Velocity = 2847;
constexpr uint16_t kPortisS1Closed = 2871, kPortisS2Closed = 2872;
constexpr uint16_t kImuAngles[] = {973, 974, 975};       // yaw, pitch, roll, degrees
constexpr uint16_t kImuRates[] = {993, 992, 991};        // about Z, Y, X, degrees per second
// A synchronised rotor sensor jumps back onto its absolute sensor when they
// disagree by more than this, rotations.
constexpr double kSyncTolerance = 0.05;

double MoveToward(double from, double to, double step) {
  return from < to ? std::min(from + step, to) : std::max(from - step, to);
}

// Position of an absolute sensor within one rotation ending at `discontinuity`.
double WrapAbsolute(double rotations, double discontinuity) {
  return rotations - std::floor(rotations - discontinuity + 1.0);
}

LoopMeasurement Mean(const LoopMeasurement& a, const LoopMeasurement& b) {
  return {(a.position + b.position) / 2, (a.velocity + b.velocity) / 2, (a.acceleration + b.acceleration) / 2};
}

}  // namespace

SimulatedMotor::SimulatedMotor(uint32_t hash, int deviceId, std::string bus, bool externalMotor,
                               std::string_view settingsText)
    : hash_(hash),
      deviceId_(deviceId),
      bus_(std::move(bus)),
      external_(externalMotor),
      motor_(externalMotor ? kExternalMotor : kIntegratedMotor) {
  Configure(settingsText);
  polarity_ = settings_.inverted ? -1.0 : 1.0;
}

// ---- What reaches the device ----------------------------------------------

void SimulatedMotor::Receive(const ControlCommand& command, uint64_t sequence) {
  pending_ = command;
  hasPending_ = true;
  requestSequence_ = sequence;
}

void SimulatedMotor::Configure(std::string_view settingsText) {
  const MotorSettings before = settings_;
  settings_ = ParseMotorSettings(settingsText, settings_, external_);
  if (settings_.feedbackSource != before.feedbackSource || settings_.feedbackRemoteId != before.feedbackRemoteId) {
    synced_ = false;
  }
}

bool SimulatedMotor::Act(int configId, double value) {
  if (configId == kSetPositionAction) {
    positionOffset_ += value - position_;
    position_ = value;
    return true;
  }
  if (configId == kClearAllStickyAction) {
    stickyFaults_ = faults_;
    return true;
  }
  const int index = FaultIndex(static_cast<uint16_t>(configId - 2));
  if (index < 0) return false;
  // A fault still present is sticky again at once.
  const uint64_t bit = uint64_t{1} << index;
  stickyFaults_ = (stickyFaults_ & ~bit) | (faults_ & bit);
  return true;
}

bool SimulatedMotor::SetInput(std::string_view name, double value) {
  if (name == "SupplyVoltage") {
    supplyInput_ = std::max(0.0, value);
  } else if (name == "ForwardLimit") {
    forwardInput_ = value >= 0.5;
  } else if (name == "ReverseLimit") {
    reverseInput_ = value >= 0.5;
  } else if (name == "RawRotorPosition") {
    rotorPosition_ = value;
    positionGiven_ = true;
  } else if (name == "AddRotorPosition") {
    rotorPosition_ += value;
    positionGiven_ = true;
  } else if (name == "RotorVelocity") {
    rotorVelocity_ = value;
    velocityDriven_ = true;
  } else if (name == "RotorAcceleration") {
    accelerationInput_ = value;
    accelerationGiven_ = true;
  } else if (external_ && name == "RawQuadraturePosition") {
    quadratureEdges_ = value;
  } else if (external_ && name == "AddQuadraturePosition") {
    quadratureEdges_ += value;
  } else if (external_ && name == "QuadratureVelocity") {
    quadratureEdgesPerSecond_ = value;
  } else if (external_ && name == "QuadratureAcceleration") {
    // The firmware derives what it needs from the velocity.
  } else if (external_ && name == "PulseWidthPosition") {
    pulseWidthPosition_ = value;
  } else if (external_ && name == "PulseWidthVelocity") {
    pulseWidthVelocity_ = value;
  } else {
    return false;
  }
  return true;
}

bool SimulatedMotor::Takes(std::string_view name, double value) const {
  if (name == "AddRotorPosition") return std::isfinite(rotorPosition_ + value);
  if (external_ && name == "AddQuadraturePosition") return std::isfinite(quadratureEdges_ + value);
  return true;
}

bool SimulatedMotor::Output(std::string_view name, double& value) const {
  if (name == "MotorVoltage") value = electrical_.volts;
  else if (name == "TorqueCurrent") value = electrical_.amps;
  else if (name == "SupplyCurrent") value = electrical_.supplyAmps;
  else return false;
  return true;
}

// ---- Sensing ----------------------------------------------------------------

void SimulatedMotor::Sense(const MotorSurroundings& world) {
  SenseRotor();
  if (settings_.supplyFilterSeconds > 0.0) {
    supplyFiltered_ += (supplyInput_ - supplyFiltered_) * kDt / (settings_.supplyFilterSeconds + kDt);
  } else {
    supplyFiltered_ = supplyInput_;
  }
  SenseFeedback(world);

  SetFault(kMissingHardLimitRemote, false);
  const bool wasForward = forwardClosed_, wasReverse = reverseClosed_;
  forwardClosed_ = LimitClosed(settings_.forwardLimit, forwardInput_, true, world);
  reverseClosed_ = LimitClosed(settings_.reverseLimit, reverseInput_, false, world);
  // Reaching a switch may re-zero the position.
  if (forwardClosed_ && !wasForward && settings_.forwardLimit.autosetPosition) Act(kSetPositionAction, settings_.forwardLimit.autosetValue);
  if (reverseClosed_ && !wasReverse && settings_.reverseLimit.autosetPosition) Act(kSetPositionAction, settings_.reverseLimit.autosetValue);

  SetFault(kUndervoltageFault, supplyInput_ < kUndervoltage);
  SetFault(kBrownoutFault, supplyInput_ < kBrownout);
  SetFault(kOverSupplyFault, supplyInput_ > kOverSupply);
}

void SimulatedMotor::SenseRotor() {
  // A physics model that drives the rotor sets its velocity (and usually its
  // position); otherwise the bare rotor moved during the last Actuate.
  rotorAcceleration_ = accelerationGiven_ ? accelerationInput_ : (rotorVelocity_ - previousRotorVelocity_) / kDt;
  previousRotorVelocity_ = rotorVelocity_;
}

void SimulatedMotor::SenseFeedback(const MotorSurroundings& world) {
  const double rotor = polarity_ * rotorPosition_;
  const double rotorVelocity = polarity_ * rotorVelocity_;
  const double rotorSensor = rotor / settings_.rotorToSensor;
  const double rotorSensorVelocity = rotorVelocity / settings_.rotorToSensor;
  double position = rotor + (external_ ? 0.0 : settings_.rotorOffset);
  double velocity = rotorVelocity;
  bool fromRotor = true;
  bool remoteMissing = false;

  auto remote = [&](std::string_view model, uint16_t positionId, uint16_t velocityId) {
    double p = 0.0, v = 0.0;
    if (!world.SensorValue(bus_, model, settings_.feedbackRemoteId, positionId, p) ||
        !world.SensorValue(bus_, model, settings_.feedbackRemoteId, velocityId, v)) {
      remoteMissing = true;
      return;
    }
    position = p;
    velocity = v;
    fromRotor = false;
  };
  switch (settings_.feedbackSource) {
    case FeedbackSource::Rotor:
      break;
    case FeedbackSource::RemoteAngulon:
      remote("angulon", kAngulonPosition, kAngulonVelocity);
      break;
    case FeedbackSource::FusedAngulon:
      remote("angulon", kAngulonPosition, kAngulonVelocity);
      if (!remoteMissing) velocity = rotorSensorVelocity;  // the rotor is the faster sensor
      break;
    case FeedbackSource::SyncAngulon: {
      double absolute = 0.0;
      if (world.SensorValue(bus_, "angulon", settings_.feedbackRemoteId, kAngulonPosition, absolute)) {
        if (!synced_ || std::abs(absolute - (rotorSensor + syncOffset_)) > kSyncTolerance) {
          syncOffset_ = absolute - rotorSensor;
          synced_ = true;
        }
      } else {
        remoteMissing = true;
      }
      position = rotorSensor + syncOffset_;
      velocity = rotorSensorVelocity;
      fromRotor = false;
      break;
    }
    case FeedbackSource::RemotePortisQuadrature:
      remote("portis", kPortisQuadraturePosition, kPortisQuadratureVelocity);
      break;
    case FeedbackSource::RemotePortisPwm1:
      remote("portis", kPortisPwm1Position, kPortisPwm1Velocity);
      break;
    case FeedbackSource::RemotePortisPwm2:
      remote("portis", kPortisPwm2Position, kPortisPwm2Velocity);
      break;
    case FeedbackSource::Quadrature: {
      const double phase = settings_.sensorPhaseInverted ? -1.0 : 1.0;
      const double edges = settings_.quadratureEdgesPerRotation;
      position = phase * quadratureEdges_ / edges;
      velocity = phase * quadratureEdgesPerSecond_ / edges;
      fromRotor = false;
      break;
    }
    case FeedbackSource::PulseWidth: {
      const double phase = settings_.sensorPhaseInverted ? -1.0 : 1.0;
      position = WrapAbsolute(phase * pulseWidthPosition_ + settings_.absoluteSensorOffset,
                              settings_.absoluteDiscontinuity);
      velocity = phase * pulseWidthVelocity_;
      fromRotor = false;
      break;
    }
  }
  // Without its remote sensor the device carries on with its rotor and says so.
  SetFault(kRemoteSensorDataInvalid, remoteMissing);
  sensorPosition_ = position;
  sensorVelocity_ = velocity;

  const double ratio = settings_.sensorToMechanism;
  position_ = sensorPosition_ / ratio + positionOffset_;
  const double rawVelocity = sensorVelocity_ / ratio;
  const double tau = settings_.velocityFilterSeconds;
  filteredVelocity_ = tau > 0.0 ? filteredVelocity_ + (rawVelocity - filteredVelocity_) * kDt / (tau + kDt) : rawVelocity;
  velocity_ = filteredVelocity_;
  acceleration_ = fromRotor ? polarity_ * rotorAcceleration_ / ratio : (rawVelocity - previousVelocity_) / kDt;
  previousVelocity_ = rawVelocity;
}

bool SimulatedMotor::LimitClosed(const LimitSwitch& limit, bool ownInput, bool forward,
                                 const MotorSurroundings& world) {
  double value = 0.0;
  switch (limit.source) {
    case 0:  // the device's own pin
      return ownInput;
    case 1:  // the same switch of a remote rapax q
      if (const SimulatedMotor* other = world.FindMotor(bus_, limit.remoteId, true)) {
        return forward ? other->ForwardLimitInput() : other->ReverseLimitInput();
      }
      break;
    case 2:  // portis S1
    case 5:  // portis S2
      if (world.SensorValue(bus_, "portis", limit.remoteId, limit.source == 2 ? kPortisS1Closed : kPortisS2Closed,
                            value)) {
        return value != 0.0;
      }
      break;
    case 4:  // an angulon that lost its magnet
      if (world.SensorValue(bus_, "angulon", limit.remoteId, kAngulonMagnetHealth, value)) {
        return value == kMagnetMissing;
      }
      break;
    default:  // disabled
      return false;
  }
  SetFault(kMissingHardLimitRemote, true);
  return false;
}

// ---- Control ----------------------------------------------------------------

void SimulatedMotor::ClearLoops() {
  averageAxis_.loop.Reset();
  differenceAxis_.loop.Reset();
  averageAxis_.profile.Stop();
  differenceAxis_.profile.Stop();
}

void SimulatedMotor::Activate(const ControlCommand& command) {
  const bool sameLoop = command.action == command_.action && command.controlMode == command_.controlMode &&
                        command.average.slot == command_.average.slot &&
                        command.difference.slot == command_.difference.slot;
  if (!sameLoop) ClearLoops();
  command_ = command;
}

double SimulatedMotor::OutputLimit(OutputKind kind) const {
  switch (kind) {
    case OutputKind::DutyCycle: return 1.0;
    case OutputKind::Voltage: return supplyFiltered_;
    case OutputKind::TorqueCurrent: return settings_.statorLimitEnable ? settings_.statorLimit : settings_.peakForwardAmps;
  }
  return 1.0;
}

Bridge SimulatedMotor::NeutralBridge(OutputKind kind) const {
  if (command_.overrideNeutral) return kind == OutputKind::TorqueCurrent ? Bridge::Coast : Bridge::Brake;
  return settings_.brakeInNeutral ? Bridge::Brake : Bridge::Coast;
}

void SimulatedMotor::Control(const MotorSurroundings& world) {
  if (hasPending_) {
    Activate(pending_);
    hasPending_ = false;
  }
  if (command_.action != Action::Follow) polarity_ = settings_.inverted ? -1.0 : 1.0;

  const bool forwardSoft = settings_.forwardSoftLimitEnable && position_ >= settings_.forwardSoftLimit;
  const bool reverseSoft = settings_.reverseSoftLimitEnable && position_ <= settings_.reverseSoftLimit;
  const bool forwardHard = forwardClosed_ && settings_.forwardLimit.enable;
  const bool reverseHard = reverseClosed_ && settings_.reverseLimit.enable;
  SetFault(kForwardSoftLimit, forwardSoft);
  SetFault(kReverseSoftLimit, reverseSoft);
  SetFault(kForwardHardLimit, forwardHard);
  SetFault(kReverseHardLimit, reverseHard);
  const bool ignoreHard = command_.ignoreHardwareLimits;
  forwardBlocked_ = (forwardHard && !ignoreHard) || forwardSoft || command_.limitForward;
  reverseBlocked_ = (reverseHard && !ignoreHard) || reverseSoft || command_.limitReverse;

  // The differential axes are measured whenever a difference sensor is set up.
  SetFault(kMissingDifferentialQ, false);
  differentialAverage_ = differentialDifference_ = LoopMeasurement{position_, velocity_, acceleration_};
  const bool differentialReady = MeasureDifferential(world, differentialAverage_, differentialDifference_);
  if (!differentialReady) differentialDifference_ = {};

  averageOut_ = differenceOut_ = AxisOutput{};
  const Applied neutral{NeutralBridge(command_.kind), command_.kind, 0.0, 0.0, 0.0, polarity_};
  switch (command_.action) {
    case Action::Disabled:
    case Action::Neutral:
      applied_ = neutral;
      break;
    case Action::Coast:
      applied_ = neutral;
      applied_.bridge = Bridge::Coast;
      break;
    case Action::Brake:
      applied_ = neutral;
      applied_.bridge = Bridge::ActiveBrake;
      break;
    case Action::Music:
      applied_ = neutral;
      applied_.bridge = Bridge::Music;
      break;
    case Action::Drive:
      if (command_.difference.loop != Loop::None && !differentialReady) {
        applied_ = neutral;  // no difference sensor: the device cannot drive the difference
      } else {
        Drive();
      }
      break;
    case Action::Follow:
      Follow(world);
      break;
  }
  if (applied_.value == 0.0) ramp_ = 0.0;
  if (supplyInput_ < kBrownout && applied_.bridge != Bridge::Music) {
    applied_.bridge = Bridge::Coast;
    applied_.value = 0.0;
  }
}

bool SimulatedMotor::MeasureDifferential(const MotorSurroundings& world, LoopMeasurement& average,
                                         LoopMeasurement& difference) {
  const int source = settings_.differentialSource;
  if (source < 1 || source > 5) return false;  // no difference sensor
  const LoopMeasurement own{position_, velocity_, acceleration_};
  const SimulatedMotor* partner = world.FindMotor(bus_, settings_.differentialQId, true);
  const LoopMeasurement other =
      partner != nullptr ? LoopMeasurement{partner->position_, partner->velocity_, partner->acceleration_} : own;
  if (source == 1) {  // the difference of this device and a remote rapax q
    if (partner == nullptr || partner == this) {
      SetFault(kMissingDifferentialQ, true);
      return false;
    }
    average = Mean(own, other);
    difference = {own.position - other.position, own.velocity - other.velocity,
                  own.acceleration - other.acceleration};
    return true;
  }
  double position = 0.0, velocity = 0.0;
  bool found = false;
  if (source >= 2 && source <= 4) {  // an IMU angle, in rotations
    const int axis = source - 2;
    found = world.SensorValue(bus_, "auklet 2", settings_.differentialRemoteId, kImuAngles[axis], position) &&
            world.SensorValue(bus_, "auklet 2", settings_.differentialRemoteId, kImuRates[axis], velocity);
    position /= 360.0;
    velocity /= 360.0;
  } else {
    found = world.SensorValue(bus_, "angulon", settings_.differentialRemoteId, kAngulonPosition, position) &&
            world.SensorValue(bus_, "angulon", settings_.differentialRemoteId, kAngulonVelocity, velocity);
  }
  if (!found) {
    SetFault(kRemoteSensorDataInvalid, true);
    return false;
  }
  average = partner != nullptr && partner != this ? Mean(own, other) : own;
  difference = {position, velocity, 0.0};
  return true;
}

SimulatedMotor::AxisOutput SimulatedMotor::StepAxis(const Setpoint& setpoint, AxisState& state,
                                                    const LoopMeasurement& measured, double limit) {
  AxisOutput out;
  out.slot = std::clamp(setpoint.slot, 0, 2);
  LoopReference ref;
  ref.feedForward = setpoint.feedForward;
  MotionProfile& profile = state.profile;
  auto startProfile = [&] {
    if (!profile.Started()) profile.Start(measured.position, measured.velocity);
  };
  switch (setpoint.loop) {
    case Loop::None:
      return out;
    case Loop::Open:
      out.value = setpoint.output;
      return out;
    case Loop::Position:
      ref.reference = setpoint.position;
      ref.slope = setpoint.velocity;
      break;
    case Loop::Velocity:
      ref.isPosition = false;
      ref.reference = setpoint.velocity;
      ref.slope = ref.acceleration = setpoint.acceleration;
      break;
    case Loop::Profile:
    case Loop::DynamicProfile:
    case Loop::ExpoProfile:
      startProfile();
      if (setpoint.loop == Loop::ExpoProfile) {
        profile.StepExpo(setpoint.position, settings_.expoKV, settings_.expoKA, supplyFiltered_,
                         settings_.cruiseVelocity, kDt);
      } else if (setpoint.loop == Loop::Profile) {
        profile.StepPosition(setpoint.position,
                             {settings_.cruiseVelocity, settings_.profileAcceleration, settings_.profileJerk}, kDt);
      } else {
        profile.StepPosition(setpoint.position, {setpoint.velocity, setpoint.acceleration, setpoint.jerk}, kDt);
      }
      ref.reference = profile.Position();
      ref.slope = profile.Velocity();
      ref.acceleration = profile.Acceleration();
      out.profileRunning = profile.Running();
      break;
    case Loop::VelocityProfile: {
      startProfile();
      const double a = setpoint.acceleration > 0.0 ? setpoint.acceleration : settings_.profileAcceleration;
      profile.StepVelocity(setpoint.velocity, a, settings_.profileJerk, kDt);
      ref.isPosition = false;
      ref.reference = profile.Velocity();
      ref.slope = ref.acceleration = profile.Acceleration();
      out.profileRunning = profile.Running();
      break;
    }
  }
  out.closedLoop = true;
  out.velocityLoop = !ref.isPosition;
  out.terms = state.loop.Step(settings_.slots[out.slot], ref, measured, settings_.continuousWrap, limit, kDt);
  out.value = out.terms.output;
  return out;
}

void SimulatedMotor::Drive() {
  const OutputKind kind = command_.kind;
  const double limit = OutputLimit(kind);
  if (command_.difference.loop == Loop::None) {
    averageOut_ = StepAxis(command_.average, averageAxis_, {position_, velocity_, acceleration_}, limit);
    Stage(kind, averageOut_.value, averageOut_.closedLoop, true);
    return;
  }
  const double peakDifference = kind == OutputKind::DutyCycle  ? settings_.peakDifferentialDuty
                                : kind == OutputKind::Voltage ? settings_.peakDifferentialVolts
                                                              : settings_.peakDifferentialAmps;
  averageOut_ = StepAxis(command_.average, averageAxis_, differentialAverage_, limit);
  differenceOut_ = StepAxis(command_.difference, differenceAxis_, differentialDifference_, peakDifference);
  const double difference = std::clamp(differenceOut_.value, -peakDifference, peakDifference);
  Stage(kind, averageOut_.value + difference, averageOut_.closedLoop || differenceOut_.closedLoop, true);
  applied_.average = averageOut_.value;
  applied_.difference = difference;
}

void SimulatedMotor::Follow(const MotorSurroundings& world) {
  const SimulatedMotor* leader = world.FindMotor(bus_, command_.leaderId, false);
  if (leader == nullptr || leader == this) {
    applied_ = Applied{NeutralBridge(command_.kind), command_.kind, 0.0, 0.0, 0.0, polarity_};
    return;
  }
  const Applied& lead = leader->applied_;
  // Turning with the leader means taking its sense of positive; opposing it,
  // the other one. Either way the follower reports what the leader reports.
  polarity_ = command_.opposeLeader ? -lead.polarity : lead.polarity;
  const bool driving = lead.bridge == Bridge::Trapezoidal || lead.bridge == Bridge::FieldOriented;
  if (!driving) {
    applied_ = Applied{command_.strictFollower ? lead.bridge : NeutralBridge(lead.kind), lead.kind, 0.0, 0.0, 0.0,
                       polarity_};
    return;
  }
  const double value = command_.differentialFollower ? lead.average - lead.difference : lead.value;
  Stage(lead.kind, value, false, false);
}

void SimulatedMotor::Stage(OutputKind kind, double value, bool closedLoop, bool obeyLimits) {
  applied_ = Applied{};
  applied_.kind = kind;
  applied_.polarity = polarity_;
  if (obeyLimits) {
    if ((value > 0.0 && forwardBlocked_) || (value < 0.0 && reverseBlocked_)) value = 0.0;
    const size_t k = static_cast<size_t>(kind);
    const double period = closedLoop ? settings_.closedLoopRamp[k] : settings_.openLoopRamp[k];
    if (period > 0.0) value = MoveToward(ramp_, value, kFullScale[k] / period * kDt);
  }
  ramp_ = value;
  bool neutral = value == 0.0;
  switch (kind) {
    case OutputKind::DutyCycle:
      value = std::clamp(value, settings_.peakReverseDuty, settings_.peakForwardDuty);
      neutral = neutral || std::abs(value) < settings_.dutyNeutralDeadband;
      break;
    case OutputKind::Voltage:
      value = std::clamp(value, settings_.peakReverseVolts, settings_.peakForwardVolts);
      value = std::clamp(value, -supplyFiltered_, supplyFiltered_);
      neutral = neutral || supplyFiltered_ <= 0.0 || std::abs(value / supplyFiltered_) < settings_.dutyNeutralDeadband;
      break;
    case OutputKind::TorqueCurrent: {
      value = std::clamp(value, settings_.peakReverseAmps, settings_.peakForwardAmps);
      const double deadband = std::max(command_.deadband, settings_.torqueNeutralDeadband);
      neutral = neutral || (deadband > 0.0 && std::abs(value) <= deadband);
      break;
    }
  }
  if (neutral) {
    applied_.bridge = NeutralBridge(kind);
    return;
  }
  applied_.value = value;
  const bool fieldOriented = kind == OutputKind::TorqueCurrent || (command_.enableFoc && !external_);
  applied_.bridge = fieldOriented ? Bridge::FieldOriented : Bridge::Trapezoidal;
}

// ---- Actuation ----------------------------------------------------------------

void SimulatedMotor::Actuate() {
  const double supply = supplyInput_;
  BridgeDemand demand;
  demand.statorLimit = settings_.statorLimitEnable ? settings_.statorLimit : kInfinity;
  demand.supplyLimit = kInfinity;
  if (settings_.supplyLimitEnable) {
    // The lower limit takes over once the draw stayed above it for the lower time.
    const bool lower = settings_.supplyLowerLimit > 0.0 && settings_.supplyLowerLimit < settings_.supplyLimit &&
                       timeAboveLowerLimit_ >= settings_.supplyLowerTime;
    demand.supplyLimit = lower ? settings_.supplyLowerLimit : settings_.supplyLimit;
  }
  demand.maxVolts = supply;
  const double p = applied_.polarity;
  switch (applied_.bridge) {
    case Bridge::Coast:
    case Bridge::Music:
      demand.mode = BridgeMode::Coast;
      break;
    case Bridge::Brake:
    case Bridge::ActiveBrake:
      demand.mode = BridgeMode::Brake;
      break;
    case Bridge::Trapezoidal:
    case Bridge::FieldOriented:
      switch (applied_.kind) {
        case OutputKind::DutyCycle:
          demand.mode = BridgeMode::Voltage;
          demand.value = p * applied_.value * supply;
          break;
        case OutputKind::Voltage:
          // Voltage control compensates the (filtered) supply it measures.
          demand.mode = BridgeMode::Voltage;
          demand.value = supplyFiltered_ > 0.0 ? p * applied_.value * supply / supplyFiltered_ : 0.0;
          break;
        case OutputKind::TorqueCurrent:
          demand.mode = BridgeMode::Current;
          demand.value = p * applied_.value;
          demand.maxVolts = std::clamp(command_.maxAbsDutyCycle, 0.0, 1.0) * supply;
          break;
      }
      break;
  }
  electrical_ = SolveMotor(motor_, demand, rotorVelocity_, supply);
  SetFault(kStatorCurrLimit, electrical_.statorLimited);
  SetFault(kSupplyCurrLimit, electrical_.supplyLimited);
  timeAboveLowerLimit_ = electrical_.supplyAmps > settings_.supplyLowerLimit ? timeAboveLowerLimit_ + kDt : 0.0;
}

void SimulatedMotor::Move() {
  if (!velocityDriven_) {
    const bool coasting = applied_.bridge == Bridge::Coast || applied_.bridge == Bridge::Music;
    IntegrateBareRotor(motor_, electrical_.volts, coasting, kDt, rotorPosition_, rotorVelocity_);
  } else if (!positionGiven_) {
    rotorPosition_ += rotorVelocity_ * kDt;  // a physics model that only gives the speed
  }
}

void SimulatedMotor::SetFault(int index, bool active) {
  const uint64_t bit = uint64_t{1} << index;
  if (active) {
    faults_ |= bit;
    stickyFaults_ |= bit;
  } else {
    faults_ &= ~bit;
  }
}

// ---- Signals --------------------------------------------------------------------

double SimulatedMotor::Signal(uint16_t signalId, uint16_t& reportedId) const {
  reportedId = signalId;
  const double p = applied_.polarity;
  const double volts = p * electrical_.volts;
  const auto kind = static_cast<uint16_t>(applied_.kind);
  const LoopTerms& avg = averageOut_.terms;
  const LoopTerms& dif = differenceOut_.terms;
  const uint16_t avgDomain = averageOut_.velocityLoop ? 1 : 0;
  const uint16_t difDomain = differenceOut_.velocityLoop ? 1 : 0;
  auto byKind = [&](double value) {
    reportedId = static_cast<uint16_t>(signalId + kind);
    return value;
  };
  auto byDomain = [&](double value, uint16_t domain) {
    reportedId = static_cast<uint16_t>(signalId + domain);
    return value;
  };
  switch (signalId) {
    case 733: return kVersionMajor;
    case 734: return kVersionMinor;
    case 735: return kVersionBugfix;
    case 736: return kVersionBuild;
    case 737: return (kVersionMajor << 24) | (kVersionMinor << 16) | (kVersionBugfix << 8) | kVersionBuild;
    case 841: return static_cast<double>(faults_);
    case 842: return static_cast<double>(stickyFaults_);
    case 2028: return volts;
    case 2029: return forwardClosed_ ? 1.0 : 0.0;
    case 2030: return reverseClosed_ ? 1.0 : 0.0;
    case 2031: return polarity_ < 0.0 ? 1.0 : 0.0;
    case 2032: return supplyInput_ > 0.0 ? volts / supplyInput_ : 0.0;
    case 2034:
    case 2035: return p * electrical_.amps;
    case 2036: return electrical_.supplyAmps;
    case 2037: return supplyInput_;
    case 2038:
    case 2039:
    case 2057:
    case 2343: return kAmbientCelsius;
    case 2041: return polarity_ * rotorVelocity_;
    case 2042: return polarity_ * rotorPosition_;
    case 2045: return velocity_;
    case 2046: return position_;
    case 2047: return acceleration_;
    case 2049: return byKind(avg.integrated);
    case 2052: return byKind(avg.feedForward);
    case 2055: return command_.controlMode;
    case 2056: return 2.0;  // Normal
    case 2061: return averageOut_.profileRunning || differenceOut_.profileRunning ? 1.0 : 0.0;
    case 2063: return 1.0;  // a simulated robot is always enabled
    case 2065: return byDomain(avg.reference, avgDomain);
    case 2067: return byDomain(avg.error, avgDomain);
    case 2072: return byKind(avg.proportional);
    case 2075: return byKind(avg.derivative);
    case 2078: return byKind(avg.output);
    case 2081: return averageOut_.slot;
    case 2082: return byDomain(avg.slope, avgDomain);
    case 2085: {
      if (applied_.bridge == Bridge::Brake || applied_.bridge == Bridge::ActiveBrake) return 3.0;
      if (electrical_.volts == 0.0) return 0.0;
      if (electrical_.volts * rotorVelocity_ < 0.0) return 4.0;  // against the turning rotor
      return electrical_.volts * electrical_.amps < 0.0 ? 2.0 : 1.0;
    }
    case 2088:
      if (applied_.kind == OutputKind::TorqueCurrent) {
        reportedId = 2088;  // reported as the duty cycle it takes
        return supplyInput_ > 0.0 ? applied_.difference * motor_.Resistance() / supplyInput_ : 0.0;
      }
      return byKind(applied_.difference);
    case 2092: return command_.difference.loop != Loop::None || command_.action == Action::Follow
                          ? command_.differentialControlMode
                          : 0.0;
    case 2093: return byKind(dif.integrated);
    case 2096: return byKind(dif.feedForward);
    case 2100: return differentialAverage_.velocity;
    case 2101: return differentialAverage_.position;
    case 2104: return differentialDifference_.velocity;
    case 2105: return differentialDifference_.position;
    case 2107: return byDomain(dif.reference, difDomain);
    case 2109: return byDomain(dif.error, difDomain);
    case 2114: return byKind(dif.proportional);
    case 2117: return byKind(dif.derivative);
    case 2120: return byKind(dif.output);
    case 2123: return differenceOut_.slot;
    case 2124: return byDomain(dif.slope, difDomain);
    case 2128: return motor_.TorquePerAmp();
    case 2129: return motor_.kvRpmPerVolt;
    case 2130: return motor_.stallAmps;
    case 2217: return static_cast<double>(applied_.bridge);
    case 2369: return external_ ? 3.0 : 1.0;  // BrushlessHall, Integrated
    case 2849: return 5.0;
    default: break;
  }
  if (signalId >= 10001) {
    const bool sticky = FaultIndex(signalId) < 0;
    const int index = FaultIndex(sticky ? static_cast<uint16_t>(signalId - 1) : signalId);
    if (index >= 0) return (((sticky ? stickyFaults_ : faults_) >> index) & 1u) != 0 ? 1.0 : 0.0;
  }
  return 0.0;
}

}  // namespace kvor::zephrin::runtime::firmware
