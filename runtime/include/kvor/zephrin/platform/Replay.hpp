#pragma once

// Replay engine of the device runtime. Loading a .wisp log switches the
// runtime into replay mode until the log is closed: device signals read
// through the signal calls come from the log at the replay time, waits for
// an update complete when the replay reaches the signal's next frame, and
// GetCurrentTimeSeconds() (Time.hpp) returns the replay clock, which runs in
// the log's own time base so that recorded timestamps read back unchanged.
//
// A loaded log starts paused at its first moment. Playing follows the wall
// clock scaled by the speed; pausing freezes the replay clock, and while
// paused ReplayStepTiming moves it by exactly the step; stopping pauses and
// rewinds to the start. The replay clock never passes the end of the log.
// One log at a time: close it before loading another. Every call here is
// thread-safe.

#include <cstdint>
#include <string>
#include <string_view>

#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::platform {

/// Loads the log at `path` and enters replay mode, paused at the start. A
/// log damaged after its header loads up to its last intact chunk and a
/// warning report says how much was read.
/// @return 0; -10034 InvalidFile when the file is missing or not a readable
///         log; -10035 WispLogTooOld / -10036 WispLogTooNew for a format
///         this runtime cannot read; -10039 MultipleReplayNotSupported while
///         another log is loaded.
[[nodiscard]] ZEPHRIN_RUNTIME_API int ReplayLoadFile(const char* path);

/// Closes the loaded log and returns to simulation on the runtime's own
/// clock. @return 0, also when nothing was loaded.
[[nodiscard]] ZEPHRIN_RUNTIME_API int ReplayCloseFile();

/// Whether a log is loaded (replay mode).
ZEPHRIN_RUNTIME_API bool ReplayIsFileLoaded();

/// Starts or resumes playback. @return 0, or -10009 NoFile without a log.
[[nodiscard]] ZEPHRIN_RUNTIME_API int ReplayPlay();
/// Pauses playback at the current replay time. @return 0 or -10009 NoFile.
[[nodiscard]] ZEPHRIN_RUNTIME_API int ReplayPause();
/// Pauses and rewinds to the start of the log. @return 0 or -10009 NoFile.
[[nodiscard]] ZEPHRIN_RUNTIME_API int ReplayStop();

/// Sets the playback speed: 1 follows the wall clock, 2 runs twice as fast.
/// @return 0; -1002 InvalidParamValue unless 0 < speed < infinity; -10009
///         NoFile without a log.
[[nodiscard]] ZEPHRIN_RUNTIME_API int ReplaySetSpeed(double speed);

/// Moves a paused replay forward by exactly `stepTimeSeconds` (clamped at the
/// end of the log) and wakes every wait on the runtime clock.
/// @return 0; -10038 CannotStepWhileUnpaused while playing; -1002
///         InvalidParamValue for a negative or non-finite step; -10009 NoFile.
[[nodiscard]] ZEPHRIN_RUNTIME_API int ReplayStepTiming(double stepTimeSeconds);

/// Waits up to `timeoutMs` wall-clock milliseconds (of manual time when a
/// test runs the runtime on the manual clock) for playback to be running and
/// answers whether it is. Without a log the runtime simulates live, its time
/// always runs, and the answer is true at once: loops that pace themselves
/// on replay (the swerve odometry thread) run in simulation and idle while a
/// loaded log is paused. A replay that reached the end of its log is not
/// running.
ZEPHRIN_RUNTIME_API bool ReplayIsRunning(uint16_t timeoutMs);

/// The latest sample, at or before the replay time, of the user signal
/// `name`.
/// @param units     receives the recorded units text (may be null).
/// @param type      receives the recorded data type.
/// @param data      receives up to 64 payload bytes.
/// @param size      receives the payload size in bytes.
/// @param timestamp receives the sample time, seconds on the replay clock.
/// @return 0; -10009 NoFile without a log; -10004 NotFound when the log has
///         no such signal; -1200 SigNotUpdated when the replay has not yet
///         reached its first sample. Outputs are left alone on failure.
[[nodiscard]] ZEPHRIN_RUNTIME_API int ReplayGetUserSignal(std::string_view name, std::string* units, UserDataType& type,
                                                          uint8_t* data, uint8_t& size, double& timestamp);

}  // namespace kvor::zephrin::platform
