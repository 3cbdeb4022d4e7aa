#pragma once

// The firmware of one simulated motor controller (a rapax q with its built-in
// motor, or a rapax w driving an external brushless motor), stepped at 1 kHz
// of simulated time by the firmware service. Each step it
//   1. senses: supply voltage, rotor (from the physics inputs, or its own
//      bare-rotor load when no physics model drives it), the feedback sensor
//      giving the mechanism position and velocity, the limit switches;
//   2. controls: applies the newest control request received (open loop,
//      position and velocity loops with the slot gains and feed-forwards,
//      profiled motion, differential axes, following a leader, neutral,
//      coast, brake), then the output stage: inversion, limit switches and
//      software limits, ramps, peak outputs and neutral deadbands;
//   3. actuates: the DC motor model under the stator and supply current
//      limits gives the motor voltage and currents (the physics outputs);
//   4. moves the bare rotor through the step when nothing else moves it.
// Signals are read through Signal() and FillSlots() in the units of the
// signal catalogue.
//
// Frames: the rotor and the physics inputs and outputs use the motor's own
// sign convention; everything the program sees (requests, position,
// velocity, output signals) is in its positive direction, which the
// MotorOutput inversion (or the leader, for a follower) sets.
//
// Owned by the firmware service, which serialises every call (not
// thread-safe on its own).

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "firmware/ClosedLoop.hpp"
#include "firmware/ControlCommand.hpp"
#include "firmware/DcMotor.hpp"
#include "firmware/MotionProfile.hpp"
#include "firmware/MotorSettings.hpp"
#include "firmware/generated/ValueNumbers.hpp"
#include "sim/PhysicsInputs.hpp"

namespace kvor::zephrin::runtime::firmware {

using sim::PhysicsInput;

class SimulatedMotor;

/// What a motor may look at beyond itself during a step.
class MotorSurroundings {
 public:
  virtual ~MotorSurroundings() = default;
  /// The simulated motor controller with `deviceId` on `bus` (a rapax q
  /// first), or null.
  virtual const SimulatedMotor* FindMotor(std::string_view bus, int deviceId, bool rapaxQOnly) const = 0;
  /// The current value of signal `signalId` of the sensor `model` `deviceId`
  /// on `bus`; false when no such device is present.
  virtual bool SensorValue(std::string_view bus, std::string_view model, int deviceId, uint16_t signalId,
                           double& value) const = 0;
};

/// What the bridge does, as the BridgeOutput signal tells it.
enum class Bridge : uint8_t {
  Coast = BridgeOutputValue::Coast,
  Brake = BridgeOutputValue::Brake,
  Trapezoidal = BridgeOutputValue::Trapezoidal,
  FieldOriented = BridgeOutputValue::FieldOriented,
  Music = BridgeOutputValue::MusicTone,
  ActiveBrake = BridgeOutputValue::ActiveBrake,
};

class SimulatedMotor {
 public:
  /// Seconds of one firmware step.
  static constexpr double kStepSeconds = 0.001;

  /// A motor at rest with the settings of `settingsText` (its factory settings).
  SimulatedMotor(uint32_t hash, int deviceId, std::string bus, bool externalMotor, std::string_view settingsText);

  uint32_t Hash() const { return hash_; }
  int DeviceId() const { return deviceId_; }
  const std::string& Bus() const { return bus_; }
  bool IsExternalMotor() const { return external_; }
  /// Whether the request this step's Control acts on (a request received
  /// since the last step, else the active one) follows another device: such
  /// a motor controls after the others. Its answer stays the same through
  /// the step, so that each motor controls exactly once.
  bool IsFollower() const { return (hasPending_ ? pending_.action : command_.action) == Action::Follow; }
  /// Whether this step's Control may run right after the motor's own Sense,
  /// before the motors after it sense: it is not a follower (which waits
  /// for every leader) and has no difference sensor (which reads a partner's
  /// sensing).
  bool ControlsAlone() const { return !IsFollower() && !settings_.HasDifferentialSensor(); }

  // ---- What reaches the device ----

