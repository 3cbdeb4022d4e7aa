#include "firmware/SimulatedMotor.hpp"

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "firmware/ConfigActions.hpp"
#include "firmware/generated/ValueNumbers.hpp"

namespace kvor::zephrin::runtime::firmware {
namespace {

// A rapax w has every signal of a rapax q.
namespace ids = signal_ids::rapax_w;

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
constexpr uint16_t kFaultIds[] = {
    ids::kFault_Hardware, ids::kFault_ProcTemp, ids::kFault_DeviceTemp, ids::kFault_Undervoltage,
    ids::kFault_BootDuringEnable, ids::kFault_BridgeBrownout, ids::kFault_RemoteSensorReset,
    ids::kFault_MissingDifferentialQ, ids::kFault_RemoteSensorPosOverflow, ids::kFault_OverSupplyV,
    ids::kFault_UnstableSupplyV, ids::kFault_ReverseHardLimit, ids::kFault_ForwardHardLimit,
    ids::kFault_ReverseSoftLimit, ids::kFault_ForwardSoftLimit, ids::kFault_MissingSoftLimitRemote,
    ids::kFault_MissingHardLimitRemote, ids::kFault_RemoteSensorDataInvalid, ids::kFault_FusedSensorOutOfSync,
    ids::kFault_StatorCurrLimit, ids::kFault_SupplyCurrLimit, ids::kFault_StaticBrakeDisabled, ids::kFault_BridgeShort,
    ids::kFault_HallSensorMissing, ids::kFault_DriveDisabledHallSensor, ids::kFault_MotorTempSensorMissing,
    ids::kFault_MotorTempSensorTooHot};

constexpr int FaultIndex(uint16_t signalId) {
  for (int i = 0; i < static_cast<int>(std::size(kFaultIds)); ++i) {
    if (kFaultIds[i] == signalId) return i;
  }
  return -1;
}

// The fault bit a signal from the first fault ID on reports, and whether it
// is the sticky twin, computed once at compile time: fault signals are sent
// every few steps and a search of the table above would cost more than the
// rest of Signal(). A fault's own ID wins over another's sticky twin.
struct FaultSignal {
  int8_t index = -1;
  bool sticky = false;
};
constexpr uint16_t kFirstFaultId = ids::kFault_Hardware;
constexpr std::size_t kFaultSignalCount = [] {
  std::size_t last = 0;
  for (uint16_t id : kFaultIds) last = std::max<std::size_t>(last, id + 1u);
  return last + 1 - kFirstFaultId;
}();
constexpr auto kFaultSignals = [] {
  std::array<FaultSignal, kFaultSignalCount> table{};
  for (int i = 0; i < static_cast<int>(std::size(kFaultIds)); ++i) {
    if (kFaultIds[i] + 1 >= kFirstFaultId) table[kFaultIds[i] + 1 - kFirstFaultId] = {static_cast<int8_t>(i), true};
  }
  for (int i = 0; i < static_cast<int>(std::size(kFaultIds)); ++i) {
    if (kFaultIds[i] >= kFirstFaultId) table[kFaultIds[i] - kFirstFaultId] = {static_cast<int8_t>(i), false};
  }
  return table;
}();

// The bit of a fault the firmware raises itself, found at compile time: a
// fault missing from the table above does not compile.
consteval int FaultBit(uint16_t faultId) {
  const int index = FaultIndex(faultId);
  if (index < 0) throw "not a fault of the fault field";
  return index;
}

// The fault field bit of a fault, and that bit when `active` (else none):
// several faults of one phase update the fault fields at once.
consteval uint64_t FaultMask(uint16_t faultId) { return uint64_t{1} << FaultBit(faultId); }
constexpr uint64_t FaultIf(uint64_t mask, bool active) { return active ? mask : uint64_t{0}; }

// The signals whose values follow the motor's state, written together by
// FillSlots (in this order, which is the order of their slots): every 100 Hz
// signal of the catalogue, the supply voltage and the fault fields.
constexpr uint16_t kSlotIds[] = {
    ids::kFaultField, ids::kStickyFaultField, ids::kMotorVoltage, ids::kForwardLimit, ids::kReverseLimit,
    ids::kAppliedRotorPolarity, ids::kDutyCycle, ids::kTorqueCurrent, ids::kStatorCurrent, ids::kSupplyCurrent,
    ids::kSupplyVoltage, ids::kRotorVelocity, ids::kRotorPosition, ids::kVelocity, ids::kPosition,
    ids::kAcceleration, ids::kClosedLoopIntegratedOutput, ids::kClosedLoopFeedForward, ids::kControlMode,
    ids::kKinetraIsRunning, ids::kDeviceEnable, ids::kClosedLoopReference, ids::kClosedLoopError,
    ids::kClosedLoopProportionalOutput, ids::kClosedLoopDerivativeOutput, ids::kClosedLoopOutput,
    ids::kClosedLoopSlot, ids::kClosedLoopReferenceSlope, ids::kMotorOutputStatus, ids::kDifferentialOutput,
    ids::kDifferentialControlMode, ids::kDifferentialClosedLoopIntegratedOutput,
    ids::kDifferentialClosedLoopFeedForward, ids::kDifferentialAverageVelocity, ids::kDifferentialAveragePosition,
    ids::kDifferentialDifferenceVelocity, ids::kDifferentialDifferencePosition,
    ids::kDifferentialClosedLoopReference, ids::kDifferentialClosedLoopError,
    ids::kDifferentialClosedLoopProportionalOutput, ids::kDifferentialClosedLoopDerivativeOutput,
    ids::kDifferentialClosedLoopOutput, ids::kDifferentialClosedLoopSlot,
    ids::kDifferentialClosedLoopReferenceSlope, ids::kBridgeOutput};
static_assert(std::size(kSlotIds) == SimulatedMotor::kSignalSlots);

// The slot of each signal ID from the lowest with a slot to the highest, -1
// for one without: Signal() asks for every ID it is given.
constexpr uint16_t kFirstSlotId = *std::min_element(std::begin(kSlotIds), std::end(kSlotIds));
constexpr auto kSlotsById = [] {
  std::array<int8_t, *std::max_element(std::begin(kSlotIds), std::end(kSlotIds)) + 1 - kFirstSlotId> table{};
  table.fill(-1);
  for (int slot = 0; slot < static_cast<int>(std::size(kSlotIds)); ++slot) {
    table[kSlotIds[slot] - kFirstSlotId] = static_cast<int8_t>(slot);
  }
  return table;
}();

// The slot of a signal FillSlots writes, found at compile time: a signal
// missing from the table above does not compile.
consteval int Slot(uint16_t signalId) {
  for (int slot = 0; slot < static_cast<int>(std::size(kSlotIds)); ++slot) {
    if (kSlotIds[slot] == signalId) return slot;
  }
  throw "not a signal with a slot";
}

// The faults the supply voltage raises, and those of `volts`.
constexpr uint64_t kSupplyFaults =
    FaultMask(ids::kFault_Undervoltage) | FaultMask(ids::kFault_BridgeBrownout) | FaultMask(ids::kFault_OverSupplyV);
constexpr uint64_t SupplyFaults(double volts) {
  return FaultIf(FaultMask(ids::kFault_Undervoltage), volts < kUndervoltage) |
         FaultIf(FaultMask(ids::kFault_BridgeBrownout), volts < kBrownout) |
         FaultIf(FaultMask(ids::kFault_OverSupplyV), volts > kOverSupply);
}

// Outputs that a ramp period takes from zero to full, by output kind.
constexpr double kFullScale[] = {1.0, 12.0, 300.0};

// The IMU angles a difference sensor reads (yaw, pitch, roll, degrees) and
// the rates about the same axes (Z, Y, X, degrees per second), by
// DifferentialSensorSource from RemoteAuklet2_Yaw on.
constexpr uint16_t kImuAngles[] = {signal_ids::auklet2::kYaw, signal_ids::auklet2::kPitch,
                                   signal_ids::auklet2::kRoll};
constexpr uint16_t kImuRates[] = {signal_ids::auklet2::kAngularVelocityZWorld,
                                  signal_ids::auklet2::kAngularVelocityYWorld,
                                  signal_ids::auklet2::kAngularVelocityXWorld};
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

// The reference of a position or velocity loop, which its setpoint alone
// sets.
LoopReference HeldReference(const Setpoint& setpoint) {
  LoopReference ref;
  ref.feedForward = setpoint.feedForward;
  if (setpoint.loop == Loop::Velocity) {
    ref.isPosition = false;
    ref.reference = setpoint.velocity;
    ref.slope = ref.acceleration = setpoint.acceleration;
  } else {
    ref.reference = setpoint.position;
    ref.slope = setpoint.velocity;
  }
  return ref;
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
      motor_(externalMotor ? kExternalMotor : kIntegratedMotor),
      bareRotor_(PrepareBareRotorStep(motor_, kDt)) {
  Configure(settingsText);
  polarity_ = terms_.polarity;
  supplyFaults_ = SupplyFaults(supplyInput_);
}

// ---- What reaches the device ----------------------------------------------

bool SimulatedMotor::Receive(const char* function, std::span<const RecordedArg> args, uint64_t sequence) {
  // Decoded in place: a call the device does not understand leaves the
  // request received before it as it was.
  if (!DecodeControl(function, args, pending_)) return false;
  hasPending_ = true;
  requestSequence_ = sequence;
  return true;
}

void SimulatedMotor::Configure(std::string_view settingsText) {
  const MotorSettings before = settings_;
  settings_ = ParseMotorSettings(settingsText, settings_, external_);
  terms_.polarity = settings_.inverted ? -1.0 : 1.0;
  terms_.rotorOffset = external_ ? 0.0 : settings_.rotorOffset;
  terms_.statorLimit = settings_.statorLimitEnable ? settings_.statorLimit : kInfinity;
  terms_.supplyLowerUsable = settings_.supplyLowerLimit > 0.0 && settings_.supplyLowerLimit < settings_.supplyLimit;
  const auto onPin = [](const LimitSwitch& limit) {
    return limit.source == LimitSwitchSourceValue::LimitSwitchPin && !limit.autosetPosition;
  };
  terms_.pinLimits = onPin(settings_.forwardLimit) && onPin(settings_.reverseLimit);
  PlanAxes();
  if (settings_.feedbackSource != before.feedbackSource || settings_.feedbackRemoteId != before.feedbackRemoteId) {
    synced_ = false;
  }
}

bool SimulatedMotor::Act(int configId, double value) {
  if (configId == actions::SetPosition) {
    positionOffset_ += value - mechanism_.position;
    mechanism_.position = value;
    return true;
  }
  if (configId == actions::ClearStickyFaults) {
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

bool SimulatedMotor::SetInput(PhysicsInput input, double value) {
  using enum PhysicsInput;
  switch (input) {
    case SupplyVoltage:
      supplyInput_ = std::max(0.0, value);
      supplyFaults_ = SupplyFaults(supplyInput_);
      outputsCut_ = supplyInput_ < kBrownout || !enabled_;
      return true;
    case ForwardLimit: forwardInput_ = value >= 0.5; return true;
    case ReverseLimit: reverseInput_ = value >= 0.5; return true;
    case RawRotorPosition:
    case RotorVelocity: return SetStepInput(input, value);
    case AddRotorPosition:
      rotorPosition_ += value;
      positionGiven_ = true;
      return true;
    case RotorAcceleration:
      accelerationInput_ = value;
      accelerationGiven_ = true;
      return true;
    case DeviceEnable:
      enabled_ = value >= 0.5;
      outputsCut_ = supplyInput_ < kBrownout || !enabled_;
      return true;
    default: break;
  }
  if (!external_) return false;
  switch (input) {
    case RawQuadraturePosition: quadratureEdges_ = value; return true;
    case AddQuadraturePosition: quadratureEdges_ += value; return true;
    case QuadratureVelocity: quadratureEdgesPerSecond_ = value; return true;
    case QuadratureAcceleration: return true;  // the firmware derives what it needs from the velocity
    case PulseWidthPosition: pulseWidthPosition_ = value; return true;
    case PulseWidthVelocity: pulseWidthVelocity_ = value; return true;
    default: return false;
  }
}

bool SimulatedMotor::Takes(PhysicsInput input, double value) const {
  if (input == PhysicsInput::AddRotorPosition) return std::isfinite(rotorPosition_ + value);
  if (external_ && input == PhysicsInput::AddQuadraturePosition) return std::isfinite(quadratureEdges_ + value);
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

void SimulatedMotor::Sense(const MotorSurroundings& world) { SensePhase(world); }

void SimulatedMotor::SensePhase(const MotorSurroundings& world) {
  SenseRotor();
  if (settings_.supplyFilterSeconds > 0.0) {
    supplyFiltered_ += (supplyInput_ - supplyFiltered_) * kDt / (settings_.supplyFilterSeconds + kDt);
  } else {
    supplyFiltered_ = supplyInput_;
  }
  SenseFeedback(world);

  SetFault(FaultBit(ids::kFault_MissingHardLimitRemote), false);
  if (terms_.pinLimits) {
    // The usual case: the pins say it all.
    forwardClosed_ = forwardInput_;
    reverseClosed_ = reverseInput_;
  } else {
    const bool wasForward = forwardClosed_, wasReverse = reverseClosed_;
    // A switch on the device's own pin needs no search of the other devices.
    constexpr int kPin = LimitSwitchSourceValue::LimitSwitchPin;
    forwardClosed_ = settings_.forwardLimit.source == kPin
                         ? forwardInput_
                         : LimitClosed(settings_.forwardLimit, forwardInput_, true, world);
    reverseClosed_ = settings_.reverseLimit.source == kPin
                         ? reverseInput_
                         : LimitClosed(settings_.reverseLimit, reverseInput_, false, world);
    // Reaching a switch may re-zero the position.
    if (forwardClosed_ && !wasForward && settings_.forwardLimit.autosetPosition) Act(actions::SetPosition, settings_.forwardLimit.autosetValue);
    if (reverseClosed_ && !wasReverse && settings_.reverseLimit.autosetPosition) Act(actions::SetPosition, settings_.reverseLimit.autosetValue);
  }

  SetFaults(kSupplyFaults, supplyFaults_);
}

void SimulatedMotor::SenseRotor() {
  // A physics model that drives the rotor sets its velocity (and usually its
  // position); otherwise the bare rotor moved during the last Actuate.
  rotorAcceleration_ = accelerationGiven_ ? accelerationInput_ : (rotorVelocity_ - previousRotorVelocity_) / kDt;
  previousRotorVelocity_ = rotorVelocity_;
}

void SimulatedMotor::SenseFeedback(const MotorSurroundings& world) {
  // The rotor, the usual feedback, needs no search of the other devices.
  const SensorReading sensor =
      settings_.feedbackSource == FeedbackSource::Rotor ? ReadRotor() : ReadFeedbackSensor(world);
  // Without its remote sensor the device carries on with its rotor and says so.
  SetFault(FaultBit(ids::kFault_RemoteSensorDataInvalid), sensor.remoteMissing);
  sensorPosition_ = sensor.position;
  sensorVelocity_ = sensor.velocity;
  MeasureMechanism(sensor.fromRotor);
}

SimulatedMotor::SensorReading SimulatedMotor::ReadFeedbackSensor(const MotorSurroundings& world) {
  namespace angulon = signal_ids::angulon;
  namespace portis = signal_ids::portis;
  switch (settings_.feedbackSource) {
    case FeedbackSource::Rotor:
      break;
    case FeedbackSource::RemoteAngulon:
      return ReadRemoteSensor(world, "angulon", angulon::kPosition, angulon::kVelocity);
    case FeedbackSource::FusedAngulon: {
      SensorReading reading = ReadRemoteSensor(world, "angulon", angulon::kPosition, angulon::kVelocity);
      if (!reading.remoteMissing) reading.velocity = RotorSensorVelocity();  // the rotor is the faster sensor
      return reading;
    }
    case FeedbackSource::SyncAngulon:
      return ReadSyncedRotor(world);
    case FeedbackSource::RemotePortisQuadrature:
      return ReadRemoteSensor(world, "portis", portis::kQuadraturePosition, portis::kQuadratureVelocity);
    case FeedbackSource::RemotePortisPwm1:
      return ReadRemoteSensor(world, "portis", portis::kPWM1Position, portis::kPWM1Velocity);
    case FeedbackSource::RemotePortisPwm2:
      return ReadRemoteSensor(world, "portis", portis::kPWM2Position, portis::kPWM2Velocity);
    case FeedbackSource::Quadrature:
    case FeedbackSource::PulseWidth:
      return ReadWiredSensor();
  }
  return ReadRotor();
}

SimulatedMotor::SensorReading SimulatedMotor::ReadRotor() const {
  return {polarity_ * rotorPosition_ + terms_.rotorOffset, polarity_ * rotorVelocity_};
}

double SimulatedMotor::RotorSensorVelocity() const { return polarity_ * rotorVelocity_ / settings_.rotorToSensor; }

SimulatedMotor::SensorReading SimulatedMotor::ReadRemoteSensor(const MotorSurroundings& world, std::string_view model,
                                                               uint16_t positionId, uint16_t velocityId) const {
  double p = 0.0, v = 0.0;
  if (!world.SensorValue(bus_, model, settings_.feedbackRemoteId, positionId, p) ||
      !world.SensorValue(bus_, model, settings_.feedbackRemoteId, velocityId, v)) {
    SensorReading rotor = ReadRotor();
    rotor.remoteMissing = true;
    return rotor;
  }
  return {p, v, false};
}

SimulatedMotor::SensorReading SimulatedMotor::ReadSyncedRotor(const MotorSurroundings& world) {
  const double rotorSensor = polarity_ * rotorPosition_ / settings_.rotorToSensor;
  double absolute = 0.0;
  const bool found =
      world.SensorValue(bus_, "angulon", settings_.feedbackRemoteId, signal_ids::angulon::kPosition, absolute);
  if (found && (!synced_ || std::abs(absolute - (rotorSensor + syncOffset_)) > kSyncTolerance)) {
    syncOffset_ = absolute - rotorSensor;
    synced_ = true;
  }
  return {rotorSensor + syncOffset_, RotorSensorVelocity(), false, !found};
}

SimulatedMotor::SensorReading SimulatedMotor::ReadWiredSensor() const {
  const double phase = settings_.sensorPhaseInverted ? -1.0 : 1.0;
  if (settings_.feedbackSource == FeedbackSource::PulseWidth) {
    return {WrapAbsolute(phase * pulseWidthPosition_ + settings_.absoluteSensorOffset, settings_.absoluteDiscontinuity),
            phase * pulseWidthVelocity_, false};
  }
  const double edges = settings_.quadratureEdgesPerRotation;
  return {phase * quadratureEdges_ / edges, phase * quadratureEdgesPerSecond_ / edges, false};
}

void SimulatedMotor::MeasureMechanism(bool fromRotor) {
  const double ratio = settings_.sensorToMechanism;
  mechanism_.position = sensorPosition_ / ratio + positionOffset_;
  const double rawVelocity = sensorVelocity_ / ratio;
  const double tau = settings_.velocityFilterSeconds;
  filteredVelocity_ = tau > 0.0 ? filteredVelocity_ + (rawVelocity - filteredVelocity_) * kDt / (tau + kDt) : rawVelocity;
  mechanism_.velocity = filteredVelocity_;
  mechanism_.acceleration =
      fromRotor ? polarity_ * rotorAcceleration_ / ratio : (rawVelocity - previousVelocity_) / kDt;
  previousVelocity_ = rawVelocity;
}

bool SimulatedMotor::LimitClosed(const LimitSwitch& limit, bool ownInput, bool forward,
                                 const MotorSurroundings& world) {
  double value = 0.0;
  switch (limit.source) {
    case LimitSwitchSourceValue::LimitSwitchPin:
      return ownInput;
    case LimitSwitchSourceValue::RemoteRapaxQ:  // the same switch of a remote rapax q
      if (const SimulatedMotor* other = world.FindMotor(bus_, limit.remoteId, true)) {
        return forward ? other->ForwardLimitInput() : other->ReverseLimitInput();
      }
      break;
    case LimitSwitchSourceValue::RemotePortisS1:
    case LimitSwitchSourceValue::RemotePortisS2: {
      const bool s1 = limit.source == LimitSwitchSourceValue::RemotePortisS1;
      if (world.SensorValue(bus_, "portis", limit.remoteId,
                            s1 ? signal_ids::portis::kS1Closed : signal_ids::portis::kS2Closed, value)) {
        return value != 0.0;
      }
      break;
    }
    case LimitSwitchSourceValue::RemoteAngulon:  // an angulon that lost its magnet
      if (world.SensorValue(bus_, "angulon", limit.remoteId, signal_ids::angulon::kMagnetHealth, value)) {
        return value == MagnetHealthValue::Missing;
      }
      break;
    default:  // Disabled
      return false;
  }
  SetFault(FaultBit(ids::kFault_MissingHardLimitRemote), true);
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
  PlanAxes();
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

void SimulatedMotor::Control(const MotorSurroundings& world) { ControlPhase(world); }

void SimulatedMotor::ControlPhase(const MotorSurroundings& world) {
  if (hasPending_) {
    Activate(pending_);
    hasPending_ = false;
  }
  if (command_.action != Action::Follow) polarity_ = terms_.polarity;

  const bool forwardSoft = settings_.forwardSoftLimitEnable && mechanism_.position >= settings_.forwardSoftLimit;
  const bool reverseSoft = settings_.reverseSoftLimitEnable && mechanism_.position <= settings_.reverseSoftLimit;
  const bool forwardHard = forwardClosed_ && settings_.forwardLimit.enable;
  const bool reverseHard = reverseClosed_ && settings_.reverseLimit.enable;
  // The limit faults, and the missing partner fault that MeasureDifferential
  // raises again while it lasts, in one update of the fault fields.
  SetFaults(FaultMask(ids::kFault_ForwardSoftLimit) | FaultMask(ids::kFault_ReverseSoftLimit) |
                FaultMask(ids::kFault_ForwardHardLimit) | FaultMask(ids::kFault_ReverseHardLimit) |
                FaultMask(ids::kFault_MissingDifferentialQ),
            FaultIf(FaultMask(ids::kFault_ForwardSoftLimit), forwardSoft) |
                FaultIf(FaultMask(ids::kFault_ReverseSoftLimit), reverseSoft) |
                FaultIf(FaultMask(ids::kFault_ForwardHardLimit), forwardHard) |
                FaultIf(FaultMask(ids::kFault_ReverseHardLimit), reverseHard));
  const bool ignoreHard = command_.ignoreHardwareLimits;
  forwardBlocked_ = (forwardHard && !ignoreHard) || forwardSoft || command_.limitForward;
  reverseBlocked_ = (reverseHard && !ignoreHard) || reverseSoft || command_.limitReverse;

  // The differential axes are measured whenever a difference sensor is set up.
  // MeasureDifferential writes both axes when it succeeds.
  differentialAverage_ = mechanism_;
  const bool differentialReady = settings_.HasDifferentialSensor() &&
                                 MeasureDifferential(world, differentialAverage_, differentialDifference_);
  if (!differentialReady) differentialDifference_ = {};

  bool stepped = false;  // whether Drive stepped the loops, which then hold this step's outputs
  auto neutral = [&] { return Applied{NeutralBridge(command_.kind), command_.kind, 0.0, 0.0, 0.0, polarity_}; };
  switch (command_.action) {
    case Action::Disabled:
    case Action::Neutral:
      applied_ = neutral();
      break;
    case Action::Coast:
      applied_ = neutral();
      applied_.bridge = Bridge::Coast;
      break;
    case Action::Brake:
      applied_ = neutral();
      applied_.bridge = Bridge::ActiveBrake;
      break;
    case Action::Music:
      applied_ = neutral();
      applied_.bridge = Bridge::Music;
      break;
    case Action::Drive:
      if (command_.difference.loop != Loop::None && !differentialReady) {
        applied_ = neutral();  // no difference sensor: the device cannot drive the difference
      } else {
        Drive();
        stepped = true;
      }
      break;
    case Action::Follow:
      Follow(world);
      break;
  }
  // A step that drives no loop reports zero loop outputs. The difference
  // loop's are zero already unless a differential request ran since they
  // were last cleared, so most steps skip clearing them.
  if (!stepped) averageOut_ = AxisOutput{};
  if (!(stepped && command_.difference.loop != Loop::None) && !differenceIdle_) {
    differenceOut_ = AxisOutput{};
    differenceIdle_ = true;
  }
  if (applied_.value == 0.0) ramp_ = 0.0;
  // A robot controller that disables its outputs (a brownout) leaves the
  // bridge coasting, as does a supply too low to drive it (both known since
  // the inputs last changed).
  if (outputsCut_ && applied_.bridge != Bridge::Music) {
    applied_.bridge = Bridge::Coast;
    applied_.value = 0.0;
  }
}

bool SimulatedMotor::MeasureDifferential(const MotorSurroundings& world, LoopMeasurement& average,
                                         LoopMeasurement& difference) {
  using Source = DifferentialSensorSourceValue;
  const int source = settings_.differentialSource;  // a difference sensor is set up
  const LoopMeasurement own = mechanism_;
  const SimulatedMotor* partner = world.FindMotor(bus_, settings_.differentialQId, true);
  const LoopMeasurement other =
      partner != nullptr ? partner->mechanism_ : own;
  if (source == Source::RemoteRapaxQ_Diff) {
    if (partner == nullptr || partner == this) {
      SetFault(FaultBit(ids::kFault_MissingDifferentialQ), true);
      return false;
    }
    average = Mean(own, other);
    difference = {own.position - other.position, own.velocity - other.velocity,
                  own.acceleration - other.acceleration};
    return true;
  }
  double position = 0.0, velocity = 0.0;
  bool found = false;
  if (source >= Source::RemoteAuklet2_Yaw && source <= Source::RemoteAuklet2_Roll) {  // an IMU angle, in rotations
    const int axis = source - Source::RemoteAuklet2_Yaw;
    found = world.SensorValue(bus_, "auklet 2", settings_.differentialRemoteId, kImuAngles[axis], position) &&
            world.SensorValue(bus_, "auklet 2", settings_.differentialRemoteId, kImuRates[axis], velocity);
    position /= 360.0;
    velocity /= 360.0;
  } else {
    found = world.SensorValue(bus_, "angulon", settings_.differentialRemoteId, signal_ids::angulon::kPosition,
                              position) &&
            world.SensorValue(bus_, "angulon", settings_.differentialRemoteId, signal_ids::angulon::kVelocity,
                              velocity);
  }
  if (!found) {
    SetFault(FaultBit(ids::kFault_RemoteSensorDataInvalid), true);
    return false;
  }
  average = partner != nullptr && partner != this ? Mean(own, other) : own;
  difference = {position, velocity, 0.0};
  return true;
}

LoopReference SimulatedMotor::ProfileReference(const Setpoint& setpoint, MotionProfile& profile,
                                              const LoopMeasurement& measured, bool& running) {
  if (!profile.Started()) profile.Start(measured.position, measured.velocity);
  LoopReference ref;
  ref.feedForward = setpoint.feedForward;
  if (setpoint.loop == Loop::VelocityProfile) {
    const double a = setpoint.acceleration > 0.0 ? setpoint.acceleration : settings_.profileAcceleration;
    profile.StepVelocity(setpoint.velocity, a, settings_.profileJerk, kDt);
    ref.isPosition = false;
    ref.reference = profile.Velocity();
    ref.slope = ref.acceleration = profile.Acceleration();
  } else {
    if (setpoint.loop == Loop::ExpoProfile) {
      profile.StepExpo(setpoint.position, settings_.expoKV, settings_.expoKA, supplyFiltered_, settings_.cruiseVelocity,
                       kDt);
    } else if (setpoint.loop == Loop::Profile) {
      profile.StepPosition(setpoint.position,
                           {settings_.cruiseVelocity, settings_.profileAcceleration, settings_.profileJerk}, kDt);
    } else {
      profile.StepPosition(setpoint.position, {setpoint.velocity, setpoint.acceleration, setpoint.jerk}, kDt);
    }
    ref.reference = profile.Position();
    ref.slope = profile.Velocity();
    ref.acceleration = profile.Acceleration();
  }
  running = profile.Running();
  return ref;
}

void SimulatedMotor::StepAxis(const Setpoint& setpoint, AxisState& state, const LoopMeasurement& measured,
                              double limit, AxisOutput& out) {
  out.slot = state.slot;
  out.value = 0.0;
  out.closedLoop = out.velocityLoop = out.profileRunning = false;
  LoopReference stepped;
  if (!state.held) {
    switch (setpoint.loop) {
      case Loop::None:
        out.terms = LoopTerms{};
        return;
      case Loop::Open:
        out.terms = LoopTerms{};
        out.value = setpoint.output;
        return;
      case Loop::Position:
      case Loop::Velocity:
        stepped = HeldReference(setpoint);
        break;
      default:
        stepped = ProfileReference(setpoint, state.profile, measured, out.profileRunning);
        break;
    }
  }
  const LoopReference& ref = state.held ? state.reference : stepped;
  out.closedLoop = true;
  out.velocityLoop = !ref.isPosition;
  state.loop.Step(settings_.slots[out.slot], ref, measured, settings_.continuousWrap, limit, kDt, out.terms,
                  state.feedForwardFixed ? &state.feedForward : nullptr);
  out.value = out.terms.output;
}

void SimulatedMotor::PlanAxes() {
  auto plan = [this](const Setpoint& setpoint, AxisState& state) {
    state.slot = std::clamp(setpoint.slot, 0, 2);
    const SlotGains& gains = settings_.slots[state.slot];
    state.held = setpoint.loop == Loop::Position || setpoint.loop == Loop::Velocity;
    state.reference = HeldReference(setpoint);
    state.feedForwardFixed = state.held && ClosedLoop::FeedForwardFixed(gains);
    // Neither the error nor the position counts then.
    state.feedForward =
        state.feedForwardFixed ? ClosedLoop::FeedForward(gains, state.reference, 0.0, 0.0) : 0.0;
  };
  plan(command_.average, averageAxis_);
  plan(command_.difference, differenceAxis_);
}

void SimulatedMotor::Drive() {
  const OutputKind kind = command_.kind;
  const double limit = OutputLimit(kind);
  if (command_.difference.loop == Loop::None) {
    StepAxis(command_.average, averageAxis_, mechanism_, limit, averageOut_);
    Stage(kind, averageOut_.value, averageOut_.closedLoop, true);
    return;
  }
  const double peakDifference = kind == OutputKind::DutyCycle  ? settings_.peakDifferentialDuty
                                : kind == OutputKind::Voltage ? settings_.peakDifferentialVolts
                                                              : settings_.peakDifferentialAmps;
  StepAxis(command_.average, averageAxis_, differentialAverage_, limit, averageOut_);
  StepAxis(command_.difference, differenceAxis_, differentialDifference_, peakDifference, differenceOut_);
  differenceIdle_ = false;
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

BridgeDemand SimulatedMotor::Demand() const {
  const double supply = supplyInput_;
  BridgeDemand demand;
  demand.statorLimit = terms_.statorLimit;
  demand.supplyLimit = kInfinity;
  if (settings_.supplyLimitEnable) {
    // The lower limit takes over once the draw stayed above it for the lower time.
    const bool lower = terms_.supplyLowerUsable && timeAboveLowerLimit_ >= settings_.supplyLowerTime;
    demand.supplyLimit = lower ? settings_.supplyLowerLimit : settings_.supplyLimit;
  }
  demand.maxVolts = supply;
  const double p = applied_.polarity;
  switch (applied_.bridge) {
    case Bridge::Coast:
    case Bridge::Music:
      break;  // ActuatePhase asks for no demand
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
  return demand;
}

void SimulatedMotor::Actuate() { ActuatePhase(); }

void SimulatedMotor::ActuatePhase() {
  if (applied_.bridge == Bridge::Coast || applied_.bridge == Bridge::Music) {
    // Open windings apply and draw nothing, whatever the limits: no demand
    // to work out.
    electrical_ = MotorElectrical{};
  } else {
    electrical_ = SolveMotor(motor_, Demand(), rotorVelocity_, supplyInput_);
  }
  SetFaults(FaultMask(ids::kFault_StatorCurrLimit) | FaultMask(ids::kFault_SupplyCurrLimit),
            FaultIf(FaultMask(ids::kFault_StatorCurrLimit), electrical_.statorLimited) |
                FaultIf(FaultMask(ids::kFault_SupplyCurrLimit), electrical_.supplyLimited));
  timeAboveLowerLimit_ = electrical_.supplyAmps > settings_.supplyLowerLimit ? timeAboveLowerLimit_ + kDt : 0.0;
}

void SimulatedMotor::SenseControlActuate(const MotorSurroundings& world) {
  SensePhase(world);
  ControlPhase(world);
  ActuatePhase();
}

void SimulatedMotor::SetFaults(uint64_t mask, uint64_t active) {
  faults_ = (faults_ & ~mask) | active;
  stickyFaults_ |= active;
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

int SimulatedMotor::SignalSlot(uint16_t signalId) {
  const std::size_t index = static_cast<std::size_t>(signalId) - kFirstSlotId;
  return signalId >= kFirstSlotId && index < kSlotsById.size() ? kSlotsById[index] : -1;
}

void SimulatedMotor::FillSlots(double* values, uint16_t* reportedIds) const {
  const double p = applied_.polarity;
  const auto kind = static_cast<uint16_t>(applied_.kind);
  const LoopTerms& avg = averageOut_.terms;
  const LoopTerms& dif = differenceOut_.terms;
  const uint16_t avgDomain = averageOut_.velocityLoop ? 1 : 0;
  const uint16_t difDomain = differenceOut_.velocityLoop ? 1 : 0;
  // Each slot's value; a mode-dependent signal's also the ID it is reported
  // under, that of the active output kind or loop domain (every other slot
  // holds its own ID already).
  auto put = [&](int slot, double value) { values[slot] = value; };
  auto putMode = [&](int slot, double value, uint16_t offset) {
    values[slot] = value;
    reportedIds[slot] = static_cast<uint16_t>(kSlotIds[slot] + offset);
  };
  put(Slot(ids::kFaultField), static_cast<double>(faults_));
  put(Slot(ids::kStickyFaultField), static_cast<double>(stickyFaults_));
  put(Slot(ids::kMotorVoltage), p * electrical_.volts);
  put(Slot(ids::kForwardLimit), forwardClosed_ ? ForwardLimitValue::Closed : ForwardLimitValue::Open);
  put(Slot(ids::kReverseLimit), reverseClosed_ ? ReverseLimitValue::Closed : ReverseLimitValue::Open);
  put(Slot(ids::kAppliedRotorPolarity), polarity_ < 0.0 ? AppliedRotorPolarityValue::PositiveIsClockwise
                                                        : AppliedRotorPolarityValue::PositiveIsCounterClockwise);
  put(Slot(ids::kDutyCycle), supplyInput_ > 0.0 ? p * electrical_.volts / supplyInput_ : 0.0);
  put(Slot(ids::kTorqueCurrent), p * electrical_.amps);
  put(Slot(ids::kStatorCurrent), p * electrical_.amps);
  put(Slot(ids::kSupplyCurrent), electrical_.supplyAmps);
  put(Slot(ids::kSupplyVoltage), supplyInput_);
  put(Slot(ids::kRotorVelocity), polarity_ * rotorVelocity_);
  put(Slot(ids::kRotorPosition), polarity_ * rotorPosition_);
  put(Slot(ids::kVelocity), mechanism_.velocity);
  put(Slot(ids::kPosition), mechanism_.position);
  put(Slot(ids::kAcceleration), mechanism_.acceleration);
  putMode(Slot(ids::kClosedLoopIntegratedOutput), avg.integrated, kind);
  putMode(Slot(ids::kClosedLoopFeedForward), avg.feedForward, kind);
  put(Slot(ids::kControlMode), command_.controlMode);
  put(Slot(ids::kKinetraIsRunning), averageOut_.profileRunning || differenceOut_.profileRunning
                                        ? KinetraIsRunningValue::Running
                                        : KinetraIsRunningValue::NotRunning);
  put(Slot(ids::kDeviceEnable), enabled_ ? DeviceEnableValue::Enabled : DeviceEnableValue::Disabled);
  putMode(Slot(ids::kClosedLoopReference), avg.reference, avgDomain);
  putMode(Slot(ids::kClosedLoopError), avg.error, avgDomain);
  putMode(Slot(ids::kClosedLoopProportionalOutput), avg.proportional, kind);
  putMode(Slot(ids::kClosedLoopDerivativeOutput), avg.derivative, kind);
  putMode(Slot(ids::kClosedLoopOutput), avg.output, kind);
  put(Slot(ids::kClosedLoopSlot), averageOut_.slot);
  putMode(Slot(ids::kClosedLoopReferenceSlope), avg.slope, avgDomain);
  put(Slot(ids::kMotorOutputStatus), [&]() -> double {
    using Status = MotorOutputStatusValue;
    if (applied_.bridge == Bridge::Brake || applied_.bridge == Bridge::ActiveBrake) return Status::StaticBraking;
    if (electrical_.volts == 0.0) return Status::Off;
    if (electrical_.volts * rotorVelocity_ < 0.0) return Status::DiscordantMotoring;  // against the turning rotor
    return electrical_.volts * electrical_.amps < 0.0 ? Status::RegenerativeBraking : Status::Motoring;
  }());
  if (applied_.kind == OutputKind::TorqueCurrent) {
    // Reported as the duty cycle it takes.
    putMode(Slot(ids::kDifferentialOutput),
            supplyInput_ > 0.0 ? applied_.difference * motor_.Resistance() / supplyInput_ : 0.0, 0);
  } else {
    putMode(Slot(ids::kDifferentialOutput), applied_.difference, kind);
  }
  put(Slot(ids::kDifferentialControlMode), command_.difference.loop != Loop::None || command_.action == Action::Follow
                                               ? command_.differentialControlMode
                                               : DifferentialControlModeValue::DisabledOutput);
  putMode(Slot(ids::kDifferentialClosedLoopIntegratedOutput), dif.integrated, kind);
  putMode(Slot(ids::kDifferentialClosedLoopFeedForward), dif.feedForward, kind);
  put(Slot(ids::kDifferentialAverageVelocity), differentialAverage_.velocity);
  put(Slot(ids::kDifferentialAveragePosition), differentialAverage_.position);
  put(Slot(ids::kDifferentialDifferenceVelocity), differentialDifference_.velocity);
  put(Slot(ids::kDifferentialDifferencePosition), differentialDifference_.position);
  putMode(Slot(ids::kDifferentialClosedLoopReference), dif.reference, difDomain);
  putMode(Slot(ids::kDifferentialClosedLoopError), dif.error, difDomain);
  putMode(Slot(ids::kDifferentialClosedLoopProportionalOutput), dif.proportional, kind);
  putMode(Slot(ids::kDifferentialClosedLoopDerivativeOutput), dif.derivative, kind);
  putMode(Slot(ids::kDifferentialClosedLoopOutput), dif.output, kind);
  put(Slot(ids::kDifferentialClosedLoopSlot), differenceOut_.slot);
  putMode(Slot(ids::kDifferentialClosedLoopReferenceSlope), dif.slope, difDomain);
  put(Slot(ids::kBridgeOutput), static_cast<double>(applied_.bridge));
}

bool SimulatedMotor::AnswersAlone(uint16_t signalId) {
  switch (signalId) {
    case ids::kPosition:
    case ids::kVelocity:
    case ids::kAcceleration:
    case ids::kRotorPosition:
    case ids::kRotorVelocity:
    case ids::kSupplyVoltage: return true;
    default: return SignalSlot(signalId) < 0;
  }
}

double SimulatedMotor::OtherSignal(uint16_t signalId, uint16_t& reportedId) const {
  if (const int slot = SignalSlot(signalId); slot >= 0) {
    std::array<double, kSignalSlots> values;
    std::array<uint16_t, kSignalSlots> reported;
    std::copy(std::begin(kSlotIds), std::end(kSlotIds), reported.begin());
    FillSlots(values.data(), reported.data());
    reportedId = reported[slot];
    return values[slot];
  }
  switch (signalId) {
    case ids::kVersionMajor: return kVersionMajor;
    case ids::kVersionMinor: return kVersionMinor;
    case ids::kVersionBugfix: return kVersionBugfix;
    case ids::kVersionBuild: return kVersionBuild;
    case ids::kVersion: return (kVersionMajor << 24) | (kVersionMinor << 16) | (kVersionBugfix << 8) | kVersionBuild;
    case ids::kDeviceTemp:
    case ids::kProcessorTemp:
    case ids::kExternalMotorTemp:
    case ids::kAncillaryDeviceTemp: return kAmbientCelsius;
    case ids::kExternalMotorTempStatus: return ExternalMotorTempStatusValue::Normal;
    case ids::kMotorKT: return motor_.TorquePerAmp();
    case ids::kMotorKV: return motor_.kvRpmPerVolt;
    case ids::kMotorStallCurrent: return motor_.stallAmps;
    case ids::kConnectedMotor: return external_ ? ConnectedMotorValue::BrushlessHall : ConnectedMotorValue::Integrated;
    case ids::kFiveVRailVoltage: return 5.0;
    default: break;
  }
  const std::size_t faultSlot = static_cast<std::size_t>(signalId) - kFirstFaultId;
  if (signalId >= kFirstFaultId && faultSlot < kFaultSignals.size()) {
    const FaultSignal& fault = kFaultSignals[faultSlot];
    if (fault.index >= 0) return (((fault.sticky ? stickyFaults_ : faults_) >> fault.index) & 1u) != 0 ? 1.0 : 0.0;
  }
  return 0.0;
}

}  // namespace kvor::zephrin::runtime::firmware
