#include "WispExport.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <memory>
#include <sstream>

#include "CsvWriter.hpp"
#include "LogScan.hpp"
#include "PartialFile.hpp"
#include "Progress.hpp"
#include "SignalGlobs.hpp"
#include "WpilogWriter.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispChunkReader.hpp"

namespace wisp_tool {

using namespace kvor::zephrin::runtime::wisp;

namespace {

std::string DefaultOutput(const std::string& input, const std::string& format) {
  const std::string extension = "." + format;
  const auto slash = input.find_last_of('/');
  const auto dot = input.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? input.substr(0, dot) : input) + extension;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Log time in whole microseconds; false for a time the output cannot hold
// (negative, not finite, or beyond 2^63 us).
bool Microseconds(double seconds, uint64_t& us) {
  const double scaled = std::round(seconds * 1e6);
  if (!(scaled >= 0.0 && scaled < 9.2e18)) return false;
  us = static_cast<uint64_t>(scaled);
  return true;
}

// The sample's payload in the output's encoding for its user data type, in
// `out`. Returns false when it is too short for its type (nothing to write);
// `trimmed` is set when bytes past an array's last element were left out.
bool UserPayload(uint8_t type, const UserSample& sample, std::vector<uint8_t>& out, bool& trimmed) {
  const std::size_t size = std::min<std::size_t>(sample.size, sample.payload.size());
  const uint8_t* bytes = sample.payload.data();
  trimmed = false;
  auto whole = [&](std::size_t element) {
    const std::size_t used = size / element * element;
    trimmed = used != size;
    out.assign(bytes, bytes + used);
    return true;
  };
  auto first = [&](std::size_t width) {
    if (size < width) return false;
    out.assign(bytes, bytes + width);
    return true;
  };
  switch (type) {
    case 1:
      if (size < 1) return false;
      out.assign(1, bytes[0] != 0 ? 1 : 0);
      return true;
    case 2:
    case 4:
      return first(8);
    case 3:
      return first(4);
    case 6:
      out.resize(size);
      for (std::size_t i = 0; i < size; ++i) out[i] = bytes[i] != 0 ? 1 : 0;
      return true;
    case 7:
    case 9:
      return whole(8);
    case 8:
      return whole(4);
    default:  // raw, string, and types added later: the bytes as they are
      out.assign(bytes, bytes + size);
      return true;
  }
}

std::string Seconds(double seconds) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(3) << seconds;
  return text.str();
}

// Says why an export would hold nothing, before any file is made: a log
// without samples (one damaged inside its first chunk), a glob that picks no
// signal, a time window that misses the log.
bool Selects(const std::string& input, const LogScan& scan, const std::vector<std::string>& names,
             const SignalSelection& selection, const ExportOptions& options, std::ostream& err) {
  if (names.empty()) {
    err << "wisp: " << input << " holds no samples to export";
    if (scan.Report().Damaged()) {
      err << "; it is damaged from byte " << scan.Report().intactBytes << " on: " << scan.Report().damage;
    }
    err << "\n";
    return false;
  }
  for (const std::string& glob : selection.unmatched) {
    err << "wisp: --signals '" << glob << "' matches no signal of " << input << ";\n" << NoMatchText(glob, names);
  }
  if (!selection.unmatched.empty()) return false;
  if (options.from > scan.LastTime() || options.to < scan.FirstTime()) {
    err << "wisp: no sample lies between --from " << options.from << " and --to " << options.to << " s: " << input
        << " spans " << Seconds(scan.FirstTime()) << " s to " << Seconds(scan.LastTime()) << " s\n";
    return false;
  }
  return true;
}

struct EntryState {
  bool selected = false;
  uint32_t id = 0;  // 0 until started
  const std::string* units = nullptr;
};

// One sample of a chunk, placed in time order before it is written.
struct Item {
  uint64_t us;
  uint32_t ref;  // index in the chunk: frames first, then user samples
  int32_t signal;
  bool operator<(const Item& other) const { return us != other.us ? us < other.us : ref < other.ref; }
};

// Writes the selected samples of one chunk after another, each chunk's in
// time order, starting every entry at its first sample.
class SampleWriter {
 public:
  SampleWriter(const LogScan& scan, const ExportOptions& options, std::vector<EntryState>& entries, ExportSink& sink)
      : scan_(scan), options_(options), entries_(entries), sink_(sink) {}

  void Write(const WispChunk& chunk) {
    Collect(chunk);
    for (const Item& item : items_) Write(chunk, item);
  }

  uint32_t started = 0;     // entries started
  uint64_t written = 0;     // samples written
  uint64_t unwritable = 0;  // samples left out for a time the output cannot hold
  uint64_t misfit = 0;      // user samples that did not fit their type