  /// A control call, `function` with its recorded `args`; the device acts
  /// on it from the next step. `sequence` orders requests across devices.
  /// False, changing nothing, for a call DecodeControl refuses.
  bool Receive(const char* function, std::span<const RecordedArg> args, uint64_t sequence);
  uint64_t LastRequestSequence() const { return requestSequence_; }
  /// Hertz at which the program repeats its active request (0 when none).
  double RequestRate() const { return command_.action == Action::Disabled ? 0.0 : command_.updateHz; }
  /// Every setting the device holds now, as config text.
  void Configure(std::string_view settingsText);
  /// A config action (set position, sticky-fault clears); false for one the
  /// device does not have.
  bool Act(int configId, double value);
  /// A physics input, in the units of the simulation state; false for one
  /// a motor controller does not have.
  bool SetInput(PhysicsInput input, double value);
  /// SetInput for the inputs a physics model hands over every step (the
  /// rotor's position and velocity), inline; the others through SetInput.
  bool SetStepInput(PhysicsInput input, double value) {
    switch (input) {
      case PhysicsInput::RawRotorPosition:
        rotorPosition_ = value;
        positionGiven_ = true;
        return true;
      case PhysicsInput::RotorVelocity:
        rotorVelocity_ = value;
        velocityDriven_ = true;
        return true;
      default: return SetInput(input, value);
    }
  }
  /// Whether SetInput keeps the position a move ("Add...") adds to finite.
  bool Takes(PhysicsInput input, double value) const;
  /// A physics output ("MotorVoltage", "TorqueCurrent", "SupplyCurrent");
  /// false for any other name.
  bool Output(std::string_view name, double& value) const;

  // ---- One step, in four phases over all devices (followers control after
  // the others; signals are read between Actuate and Move) ----

  void Sense(const MotorSurroundings& world);
  void Control(const MotorSurroundings& world);
  void Actuate();
  /// Sense, Control and Actuate in one call, for a motor whose control
  /// stands alone (ControlsAlone): the same work, without the calls and the
  /// state each would save and reload.
  void SenseControlActuate(const MotorSurroundings& world);
  void Move();

  // ---- What the device reports ----

  /// The value of catalogue signal `signalId` and the ID it is reported under.
  /// The mechanism's and the rotor's state, which a schedule often sends
  /// faster than the rest (odometry) and asks for alone, are answered
  /// inline, without filling every slot.
  double Signal(uint16_t signalId, uint16_t& reportedId) const {
    namespace ids = signal_ids::rapax_w;
    reportedId = signalId;
    switch (signalId) {
      case ids::kPosition: return mechanism_.position;
      case ids::kVelocity: return mechanism_.velocity;
      case ids::kAcceleration: return mechanism_.acceleration;
      case ids::kRotorPosition: return polarity_ * rotorPosition_;
      case ids::kRotorVelocity: return polarity_ * rotorVelocity_;
      case ids::kSupplyVoltage: return supplyInput_;
      default: return OtherSignal(signalId, reportedId);
    }
  }
  /// How many signals FillSlots writes.
  static constexpr int kSignalSlots = 45;
  /// The slot of `signalId` among those FillSlots writes, or -1 for a signal
  /// that Signal() alone answers (constants and single fault bits).
  static int SignalSlot(uint16_t signalId);
  /// Whether Signal() answers `signalId` without filling every slot.
  static bool AnswersAlone(uint16_t signalId);
  /// Writes the value of every signal with a slot into `values`, and the ID
  /// each mode-dependent one is reported under into `reportedIds`
  /// (kSignalSlots each; every other slot of `reportedIds` must hold its
  /// signal's own ID): the signals that follow the motor's state, in one
  /// pass rather than one call each.
  void FillSlots(double* values, uint16_t* reportedIds) const;
  /// Mechanism position the program sees (Position), rotations.
  double Position() const { return mechanism_.position; }
  bool ForwardLimitInput() const { return forwardInput_; }
  bool ReverseLimitInput() const { return reverseInput_; }

