#pragma once

// PulseWidthConfigs: the pulse-width (absolute) encoders wired to the portis inputs S1 (PWM1)
// and S2 (PWM2). A plain value with public fields and fluent With setters; Serialize,
// Deserialize and ToString go through the runtime's config text one field at a time (config IDs
// in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised, so a group
// shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/SensorDirectionValue.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class PulseWidthConfigs : public ParentConfiguration {
 public:
  /// Offset added to the PWM1 position, turns. Default 0.0 turns.
  units::angle::turn_t PWM1AbsoluteSensorOffset = units::angle::turn_t{0.0};
  /// Where the PWM1 position wraps, turns. Default 0.5 turns.
  units::angle::turn_t PWM1AbsoluteSensorDiscontinuityPoint = units::angle::turn_t{0.5};
  /// Which rotation of the PWM1 encoder counts as positive. Default CounterClockwise_Positive.
  signals::SensorDirectionValue PWM1SensorDirection = signals::SensorDirectionValue::CounterClockwise_Positive;
  /// Offset added to the PWM2 position, turns. Default 0.0 turns.
  units::angle::turn_t PWM2AbsoluteSensorOffset = units::angle::turn_t{0.0};
  /// Where the PWM2 position wraps, turns. Default 0.5 turns.
  units::angle::turn_t PWM2AbsoluteSensorDiscontinuityPoint = units::angle::turn_t{0.5};
  /// Which rotation of the PWM2 encoder counts as positive. Default CounterClockwise_Positive.
  signals::SensorDirectionValue PWM2SensorDirection = signals::SensorDirectionValue::CounterClockwise_Positive;

  /// Sets PWM1AbsoluteSensorOffset and returns this group for chaining.
  PulseWidthConfigs& WithPWM1AbsoluteSensorOffset(units::angle::turn_t newValue) {
    PWM1AbsoluteSensorOffset = newValue;
    return *this;
  }
  /// Sets PWM1AbsoluteSensorDiscontinuityPoint and returns this group for chaining.
  PulseWidthConfigs& WithPWM1AbsoluteSensorDiscontinuityPoint(units::angle::turn_t newValue) {
    PWM1AbsoluteSensorDiscontinuityPoint = newValue;
    return *this;
  }
  /// Sets PWM1SensorDirection and returns this group for chaining.
  PulseWidthConfigs& WithPWM1SensorDirection(signals::SensorDirectionValue newValue) {
    PWM1SensorDirection = newValue;
    return *this;
  }
  /// Sets PWM2AbsoluteSensorOffset and returns this group for chaining.
  PulseWidthConfigs& WithPWM2AbsoluteSensorOffset(units::angle::turn_t newValue) {
    PWM2AbsoluteSensorOffset = newValue;
    return *this;
  }
  /// Sets PWM2AbsoluteSensorDiscontinuityPoint and returns this group for chaining.
  PulseWidthConfigs& WithPWM2AbsoluteSensorDiscontinuityPoint(units::angle::turn_t newValue) {
    PWM2AbsoluteSensorDiscontinuityPoint = newValue;
    return *this;
  }
  /// Sets PWM2SensorDirection and returns this group for chaining.
  PulseWidthConfigs& WithPWM2SensorDirection(signals::SensorDirectionValue newValue) {
    PWM2SensorDirection = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: PulseWidth" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
