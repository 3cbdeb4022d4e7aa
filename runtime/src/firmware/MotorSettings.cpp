#include "firmware/MotorSettings.hpp"

#include <cmath>
#include <unordered_map>

#include "configs/ConfigText.hpp"

namespace kvor::zephrin::runtime::firmware {
namespace {

namespace ids {
#define KVOR_CONFIG_ID(symbol, id) inline constexpr int symbol = id;
#include <kvor/zephrin/platform/ConfigIds.def>
}  // namespace ids

// The values of a config text by ID; the last valid piece of an ID wins.
class Values {
 public:
  explicit Values(std::string_view text) {
    configs::ForEachPiece(text, [this](const configs::ConfigPiece& piece) {
      if (std::isfinite(piece.asDouble)) values_[piece.id] = piece.asDouble;
    });
  }
  // Each setter changes `field` only when the text holds a value in range.
  void Read(int id, double& field, double low = -INFINITY, double high = INFINITY) const {
    if (auto v = Find(id); v != nullptr && *v >= low && *v <= high) field = *v;
  }
  void ReadPositive(int id, double& field) const {
    if (auto v = Find(id); v != nullptr && *v > 0.0) field = *v;
  }
  void Read(int id, int& field) const {
    if (auto v = Find(id); v != nullptr && std::abs(*v) < 2147483648.0) field = static_cast<int>(*v);
  }
  void Read(int id, bool& field) const {
    if (auto v = Find(id); v != nullptr) field = *v != 0.0;
  }
  bool Has(int id) const { return Find(id) != nullptr; }

