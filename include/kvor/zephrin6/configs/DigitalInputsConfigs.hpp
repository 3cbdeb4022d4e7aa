#pragma once

// DigitalInputsConfigs: how the portis treats its signal inputs S1 and S2. A plain value with
// public fields and fluent With setters; Serialize, Deserialize and ToString go through the
// runtime's config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def).
// Copy it freely; it is not synchronised, so a group shared between threads needs the caller's
// lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/CloseStateValue.hpp>
#include <kvor/zephrin6/signals/FloatStateValue.hpp>

namespace kvor::zephrin6::configs {

class DigitalInputsConfigs : public ParentConfiguration {
 public:
  /// What S1 does when nothing drives it. Default FloatDetect.
  signals::FloatStateValue S1FloatState = signals::FloatStateValue::FloatDetect;
  /// What S2 does when nothing drives it. Default FloatDetect.
  signals::FloatStateValue S2FloatState = signals::FloatStateValue::FloatDetect;
  /// Which state of S1 counts as closed. Default CloseWhenLow.
  signals::CloseStateValue S1CloseState = signals::CloseStateValue::CloseWhenLow;
  /// Which state of S2 counts as closed. Default CloseWhenLow.
  signals::CloseStateValue S2CloseState = signals::CloseStateValue::CloseWhenLow;

  /// Sets S1FloatState and returns this group for chaining.
  DigitalInputsConfigs& WithS1FloatState(signals::FloatStateValue newValue) {
    S1FloatState = newValue;
    return *this;
  }
  /// Sets S2FloatState and returns this group for chaining.
  DigitalInputsConfigs& WithS2FloatState(signals::FloatStateValue newValue) {
    S2FloatState = newValue;
    return *this;
  }
  /// Sets S1CloseState and returns this group for chaining.
  DigitalInputsConfigs& WithS1CloseState(signals::CloseStateValue newValue) {
    S1CloseState = newValue;
    return *this;
  }
  /// Sets S2CloseState and returns this group for chaining.
  DigitalInputsConfigs& WithS2CloseState(signals::CloseStateValue newValue) {
    S2CloseState = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: DigitalInputs" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
