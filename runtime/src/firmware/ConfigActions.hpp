#pragma once

// The config actions a simulated device carries out (actions::SetPosition,
// actions::ClearStickyFaults, ...), named from the one table of config IDs.

namespace kvor::zephrin::runtime::firmware::actions {

#define KVOR_CONFIG_ACTION(symbol, id, effect, sig) inline constexpr int symbol = id;
#include <kvor/zephrin/platform/ConfigIds.def>

}  // namespace kvor::zephrin::runtime::firmware::actions
