#pragma once

// Signal logger of the device runtime. While the logger runs it records to a
// .wisp file every frame the bus carries (each signal of each present device
// at its applied update frequency) together with the user signals the
// program writes; the replay engine (Replay.hpp) plays such files back.
//
// Logging never blocks the caller: a user-signal write copies its payload
// into an in-memory buffer under a short lock and returns; a background
// thread compresses and writes chunks at least every 100 ms of log time. When
// the buffer is full the oldest unwritten samples are dropped and their
// number is recorded in the log. Every call here is thread-safe.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::platform {

/// Data type of a user signal; the numbers are stored in logs and never change.
enum class UserDataType : uint8_t {
  Raw = 0,           ///< caller's bytes, no units
  Boolean = 1,       ///< one byte, 0 or 1
  Integer = 2,       ///< int64_t, 8 bytes
  Float = 3,         ///< float, 4 bytes
  Double = 4,        ///< double, 8 bytes
  String = 5,        ///< characters without terminator
  BooleanArray = 6,  ///< one byte per element
  IntegerArray = 7,  ///< 8 bytes per element
  FloatArray = 8,    ///< 4 bytes per element
  DoubleArray = 9,   ///< 8 bytes per element
};

}  // namespace kvor::zephrin::platform

namespace kvor::zephrin::platform::can {

/// Largest payload one user-signal sample may carry, in bytes.
inline constexpr uint8_t kMaxUserSignalPayload = 64;
/// Number of distinct user signals (name with its units and type) one log may
/// hold.
inline constexpr int kMaxUserSignals = 1024;
/// Longest user-signal name and longest units text, bytes.
inline constexpr std::size_t kMaxUserSignalTextLength = 255;
/// Shortest and longest time between two chunks of log time, seconds (the
/// default is 0.1 s). A shorter period loses less to a killed process and
/// costs more file writes.
inline constexpr double kMinFlushPeriod = 0.02;
inline constexpr double kMaxFlushPeriod = 1.0;

/// Sets the folder that the next log is written into (default "./logs"; it
/// is created on start when missing). A running logger keeps its file.
/// @return 0, or -1002 InvalidParamValue for a null or empty path.
[[nodiscard]] ZEPHRIN_RUNTIME_API int CANComm_SetLoggerPath(const char* path);

/// Starts logging to a new file named after the calendar time
/// ("<path>/zephrin_YYYYMMDD_HHMMSS.wisp", with a suffix "_2", "_3" ... when
/// that name is taken). The file is created exclusively, so two programs
/// starting in the same second never share one. Starting a running logger
/// keeps its file and returns 0.
///
/// What survives an abrupt end: every chunk is handed to the operating
/// system when written (at least every flush period of log time, 0.1 s by
/// default), and the file is synced to the storage at most once a second and
/// on stop. A killed process therefore loses at most the last flush period; a
/// power cut loses at most about one second plus one flush period.
/// @return 0, -10029 DirectoryMissing when the folder cannot be created, or
///         -10034 InvalidFile when the file cannot be created.
[[nodiscard]] ZEPHRIN_RUNTIME_API int CANComm_StartLogger();

/// Stops logging: writes everything recorded up to now, marks the log as
/// cleanly stopped, syncs and closes it. Returns once the file is complete.
/// @return 0 (also when the logger was not running).
[[nodiscard]] ZEPHRIN_RUNTIME_API int CANComm_StopLogger();

/// Sets the longest stretch of log time between two chunks, seconds, for the
/// running logger and the next ones.
/// @return 0, or -1002 InvalidParamValue outside kMinFlushPeriod..kMaxFlushPeriod.
[[nodiscard]] ZEPHRIN_RUNTIME_API int CANComm_SetLoggerFlushPeriod(double seconds);

/// Records one sample of the user signal `name`.
/// @param name    signal name, 1 to kMaxUserSignalTextLength bytes.
/// @param units   units text (empty for types without units), at most
///                kMaxUserSignalTextLength bytes.
/// @param type    data type of the payload.
/// @param data    `size` payload bytes, copied before the call returns.
/// @param size    payload size in bytes, at most kMaxUserSignalPayload.
/// @param latencySeconds how old the sample already is; its time in the log
///        is the current runtime time minus this, seconds; must be finite.
/// @return 0; -10031 LoggerNotRunning; -10015 InvalidSize for a payload over
///         64 bytes or a name or units text over kMaxUserSignalTextLength;
///         -1002 InvalidParamValue for an empty name, a null `data` with a
///         non-zero size, an unknown type or a latency that is not finite;
///         -10040 UserSignalLimitExceeded past kMaxUserSignals signals in one
///         log.
[[nodiscard]] ZEPHRIN_RUNTIME_API int CANComm_LogUserSignal(std::string_view name, std::string_view units,
                                                            UserDataType type, const uint8_t* data, uint8_t size,
                                                            double latencySeconds);

/// Automatic logging: when enabled, the logger starts by itself as soon as
/// the program creates its first device (or at once, when one already
/// exists). Owned by NetworkStateManager; obtain it through
/// NetworkStateManager::GetInstance().GetLoggerManager(). Thread-safe.
class ZEPHRIN_RUNTIME_API LoggerManager {
 public:
  /// Switches automatic logging on or off (default off). Turning it off does
  /// not stop a running logger.
  /// @return 0, or the status of the start it triggered.
  [[nodiscard]] int EnableAutoLogging(bool enable);
};

/// The runtime's process-wide network state, reached through GetInstance();
/// it lives as long as the process. Thread-safe.
class ZEPHRIN_RUNTIME_API NetworkStateManager {
 public:
  /// The one instance.
  static NetworkStateManager& GetInstance();
  /// The logger manager of this runtime.
  LoggerManager& GetLoggerManager() { return loggerManager_; }

 private:
  NetworkStateManager() = default;
  LoggerManager loggerManager_;
};

}  // namespace kvor::zephrin::platform::can
