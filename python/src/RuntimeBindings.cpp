// zephrin6.sim (the device runtime's clock) and zephrin6.logging (user
// signals into the log, and the replay of a log). Calls that may wait (log
// start and stop, loading a log, waiting for playback, moving the clock,
// which wakes the runtime's waiters) let the GIL go while they do.

#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>

#include <kvor/zephrin/runtime/harness/Clock.hpp>
#include <kvor/zephrin/runtime/harness/Reports.hpp>

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Bindings.hpp"

namespace zephrin6_python {

namespace harness = kvor::zephrin::runtime::harness;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::SignalLogger;
using kvor::zephrin6::WispReplay;

void WhileManualTimeRuns(const std::function<void()>& call) {
  if (!harness::IsManualClock()) {
    call();
    return;
  }
  // Steps of a power of two never leave the clock a rounding error short of
  // a wait's deadline; about twenty times real time, so that a call kept
  // waiting by a busy machine finds the clock only a little further on.
  constexpr double kStep = 1.0 / 1024.0;
  std::atomic<bool> done{false};
  std::thread mover([&done] {
    while (!done.load()) {
      harness::AdvanceTime(kStep);
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
  });
  struct Join {
    std::atomic<bool>& done;
    std::thread& mover;
    ~Join() {
      done.store(true);
      mover.join();
    }
  } join{done, mover};
  call();
}

namespace {

// ---- zephrin6.sim ----

void BindClock(py::module_& m) {
  m.def(
      "use_manual",
      [](double start) {
        Finite(start, "start");
        harness::UseManualClock(start);
      },
      py::arg("start") = 1.0,
      "Switches the runtime to the manual clock at `start` seconds: time moves only when the program moves it "
      "(advance, set_time), and every wait of the runtime ends exactly when time passes its deadline or its data "
      "arrives, so simulations run as fast as the machine allows and the same way every time.");
  m.def(
      "advance",
      [](double seconds) {
        if (!std::isfinite(seconds) || seconds < 0.0) {
          throw py::value_error("seconds must be a finite number at or above 0");
        }
        py::gil_scoped_release release;
        harness::AdvanceTime(seconds);
      },
      py::arg("seconds"), "Moves the manual clock forward by `seconds` (nothing on the real clock).");
  m.def(
      "set_time",
      [](double seconds) {
        Finite(seconds, "seconds");
        py::gil_scoped_release release;
        harness::SetTime(seconds);
      },
      py::arg("seconds"), "Sets the manual clock to `seconds` (nothing on the real clock).");
  m.def("use_real", &harness::UseRealClock, "Switches the runtime back to the steady wall clock.");
  m.def(
      "reset",
      [] {
        if (OpenDrivetrains() > 0)
          throw std::runtime_error("close every SwerveDrivetrain before resetting the runtime");
        py::gil_scoped_release release;
        harness::Reset();
      },
      "Returns the runtime to the state of a fresh process: no devices, no reports, the real clock, no log loaded "
      "or written. Every SwerveDrivetrain must be closed first (RuntimeError otherwise).");
  m.def("is_manual", &harness::IsManualClock, "Whether the manual clock is in use.");
  m.def("now", &harness::Now, "The runtime's current time, seconds.");

  py::class_<harness::Report>(m, "Report", "One error or warning the library or the runtime reported.")
      .def_readonly("is_error", &harness::Report::isError, "An error (else a warning).")
      .def_property_readonly(
          "code", [](const harness::Report& r) { return StatusCode(r.code); }, "The status reported.")
      .def_property_readonly(
          "details", [](const harness::Report& r) { return Text(r.details); }, "What happened.")
      .def_property_readonly(
          "location", [](const harness::Report& r) { return Text(r.location); },
          "Where: the device and signal, request or operation.")
      .def("__repr__", [](const harness::Report& r) {
        return std::string(r.isError ? "<Report error " : "<Report warning ") + StatusCode(r.code).GetName() + " at " +
               static_cast<std::string>(py::repr(Text(r.location))) + ": " +
               static_cast<std::string>(py::repr(Text(r.details))) + ">";
      });
  m.def("reports", &harness::Reports, "Every report received since the last reset or clear_reports, oldest first.");
  m.def("clear_reports", &harness::ClearReports, "Forgets the reports received so far.");
  m.def("set_report_echo", &harness::SetReportEcho, py::arg("echo"),
        "Whether reports are also printed to standard error as they come (the default).");
}

// ---- zephrin6.logging ----

/// `latency` for a write: how old the sample already is, seconds.
units::time::second_t Latency(double seconds) { return units::time::second_t{seconds}; }

/// A write of a value (or values) with a units text:
/// name(signal, value, units="", latency=0.0).
template <class Value, class Write>
void DefWriteWithUnits(py::module_& m, const char* function, const char* valueName, Write write,
                       const std::string& doc) {
  m.def(
      function,
      [write](std::string_view name, const Value& value, std::string_view units, double latency) {
        return write(name, value, units, Latency(latency));
      },
      py::arg("name"), py::arg(valueName), py::arg("units") = "", py::arg("latency") = 0.0, doc.c_str());
}

void BindLogger(py::module_& m) {
  m.def(
      "set_path", [](const std::filesystem::path& path) { return SignalLogger::SetPath(path.c_str()); },
      py::arg("path"), "Sets the folder new logs are written into (default ./logs).");
  m.def(
      "start",
      [] {
        py::gil_scoped_release release;
        return SignalLogger::Start();
      },
      "Starts logging to a new timestamped .wisp file in the folder.");
  m.def(
      "stop",
      [] {
        py::gil_scoped_release release;
        return SignalLogger::Stop();
      },
      "Stops logging once everything recorded so far is written.");
  m.def("enable_auto_logging", &SignalLogger::EnableAutoLogging, py::arg("enable"),
        "When enabled, logging starts by itself as soon as the program creates its first device.");

  const char* const kStatus = " Returns the runtime's status; InvalidSize, logging nothing, when it does not fit.";
  m.def(
      "write_raw",
      [](std::string_view name, const py::bytes& data, double latency) {
        const std::string_view bytes = data;
        return SignalLogger::WriteRaw(name, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                                      Latency(latency));
      },
      py::arg("name"), py::arg("data"), py::arg("latency") = 0.0,
      (std::string("Logs up to 64 raw bytes; `latency` is how old the sample is, seconds.") + kStatus).c_str());
  m.def(
      "write_boolean",
      [](std::string_view name, bool value, double latency) {
        return SignalLogger::WriteBoolean(name, value, Latency(latency));
      },
      py::arg("name"), py::arg("value"), py::arg("latency") = 0.0, "Logs a boolean.");
  DefWriteWithUnits<int64_t>(m, "write_integer", "value", &SignalLogger::WriteInteger,
                             "Logs a 64-bit integer with its units text.");
  DefWriteWithUnits<float>(m, "write_float", "value", &SignalLogger::WriteFloat,
                           "Logs a 32-bit float with its units text.");
  DefWriteWithUnits<double>(m, "write_double", "value", &SignalLogger::WriteDouble,
                            "Logs a double with its units text.");
  m.def(
      "write_string",
      [](std::string_view name, std::string_view value, double latency) {
        return SignalLogger::WriteString(name, value, Latency(latency));
      },
      py::arg("name"), py::arg("value"), py::arg("latency") = 0.0,
      (std::string("Logs a string of up to 255 bytes (UTF-8).") + kStatus).c_str());
  m.def(
      "write_boolean_array",
      [](std::string_view name, const std::vector<bool>& values, double latency) {
        const std::unique_ptr<bool[]> flags(new bool[values.size()]);
        std::copy(values.begin(), values.end(), flags.get());
        return SignalLogger::WriteBooleanArray(name, std::span<const bool>(flags.get(), values.size()),
                                               Latency(latency));
      },
      py::arg("name"), py::arg("values"), py::arg("latency") = 0.0,
      (std::string("Logs up to 255 booleans.") + kStatus).c_str());
  DefWriteWithUnits<std::vector<int64_t>>(m, "write_integer_array", "values", &SignalLogger::WriteIntegerArray,
                                          std::string("Logs up to 31 integers.") + kStatus);
  DefWriteWithUnits<std::vector<float>>(m, "write_float_array", "values", &SignalLogger::WriteFloatArray,
                                        std::string("Logs up to 63 floats.") + kStatus);
  DefWriteWithUnits<std::vector<double>>(m, "write_double_array", "values", &SignalLogger::WriteDoubleArray,
                                         std::string("Logs up to 31 doubles.") + kStatus);
}

// ---- zephrin6.logging.replay ----

/// One user signal read back from the replayed log.
struct UserSignalData {
  py::str name;
  py::str units;
  double timestamp = 0.0;
  StatusCode status;
  py::object value;
};

template <class Record, class Convert>
UserSignalData Read(Record record, Convert convert) {
  return {Text(record.name), Text(record.units), record.timestamp, record.status, convert(record.value)};
}

template <class T>
py::object AsList(const std::vector<T>& values) {
  return py::cast(values);
}

/// Raises FileNotFoundError when `path` names nothing, else the ValueError
/// of the failed load.
[[noreturn]] void RaiseLoadError(const std::filesystem::path& path, const std::invalid_argument& error) {
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) {
    PyErr_SetObject(PyExc_FileNotFoundError, py::make_tuple(ENOENT, std::strerror(ENOENT), path.string()).ptr());
    throw py::error_already_set();
  }
  throw py::value_error(std::string(error.what()) + " (" + path.string() + ")");
}

void BindReplay(py::module_& m) {
  py::class_<UserSignalData>(m, "UserSignalData", "One user signal read back from the replayed log.")
      .def_readonly("name", &UserSignalData::name, "The name asked for.")
      .def_readonly("units", &UserSignalData::units, "Units text recorded with the signal.")
      .def_readonly("timestamp", &UserSignalData::timestamp, "Time of the sample in the log, seconds.")
      .def_readonly("status", &UserSignalData::status,
                    "OK, or why there is no value (the signal is missing or of another type).")
      .def_readonly("value", &UserSignalData::value, "The value; the type's default unless status is OK.")
      .def("__repr__", [](const UserSignalData& d) {
        return "UserSignalData(name=" + static_cast<std::string>(py::repr(d.name)) +
               ", value=" + static_cast<std::string>(py::repr(d.value)) +
               ", units=" + static_cast<std::string>(py::repr(d.units)) + ", timestamp=" + std::to_string(d.timestamp) +
               ", status=" + static_cast<std::string>(py::repr(py::cast(d.status))) + ")";
      });

  m.def(
      "load",
      [](const std::filesystem::path& path) {
        try {
          py::gil_scoped_release release;
          return WispReplay::LoadFile(path.c_str());
        } catch (const std::invalid_argument& error) {
          RaiseLoadError(path, error);
        }
      },
      py::arg("path"),
      "Loads the .wisp log at `path` and enters replay, paused at its start (a log damaged after its header loads "
      "up to its last intact chunk). Returns OK or the runtime's status (MultipleReplayNotSupported while another "
      "log is loaded); raises FileNotFoundError when nothing is at `path` and ValueError when the file is no log "
      "or of a format this runtime does not read.");
  m.def("close", &WispReplay::CloseFile, "Closes the log and returns to simulation.");
  m.def("is_loaded", &WispReplay::IsFileLoaded, "Whether a log is loaded.");
  m.def("play", &WispReplay::Play, "Starts or resumes playback (NoFile without a log).");
  m.def("pause", &WispReplay::Pause, "Pauses playback (NoFile without a log).");
  m.def("stop", &WispReplay::Stop, "Pauses and rewinds to the start (NoFile without a log).");
  m.def(
      "set_speed", [](double speed) { return WispReplay::SetSpeed(speed); }, py::arg("speed"),
      "Playback speed, 1 for real time (InvalidParamValue unless positive).");
  m.def(
      "step",
      [](double seconds) {
        Finite(seconds, "seconds");
        py::gil_scoped_release release;
        return WispReplay::StepTimingImpl(seconds);
      },
      py::arg("seconds"),
      "Moves a paused replay forward by exactly `seconds` (CannotStepWhileUnpaused while playing).");
  m.def(
      "wait_for_playing",
      [](double timeout) {
        if (!std::isfinite(timeout) || timeout < 0.0 || timeout >= 65.536) {
          throw py::value_error("timeout must be between 0 and 65.535 seconds");
        }
        py::gil_scoped_release release;
        return WispReplay::WaitForPlayingImpl(timeout);
      },
      py::arg("timeout"),
      "Waits up to `timeout` seconds for playback to run; True when it runs (always without a log, since the "
      "runtime then simulates).");

  auto same = [](const auto& value) { return py::cast(value); };
  auto bytes = [](const std::vector<uint8_t>& value) {
    return py::bytes(reinterpret_cast<const char*>(value.data()), value.size());
  };
  auto flags = [](const std::vector<uint8_t>& value) {
    std::vector<bool> out(value.begin(), value.end());
    return py::cast(out);
  };
  m.def(
      "get_raw", [=](std::string_view name) { return Read(WispReplay::GetRawImpl(name), bytes); }, py::arg("name"),
      "The latest sample of a raw user signal, as bytes.");
  m.def(
      "get_boolean", [=](std::string_view name) { return Read(WispReplay::GetBooleanImpl(name), same); },
      py::arg("name"));
  m.def(
      "get_integer", [=](std::string_view name) { return Read(WispReplay::GetIntegerImpl(name), same); },
      py::arg("name"));
  m.def(
      "get_float", [=](std::string_view name) { return Read(WispReplay::GetFloatImpl(name), same); }, py::arg("name"));
  m.def(
      "get_double", [=](std::string_view name) { return Read(WispReplay::GetDoubleImpl(name), same); },
      py::arg("name"));
  m.def(
      "get_string",
      [=](std::string_view name) {
        return Read(WispReplay::GetStringImpl(name), [](const std::string& text) { return Text(text); });
      },
      py::arg("name"));
  m.def(
      "get_boolean_array", [=](std::string_view name) { return Read(WispReplay::GetBooleanArrayImpl(name), flags); },
      py::arg("name"));
  m.def(
      "get_integer_array",
      [=](std::string_view name) { return Read(WispReplay::GetIntegerArrayImpl(name), AsList<int64_t>); },
      py::arg("name"));
  m.def(
      "get_float_array",
      [=](std::string_view name) { return Read(WispReplay::GetFloatArrayImpl(name), AsList<float>); }, py::arg("name"));
  m.def(
      "get_double_array",
      [=](std::string_view name) { return Read(WispReplay::GetDoubleArrayImpl(name), AsList<double>); },
      py::arg("name"));
}

}  // namespace

void BindRuntime(py::module_& sim, py::module_& logging, py::module_& replay) {
  BindClock(sim);
  BindLogger(logging);
  BindReplay(replay);
}

}  // namespace zephrin6_python