 private:
  void Take(double time, uint32_t ref, int32_t signal) {
    if (signal < 0 || !entries_[static_cast<std::size_t>(signal)].selected) return;
    uint64_t us = 0;
    if (!Microseconds(time, us)) {
      ++unwritable;
      return;
    }
    if (time >= options_.from && time <= options_.to) items_.push_back({us, ref, signal});
  }

  void Collect(const WispChunk& chunk) {
    items_.clear();
    // Frames come signal by signal: one lookup per run of a signal.
    uint64_t lastKey = UINT64_MAX;
    int32_t lastSignal = -1;
    for (uint32_t i = 0; i < chunk.frames.size(); ++i) {
      const Frame& f = chunk.frames[i];
      if (f.Key() != lastKey) {
        lastKey = f.Key();
        lastSignal = scan_.DeviceSignal(f.deviceHash, f.signalId);
      }
      Take(f.value.systemTime, i, lastSignal);
    }
    const auto frames = static_cast<uint32_t>(chunk.frames.size());
    for (uint32_t i = 0; i < chunk.userSamples.size(); ++i) {
      const UserSample& s = chunk.userSamples[i];
      Take(s.time, frames + i, scan_.UserSignal(s.definition));
    }
    std::sort(items_.begin(), items_.end());
  }

  void Write(const WispChunk& chunk, const Item& item) {
    const ScannedSignal& signal = scan_.Signals()[static_cast<std::size_t>(item.signal)];
    EntryState& entry = entries_[static_cast<std::size_t>(item.signal)];
    std::span<const uint8_t> bytes;
    const std::string* units = entry.units;
    const auto frames = static_cast<uint32_t>(chunk.frames.size());
    if (item.ref < frames) {
      bytes = std::span(reinterpret_cast<const uint8_t*>(&chunk.frames[item.ref].value.value), sizeof(double));
    } else {
      const UserSample& sample = chunk.userSamples[item.ref - frames];
      const UserSignalDefinition* definition = scan_.UserDefinition(sample.definition);
      bool trimmed = false;
      if (!UserPayload(definition->type, sample, payload_, trimmed)) {
        ++misfit;
        return;
      }
      misfit += trimmed ? 1 : 0;
      bytes = payload_;
      units = &definition->units;
    }
    if (entry.id == 0) {
      entry.id = ++started;
      entry.units = units;
      sink_.StartEntry(entry.id, signal.name, signal.type, *units, item.us);
    } else if (units != entry.units && *units != *entry.units) {
      entry.units = units;
      sink_.SetUnits(entry.id, *units, item.us);
    }
    sink_.Append(entry.id, item.us, bytes);
    ++written;
  }

