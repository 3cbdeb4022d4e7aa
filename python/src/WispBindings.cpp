// zephrin6.wisp's reader: a .wisp log read through the same streaming
// reader as the wisp tool, into one column per signal that numpy takes over
// without a copy. The Python module zephrin6/wisp.py turns the result into
// the log object users see.
//
// The tool's scan reads the log once, chunk by chunk, and names every signal
// as `wisp export` does; each chunk's samples go into their signals' columns
// as the scan accepts it. Memory is one chunk plus the columns; a damaged
// log gives everything before the damage, with the report saying where and
// why it stopped. The read runs without the GIL.

#include <pybind11/stl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Bindings.hpp"
#include "LogScan.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispChunk.hpp"

namespace zephrin6_python {

namespace {

namespace wisp = kvor::zephrin::runtime::wisp;
using wisp_tool::LogScan;
using wisp_tool::ScannedSignal;

/// A growable array of one element type, handed to Python through the
/// buffer protocol (numpy views it without copying). Appending is a copy
/// into room made ahead, doubling when it runs out.
class Column {
 public:
  Column(const char* format, std::size_t itemSize) : format_(format), itemSize_(itemSize) {}

  template <class T>
  void Push(T value) {
    PushBytes(reinterpret_cast<const uint8_t*>(&value), sizeof(T));
  }
  void PushBytes(const uint8_t* data, std::size_t size) {
    if (used_ + size > bytes_.size()) bytes_.resize(std::max<std::size_t>(2 * bytes_.size(), used_ + size + 4096));
    std::memcpy(bytes_.data() + used_, data, size);
    used_ += size;
  }

  py::buffer_info Buffer() {
    return py::buffer_info(bytes_.data(), static_cast<py::ssize_t>(itemSize_), format_,
                           static_cast<py::ssize_t>(used_ / itemSize_), true);
  }

