#pragma once

// The settings a device holds as it leaves the factory, per device model: what
// a simulated device answers a config read with before the program configured
// it, and what its simulated firmware runs with. The values come from the
// configuration table (generated/FactoryDefaults.inc). Immutable data built on
// first use; thread-safe.

#include <map>
#include <string>
#include <string_view>

namespace kvor::zephrin::runtime::configs {

/// The factory setting of every config ID a device of `model` has, each as
/// one piece of config text, by ID; empty for a model without settings.
const std::map<int, std::string>& FactoryPieces(std::string_view model);

}  // namespace kvor::zephrin::runtime::configs