  const LogScan& scan_;
  const ExportOptions& options_;
  std::vector<EntryState>& entries_;
  ExportSink& sink_;
  std::vector<Item> items_;
  std::vector<uint8_t> payload_;
};

// The output's path: the one given, or the log's with the format's
// extension, a link resolved to the file it names. False, said on `err`, when
// the export would overwrite the log itself or replace what is not a regular
// file (the finished export is renamed into place).
bool ChooseOutput(const std::string& input, const ExportOptions& options, std::string& output, std::ostream& err) {
  output = options.output.empty() ? DefaultOutput(input, options.format) : options.output;
  if (SameFile(input, output)) {
    err << "wisp: the export would overwrite the log itself; choose another output with -o\n";
    return false;
  }
  struct stat existing {};
  if (::stat(output.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) {
      err << "wisp: " << output << " is not a regular file; choose another output with -o\n";
      return false;
    }
    if (char* resolved = ::realpath(output.c_str(), nullptr)) {
      output = resolved;
      std::free(resolved);
    }
  }
  return true;
}

// One entry per scanned signal, selected when the globs pick it. False, said
// on `err`, when the export would hold nothing.
bool SelectEntries(const std::string& input, const LogScan& scan, const ExportOptions& options,
                   std::vector<EntryState>& entries, std::ostream& err) {
  const std::vector<ScannedSignal>& signals = scan.Signals();
  std::vector<std::string> names;
  for (const ScannedSignal& signal : signals) names.push_back(signal.name);
  const SignalSelection selection = SelectSignals(options.globs, names);
  if (!Selects(input, scan, names, selection, options, err)) return false;
  entries.assign(signals.size(), EntryState{});
  for (std::size_t i = 0; i < signals.size(); ++i) {
    entries[i].units = &signals[i].units;
    entries[i].selected = selection.picked[i];
  }
  return true;
}

// The writer of the chosen format, writing into a new partial file beside
// `output`, whose path goes into `temporary`. Null, said on `err`, when the
// file cannot be created.
std::unique_ptr<ExportSink> CreateSink(const std::string& input, const std::string& output, const std::string& format,
                                       std::string& temporary, std::ostream& err) {
  // A killed export leaves its partial file behind; this one cleans up.
  RemoveStalePartials(output);
  std::FILE* file = CreatePartial(output, temporary);
  if (file == nullptr) {
    err << "wisp: cannot create " << output << ": " << std::strerror(errno) << "\n";
    return nullptr;
  }
  if (format == "csv") return std::make_unique<CsvWriter>(file);
  const auto slash = input.find_last_of('/');
  const std::string title = "wisp export of " + input.substr(slash == std::string::npos ? 0 : slash + 1);
  return std::make_unique<WpilogWriter>(file, title);
}

// Reads the log a second time and writes the samples of every chunk the scan
// accepted. The second read stops where the scan did, or earlier if the file
// was cut in between. Returns the report of the read that ended the export.
ReadReport WriteChunks(const std::string& input, const LogScan& scan, SampleWriter& writer, Progress& progress) {
  const uint64_t total = scan.Report().fileBytes;
  WispChunkReader reader;
  reader.Open(input);
  WispChunk chunk;
  uint32_t chunks = 0;
  while (chunks < scan.Report().chunks && reader.Next(chunk)) {
    ++chunks;
    writer.Write(chunk);
    progress.Update(total + reader.Report().intactBytes, 2 * total);
  }
  progress.Finish();
  return chunks < scan.Report().chunks ? reader.Report() : scan.Report();
}

// Closes the writer and renames its partial file into place, or removes it
// when nothing was written. False, said on `err`, when the output could not
// be written.
bool PlaceOutput(ExportSink& sink, const std::string& temporary, const std::string& output, bool wroteAny,
                 std::ostream& err) {
  std::string error;
  const bool closed = sink.Close(error);
  if (!closed || !wroteAny) ::unlink(temporary.c_str());
  if (!closed) {
    err << "wisp: cannot write " << output << ": " << error << "\n";
    return false;
  }
  if (wroteAny && ::rename(temporary.c_str(), output.c_str()) != 0) {
    err << "wisp: cannot create " << output << ": " << std::strerror(errno) << "\n";
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

// Says what the export wrote, or why it wrote nothing, and what it left out.
void Summarise(const std::string& input, const std::string& output, const ExportOptions& options, const LogScan& scan,
               const ReadReport& report, const SampleWriter& writer, std::ostream& out, std::ostream& err) {
  if (writer.written > 0) {
    out << "exported " << writer.started << " signals, " << writer.written << " samples, to " << output << "\n";
  } else {
    err << "wisp: nothing to export: no sample of the selected signals lies between --from " << options.from
        << " and --to " << options.to << " s; " << output << " was not written\n";
  }
  if (report.status != kOK) err << "wisp: " << input << " could not be read again: " << report.refusal << "\n";
  if (report.Damaged()) {
    err << "wisp: " << input << " is damaged (" << report.damage << "); exported everything before byte "
        << report.intactBytes << ", up to t = " << Seconds(scan.LastTime()) << " s\n";
  }
  if (writer.unwritable > 0) {
    err << "wisp: left out " << writer.unwritable << " samples whose time is negative or not a number\n";
  }
  if (writer.misfit > 0) {
    err << "wisp: " << writer.misfit
        << " user samples did not fit their type; the bytes that did not fit were left out\n";
  }
  if (scan.Undefined() > 0) {
    err << "wisp: left out " << scan.Undefined() << " user samples whose signal the log does not define\n";
  }
}

}  // namespace

int WispExport::Run(const std::string& input, std::ostream& out, std::ostream& err) const {
  std::string output;
  if (!ChooseOutput(input, options_, output, err)) return 1;

  Progress progress("exporting", options_.progress);
  LogScan scan;
  if (scan.Run(input, [&](uint64_t done, uint64_t total) { progress.Update(done, 2 * total); }) != kOK) {
    progress.Finish();
    err << "wisp: " << input << " cannot be exported: " << scan.Report().refusal << "\n";
    return 1;
  }
  std::vector<EntryState> entries;
  if (!SelectEntries(input, scan, options_, entries, err)) return 1;

  std::string temporary;
  const std::unique_ptr<ExportSink> sink = CreateSink(input, output, options_.format, temporary, err);
  if (sink == nullptr) return 1;
  SampleWriter writer(scan, options_, entries, *sink);
  const ReadReport report = WriteChunks(input, scan, writer, progress);
  if (!PlaceOutput(*sink, temporary, output, writer.written > 0, err)) return 1;
  Summarise(input, output, options_, scan, report, writer, out, err);
  return writer.written > 0 ? 0 : 1;
}

}  // namespace wisp_tool
