#include "LogDump.hpp"

#include <algorithm>
#include <cstdio>
#include <iomanip>

#include "LogScan.hpp"
#include "SignalGlobs.hpp"
#include "UserValueText.hpp"
#include "wisp/Status.hpp"

namespace wisp_tool {

using namespace kvor::zephrin::runtime::wisp;

namespace {

// Columns of a row, in order; value and units come before the frame-only
// columns so that the CSV starts like an export's.
struct RowText {
  std::string time, name, value, units, status, reportedId, bustrelTime, deviceTime;
};

std::string Microseconds(double seconds) {
  char text[48];
  std::snprintf(text, sizeof text, "%.6f", seconds);
  return text;
}

// One sample of a chunk, placed in time order before it is written.
struct Row {
  double time;
  uint32_t ref;  // index in the chunk: frames first, then user samples
  int32_t signal;
  bool operator<(const Row& other) const { return time != other.time ? time < other.time : ref < other.ref; }
};

class RowPrinter {
 public:
  RowPrinter(const LogScan& scan, const std::vector<bool>& picked, bool csv, std::ostream& out)
      : scan_(scan), picked_(picked), csv_(csv), out_(out) {
    for (std::size_t i = 0; i < picked.size(); ++i) {
      if (!picked[i]) continue;
      nameWidth_ = std::max(nameWidth_, scan.Signals()[i].name.size());
      unitsWidth_ = std::max(unitsWidth_, scan.Signals()[i].units.size());
    }
    nameWidth_ = std::min<std::size_t>(nameWidth_, 64);
    unitsWidth_ = std::min<std::size_t>(unitsWidth_, 24);
    if (csv_) {
      out_ << "time,name,value,units,status,reported_id,bustrel_time,device_time\n";
    } else {
      Print({"time (s)", "signal", "value", "units", "status", "id", "bus time (s)", "device time (s)"});
    }
  }

  void Print(const WispChunk& chunk) {
    rows_.clear();
    scan_.ForEachSample(chunk, [this](double time, uint32_t ref, int32_t signal) {
      if (signal >= 0 && picked_[static_cast<std::size_t>(signal)]) rows_.push_back({time, ref, signal});
    });
    std::sort(rows_.begin(), rows_.end());
    const auto frames = static_cast<uint32_t>(chunk.frames.size());

    for (const Row& row : rows_) {
      const ScannedSignal& signal = scan_.Signals()[static_cast<std::size_t>(row.signal)];
      RowText text{Microseconds(row.time), signal.name, "", "", "", "", "", ""};
      if (row.ref < frames) {
        const FrameValue& v = chunk.frames[row.ref].value;
        text.value = ExactNumber(v.value);
        text.units = signal.units;
        text.status = std::to_string(v.status);
        text.reportedId = std::to_string(v.reportedId);
        text.bustrelTime = Microseconds(v.bustrelTime);
        text.deviceTime = Microseconds(v.deviceTime);
      } else {
        const UserSample& sample = chunk.userSamples[row.ref - frames];
        const UserSignalDefinition& definition = *scan_.UserDefinition(sample.definition);
        text.value = UserValueText(definition.type, sample, csv_ ? ArrayText::Spaced : ArrayText::Bracketed);
        text.units = definition.units;
      }
      Print(text);
    }
  }

 private:
  void Print(const RowText& t) {
    if (csv_) {
      out_ << t.time << ',' << CsvField(t.name) << ',' << CsvField(t.value) << ',' << CsvField(t.units) << ','
           << t.status << ',' << t.reportedId << ',' << t.bustrelTime << ',' << t.deviceTime << '\n';
      return;
    }
    // A user sample has no status, reported ID or bus and device times.
    const auto dash = [](const std::string& s) -> const std::string& {
      static const std::string kNone = "-";
      return s.empty() ? kNone : s;
    };
    out_ << std::right << std::setw(14) << t.time << "  " << std::left << std::setw(static_cast<int>(nameWidth_))
         << t.name << "  " << std::setw(24) << t.value << "  " << std::setw(static_cast<int>(unitsWidth_))
         << t.units << "  " << std::right << std::setw(6) << dash(t.status) << "  " << std::setw(5)
         << dash(t.reportedId) << "  " << std::setw(14) << dash(t.bustrelTime) << "  " << std::setw(15)
         << dash(t.deviceTime) << '\n';
  }

  const LogScan& scan_;
  const std::vector<bool>& picked_;
  const bool csv_;
  std::ostream& out_;
  std::size_t nameWidth_ = 6;
  std::size_t unitsWidth_ = 5;
  std::vector<Row> rows_;
};

}  // namespace

int LogDump::Run(const std::string& path, std::ostream& out, std::ostream& err) const {
  LogScan scan;
  if (scan.Run(path) != kOK) {
    err << "wisp: " << path << " is not a readable .wisp log: " << scan.Report().refusal << "\n";
    return kNotDumped;
  }
  std::vector<std::string> names;
  for (const ScannedSignal& signal : scan.Signals()) names.push_back(signal.name);
  const SignalSelection selection = SelectSignals(options_.globs, names);
  for (const std::string& glob : selection.unmatched) {
    err << "wisp: --signal '" << glob << "' matches no signal of " << path << ";\n" << NoMatchText(glob, names);
  }
  if (!selection.unmatched.empty()) return kNotDumped;

  RowPrinter printer(scan, selection.picked, options_.csv, out);
  const ReadReport report =
      scan.ReadAgain(path, [&](const WispChunk& chunk, const ReadReport&) { printer.Print(chunk); });
  if (report.status != kOK) err << "wisp: " << path << " could not be read again: " << report.refusal << "\n";
  if (report.Damaged()) {
    err << "wisp: " << path << " is damaged (" << report.damage
        << "); rows end at t = " << Microseconds(scan.LastTime()) << " s\n";
  }
  if (scan.Undefined() > 0) {
    err << "wisp: left out " << scan.Undefined() << " user samples whose signal the log does not define\n";
  }
  return kDumped;
}

}  // namespace wisp_tool
