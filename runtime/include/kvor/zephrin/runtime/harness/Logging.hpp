#pragma once

// Harness view of the runtime's signal logger and replay engine, for tests,
// tools and examples; the product never includes this header. Every call is
// thread-safe.

#include <cstddef>
#include <cstdint>
#include <string>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// The log file being written, or empty when the logger is not running.
ZEPHRIN_RUNTIME_API std::string CurrentLogFile();
/// The log file most recently started (running or stopped), or empty.
ZEPHRIN_RUNTIME_API std::string LastLogFile();
/// Blocks until the log writer has written everything recorded before the
/// current runtime instant (frames at the instant itself wait until the clock
/// moves on, since the program may still change their values), so a test can
/// read a running log as a process killed at this moment would leave it.
/// Returns at once when not logging.
ZEPHRIN_RUNTIME_API void AwaitLogWritten();
/// User samples dropped because the logger's buffer was full, in the current
/// or last log.
ZEPHRIN_RUNTIME_API uint64_t DroppedUserSamples();
/// Size of the user-signal buffer, in samples, for logs started from now on
/// (default 16384).
ZEPHRIN_RUNTIME_API void SetUserSignalBufferCapacity(std::size_t samples);
/// Tells the logger that the program created a device, as device creation
/// does (automatic logging starts on the first one).
ZEPHRIN_RUNTIME_API void NotifyDeviceCreated();


}  // namespace kvor::zephrin::runtime::harness
