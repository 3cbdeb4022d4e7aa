#pragma once

// PortisConfiguration: every configuration group of a portis digital-input and encoder interface in
// one value, so a program can set up the whole device with one Apply and read it back with one
// Refresh. Its text is the plain concatenation of its groups' texts. A plain value; copy it freely;
// it is not synchronised.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/configs/DigitalInputsConfigs.hpp>
#include <kvor/zephrin6/configs/QuadratureConfigs.hpp>
#include <kvor/zephrin6/configs/PulseWidthConfigs.hpp>

namespace kvor::zephrin6::configs {

class PortisConfiguration : public ParentConfiguration {
 public:
  /// The DigitalInputs group.
  DigitalInputsConfigs DigitalInputs;
  /// The Quadrature group.
  QuadratureConfigs Quadrature;
  /// The PulseWidth group.
  PulseWidthConfigs PulseWidth;

  /// Replaces the DigitalInputs group and returns this configuration for chaining.
  PortisConfiguration& WithDigitalInputs(const DigitalInputsConfigs& newValue) {
    DigitalInputs = newValue;
    return *this;
  }
  /// Replaces the Quadrature group and returns this configuration for chaining.
  PortisConfiguration& WithQuadrature(const QuadratureConfigs& newValue) {
    Quadrature = newValue;
    return *this;
  }
  /// Replaces the PulseWidth group and returns this configuration for chaining.
  PortisConfiguration& WithPulseWidth(const PulseWidthConfigs& newValue) {
    PulseWidth = newValue;
    return *this;
  }

  /// The config text of every group, in the order above.
  std::string Serialize() const override;
  /// The text of every group, each starting with its "Config Group:" line,
  /// after the line "Configuration: portis".
  std::string ToString() const override;
  /// Reads every group from `text`; values absent from it are kept. Returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
