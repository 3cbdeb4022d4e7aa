#include "WispExport.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <memory>
#include <numeric>
#include <sstream>

#include "CsvWriter.hpp"
#include "LogScan.hpp"
#include "PartialFile.hpp"
#include "Progress.hpp"
#include "SignalGlobs.hpp"
#include "WpilogWriter.hpp"
#include "wisp/Status.hpp"

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

// Log time in whole microseconds, rounded half away from zero; false for a
// time the output cannot hold (negative, not finite, or beyond 2^63 us).
bool Microseconds(double seconds, uint64_t& us) {
  const double scaled = seconds * 1e6;
  // std::round's result without its library call, which every sample
  // paid: the fraction below a whole number is exact under 2^53, and every
  // double above that is whole.
  if (!(scaled > -0.5 && scaled < 9.2e18)) return false;
  if (scaled <= 0.0) {
    us = 0;
    return true;
  }
  // Below 2^63 the signed conversion holds it, and is one instruction.
  const auto whole = static_cast<int64_t>(scaled);
  us = static_cast<uint64_t>(whole) + (scaled - static_cast<double>(whole) >= 0.5 ? 1 : 0);
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
  // User entries: the units last written, a definition's own (the scan keeps
  // its definitions in place). A device signal's units never change.
  const std::string* units = nullptr;
  std::string name;  // the name it was started under
};

// One sample of a chunk, placed in time order before it is written.
struct Item {
  uint64_t us;
  uint32_t ref;  // index in the chunk: frames first, then user samples
  int32_t signal;
  bool operator<(const Item& other) const { return us != other.us ? us < other.us : ref < other.ref; }
};

// Writes the selected samples of one chunk after another, each chunk's in
// time order, starting every entry at its first sample. `entries` holds one
// entry per signal the scan knows of when a chunk is written.
class SampleWriter {
 public:
  SampleWriter(const LogScan& scan, const ExportOptions& options, std::vector<EntryState>& entries, ExportSink& sink)
      : scan_(scan), options_(options), entries_(entries), sink_(sink) {}

  void Write(const WispChunk& chunk) {
    Collect(chunk);
    // The writer's concrete type is found once per chunk, so that the calls
    // per sample are direct and inlined.
    if (auto* wpilog = dynamic_cast<WpilogWriter*>(&sink_)) {
      WriteItems(chunk, *wpilog);
    } else if (auto* csv = dynamic_cast<CsvWriter*>(&sink_)) {
      WriteItems(chunk, *csv);
    } else {
      WriteItems(chunk, sink_);
    }
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
    if (time >= options_.from && time <= options_.to) {
      items_.push_back({us, ref, signal});
      first_ = std::min(first_, us);
      last_ = std::max(last_, us);
    }
  }

  void Collect(const WispChunk& chunk) {
    items_.clear();
    first_ = UINT64_MAX;
    last_ = 0;
    scan_.ForEachSample(chunk, [this](double time, uint32_t ref, int32_t signal) { Take(time, ref, signal); });
    Order();
  }

  // Lists the items' indices in time order, ties in chunk order, in order_.
  // The items were taken in chunk order, so each one's time since the
  // chunk's earliest and its index pack into one integer whose order is the
  // one wanted; integers sort faster than the items. A chunk spanning more
  // than the packing holds (days of log time) sorts the items themselves.
  void Order() {
    order_.resize(items_.size());
    if (items_.empty()) return;
    const int indexBits = std::bit_width(items_.size() - 1);
    if (std::bit_width(last_ - first_) + indexBits > 64) {
      std::sort(items_.begin(), items_.end());
      std::iota(order_.begin(), order_.end(), uint64_t{0});
      return;
    }
    for (std::size_t i = 0; i < items_.size(); ++i) order_[i] = ((items_[i].us - first_) << indexBits) | i;
    std::sort(order_.begin(), order_.end());
    const uint64_t index = (uint64_t{1} << indexBits) - 1;
    for (uint64_t& key : order_) key &= index;
  }

