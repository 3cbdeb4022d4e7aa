#pragma once

// ClosedLoopGeneralConfigs: behaviour shared by every closed-loop slot. A plain value with
// public fields and fluent With setters; Serialize, Deserialize and ToString go through the
// runtime's config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def).
// Copy it freely; it is not synchronised, so a group shared between threads needs the caller's
// lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>

namespace kvor::zephrin6::configs {

class ClosedLoopGeneralConfigs : public ParentConfiguration {
 public:
  /// Treat the mechanism position as continuous over one turn, so a position loop takes the
  /// shortest way (swerve azimuth). Default false.
  bool ContinuousWrap = false;

  /// Sets ContinuousWrap and returns this group for chaining.
  ClosedLoopGeneralConfigs& WithContinuousWrap(bool newValue) {
    ContinuousWrap = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: ClosedLoopGeneral" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
