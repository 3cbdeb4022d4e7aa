#include <kvor/zephrin6/core/signal_log_c_style.h>

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin/platform/Replay.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <string_view>

#include "cinterface/internal/ArgumentCheck.hpp"

using kvor::zephrin::StatusCode;
using kvor::zephrin6::SignalLogger;
using kvor::zephrin6::WispReplay;
namespace cinterface = kvor::zephrin6::cinterface;

namespace {

constexpr int kRefused = StatusCode::InvalidParamValue;

std::string_view Text(const char* text) { return text == nullptr ? std::string_view() : std::string_view(text); }

/// The checks every write shares: a name, and a latency that can become a
/// log timestamp.
bool WritePasses(cinterface::ArgumentCheck& check, const char* name, double latencySeconds) {
  check.Require(name != nullptr, "no signal name")
      .Finite("latencySeconds", latencySeconds)
      .Require(!(latencySeconds < 0.0), "a negative latency");
  return check.Passed();
}

units::time::second_t Latency(double seconds) { return units::time::second_t{seconds}; }

/// Copies a reader's outcome out: the timestamp always on success, the
/// value through `store`.
template <typename Record, typename Store>
int ReadOut(const Record& record, double* timestampSeconds, Store&& store) {
  if (!record.status.IsOK()) return record.status;
  if (timestampSeconds != nullptr) *timestampSeconds = record.timestamp;
  store(record.value);
  return StatusCode::OK;
}

bool NamePasses(const char* function, const char* name) {
  cinterface::ArgumentCheck check(function);
  return check.Require(name != nullptr, "no signal name").Passed();
}

}  // namespace

extern "C" {

// ---- Signal logger ----

int c_kvor_zephrin6_signal_logger_set_path(const char* path) {
  cinterface::ArgumentCheck check(__func__);
  if (!check.Require(path != nullptr, "no path").Passed()) return kRefused;
  return SignalLogger::SetPath(path);
}

int c_kvor_zephrin6_signal_logger_start(void) { return SignalLogger::Start(); }

int c_kvor_zephrin6_signal_logger_stop(void) { return SignalLogger::Stop(); }

int c_kvor_zephrin6_signal_logger_write_double(const char* name, double value, const char* units,
                                               double latencySeconds) {
  cinterface::ArgumentCheck check(__func__);
  if (!WritePasses(check, name, latencySeconds)) return kRefused;
  return SignalLogger::WriteDouble(name, value, Text(units), Latency(latencySeconds));
}

int c_kvor_zephrin6_signal_logger_write_double_array(const char* name, const double* values, size_t count,
                                                     const char* units, double latencySeconds) {
  cinterface::ArgumentCheck check(__func__);
  check.Require(values != nullptr || count == 0, "no values");
  if (!WritePasses(check, name, latencySeconds)) return kRefused;
  return SignalLogger::WriteDoubleArray(name, std::span<const double>(values, count), Text(units),
                                        Latency(latencySeconds));
}

int c_kvor_zephrin6_signal_logger_write_boolean(const char* name, bool value, double latencySeconds) {
  cinterface::ArgumentCheck check(__func__);
  if (!WritePasses(check, name, latencySeconds)) return kRefused;
  return SignalLogger::WriteBoolean(name, value, Latency(latencySeconds));
}

int c_kvor_zephrin6_signal_logger_write_integer(const char* name, int64_t value, const char* units,
                                                double latencySeconds) {
  cinterface::ArgumentCheck check(__func__);
  if (!WritePasses(check, name, latencySeconds)) return kRefused;
  return SignalLogger::WriteInteger(name, value, Text(units), Latency(latencySeconds));
}

int c_kvor_zephrin6_signal_logger_write_string(const char* name, const char* value, size_t length,
                                               double latencySeconds) {
  cinterface::ArgumentCheck check(__func__);
  check.Require(value != nullptr || length == 0, "no text");
  if (!WritePasses(check, name, latencySeconds)) return kRefused;
  return SignalLogger::WriteString(name, std::string_view(value == nullptr ? "" : value, length),
                                   Latency(latencySeconds));
}

// ---- Replay ----

int c_kvor_zephrin6_replay_load_file(const char* path) {
  cinterface::ArgumentCheck check(__func__);
  if (!check.Require(path != nullptr, "no path").Passed()) return kRefused;
  // The runtime's own call: the C++ front end turns three of its results
  // into exceptions, which must not cross this boundary; the caller gets
  // the codes and says what they mean in its own language.
  return kvor::zephrin::platform::ReplayLoadFile(path);
}

int c_kvor_zephrin6_replay_close_file(void) { return WispReplay::CloseFile(); }

bool c_kvor_zephrin6_replay_is_file_loaded(void) { return WispReplay::IsFileLoaded(); }

int c_kvor_zephrin6_replay_play(void) { return WispReplay::Play(); }

int c_kvor_zephrin6_replay_pause(void) { return WispReplay::Pause(); }

int c_kvor_zephrin6_replay_stop(void) { return WispReplay::Stop(); }

bool c_kvor_zephrin6_replay_is_running(void) { return WispReplay::WaitForPlayingImpl(0.0); }

int c_kvor_zephrin6_replay_step_timing(double stepSeconds, double* movedSeconds) {
  const double before = kvor::zephrin6::utils::GetCurrentTimeSeconds();
  const StatusCode status = WispReplay::StepTimingImpl(stepSeconds);
  if (movedSeconds != nullptr) *movedSeconds = kvor::zephrin6::utils::GetCurrentTimeSeconds() - before;
  return status;
}

double c_kvor_zephrin6_replay_time_seconds(void) { return kvor::zephrin6::utils::GetCurrentTimeSeconds(); }

int c_kvor_zephrin6_replay_get_double(const char* name, double* value, double* timestampSeconds) {
  if (!NamePasses(__func__, name)) return kRefused;
  return ReadOut(WispReplay::GetDoubleImpl(name), timestampSeconds, [&](double read) {
    if (value != nullptr) *value = read;
  });
}

int c_kvor_zephrin6_replay_get_double_array(const char* name, double* values, size_t capacity, size_t* count,
                                            double* timestampSeconds) {
  if (!NamePasses(__func__, name)) return kRefused;
  return ReadOut(WispReplay::GetDoubleArrayImpl(name), timestampSeconds, [&](const std::vector<double>& read) {
    if (values != nullptr) std::copy_n(read.begin(), std::min(capacity, read.size()), values);
    if (count != nullptr) *count = read.size();
  });
}

int c_kvor_zephrin6_replay_get_boolean(const char* name, bool* value, double* timestampSeconds) {
  if (!NamePasses(__func__, name)) return kRefused;
  return ReadOut(WispReplay::GetBooleanImpl(name), timestampSeconds, [&](bool read) {
    if (value != nullptr) *value = read;
  });
}

int c_kvor_zephrin6_replay_get_integer(const char* name, int64_t* value, double* timestampSeconds) {
  if (!NamePasses(__func__, name)) return kRefused;
  return ReadOut(WispReplay::GetIntegerImpl(name), timestampSeconds, [&](int64_t read) {
    if (value != nullptr) *value = read;
  });
}

int c_kvor_zephrin6_replay_get_string(const char* name, char* text, size_t capacity, size_t* length,
                                      double* timestampSeconds) {
  if (!NamePasses(__func__, name)) return kRefused;
  return ReadOut(WispReplay::GetStringImpl(name), timestampSeconds, [&](const std::string& read) {
    if (text != nullptr) std::memcpy(text, read.data(), std::min(capacity, read.size()));
    if (length != nullptr) *length = read.size();
  });
}

}  // extern "C"
