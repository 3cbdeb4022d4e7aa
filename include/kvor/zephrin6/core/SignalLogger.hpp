#pragma once

// SignalLogger is the program's handle on the runtime's signal logger, which
// records every device signal the bus carries, plus the user signals written
// here, to .wisp log files that WispReplay plays back. It is a set of static
// operations with no state of its own: each one makes one synchronous call
// into the runtime and returns the runtime's status. Writes never block on
// the disk: the runtime copies the sample into a buffer and a background
// thread writes it. Every operation may be called from any thread.
//
// The *_Impl operations take raw buffers and 8-bit byte counts; the typed
// front ends below them check that the payload fits (255 bytes, 64 for raw
// data) and refuse with InvalidSize instead of truncating. The runtime
// itself accepts at most 64 payload bytes per sample.

#include <kvor/zephrin/StatusCodes.hpp>

#include <cstdint>
#include <span>
#include <string_view>

#include <units.h>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6 {

class ZEPHRIN6_API SignalLogger {
 public:
  SignalLogger() = delete;

  /// Largest payload of a raw write, bytes.
  static constexpr std::size_t kMaxRawBytes = 64;
  /// Largest payload of any other write, bytes (the count crosses as 8 bits).
  static constexpr std::size_t kMaxPayloadBytes = 255;

  /// Sets the folder new logs are written into (default "./logs").
  /// @return the runtime's status (InvalidParamValue for an empty path).
  [[nodiscard]] static kvor::zephrin::StatusCode SetPath(const char* path);
  /// Starts logging to a new timestamped file under the path.
  /// @return the runtime's status (DirectoryMissing, InvalidFile on failure).
  [[nodiscard]] static kvor::zephrin::StatusCode Start();
  /// Stops logging once everything recorded so far is written.
  /// @return the runtime's status.
  [[nodiscard]] static kvor::zephrin::StatusCode Stop();
  /// When enabled, logging starts by itself as soon as the program creates
  /// its first device. @return the runtime's status.
  [[nodiscard]] static kvor::zephrin::StatusCode EnableAutoLogging(bool enable);
  /// Sets the longest stretch of log time between two chunks (default
  /// 0.1 s), which is what a killed process can lose at most; a power cut
  /// can lose up to about one second more, the time between two syncs.
  /// @return the runtime's status: InvalidParamValue outside 20 ms to 1 s.
  [[nodiscard]] static kvor::zephrin::StatusCode SetFlushPeriod(units::time::second_t period);

  // ---- Raw operations: one runtime call each, payload passed as given ----
  // `latencySeconds` tells how old the sample already is (seconds); the log
  // stamps it with the current time minus that. Each returns the runtime's
  // status: LoggerNotRunning, InvalidSize (payload over 64 bytes),
  // UserSignalLimitExceeded ...