  template <class Sink>
  void WriteItems(const WispChunk& chunk, Sink& sink) {
    for (const uint64_t index : order_) WriteItem(chunk, items_[index], sink);
  }

  template <class Sink>
  void WriteItem(const WispChunk& chunk, const Item& item, Sink& sink) {
    EntryState& entry = entries_[static_cast<std::size_t>(item.signal)];
    const auto frames = static_cast<uint32_t>(chunk.frames.size());
    if (item.ref < frames) {
      if (entry.id == 0) Start(entry, item, scan_.Signals()[static_cast<std::size_t>(item.signal)].units, sink);
      sink.Append(entry.id, item.us,
                  std::span(reinterpret_cast<const uint8_t*>(&chunk.frames[item.ref].value.value), sizeof(double)));
      ++written;
      return;
    }
    const UserSample& sample = chunk.userSamples[item.ref - frames];
    const UserSignalDefinition* definition = scan_.UserDefinition(sample.definition);
    bool trimmed = false;
    if (!UserPayload(definition->type, sample, payload_, trimmed)) {
      ++misfit;
      return;
    }
    misfit += trimmed ? 1 : 0;
    const std::string* units = &definition->units;
    if (entry.id == 0) {
      Start(entry, item, *units, sink);
      entry.units = units;
    } else if (units != entry.units && *units != *entry.units) {
      entry.units = units;
      sink.SetUnits(entry.id, *units, item.us);
    }
    sink.Append(entry.id, item.us, payload_);
    ++written;
  }

  template <class Sink>
  void Start(EntryState& entry, const Item& item, const std::string& units, Sink& sink) {
    const ScannedSignal& signal = scan_.Signals()[static_cast<std::size_t>(item.signal)];
    entry.id = ++started;
    entry.name = signal.name;
    sink.StartEntry(entry.id, signal.name, signal.type, units, item.us);
  }

  const LogScan& scan_;
  const ExportOptions& options_;
  std::vector<EntryState>& entries_;
  ExportSink& sink_;
  std::vector<Item> items_;
  std::vector<uint64_t> order_;
  uint64_t first_ = 0;  // earliest and latest time of the items, microseconds
  uint64_t last_ = 0;
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
  for (std::size_t i = 0; i < signals.size(); ++i) entries[i].selected = selection.picked[i];
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
// accepted. Returns the report of the read that ended the export.
ReadReport WriteChunks(const std::string& input, const LogScan& scan, SampleWriter& writer, Progress& progress) {
  const ReadReport report = scan.ReadAgain(input, [&](const WispChunk& chunk, const ReadReport& sofar) {
    writer.Write(chunk);
    progress.Update(sofar.intactBytes, sofar.fileBytes);
  });
  progress.Finish();
  return report;
}

// The export written while the scan reads the log, under the names and the
// selection known so far. It holds when no later signal changed the name of
// an entry it had started or what the globs pick; otherwise, and when its
// output could not be created, it is given up and the log is read a second
// time under the final names.
class ExportAsRead {
 public:
  ExportAsRead(const std::string& input, const std::string& output, const ExportOptions& options, const LogScan& scan)
      : input_(input), output_(output), options_(options), scan_(scan) {}
  ~ExportAsRead() { Discard(); }
  ExportAsRead(const ExportAsRead&) = delete;
  ExportAsRead& operator=(const ExportAsRead&) = delete;

  /// Writes the samples of a chunk the scan accepted.
  void Write(const WispChunk& chunk) {
    if (abandoned_) return;
    if (!Reconcile()) return Abandon();
    if (sink_ == nullptr) {
      // Said again, and on the right stream, by the export that follows.
      std::ostringstream ignored;
      sink_ = CreateSink(input_, output_, options_.format, temporary_, ignored);
      if (sink_ == nullptr) return Abandon();
      writer_ = std::make_unique<SampleWriter>(scan_, options_, entries_, *sink_);
    }
    writer_->Write(chunk);
  }

