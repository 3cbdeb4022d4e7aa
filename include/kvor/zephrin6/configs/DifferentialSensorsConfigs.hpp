#pragma once

// DifferentialSensorsConfigs: where a motor controller reads the difference sensor of a
// differential mechanism. A plain value with public fields and fluent With setters; Serialize,
// Deserialize and ToString go through the runtime's config text one field at a time (config IDs
// in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not synchronised, so a group
// shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/DifferentialSensorSourceValue.hpp>

namespace kvor::zephrin6::configs {

class DifferentialSensorsConfigs : public ParentConfiguration {
 public:
  /// Which sensor measures the difference axis. Default Disabled.
  signals::DifferentialSensorSourceValue DifferentialSensorSource = signals::DifferentialSensorSourceValue::Disabled;
  /// Device ID of the remote rapax q used by RemoteRapaxQ_Diff. Default 0.
  int DifferentialRapaxQSensorID = 0;
  /// Device ID of the remote auklet 2 or angulon used by the other sources. Default 0.
  int DifferentialRemoteSensorID = 0;

  /// Sets DifferentialSensorSource and returns this group for chaining.
  DifferentialSensorsConfigs& WithDifferentialSensorSource(signals::DifferentialSensorSourceValue newValue) {
    DifferentialSensorSource = newValue;
    return *this;
  }
  /// Sets DifferentialRapaxQSensorID and returns this group for chaining.
  DifferentialSensorsConfigs& WithDifferentialRapaxQSensorID(int newValue) {
    DifferentialRapaxQSensorID = newValue;
    return *this;
  }
  /// Sets DifferentialRemoteSensorID and returns this group for chaining.
  DifferentialSensorsConfigs& WithDifferentialRemoteSensorID(int newValue) {
    DifferentialRemoteSensorID = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: DifferentialSensors" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
