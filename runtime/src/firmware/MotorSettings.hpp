#pragma once

// The settings a simulated motor controller obeys, read from its config text
// (every setting it holds: the stored values over its model's factory
// settings). A value that is missing, not finite or out of its range keeps
// the setting it had, so a bad config never reaches the control loop. Plain
// values; parsing is a pure function and thread-safe.

#include <array>
#include <string_view>

#include "firmware/generated/ValueNumbers.hpp"

namespace kvor::zephrin::runtime::firmware {

/// The gains of one closed-loop slot. Outputs are in the request's output
/// unit (fraction, volts or amperes) per mechanism rotation (kP), rotation
/// second (kI), rotation per second (kD, kV) and rotation per second squared
/// (kA); kS and kG are outputs.
struct SlotGains {
  double kP = 0, kI = 0, kD = 0, kS = 0, kV = 0, kA = 0, kG = 0;
  bool armCosine = false;           ///< kG scaled by the cosine of the position
  bool closedLoopSignForKs = false;  ///< kS signed by the error, not the velocity target
};

/// One hardware limit switch.
struct LimitSwitch {
  bool enable = true;
  int source = 0;  ///< LimitSwitchSource number: 0 own pin, 1 remote rapax q, 2 portis S1, 3 off, 4 angulon, 5 portis S2
  int remoteId = 0;
  bool autosetPosition = false;
  double autosetValue = 0;  ///< rotations
};

/// Where position and velocity come from, whatever the model's own numbering.
enum class FeedbackSource {
  Rotor,
  RemoteAngulon,
  FusedAngulon,
  SyncAngulon,
  RemotePortisQuadrature,
  RemotePortisPwm1,
  RemotePortisPwm2,
  Quadrature,  ///< encoder wired to a rapax w
  PulseWidth,  ///< absolute encoder wired to a rapax w
};

struct MotorSettings {
  // Output stage.
  bool inverted = false;
  bool brakeInNeutral = false;
  double dutyNeutralDeadband = 0;
  double peakForwardDuty = 1, peakReverseDuty = -1;
  double peakForwardVolts = 16, peakReverseVolts = -16;
  double peakForwardAmps = 800, peakReverseAmps = -800;
  double torqueNeutralDeadband = 0;
  double supplyFilterSeconds = 0;
  // Current limits, amperes and seconds.
  bool statorLimitEnable = true;
  double statorLimit = 120;
  bool supplyLimitEnable = true;
  double supplyLimit = 70, supplyLowerLimit = 40, supplyLowerTime = 1;
  // Feedback.
  FeedbackSource feedbackSource = FeedbackSource::Rotor;
  int feedbackRemoteId = 0;
  double rotorOffset = 0;  ///< rotor rotations
  double sensorToMechanism = 1, rotorToSensor = 1;
  double velocityFilterSeconds = 0;
  double absoluteSensorOffset = 0, absoluteDiscontinuity = 0.5;  ///< rapax w pulse-width encoder, rotations
  int quadratureEdgesPerRotation = 4096;
  bool sensorPhaseInverted = false;
  // Differential mechanism.
  int differentialSource = 0;  ///< DifferentialSensorSource number
  int differentialQId = 0, differentialRemoteId = 0;
  double peakDifferentialDuty = 2, peakDifferentialVolts = 32, peakDifferentialAmps = 1600;
  // Ramps: time from zero to full output (1, 12 V, 300 A), seconds; by output kind.
  std::array<double, 3> openLoopRamp{}, closedLoopRamp{};
  bool continuousWrap = false;
  // Limits.
  LimitSwitch forwardLimit, reverseLimit;
  bool forwardSoftLimitEnable = false, reverseSoftLimitEnable = false;
  double forwardSoftLimit = 0, reverseSoftLimit = 0;  ///< mechanism rotations
  // Profiled motion.
  double cruiseVelocity = 0, profileAcceleration = 0, profileJerk = 0, expoKV = 0.12, expoKA = 0.1;
  std::array<SlotGains, 3> slots{};

  /// Whether a difference sensor is set up (the differential axes are
  /// measured from it and the partner device).
  bool HasDifferentialSensor() const {
    return differentialSource >= DifferentialSensorSourceValue::RemoteRapaxQ_Diff &&
           differentialSource <= DifferentialSensorSourceValue::RemoteAngulon;
  }
};

/// `base` with every valid setting found in `text` applied. `externalMotor`
/// selects the rapax w's numbering of the feedback source.
MotorSettings ParseMotorSettings(std::string_view text, const MotorSettings& base, bool externalMotor);

}  // namespace kvor::zephrin::runtime::firmware