 private:
  const double* Find(int id) const {
    auto it = values_.find(id);
    return it == values_.end() ? nullptr : &it->second;
  }
  std::unordered_map<int, double> values_;
};

void ReadSlot(const Values& v, int first, int signId, SlotGains& slot) {
  // Each slot's nine IDs: kP kI kD kS kV kA kG GravityType, then the sign (elsewhere).
  v.Read(first + 0, slot.kP);
  v.Read(first + 1, slot.kI);
  v.Read(first + 2, slot.kD);
  v.Read(first + 3, slot.kS);
  v.Read(first + 4, slot.kV);
  v.Read(first + 5, slot.kA);
  v.Read(first + 6, slot.kG);
  v.Read(first + 7, slot.armCosine);
  v.Read(signId, slot.closedLoopSignForKs);
}

void ReadLimit(const Values& v, int first, LimitSwitch& limit) {
  // Type, autoset enable, autoset value, enable, source, remote ID.
  v.Read(first + 1, limit.autosetPosition);
  v.Read(first + 2, limit.autosetValue);
  v.Read(first + 3, limit.enable);
  v.Read(first + 4, limit.source);
  v.Read(first + 5, limit.remoteId);
}

// The feedback source numbers of the two models mapped to one list.
void ReadFeedbackSource(const Values& v, bool externalMotor, FeedbackSource& source) {
  using enum FeedbackSource;
  int number = -1;
  v.Read(externalMotor ? ids::ExternalFeedback_SensorSource : ids::Feedback_FeedbackSensorSource, number);
  static constexpr FeedbackSource kRapaxQ[] = {Rotor,           RemoteAngulon, RemotePortisQuadrature, RemotePortisPwm1,
                                               RemotePortisPwm2, FusedAngulon,  SyncAngulon};
  static constexpr FeedbackSource kRapaxW[] = {Rotor,        RemoteAngulon, Quadrature, PulseWidth,
                                               RemotePortisQuadrature, FusedAngulon, SyncAngulon};
  if (number >= 0 && number < 7) source = externalMotor ? kRapaxW[number] : kRapaxQ[number];
}

}  // namespace

MotorSettings ParseMotorSettings(std::string_view text, const MotorSettings& base, bool externalMotor) {
  const Values v(text);
  MotorSettings s = base;
  v.Read(ids::MotorOutput_Inverted, s.inverted);
  v.Read(ids::MotorOutput_NeutralMode, s.brakeInNeutral);
  v.Read(ids::MotorOutput_DutyCycleNeutralDeadband, s.dutyNeutralDeadband, 0.0, 0.25);
  v.Read(ids::MotorOutput_PeakForwardDutyCycle, s.peakForwardDuty, -1.0, 1.0);
  v.Read(ids::MotorOutput_PeakReverseDutyCycle, s.peakReverseDuty, -1.0, 1.0);
  v.Read(ids::Voltage_PeakForwardVoltage, s.peakForwardVolts);
  v.Read(ids::Voltage_PeakReverseVoltage, s.peakReverseVolts);
  v.Read(ids::Voltage_SupplyVoltageTimeConstant, s.supplyFilterSeconds, 0.0);
  v.Read(ids::TorqueCurrent_PeakForwardTorqueCurrent, s.peakForwardAmps);
  v.Read(ids::TorqueCurrent_PeakReverseTorqueCurrent, s.peakReverseAmps);
  v.Read(ids::TorqueCurrent_TorqueNeutralDeadband, s.torqueNeutralDeadband, 0.0);

  v.Read(ids::CurrentLimits_StatorCurrentLimitEnable, s.statorLimitEnable);
  v.Read(ids::CurrentLimits_StatorCurrentLimit, s.statorLimit, 0.0);
  v.Read(ids::CurrentLimits_SupplyCurrentLimitEnable, s.supplyLimitEnable);
  v.Read(ids::CurrentLimits_SupplyCurrentLimit, s.supplyLimit, 0.0);
  v.Read(ids::CurrentLimits_SupplyCurrentLowerLimit, s.supplyLowerLimit, 0.0);
  v.Read(ids::CurrentLimits_SupplyCurrentLowerTime, s.supplyLowerTime, 0.0);

  ReadFeedbackSource(v, externalMotor, s.feedbackSource);
  v.Read(ids::Feedback_FeedbackRemoteSensorID, s.feedbackRemoteId);
  v.Read(ids::Feedback_FeedbackRotorOffset, s.rotorOffset);
  v.ReadPositive(ids::Feedback_SensorToMechanismRatio, s.sensorToMechanism);
  v.ReadPositive(ids::Feedback_RotorToSensorRatio, s.rotorToSensor);
  v.Read(ids::Feedback_VelocityFilterTimeConstant, s.velocityFilterSeconds, 0.0);
  v.Read(ids::ExternalFeedback_AbsoluteSensorOffset, s.absoluteSensorOffset);
  v.Read(ids::ExternalFeedback_AbsoluteSensorDiscontinuityPoint, s.absoluteDiscontinuity, 0.0, 1.0);
  v.Read(ids::ExternalFeedback_SensorPhase, s.sensorPhaseInverted);
  int edges = s.quadratureEdgesPerRotation;
  v.Read(ids::ExternalFeedback_QuadratureEdgesPerRotation, edges);
  if (edges > 0) s.quadratureEdgesPerRotation = edges;

  v.Read(ids::DifferentialSensors_Source, s.differentialSource);
  v.Read(ids::DifferentialSensors_RapaxQSensorID, s.differentialQId);
  v.Read(ids::DifferentialSensors_RemoteSensorID, s.differentialRemoteId);
  v.Read(ids::DifferentialConstants_PeakDifferentialDutyCycle, s.peakDifferentialDuty, 0.0);
  v.Read(ids::DifferentialConstants_PeakDifferentialVoltage, s.peakDifferentialVolts, 0.0);
  v.Read(ids::DifferentialConstants_PeakDifferentialTorqueCurrent, s.peakDifferentialAmps, 0.0);

  v.Read(ids::OpenLoopRamps_DutyCycleOpenLoopRampPeriod, s.openLoopRamp[0], 0.0);
  v.Read(ids::OpenLoopRamps_VoltageOpenLoopRampPeriod, s.openLoopRamp[1], 0.0);
  v.Read(ids::OpenLoopRamps_TorqueOpenLoopRampPeriod, s.openLoopRamp[2], 0.0);
  v.Read(ids::ClosedLoopRamps_DutyCycleClosedLoopRampPeriod, s.closedLoopRamp[0], 0.0);
  v.Read(ids::ClosedLoopRamps_VoltageClosedLoopRampPeriod, s.closedLoopRamp[1], 0.0);
  v.Read(ids::ClosedLoopRamps_TorqueClosedLoopRampPeriod, s.closedLoopRamp[2], 0.0);
  v.Read(ids::ClosedLoopGeneral_ContinuousWrap, s.continuousWrap);

  ReadLimit(v, ids::HardwareLimitSwitch_ForwardLimitType, s.forwardLimit);
  ReadLimit(v, ids::HardwareLimitSwitch_ReverseLimitType, s.reverseLimit);
  v.Read(ids::SoftwareLimitSwitch_ForwardSoftLimitEnable, s.forwardSoftLimitEnable);
  v.Read(ids::SoftwareLimitSwitch_ReverseSoftLimitEnable, s.reverseSoftLimitEnable);
  v.Read(ids::SoftwareLimitSwitch_ForwardSoftLimitThreshold, s.forwardSoftLimit);
  v.Read(ids::SoftwareLimitSwitch_ReverseSoftLimitThreshold, s.reverseSoftLimit);

  v.Read(ids::Kinetra_CruiseVelocity, s.cruiseVelocity, 0.0);
  v.Read(ids::Kinetra_Acceleration, s.profileAcceleration, 0.0);
  v.Read(ids::Kinetra_Jerk, s.profileJerk, 0.0);
  v.Read(ids::Kinetra_Expo_kV, s.expoKV, 0.0);
  v.Read(ids::Kinetra_Expo_kA, s.expoKA, 0.0);

  ReadSlot(v, ids::Slot0_kP, ids::Slot0_StaticFeedforwardSign, s.slots[0]);
  ReadSlot(v, ids::Slot1_kP, ids::Slot1_StaticFeedforwardSign, s.slots[1]);
  ReadSlot(v, ids::Slot2_kP, ids::Slot2_StaticFeedforwardSign, s.slots[2]);
  return s;
}

}  // namespace kvor::zephrin::runtime::firmware
