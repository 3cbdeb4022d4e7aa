#pragma once

// The runtime's view of the signal catalogue: one entry per signal ID with its
// name, value type, units text, default update frequency and the device models
// that publish it. The table is generated from tools/catalogue/signals.csv
// (see generated/SignalCatalogue.inc) and is immutable static data, so every
// function here is thread-safe, allocation-free and returns pointers that
// live as long as the process.

#include <cstdint>
#include <span>
#include <string_view>

namespace kvor::zephrin::runtime::catalogue {

/// One row of the catalogue.
struct CatalogueEntry {
  uint16_t id;                ///< signal ID
  const char* name;           ///< signal name, e.g. "Velocity"
  const char* valueType;      ///< catalogue value type, e.g. "turns_per_second"
  const char* units;          ///< units text, e.g. "turns/s"; "" for plain numbers
  double defaultHz;           ///< update frequency a device starts with, hertz
  bool reportOnConstruction;  ///< whether a failed first read is reported
  uint16_t primaryId;         ///< the mode-dependent signal this ID belongs to; else `id`
  uint32_t modelMask;         ///< bit per model, see ModelMask
};

/// Every entry, ascending by ID.
std::span<const CatalogueEntry> AllSignals();

/// The entry of a signal ID, or null when the catalogue does not know it.
const CatalogueEntry* FindSignal(uint16_t signalId);

/// The model-mask bit of a device model text, or 0 for a model the catalogue
/// does not know.
uint32_t ModelMask(std::string_view model);

/// Whether a device of `model` publishes `entry`. Devices of a model the
/// catalogue does not know (test stand-ins) publish every catalogue signal.
bool ModelPublishes(const CatalogueEntry& entry, uint32_t modelMask);

}  // namespace kvor::zephrin::runtime::catalogue
