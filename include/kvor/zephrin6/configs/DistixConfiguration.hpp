#pragma once

// DistixConfiguration: every configuration group of a distix distance sensor in one value, so a
// program can set up the whole device with one Apply and read it back with one Refresh. Its text is
// the plain concatenation of its groups' texts. A plain value; copy it freely; it is not
// synchronised.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/configs/ProximityParamsConfigs.hpp>
#include <kvor/zephrin6/configs/FovParamsConfigs.hpp>

namespace kvor::zephrin6::configs {

class DistixConfiguration : public ParentConfiguration {
 public:
  /// The ProximityParams group.
  ProximityParamsConfigs ProximityParams;
  /// The FovParams group.
  FovParamsConfigs FovParams;

  /// Replaces the ProximityParams group and returns this configuration for chaining.
  DistixConfiguration& WithProximityParams(const ProximityParamsConfigs& newValue) {
    ProximityParams = newValue;
    return *this;
  }
  /// Replaces the FovParams group and returns this configuration for chaining.
  DistixConfiguration& WithFovParams(const FovParamsConfigs& newValue) {
    FovParams = newValue;
    return *this;
  }

  /// The config text of every group, in the order above.
  std::string Serialize() const override;
  /// The text of every group, each starting with its "Config Group:" line,
  /// after the line "Configuration: distix".
  std::string ToString() const override;
  /// Reads every group from `text`; values absent from it are kept. Returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
