#pragma once

// MagnetSensorConfigs: the angulon's direction, zero offset and wrap point. A plain value with
// public fields and fluent With setters; Serialize, Deserialize and ToString go through the
// runtime's config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def).
// Copy it freely; it is not synchronised, so a group shared between threads needs the caller's
// lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/SensorDirectionValue.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class MagnetSensorConfigs : public ParentConfiguration {
 public:
  /// Which rotation, facing the sensor, counts as positive. Default CounterClockwise_Positive.
  signals::SensorDirectionValue SensorDirection = signals::SensorDirectionValue::CounterClockwise_Positive;
  /// Offset added to the absolute position, turns. Default 0.0 turns.
  units::angle::turn_t MagnetOffset = units::angle::turn_t{0.0};
  /// Where the absolute position wraps, turns (0.5 gives -0.5 to 0.5, 1 gives 0 to 1). Default 0.5
  /// turns.
  units::angle::turn_t AbsoluteSensorDiscontinuityPoint = units::angle::turn_t{0.5};

  /// Sets SensorDirection and returns this group for chaining.
  MagnetSensorConfigs& WithSensorDirection(signals::SensorDirectionValue newValue) {
    SensorDirection = newValue;
    return *this;
  }
  /// Sets MagnetOffset and returns this group for chaining.
  MagnetSensorConfigs& WithMagnetOffset(units::angle::turn_t newValue) {
    MagnetOffset = newValue;
    return *this;
  }
  /// Sets AbsoluteSensorDiscontinuityPoint and returns this group for chaining.
  MagnetSensorConfigs& WithAbsoluteSensorDiscontinuityPoint(units::angle::turn_t newValue) {
    AbsoluteSensorDiscontinuityPoint = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: MagnetSensor" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
