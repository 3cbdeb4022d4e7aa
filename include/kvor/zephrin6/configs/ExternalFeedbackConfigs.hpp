#pragma once

// ExternalFeedbackConfigs: which sensor a rapax w uses for position and velocity, the gear
// ratios, and the sensors wired to it. A plain value with public fields and fluent With setters;
// Serialize, Deserialize and ToString go through the runtime's config text one field at a time
// (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised,
// so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/ExternalFeedbackSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/SensorDirectionValue.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::hardware::core {
class CoreAngulon;
}

namespace kvor::zephrin6::configs {

class ExternalFeedbackConfigs : public ParentConfiguration {
 public:
  /// Sensor turns per mechanism turn; positions and velocities are reported at the mechanism.
  /// Default 1.0 scalar.
  double SensorToMechanismRatio = 1.0;
  /// Rotor turns per sensor turn, used with fused and synchronised remote sensors. Default 1.0
  /// scalar.
  double RotorToSensorRatio = 1.0;
  /// Which sensor gives position and velocity. Default Commutation.
  signals::ExternalFeedbackSensorSourceValue ExternalFeedbackSensorSource =
      signals::ExternalFeedbackSensorSourceValue::Commutation;
  /// Device ID of the remote sensor of the remote sources. Default 0.
  int FeedbackRemoteSensorID = 0;
  /// Time constant of the low-pass filter on the reported velocity, seconds. Default 0.0 s.
  units::time::second_t VelocityFilterTimeConstant = units::time::second_t{0.0};
  /// Offset added to a wired pulse-width sensor's position, turns. Default 0.0 turns.
  units::angle::turn_t AbsoluteSensorOffset = units::angle::turn_t{0.0};
  /// Where a wired absolute sensor's position wraps, turns (0.5 gives -0.5 to 0.5). Default 0.5
  /// turns.
  units::angle::turn_t AbsoluteSensorDiscontinuityPoint = units::angle::turn_t{0.5};
  /// Edges per rotation of a wired quadrature encoder (four times its cycles per rotation). Default
  /// 4096.
  int QuadratureEdgesPerRotation = 4096;
  /// Which rotation of a wired sensor counts as positive, relative to the motor. Default
  /// CounterClockwise_Positive.
  signals::SensorDirectionValue SensorPhase = signals::SensorDirectionValue::CounterClockwise_Positive;

  /// Sets SensorToMechanismRatio and returns this group for chaining.
  ExternalFeedbackConfigs& WithSensorToMechanismRatio(double newValue) {
    SensorToMechanismRatio = newValue;
    return *this;
  }
  /// Sets RotorToSensorRatio and returns this group for chaining.
  ExternalFeedbackConfigs& WithRotorToSensorRatio(double newValue) {
    RotorToSensorRatio = newValue;
    return *this;
  }
  /// Sets ExternalFeedbackSensorSource and returns this group for chaining.
  ExternalFeedbackConfigs& WithExternalFeedbackSensorSource(signals::ExternalFeedbackSensorSourceValue newValue) {
    ExternalFeedbackSensorSource = newValue;
    return *this;
  }
  /// Sets FeedbackRemoteSensorID and returns this group for chaining.
  ExternalFeedbackConfigs& WithFeedbackRemoteSensorID(int newValue) {
    FeedbackRemoteSensorID = newValue;
    return *this;
  }
  /// Sets VelocityFilterTimeConstant and returns this group for chaining.
  ExternalFeedbackConfigs& WithVelocityFilterTimeConstant(units::time::second_t newValue) {
    VelocityFilterTimeConstant = newValue;
    return *this;
  }
  /// Sets AbsoluteSensorOffset and returns this group for chaining.
  ExternalFeedbackConfigs& WithAbsoluteSensorOffset(units::angle::turn_t newValue) {
    AbsoluteSensorOffset = newValue;
    return *this;
  }
  /// Sets AbsoluteSensorDiscontinuityPoint and returns this group for chaining.
  ExternalFeedbackConfigs& WithAbsoluteSensorDiscontinuityPoint(units::angle::turn_t newValue) {
    AbsoluteSensorDiscontinuityPoint = newValue;
    return *this;
  }
  /// Sets QuadratureEdgesPerRotation and returns this group for chaining.
  ExternalFeedbackConfigs& WithQuadratureEdgesPerRotation(int newValue) {
    QuadratureEdgesPerRotation = newValue;
    return *this;
  }
  /// Sets SensorPhase and returns this group for chaining.
  ExternalFeedbackConfigs& WithSensorPhase(signals::SensorDirectionValue newValue) {
    SensorPhase = newValue;
    return *this;
  }

  /// Uses the angulon `device` as remote sensor (ExternalFeedbackSensorSource
  /// RemoteAngulon, FeedbackRemoteSensorID its device ID) and returns this group.
  ExternalFeedbackConfigs& WithRemoteAngulon(const hardware::core::CoreAngulon& device);
  /// Fuses the angulon `device` with the commutation sensor (FusedAngulon) and returns this group.
  ExternalFeedbackConfigs& WithFusedAngulon(const hardware::core::CoreAngulon& device);
  /// Synchronises the commutation sensor to the angulon `device` (SyncAngulon) and returns this group.
  ExternalFeedbackConfigs& WithSyncAngulon(const hardware::core::CoreAngulon& device);

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: ExternalFeedback" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