 private:
  /// Signal for every signal it does not answer inline.
  double OtherSignal(uint16_t signalId, uint16_t& reportedId) const;
  /// The output of one axis before the output stage, with its loop's terms.
  struct AxisOutput {
    double value = 0.0;
    bool closedLoop = false;
    LoopTerms terms;
    bool velocityLoop = false;
    int slot = 0;
    bool profileRunning = false;
  };
  /// The state one axis keeps between steps.
  struct AxisState {
    ClosedLoop loop;
    MotionProfile profile;
    // What the request and the settings fix, worked out when either changes
    // (PlanAxes).
    int slot = 0;  ///< the gain slot the request picks, within those there are
    /// Whether the loop is a position or velocity loop, whose reference is
    /// `reference` at every step.
    bool held = false;
    LoopReference reference;
    /// Whether the loop's feed-forward is `feedForward` at every step: a
    /// held loop whose gains make it depend on the request alone.
    bool feedForwardFixed = false;
    double feedForward = 0.0;
  };
  /// What the output stage applies, in the program's frame.
  struct Applied {
    Bridge bridge = Bridge::Coast;
    OutputKind kind = OutputKind::DutyCycle;
    double value = 0.0;  ///< in the kind's unit; 0 when neutral
    double average = 0.0, difference = 0.0;  ///< the two axes of a differential request
    double polarity = 1.0;                   ///< rotor frame = polarity x program frame
  };

  /// Position and velocity of the feedback sensor, in its own rotations.
  struct SensorReading {
    double position = 0.0, velocity = 0.0;
    bool fromRotor = true;       ///< the rotor's reading: acceleration comes from the rotor
    bool remoteMissing = false;  ///< the remote sensor configured is absent; the rotor stands in
  };

  // The phases' parts that every step runs are always inlined into their
  // phase (SenseFeedback, MeasureMechanism, Drive, Stage): the calls and
  // the state they would save and reload cost about as much as their work.
  // They are defined in the source, the only place that calls them. So are
  // the three phases, inlined into their public calls one by one and into
  // SenseControlActuate together.
  [[gnu::always_inline]] inline void SensePhase(const MotorSurroundings& world);
  [[gnu::always_inline]] inline void ControlPhase(const MotorSurroundings& world);
  [[gnu::always_inline]] inline void ActuatePhase();
  void Activate(const ControlCommand& command);
  void SenseRotor();
  // Feedback, in steps: read the configured sensor, then turn its reading
  // into the mechanism position, velocity and acceleration.
  [[gnu::always_inline]] inline void SenseFeedback(const MotorSurroundings& world);
  SensorReading ReadFeedbackSensor(const MotorSurroundings& world);
  SensorReading ReadRotor() const;
  double RotorSensorVelocity() const;
  SensorReading ReadRemoteSensor(const MotorSurroundings& world, std::string_view model, uint16_t positionId,
                                 uint16_t velocityId) const;
  SensorReading ReadSyncedRotor(const MotorSurroundings& world);
  SensorReading ReadWiredSensor() const;
  [[gnu::always_inline]] inline void MeasureMechanism(bool fromRotor);
  bool LimitClosed(const LimitSwitch& limit, bool ownInput, bool forward, const MotorSurroundings& world);
  /// The reference of a profiled loop (any but Open, Position and
  /// Velocity) after moving its profile through the step; `running` tells
  /// whether the profile still moves. Out of line: most loops hold their
  /// reference, and its work would crowd theirs.
  [[gnu::noinline]] LoopReference ProfileReference(const Setpoint& setpoint, MotionProfile& profile,
                                                  const LoopMeasurement& measured, bool& running);
  /// Steps one axis's loop, writing every field of `out`. Inlined, with
  /// the loop's step, into the step of the axis or two a motor drives: a
  /// call would save and restore most of its state for a few lines of work.
  [[gnu::always_inline]] inline void StepAxis(const Setpoint& setpoint, AxisState& state,
                                              const LoopMeasurement& measured, double limit, AxisOutput& out);
  /// The differential axes from the difference sensor set up (call only
  /// when there is one); false when it cannot be read.
  bool MeasureDifferential(const MotorSurroundings& world, LoopMeasurement& average, LoopMeasurement& difference);
  [[gnu::always_inline]] inline void Drive();
  void Follow(const MotorSurroundings& world);
  [[gnu::always_inline]] inline void Stage(OutputKind kind, double value, bool closedLoop, bool obeyLimits);
  Bridge NeutralBridge(OutputKind kind) const;
  /// What the bridge is asked for, unless it coasts.
  [[gnu::always_inline]] inline BridgeDemand Demand() const;
  double OutputLimit(OutputKind kind) const;
  void SetFault(int index, bool active);
  /// Sets the fault bits of `mask` to those of `active` (sticky when set).
  void SetFaults(uint64_t mask, uint64_t active);
  void ClearLoops();
  /// Works out what the axes' loops keep from step to step (AxisState)
  /// for the active request and the settings.
  void PlanAxes();