  /// The export as written, when it is the one the final names and
  /// `selection` call for; null otherwise. `temporary` is its partial file.
  ExportSink* Holds(const std::vector<EntryState>& selection, std::string& temporary) {
    if (abandoned_ || sink_ == nullptr || entries_.size() != selection.size()) return nullptr;
    const std::vector<ScannedSignal>& signals = scan_.Signals();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (!StillHolds(entries_[i], selection[i].selected, signals[i].name)) return nullptr;
    }
    temporary = temporary_;
    return sink_.get();
  }
  const SampleWriter& Writer() const { return *writer_; }

  /// Removes what was written, unless Keep() was called.
  void Discard() {
    if (sink_ == nullptr || kept_) return;
    std::string ignored;
    static_cast<void>(sink_->Close(ignored));  // the file is removed whatever its state
    ::unlink(temporary_.c_str());
    writer_.reset();
    sink_.reset();
  }
  /// Leaves the output to the caller, who places it.
  void Keep() { kept_ = true; }

 private:
  // Brings the entries up to the signals the scan knows, and says whether
  // what was written still holds under their names.
  bool Reconcile() {
    const std::vector<ScannedSignal>& signals = scan_.Signals();
    // Names change only when signals are added.
    if (signals.size() == entries_.size()) return true;
    names_.clear();
    for (const ScannedSignal& signal : signals) {
      if (signal.name.empty()) return false;  // the scan stopped naming as it reads
      names_.push_back(signal.name);
    }
    const SignalSelection selection = SelectSignals(options_.globs, names_);
    const std::size_t known = entries_.size();
    entries_.resize(signals.size());
    for (std::size_t i = 0; i < signals.size(); ++i) {
      if (i < known && !StillHolds(entries_[i], selection.picked[i], signals[i].name)) return false;
      entries_[i].selected = selection.picked[i];
    }
    return true;
  }

  // Whether what was written for an entry is what its selection and name
  // as now known call for.
  static bool StillHolds(const EntryState& entry, bool selected, const std::string& name) {
    return entry.selected == selected && (entry.id == 0 || entry.name == name);
  }

  void Abandon() {
    abandoned_ = true;
    Discard();
  }

  const std::string& input_;
  const std::string& output_;
  const ExportOptions& options_;
  const LogScan& scan_;
  std::vector<EntryState> entries_;
  std::vector<std::string> names_;
  std::unique_ptr<ExportSink> sink_;
  std::unique_ptr<SampleWriter> writer_;
  std::string temporary_;
  bool abandoned_ = false;
  bool kept_ = false;
};

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
  LogScan scan(LogScan::Detail::kNames);
  ExportAsRead asRead(input, output, options_, scan);
  if (scan.Run(
          input, [&](uint64_t done, uint64_t total) { progress.Update(done, total); },
          [&](const WispChunk& chunk) { asRead.Write(chunk); }) != kOK) {
    progress.Finish();
    err << "wisp: " << input << " cannot be exported: " << scan.Report().refusal << "\n";
    return 1;
  }
  std::vector<EntryState> entries;
  if (!SelectEntries(input, scan, options_, entries, err)) return 1;

  std::string temporary;
  auto finish = [&](ExportSink& sink, const SampleWriter& writer, const ReadReport& report) {
    if (!PlaceOutput(sink, temporary, output, writer.written > 0, err)) return 1;
    Summarise(input, output, options_, scan, report, writer, out, err);
    return writer.written > 0 ? 0 : 1;
  };
  if (ExportSink* sink = asRead.Holds(entries, temporary)) {
    progress.Finish();
    asRead.Keep();
    return finish(*sink, asRead.Writer(), scan.Report());
  }
  asRead.Discard();
  const std::unique_ptr<ExportSink> sink = CreateSink(input, output, options_.format, temporary, err);
  if (sink == nullptr) return 1;
  SampleWriter writer(scan, options_, entries, *sink);
  const ReadReport report = WriteChunks(input, scan, writer, progress);
  return finish(*sink, writer, report);
}

}  // namespace wisp_tool
