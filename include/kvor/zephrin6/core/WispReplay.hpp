#pragma once

// WispReplay is the program's control of the runtime's log replay: load and
// close a .wisp log, play, pause, stop, change speed, step time while paused,
// wait for playback to run, and read back the user signals that were written
// with SignalLogger. While a log is loaded, the device signals the library
// reads come from the log and the runtime's current time is the replay
// clock. All operations are static, keep no state here, and may be called
// from any thread; the runtime serialises the replay engine.
//
// Readers return a SignalData record by value, owned by the caller; its
// `name` refers to the caller's text and must not outlive it. A reader never
// throws: the record's status says what happened.

#include <kvor/zephrin/StatusCodes.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <units.h>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6 {

/// One user signal read back from a log.
template <class T>
struct SignalData {
  /// The name that was asked for (refers to the caller's text).
  std::string_view name;
  /// Units text recorded with the signal.
  std::string units;
  /// Time of the sample in the log, seconds on the replay clock.
  double timestamp = 0.0;
  /// Result of the read; StatusCodeNotInitialized until a read completes.
  kvor::zephrin::StatusCode status = kvor::zephrin::StatusCode::StatusCodeNotInitialized;
  /// The decoded value; default (false, 0, empty) unless the read succeeded
  /// with the expected type.
  T value{};

  /// The sample time as a unit-typed quantity.
  units::time::second_t GetTimestamp() const { return units::time::second_t{timestamp}; }
};

/// Record of the readers whose signals carry no units (raw bytes, boolean
/// arrays); same layout as SignalData.
template <class T>
using UnitlessSignalData = SignalData<T>;

class ZEPHRIN6_API WispReplay {
 public:
  WispReplay() = delete;

  /// Loads the log at `path` and enters replay mode, paused at its start. A
  /// log damaged after its header loads up to its last intact chunk.
  /// @return OK or the runtime's status (MultipleReplayNotSupported while
  ///         another log is loaded).
  /// @throws std::invalid_argument with the status description when the file
  ///         cannot be read (InvalidFile), or its format is too old
  ///         (WispLogTooOld) or too new (WispLogTooNew) for this runtime.
  [[nodiscard]] static kvor::zephrin::StatusCode LoadFile(const char* path);
  /// Closes the log and returns to simulation. @return the runtime's status.
  [[nodiscard]] static kvor::zephrin::StatusCode CloseFile();
  /// Whether a log is loaded.
  static bool IsFileLoaded();
  /// Starts or resumes playback. @return NoFile without a log.
  [[nodiscard]] static kvor::zephrin::StatusCode Play();
  /// Pauses playback. @return NoFile without a log.
  [[nodiscard]] static kvor::zephrin::StatusCode Pause();
  /// Pauses and rewinds to the start. @return NoFile without a log.
  [[nodiscard]] static kvor::zephrin::StatusCode Stop();
  /// Waits up to `timeoutSeconds` (below 65.536 s; truncated to whole
  /// milliseconds) for playback to run. True when it runs, and always true
  /// without a log (the runtime then simulates and its time runs).
  static bool WaitForPlayingImpl(double timeoutSeconds);
  /// Playback speed, 1 = real time. @return InvalidParamValue unless positive.
  [[nodiscard]] static kvor::zephrin::StatusCode SetSpeed(double speed);
  /// Moves a paused replay forward by exactly `stepTimeSeconds`.
  /// @return CannotStepWhileUnpaused while playing.
  [[nodiscard]] static kvor::zephrin::StatusCode StepTimingImpl(double stepTimeSeconds);

  /// Unit-typed WaitForPlayingImpl.
  static bool WaitForPlaying(units::time::second_t timeout) { return WaitForPlayingImpl(timeout.value()); }
  /// Unit-typed StepTimingImpl.
  [[nodiscard]] static kvor::zephrin::StatusCode StepTiming(units::time::second_t step) {
    return StepTimingImpl(step.value());
  }

  // ---- Readers: the latest sample at or before the replay time ----
  // Status is the runtime's (NoFile, NotFound for a name the log does not
  // hold, SigNotUpdated before its first sample) or InvalidParamValue, with
  // every field but the name reset, when the signal was recorded with
  // another type.

  /// Raw bytes (up to 64).
  static UnitlessSignalData<std::vector<uint8_t>> GetRawImpl(std::string_view name);
  static SignalData<bool> GetBooleanImpl(std::string_view name);
  static SignalData<int64_t> GetIntegerImpl(std::string_view name);
  static SignalData<float> GetFloatImpl(std::string_view name);
  static SignalData<double> GetDoubleImpl(std::string_view name);
  static SignalData<std::string> GetStringImpl(std::string_view name);
  /// One element (0 or 1) per byte.
  static UnitlessSignalData<std::vector<uint8_t>> GetBooleanArrayImpl(std::string_view name);
  static SignalData<std::vector<int64_t>> GetIntegerArrayImpl(std::string_view name);
  static SignalData<std::vector<float>> GetFloatArrayImpl(std::string_view name);
  static SignalData<std::vector<double>> GetDoubleArrayImpl(std::string_view name);

  /// A double signal as the unit-typed U. The recorded units text must be U's
  /// abbreviation (as SignalLogger::WriteValue records it); otherwise the
  /// status is InvalidParamValue and the value 0.
  template <class U>
    requires units::traits::is_unit_t<U>::value
  static SignalData<U> GetValue(std::string_view name) {
    return Typed<U, U>(GetDoubleImpl(name), [](double v) { return U{v}; });
  }

  /// A double-array signal as unit-typed U values, with the same units check
  /// as GetValue.
  template <class U>
    requires units::traits::is_unit_t<U>::value
  static SignalData<std::vector<U>> GetValues(std::string_view name) {
    return Typed<U, std::vector<U>>(GetDoubleArrayImpl(name), [](const std::vector<double>& v) {
      return std::vector<U>(v.begin(), v.end());
    });
  }

 private:
  // Converts a double (or double-array) record into unit type U, refusing
  // one recorded with other units.
  template <class U, class T, class From, class Convert>
  static SignalData<T> Typed(SignalData<From> raw, Convert convert) {
    SignalData<T> out;
    out.name = raw.name;
    if (raw.status.IsOK() && raw.units != units::abbreviation(U{})) {
      out.status = kvor::zephrin::StatusCode::InvalidParamValue;
      return out;
    }
    out.units = std::move(raw.units);
    out.timestamp = raw.timestamp;
    out.status = raw.status;
    if (raw.status.IsOK()) out.value = convert(raw.value);
    return out;
  }
};

}  // namespace kvor::zephrin6
