#pragma once

// Harness view of the runtime's music engine. Its tones reach the recorded
// control calls (ControlCalls) as c_kvor_zephrin6_RequestControlMusicTone
// calls; the functions here let a test wait for them on the manual clock and
// check that orchestras are closed. For tests, examples and tools only; the
// product never includes this header. Thread-safe.

#include <cstddef>

#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// Blocks until the music engine has sent every tone due at the runtime's
/// current time (call it after moving the manual clock). Returns at once
/// when no orchestra was ever opened.
ZEPHRIN_RUNTIME_API void AwaitMusic();

/// How many orchestras are open in the runtime.
ZEPHRIN_RUNTIME_API std::size_t OpenOrchestras();

}  // namespace kvor::zephrin::runtime::harness