  /// Raw bytes, no units. @return InvalidSize without calling the runtime
  /// when `size` is above 64.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteRaw_Impl(std::string_view name, const uint8_t* data, uint8_t size,
                                                               double latencySeconds);
  /// One byte, 0 or 1, no units.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteBoolean_Impl(std::string_view name, bool value,
                                                                   double latencySeconds);
  /// The 8 bytes of `value` with the caller's units text.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteInteger_Impl(std::string_view name, int64_t value,
                                                                   std::string_view units, double latencySeconds);
  /// The 4 bytes of `value` with the caller's units text.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteFloat_Impl(std::string_view name, float value,
                                                                 std::string_view units, double latencySeconds);
  /// The 8 bytes of `value` with the caller's units text.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteDouble_Impl(std::string_view name, double value,
                                                                  std::string_view units, double latencySeconds);
  /// The characters of `value` (size taken as 8 bits), no units.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteString_Impl(std::string_view name, std::string_view value,
                                                                  double latencySeconds);
  /// One byte per element, no units.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteBooleanArray_Impl(std::string_view name, const uint8_t* values,
                                                                        uint8_t count, double latencySeconds);
  /// 8 bytes per element (byte count taken as 8 bits) with the units text.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteIntegerArray_Impl(std::string_view name, const int64_t* values,
                                                                        uint8_t count, std::string_view units,
                                                                        double latencySeconds);
  /// 4 bytes per element (byte count taken as 8 bits) with the units text.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteFloatArray_Impl(std::string_view name, const float* values,
                                                                      uint8_t count, std::string_view units,
                                                                      double latencySeconds);
  /// 8 bytes per element (byte count taken as 8 bits) with the units text.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteDoubleArray_Impl(std::string_view name, const double* values,
                                                                       uint8_t count, std::string_view units,
                                                                       double latencySeconds);

  // ---- Typed front ends ----
  // `latency` is how old the sample already is. Every one returns
  // InvalidSize, without calling the runtime, when the payload would not fit;
  // otherwise the runtime's status.

  /// Up to 64 raw bytes.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteRaw(std::string_view name, std::span<const uint8_t> data,
                                                          units::time::second_t latency = units::time::second_t{0});
  [[nodiscard]] static kvor::zephrin::StatusCode WriteBoolean(std::string_view name, bool value,
                                                              units::time::second_t latency = units::time::second_t{0});
  [[nodiscard]] static kvor::zephrin::StatusCode WriteInteger(std::string_view name, int64_t value,
                                                              std::string_view units = "",
                                                              units::time::second_t latency = units::time::second_t{0});
  [[nodiscard]] static kvor::zephrin::StatusCode WriteFloat(std::string_view name, float value,
                                                            std::string_view units = "",
                                                            units::time::second_t latency = units::time::second_t{0});
  [[nodiscard]] static kvor::zephrin::StatusCode WriteDouble(std::string_view name, double value,
                                                             std::string_view units = "",
                                                             units::time::second_t latency = units::time::second_t{0});
  /// A string of up to 255 characters.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteString(std::string_view name, std::string_view value,
                                                             units::time::second_t latency = units::time::second_t{0});
  /// Up to 255 booleans.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteBooleanArray(
      std::string_view name, std::span<const bool> values, units::time::second_t latency = units::time::second_t{0});
  /// Up to 31 integers.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteIntegerArray(
      std::string_view name, std::span<const int64_t> values, std::string_view units = "",
      units::time::second_t latency = units::time::second_t{0});
  /// Up to 63 floats.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteFloatArray(
      std::string_view name, std::span<const float> values, std::string_view units = "",
      units::time::second_t latency = units::time::second_t{0});
  /// Up to 31 doubles.
  [[nodiscard]] static kvor::zephrin::StatusCode WriteDoubleArray(
      std::string_view name, std::span<const double> values, std::string_view units = "",
      units::time::second_t latency = units::time::second_t{0});

  /// A unit-typed value, logged as a double in its own unit with the unit's
  /// abbreviation as units text (for example meters as "m"). U is any unit
  /// with a name in <units.h> or kvor/zephrin6/units/Units.hpp.
  template <class U>
    requires units::traits::is_unit_t<U>::value
  [[nodiscard]] static kvor::zephrin::StatusCode WriteValue(std::string_view name, U value,
                                                            units::time::second_t latency = units::time::second_t{0}) {
    return WriteDouble_Impl(name, value.value(), units::abbreviation(value), latency.value());
  }

  /// Up to 31 unit-typed values, logged as a double array in their unit.
  template <class U>
    requires units::traits::is_unit_t<U>::value
  [[nodiscard]] static kvor::zephrin::StatusCode WriteValues(std::string_view name, std::span<const U> values,
                                                             units::time::second_t latency = units::time::second_t{0}) {
    static_assert(sizeof(U) == sizeof(double), "unit-typed doubles are laid out as doubles");
    if (values.size() * sizeof(double) > kMaxPayloadBytes) return kvor::zephrin::StatusCode::InvalidSize;
    return WriteDoubleArray_Impl(name, reinterpret_cast<const double*>(values.data()),
                                 static_cast<uint8_t>(values.size()), units::abbreviation(U{}), latency.value());
  }
};

}  // namespace kvor::zephrin6
