#pragma once

#include <kvor/zephrin/platform/Export.hpp>

// Time base and API compliancy number of the device runtime. Every timestamp
// the runtime hands out is on this time base; in replay it is the replay
// clock, under the test harness it may be a manually advanced clock. Both calls
// are thread-safe and never block.

namespace kvor::zephrin6::utils {

/// Monotonic time in seconds: wall clock in simulation, the replay clock while
/// a log is loaded, the manual clock when a test switched to it.
ZEPHRIN_RUNTIME_API double GetCurrentTimeSeconds();

}  // namespace kvor::zephrin6::utils

namespace kvor::zephrin::unmanaged {

/// The API compliancy number this runtime and library speak. A device whose
/// firmware reports another number is incompatible.
ZEPHRIN_RUNTIME_API int GetApiCompliancy();

}  // namespace kvor::zephrin::unmanaged
