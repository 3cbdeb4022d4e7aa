#pragma once

// AudioConfigs: the sounds a motor controller makes. A plain value with public fields and fluent
// With setters; Serialize, Deserialize and ToString go through the runtime's config text one
// field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def). Copy it freely; it is not
// synchronised, so a group shared between threads needs the caller's lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>

namespace kvor::zephrin6::configs {

class AudioConfigs : public ParentConfiguration {
 public:
  /// Beep when the device boots. Default true.
  bool BeepOnBoot = true;
  /// Beep when a configuration is applied. Default true.
  bool BeepOnConfig = true;
  /// Allow music tones while the robot is disabled. Default false.
  bool AllowMusicDuringDisable = false;

  /// Sets BeepOnBoot and returns this group for chaining.
  AudioConfigs& WithBeepOnBoot(bool newValue) {
    BeepOnBoot = newValue;
    return *this;
  }
  /// Sets BeepOnConfig and returns this group for chaining.
  AudioConfigs& WithBeepOnConfig(bool newValue) {
    BeepOnConfig = newValue;
    return *this;
  }
  /// Sets AllowMusicDuringDisable and returns this group for chaining.
  AudioConfigs& WithAllowMusicDuringDisable(bool newValue) {
    AllowMusicDuringDisable = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: Audio" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
