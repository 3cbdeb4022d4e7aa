#pragma once

// FeedbackConfigs: which sensor a rapax q uses for position and velocity, and the gear ratios
// between rotor, sensor and mechanism. A plain value with public fields and fluent With setters;
// Serialize, Deserialize and ToString go through the runtime's config text one field at a time
// (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised,
// so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/FeedbackSensorSourceValue.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::hardware::core {
class CoreAngulon;
}

namespace kvor::zephrin6::configs {

class FeedbackConfigs : public ParentConfiguration {
 public:
  /// Offset added to the rotor sensor's position, turns of the rotor. Default 0.0 turns.
  units::angle::turn_t FeedbackRotorOffset = units::angle::turn_t{0.0};
  /// Sensor turns per mechanism turn; positions and velocities are reported at the mechanism.
  /// Default 1.0 scalar.
  double SensorToMechanismRatio = 1.0;
  /// Rotor turns per sensor turn, used with fused and synchronised remote sensors. Default 1.0
  /// scalar.
  double RotorToSensorRatio = 1.0;
  /// Which sensor gives position and velocity. Default RotorSensor.
  signals::FeedbackSensorSourceValue FeedbackSensorSource = signals::FeedbackSensorSourceValue::RotorSensor;
  /// Device ID of the remote sensor of the remote sources. Default 0.
  int FeedbackRemoteSensorID = 0;
  /// Time constant of the low-pass filter on the reported velocity, seconds. Default 0.0 s.
  units::time::second_t VelocityFilterTimeConstant = units::time::second_t{0.0};

  /// Sets FeedbackRotorOffset and returns this group for chaining.
  FeedbackConfigs& WithFeedbackRotorOffset(units::angle::turn_t newValue) {
    FeedbackRotorOffset = newValue;
    return *this;
  }
  /// Sets SensorToMechanismRatio and returns this group for chaining.
  FeedbackConfigs& WithSensorToMechanismRatio(double newValue) {
    SensorToMechanismRatio = newValue;
    return *this;
  }
  /// Sets RotorToSensorRatio and returns this group for chaining.
  FeedbackConfigs& WithRotorToSensorRatio(double newValue) {
    RotorToSensorRatio = newValue;
    return *this;
  }
  /// Sets FeedbackSensorSource and returns this group for chaining.
  FeedbackConfigs& WithFeedbackSensorSource(signals::FeedbackSensorSourceValue newValue) {
    FeedbackSensorSource = newValue;
    return *this;
  }
  /// Sets FeedbackRemoteSensorID and returns this group for chaining.
  FeedbackConfigs& WithFeedbackRemoteSensorID(int newValue) {
    FeedbackRemoteSensorID = newValue;
    return *this;
  }
  /// Sets VelocityFilterTimeConstant and returns this group for chaining.
  FeedbackConfigs& WithVelocityFilterTimeConstant(units::time::second_t newValue) {
    VelocityFilterTimeConstant = newValue;
    return *this;
  }

  /// Uses the angulon `device` as remote sensor (FeedbackSensorSource RemoteAngulon,
  /// FeedbackRemoteSensorID its device ID) and returns this group.
  FeedbackConfigs& WithRemoteAngulon(const hardware::core::CoreAngulon& device);
  /// Fuses the angulon `device` with the rotor sensor (FusedAngulon) and returns this group.
  FeedbackConfigs& WithFusedAngulon(const hardware::core::CoreAngulon& device);
  /// Synchronises the rotor sensor to the angulon `device` (SyncAngulon) and returns this group.
  FeedbackConfigs& WithSyncAngulon(const hardware::core::CoreAngulon& device);

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: Feedback" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