  // Identity and constants.
  uint32_t hash_;
  int deviceId_;
  std::string bus_;
  bool external_;
  MotorConstants motor_;
  BareRotorStep bareRotor_;
  MotorSettings settings_;
  /// What every step needs of the settings, in the form it uses them:
  /// worked out when they change (Configure), not at each step.
  struct SettingsTerms {
    double polarity = 1.0;           ///< -1 when inverted
    double rotorOffset = 0.0;        ///< rotor rotations; a rapax w's external motor has none
    double statorLimit = 0.0;        ///< amperes, infinity when the limit is off
    bool supplyLowerUsable = false;  ///< a lower supply limit below the limit is set
    /// Both limit switches are on the device's own pins and neither re-zeroes
    /// the position: each closes exactly when its pin does.
    bool pinLimits = true;
  };
  SettingsTerms terms_;

  // Requests.
  ControlCommand command_;
  ControlCommand pending_;
  bool hasPending_ = false;
  uint64_t requestSequence_ = 0;

  // Physics inputs.
  double supplyInput_ = 12.0;
  uint64_t supplyFaults_ = 0;  ///< the fault bits the supply input raises, set with it
  bool enabled_ = true;  ///< the robot's enable line (DeviceEnable input); a brownout clears it
  bool outputsCut_ = false;  ///< the supply is below brownout or the robot disabled, set with them
  bool forwardInput_ = false, reverseInput_ = false;
  bool velocityDriven_ = false, positionGiven_ = false, accelerationGiven_ = false;
  double accelerationInput_ = 0.0;
  double quadratureEdges_ = 0.0, quadratureEdgesPerSecond_ = 0.0;
  double pulseWidthPosition_ = 0.0, pulseWidthVelocity_ = 0.0;

  // Sensed state.
  double rotorPosition_ = 0.0, rotorVelocity_ = 0.0, rotorAcceleration_ = 0.0;  // motor frame
  double previousRotorVelocity_ = 0.0;
  double supplyFiltered_ = 12.0;
  double sensorPosition_ = 0.0, sensorVelocity_ = 0.0;  // feedback sensor, rotations
  double positionOffset_ = 0.0;                          // set-position, mechanism rotations
  LoopMeasurement mechanism_;  ///< position, velocity, acceleration the program sees
  double filteredVelocity_ = 0.0;
  double previousVelocity_ = 0.0;
  double syncOffset_ = 0.0;
  bool synced_ = false;
  bool forwardClosed_ = false, reverseClosed_ = false;
  double polarity_ = 1.0;

  // Control.
  AxisState averageAxis_, differenceAxis_;
  AxisOutput averageOut_, differenceOut_;
  bool differenceIdle_ = true;  ///< differenceOut_ holds zeros: no differential request stepped it since
  LoopMeasurement differentialAverage_, differentialDifference_;
  Applied applied_;
  double ramp_ = 0.0;
  bool forwardBlocked_ = false, reverseBlocked_ = false;

  // Motor.
  MotorElectrical electrical_;
  double timeAboveLowerLimit_ = 0.0;

  // Faults, one bit each (see the fault table in the source).
  uint64_t faults_ = 0, stickyFaults_ = 0;
};

// Defined here so that the service's step, which calls it for every motor,
// inlines it.
inline void SimulatedMotor::Move() {
  if (!velocityDriven_) {
    const bool coasting = applied_.bridge == Bridge::Coast || applied_.bridge == Bridge::Music;
    IntegrateBareRotor(bareRotor_, electrical_.volts, coasting, rotorPosition_, rotorVelocity_);
  } else if (!positionGiven_) {
    rotorPosition_ += rotorVelocity_ * kStepSeconds;  // a physics model that only gives the speed
  }
}

}  // namespace kvor::zephrin::runtime::firmware
