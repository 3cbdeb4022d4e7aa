#pragma once

// MotorOutputConfigs: the motor controller's output stage: direction, neutral behaviour and
// duty-cycle limits. A plain value with public fields and fluent With setters; Serialize,
// Deserialize and ToString go through the runtime's config text one field at a time (config IDs
// in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised, so a group
// shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/InvertedValue.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>

namespace kvor::zephrin6::configs {

class MotorOutputConfigs : public ParentConfiguration {
 public:
  /// Which rotation direction counts as positive. Default CounterClockwise_Positive.
  signals::InvertedValue Inverted = signals::InvertedValue::CounterClockwise_Positive;
  /// What the motor does when its output is neutral. Default Coast.
  signals::NeutralModeValue NeutralMode = signals::NeutralModeValue::Coast;
  /// Duty cycles closer to zero than this are treated as neutral, fractional (0 to 0.25). Default
  /// 0.0 fractional.
  double DutyCycleNeutralDeadband = 0.0;
  /// Largest forward duty cycle, fractional (-1 to 1). Default 1.0 fractional.
  double PeakForwardDutyCycle = 1.0;
  /// Largest reverse duty cycle, fractional (-1 to 1). Default -1.0 fractional.
  double PeakReverseDutyCycle = -1.0;
  /// Rate at which time-synchronised controls are applied, hertz; 0 applies them on arrival.
  /// Default 0.0 Hz.
  double ControlTimesyncFreqHz = 0.0;

  /// Sets Inverted and returns this group for chaining.
  MotorOutputConfigs& WithInverted(signals::InvertedValue newValue) {
    Inverted = newValue;
    return *this;
  }
  /// Sets NeutralMode and returns this group for chaining.
  MotorOutputConfigs& WithNeutralMode(signals::NeutralModeValue newValue) {
    NeutralMode = newValue;
    return *this;
  }
  /// Sets DutyCycleNeutralDeadband and returns this group for chaining.
  MotorOutputConfigs& WithDutyCycleNeutralDeadband(double newValue) {
    DutyCycleNeutralDeadband = newValue;
    return *this;
  }
  /// Sets PeakForwardDutyCycle and returns this group for chaining.
  MotorOutputConfigs& WithPeakForwardDutyCycle(double newValue) {
    PeakForwardDutyCycle = newValue;
    return *this;
  }
  /// Sets PeakReverseDutyCycle and returns this group for chaining.
  MotorOutputConfigs& WithPeakReverseDutyCycle(double newValue) {
    PeakReverseDutyCycle = newValue;
    return *this;
  }
  /// Sets ControlTimesyncFreqHz and returns this group for chaining.
  MotorOutputConfigs& WithControlTimesyncFreqHz(double newValue) {
    ControlTimesyncFreqHz = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: MotorOutput" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
