#pragma once

// What a bus can do for the signal store. Classic CAN buses ("" is the
// controller's own bus, "rio" its alias) carry each frame on its own schedule
// and cannot deliver several signals as one synchronised update; every other
// bus name is CAN FD, which can. This is the one place the store asks; the
// CAN bus service may back it with its own table of bus types.

#include <string_view>

namespace kvor::zephrin::runtime::signals {

/// Whether a waiting read of several signals can be synchronised on `bus`.
/// Allocation-free and thread-safe.
bool CanSynchroniseSignals(std::string_view bus);

}  // namespace kvor::zephrin::runtime::signals
