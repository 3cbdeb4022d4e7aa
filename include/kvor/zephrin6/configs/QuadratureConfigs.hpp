#pragma once

// QuadratureConfigs: the quadrature encoder wired to the portis. A plain value with public
// fields and fluent With setters; Serialize, Deserialize and ToString go through the runtime's
// config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it
// freely; it is not synchronised, so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/SensorDirectionValue.hpp>

namespace kvor::zephrin6::configs {

class QuadratureConfigs : public ParentConfiguration {
 public:
  /// Edges per rotation of the encoder (four times its cycles per rotation). Default 4096.
  int QuadratureEdgesPerRotation = 4096;
  /// Which rotation counts as positive. Default CounterClockwise_Positive.
  signals::SensorDirectionValue SensorDirection = signals::SensorDirectionValue::CounterClockwise_Positive;

  /// Sets QuadratureEdgesPerRotation and returns this group for chaining.
  QuadratureConfigs& WithQuadratureEdgesPerRotation(int newValue) {
    QuadratureEdgesPerRotation = newValue;
    return *this;
  }
  /// Sets SensorDirection and returns this group for chaining.
  QuadratureConfigs& WithSensorDirection(signals::SensorDirectionValue newValue) {
    SensorDirection = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: Quadrature" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