 private:
  std::string format_;
  std::size_t itemSize_;
  std::vector<uint8_t> bytes_;  // room; the first used_ bytes are the column
  std::size_t used_ = 0;
};

/// Python buffer format and element size of a user data type's values
/// (arrays: of their elements); raw and string samples are kept as bytes.
struct ValueLayout {
  const char* format;
  std::size_t size;
};
ValueLayout LayoutOf(uint8_t type) {
  switch (type) {
    case 1:
    case 6:
      return {"?", 1};
    case 2:
    case 7:
      return {"q", 8};
    case 3:
    case 8:
      return {"f", 4};
    case 4:
    case 9:
      return {"d", 8};
    default:
      return {"B", 1};
  }
}

bool IsArray(uint8_t type) { return type >= 6 && type <= 9; }
bool IsBytes(uint8_t type) { return type == 0 || type == 5 || type > 9; }

/// What was read of one signal.
struct SignalColumns {
  ScannedSignal scanned;
  uint8_t userType = 4;  // device signals are doubles
  Column times{"d", 8};
  Column values{"d", 8};
  Column status{"i", 4};              // device signals: the frame's status
  Column counts{"I", 4};              // arrays: elements per sample
  std::vector<std::string> payloads;  // raw and string samples
  bool typed = false;                 // user signals: userType and values set
};

struct LogRead {
  int32_t status = 0;
  std::string refusal;
  wisp::WispHeader header;
  wisp::ReadReport report;
  double firstTime = 0.0;
  double lastTime = 0.0;
  uint64_t dropped = 0;
  uint64_t undefined = 0;
  uint64_t misfit = 0;  // user samples too short for their type
  std::vector<SignalColumns> signals;
};

/// Adds one user sample to its signal's columns; false when it is too short
/// for its type.
bool AddUserSample(SignalColumns& signal, const wisp::UserSample& sample) {
  const std::size_t size = std::min<std::size_t>(sample.size, sample.payload.size());
  const uint8_t* bytes = sample.payload.data();
  const uint8_t type = signal.userType;
  if (IsBytes(type)) {
    signal.payloads.emplace_back(reinterpret_cast<const char*>(bytes), size);
  } else if (IsArray(type)) {
    const std::size_t width = LayoutOf(type).size;
    const std::size_t count = size / width;
    if (type == 6) {
      for (std::size_t i = 0; i < count; ++i) signal.values.Push<uint8_t>(bytes[i] != 0 ? 1 : 0);
    } else {
      signal.values.PushBytes(bytes, count * width);
    }
    signal.counts.Push(static_cast<uint32_t>(count));
  } else {
    const std::size_t width = LayoutOf(type).size;
    if (size < width) return false;
    if (type == 1) {
      signal.values.Push<uint8_t>(bytes[0] != 0 ? 1 : 0);
    } else {
      signal.values.PushBytes(bytes, width);
    }
  }
  signal.times.Push(sample.time);
  return true;
}

/// Adds the samples of one chunk the scan accepted to their signals'
/// columns.
void Collect(const LogScan& scan, const wisp::WispChunk& chunk, LogRead& read) {
  if (read.signals.size() < scan.Signals().size()) read.signals.resize(scan.Signals().size());
  // Frames come signal by signal: one lookup per run of a signal.
  uint64_t lastKey = UINT64_MAX;
  SignalColumns* signal = nullptr;
  for (const wisp::Frame& frame : chunk.frames) {
    if (frame.Key() != lastKey) {
      lastKey = frame.Key();
      const int32_t index = scan.DeviceSignal(frame.deviceHash, frame.signalId);
      signal = index >= 0 ? &read.signals[static_cast<std::size_t>(index)] : nullptr;
    }
    if (signal == nullptr) continue;
    signal->times.Push(frame.value.systemTime);
    signal->values.Push(frame.value.value);
    signal->status.Push(frame.value.status);
  }
  for (const wisp::UserSample& sample : chunk.userSamples) {
    const int32_t index = scan.UserSignal(sample.definition);
    const wisp::UserSignalDefinition* definition = scan.UserDefinition(sample.definition);
    if (index < 0 || definition == nullptr) continue;
    SignalColumns& user = read.signals[static_cast<std::size_t>(index)];
    if (!user.typed) {
      // One signal is one name with one type: its first definition says how
      // its values are laid out.
      user.typed = true;
      user.userType = definition->type;
      const ValueLayout layout = LayoutOf(definition->type);
      user.values = Column(layout.format, layout.size);
    }
    if (!AddUserSample(user, sample)) ++read.misfit;
  }
}

LogRead ReadLog(const std::string& path) {
  LogRead read;
  LogScan scan;
  read.status = scan.Run(path, {}, [&](const wisp::WispChunk& chunk) { Collect(scan, chunk, read); });
  read.header = scan.Header();
  read.report = scan.Report();
  if (read.status != wisp::kOK) {
    read.refusal = scan.Report().refusal;
    return read;
  }
  read.firstTime = scan.FirstTime();
  read.lastTime = scan.LastTime();
  read.dropped = scan.Dropped();
  read.undefined = scan.Undefined();
  // The names are known now, from the whole log.
  read.signals.resize(scan.Signals().size());
  for (std::size_t i = 0; i < read.signals.size(); ++i) read.signals[i].scanned = scan.Signals()[i];
  return read;
}

py::dict ToPython(LogRead& read) {
  py::dict log;
  log["status"] = read.status;
  log["refusal"] = Text(read.refusal);
  if (read.status != wisp::kOK) return log;
  log["format_version"] = read.header.formatVersion;
  log["runtime_version"] = Text(read.header.runtimeVersion);
  log["start_time"] = read.header.startTime;
  log["wall_clock_start"] = read.header.wallClockStart;
  log["file_bytes"] = read.report.fileBytes;
  log["intact_bytes"] = read.report.intactBytes;
  log["chunks"] = read.report.chunks;
  log["clean_end"] = read.report.cleanEnd;
  log["damage"] = Text(read.report.damage);
  log["first_time"] = read.firstTime;
  log["last_time"] = read.lastTime;
  log["dropped_samples"] = read.dropped;
  log["undefined_samples"] = read.undefined;
  log["misfit_samples"] = read.misfit;
  py::list signals;
  for (SignalColumns& columns : read.signals) {
    const ScannedSignal& scanned = columns.scanned;
    py::dict signal;
    signal["name"] = Text(scanned.name);
    signal["type"] = scanned.type;
    signal["units"] = Text(scanned.units);
    signal["user"] = scanned.user;
    signal["device_hash"] = scanned.deviceHash;
    signal["signal_id"] = scanned.signalId;
    signal["times"] = py::cast(std::move(columns.times));
    signal["values"] = py::none();
    signal["status"] = py::none();
    signal["counts"] = py::none();
    if (!scanned.user) {
      signal["values"] = py::cast(std::move(columns.values));
      signal["status"] = py::cast(std::move(columns.status));
    } else if (IsBytes(columns.userType)) {
      py::list payloads;
      for (const std::string& payload : columns.payloads) {
        if (columns.userType == 5) {
          payloads.append(Text(payload));
        } else {
          payloads.append(py::bytes(payload));
        }
      }
      signal["values"] = payloads;
    } else {
      signal["values"] = py::cast(std::move(columns.values));
      if (IsArray(columns.userType)) signal["counts"] = py::cast(std::move(columns.counts));
    }
    signals.append(signal);
  }
  log["signals"] = signals;
  return log;
}

}  // namespace

void BindWisp(py::module_& m) {
  py::class_<Column>(m, "_Column", py::buffer_protocol(), "One column of a log read, for numpy to view.")
      .def_buffer(&Column::Buffer);
  m.def(
      "_read",
      [](const std::string& path) {
        LogRead read;
        {
          py::gil_scoped_release release;
          read = ReadLog(path);
        }
        return ToPython(read);
      },
      py::arg("path"), "Reads the .wisp log at `path` into columns; use zephrin6.wisp.read.");
}

}  // namespace zephrin6_python
