#include "LogDiff.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <limits>
#include <memory>
#include <type_traits>
#include <unordered_map>

#include "LogScan.hpp"
#include "Progress.hpp"
#include "SignalGlobs.hpp"
#include "UserValueText.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispChunkReader.hpp"

namespace wisp_tool {

using namespace kvor::zephrin::runtime::wisp;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// One sample waiting for its partner from the other log.
struct Record {
  double time = 0.0;
  FrameValue frame;                                 // device signals
  const UserSignalDefinition* definition = nullptr;  // user signals (owned by the side's scan)
  uint8_t size = 0;
  std::array<uint8_t, kMaxUserPayload> payload;     // the first `size` bytes are set
};

// The samples of one signal awaiting their partners, oldest first. It
// empties whenever the other log catches up, so it keeps its storage and
// stops allocating once it has held one chunk's samples.
class Pending {
 public:
  bool empty() const { return head_ == items_.size(); }
  const Record& front() const { return items_[head_]; }
  void pop_front() {
    if (++head_ == items_.size()) {
      items_.clear();
      head_ = 0;
    }
  }
  void push_back(const Record& r) { items_.push_back(r); }

 private:
  std::vector<Record> items_;
  std::size_t head_ = 0;
};

// Equal, counting two NaNs as equal.
bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }
bool Near(double a, double b, double tolerance) { return Same(a, b) || std::abs(a - b) <= tolerance; }

template <class T>
bool NearElements(const Record& a, const Record& b, double tolerance) {
  for (std::size_t at = 0; at + sizeof(T) <= a.size; at += sizeof(T)) {
    T x{}, y{};
    std::memcpy(&x, a.payload.data() + at, sizeof(T));
    std::memcpy(&y, b.payload.data() + at, sizeof(T));
    if constexpr (std::is_integral_v<T>) {
      // The distance of two integers as an integer: as doubles, neighbours
      // past 2^53 would look equal.
      const uint64_t distance = x > y ? static_cast<uint64_t>(x) - static_cast<uint64_t>(y)
                                      : static_cast<uint64_t>(y) - static_cast<uint64_t>(x);
      if (static_cast<double>(distance) > tolerance) return false;
    } else if (!Near(x, y, tolerance)) {
      return false;
    }
  }
  return true;
}

bool SamePayload(const Record& a, const Record& b, double tolerance) {
  const uint8_t type = a.definition->type;
  if (type != b.definition->type || a.size != b.size) return false;
  switch (type) {
    case 2:
    case 7:
      return NearElements<int64_t>(a, b, tolerance);
    case 3:
    case 8:
      return NearElements<float>(a, b, tolerance);
    case 4:
    case 9:
      return NearElements<double>(a, b, tolerance);
    default:
      return std::memcmp(a.payload.data(), b.payload.data(), a.size) == 0;
  }
}

std::string ValueText(const Record& r) {
  if (r.definition == nullptr) return ExactNumber(r.frame.value);
  return UserValueText(r.definition->type, std::span(r.payload.data(), r.size));
}

// A signal both logs may hold, and how its samples compared so far.
struct Compared {
  std::string name;
  std::array<bool, 2> held{};                // by log A, log B
  std::array<Pending, 2> pending;  // one side's samples awaiting the other's; never both
  uint64_t same = 0;
  uint64_t different = 0;
  std::array<uint64_t, 2> only{};
};

// One of the two logs being read.
struct Side {
  std::string path;
  LogScan scan;
  WispChunkReader reader;
  WispChunk chunk;
  std::vector<int32_t> compared;  // per scanned signal: index into the comparison, or -1
  uint32_t chunks = 0;
  // No sample still to come from this log is older than this (chunks follow
  // each other in log time), seconds.
  double frontier = -kInfinity;
  bool ended = false;
};

class Comparison {
 public:
  Comparison(const DiffOptions& options, std::ostream& out) : options_(options), out_(out) {}

  int Run(const std::string& a, const std::string& b, std::ostream& err);

 private:
  bool Select(std::ostream& err);
  void Read(int side);
  void Offer(int32_t signal, int side, const Record& record);
  void Settle(int side);
  void Match(Compared& c, const Record& a, const Record& b);
  void OnlyIn(Compared& c, int side, const Record& r);
  void Show(const Compared& c, double time, const std::string& what);
  int Verdict();

  const DiffOptions& options_;
  std::ostream& out_;
  std::array<std::unique_ptr<Side>, 2> sides_;
  std::vector<Compared> signals_;
  uint64_t found_ = 0;  // differences found, the first kShown shown
};

bool Comparison::Select(std::ostream& err) {
  std::unordered_map<std::string, int32_t> byName;
  std::vector<std::string> names;
  for (int s = 0; s < 2; ++s) {
    for (const ScannedSignal& signal : sides_[s]->scan.Signals()) {
      const auto [found, added] = byName.try_emplace(signal.name, static_cast<int32_t>(names.size()));
      if (added) names.push_back(signal.name);
      sides_[s]->compared.push_back(found->second);
    }
  }
  const SignalSelection selection = SelectSignals(options_.globs, names);
  for (const std::string& glob : selection.unmatched) {
    err << "wisp: --signals '" << glob << "' matches no signal of either log;\n" << NoMatchText(glob, names);
  }
  if (!selection.unmatched.empty()) return false;

  // Only the picked signals are compared, renumbered densely.
  std::vector<int32_t> renumbered(names.size(), -1);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!selection.picked[i]) continue;
    renumbered[i] = static_cast<int32_t>(signals_.size());
    signals_.emplace_back().name = names[i];
  }
  for (int s = 0; s < 2; ++s) {
    for (int32_t& index : sides_[s]->compared) {
      index = renumbered[static_cast<std::size_t>(index)];
      if (index >= 0) signals_[static_cast<std::size_t>(index)].held[s] = true;
    }
  }
  return true;
}

void Comparison::Read(int s) {
  Side& side = *sides_[s];
  // The second read stops where the scan did, or earlier if the file was
  // cut in between.
  if (side.chunks >= side.scan.Report().chunks || !side.reader.Next(side.chunk)) {
    side.ended = true;
    side.frontier = kInfinity;
    return;
  }
  ++side.chunks;
  const WispChunk& chunk = side.chunk;
  uint64_t lastKey = UINT64_MAX;
  int32_t signal = -1;
  for (const Frame& f : chunk.frames) {
    if (f.Key() != lastKey) {  // frames come signal by signal: one lookup per run
      lastKey = f.Key();
      const int32_t scanned = side.scan.DeviceSignal(f.deviceHash, f.signalId);
      signal = scanned < 0 ? -1 : side.compared[static_cast<std::size_t>(scanned)];
    }
    if (signal < 0) continue;
    Record r;
    r.time = f.value.systemTime;
    r.frame = f.value;
    Offer(signal, s, r);
  }
  for (const UserSample& sample : chunk.userSamples) {
    const int32_t scanned = side.scan.UserSignal(sample.definition);
    if (scanned < 0 || side.compared[static_cast<std::size_t>(scanned)] < 0) continue;
    Record r;
    r.time = sample.time;
    r.definition = side.scan.UserDefinition(sample.definition);
    r.size = static_cast<uint8_t>(std::min<std::size_t>(sample.size, kMaxUserPayload));
    std::memcpy(r.payload.data(), sample.payload.data(), r.size);
    Offer(side.compared[static_cast<std::size_t>(scanned)], s, r);
  }
  if (chunk.hasTime) side.frontier = std::max(side.frontier, chunk.firstTime);
}

void Comparison::Offer(int32_t signal, int s, const Record& record) {
  Compared& c = signals_[static_cast<std::size_t>(signal)];
  const int other = 1 - s;
  if (!c.held[other]) {
    OnlyIn(c, s, record);
    return;
  }
  Pending& theirs = c.pending[other];
  // Their samples older than this one will find no partner in this log:
  // within a signal, samples come in time order.
  while (!theirs.empty() && theirs.front().time < record.time) {
    OnlyIn(c, other, theirs.front());
    theirs.pop_front();
  }
  if (theirs.empty()) {
    if (sides_[other]->ended) {
      OnlyIn(c, s, record);
    } else {
      c.pending[s].push_back(record);
    }
  } else if (theirs.front().time == record.time) {
    if (s == 0) {
      Match(c, record, theirs.front());
    } else {
      Match(c, theirs.front(), record);
    }
    theirs.pop_front();
  } else {
    OnlyIn(c, s, record);  // the other log is past this time already
  }
}

void Comparison::Settle(int s) {
  // Samples of log `s` older than everything still to come from the other
  // log have no partner any more.
  const double frontier = sides_[1 - s]->frontier;
  for (Compared& c : signals_) {
    Pending& mine = c.pending[s];
    while (!mine.empty() && !(mine.front().time >= frontier)) {
      OnlyIn(c, s, mine.front());
      mine.pop_front();
    }
  }
}

void Comparison::Match(Compared& c, const Record& a, const Record& b) {
  std::string what;
  if (a.definition == nullptr) {
    const FrameValue &x = a.frame, &y = b.frame;
    if (!Near(x.value, y.value, options_.tolerance)) what = ValueText(a) + " | " + ValueText(b);
    if (x.status != y.status) what += "; status " + std::to_string(x.status) + " | " + std::to_string(y.status);
    if (x.reportedId != y.reportedId) {
      what += "; reported ID " + std::to_string(x.reportedId) + " | " + std::to_string(y.reportedId);
    }
    if (!Same(x.bustrelTime, y.bustrelTime)) {
      what += "; bus time " + ExactNumber(x.bustrelTime) + " | " + ExactNumber(y.bustrelTime);
    }
    if (!Same(x.deviceTime, y.deviceTime)) {
      what += "; device time " + ExactNumber(x.deviceTime) + " | " + ExactNumber(y.deviceTime);
    }
  } else {
    if (!SamePayload(a, b, options_.tolerance)) what = ValueText(a) + " | " + ValueText(b);
    if (a.definition->type != b.definition->type) {
      what += std::string("; type ") + UserTypeName(a.definition->type) + " | " + UserTypeName(b.definition->type);
    }
    if (a.definition->units != b.definition->units) {
      what += "; units '" + a.definition->units + "' | '" + b.definition->units + "'";
    }
  }
  if (what.empty()) {
    ++c.same;
    return;
  }
  ++c.different;
  if (what.starts_with("; ")) what = ValueText(a) + what;
  Show(c, a.time, what);
}

void Comparison::OnlyIn(Compared& c, int s, const Record& r) {
  ++c.only[s];
  Show(c, r.time, s == 0 ? ValueText(r) + " | (none)" : "(none) | " + ValueText(r));
}

void Comparison::Show(const Compared& c, double time, const std::string& what) {
  if (found_ == 0) out_ << "first differences (log A | log B):\n";
  if (found_++ >= LogDiff::kShown) return;
  out_ << "  " << c.name << "  t = " << std::fixed << std::setprecision(6) << time << " s: " << what << "\n";
}

int Comparison::Verdict() {
  uint64_t compared = 0, differing = 0;
  for (const Compared& c : signals_) {
    compared += c.same + c.different;
    if (c.different + c.only[0] + c.only[1] > 0) ++differing;
  }
  if (differing == 0) {
    out_ << "identical: " << signals_.size() << " signals, " << compared << " samples\n";
    return LogDiff::kIdentical;
  }
  if (found_ > LogDiff::kShown) out_ << "  ... and " << found_ - LogDiff::kShown << " more\n";
  out_ << "differences per signal (of the samples both logs hold at the same time):\n";
  for (const Compared& c : signals_) {
    if (c.different + c.only[0] + c.only[1] == 0) continue;
    out_ << "  " << c.name << "  " << c.different << " of " << c.same + c.different << " differ";
    if (c.only[0] > 0) out_ << ", " << c.only[0] << " only in A";
    if (c.only[1] > 0) out_ << ", " << c.only[1] << " only in B";
    out_ << "\n";
  }
  out_ << "different: " << differing << " of " << signals_.size() << " signals\n";
  return LogDiff::kDifferent;
}

int Comparison::Run(const std::string& a, const std::string& b, std::ostream& err) {
  Progress progress("comparing", options_.progress);
  // Each log is read twice: once to learn its signals, once to compare.
  auto size = [](const std::string& path) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    return error ? uint64_t{0} : static_cast<uint64_t>(bytes);
  };
  const uint64_t total = 2 * (size(a) + size(b));
  uint64_t scanned = 0;
  for (int s = 0; s < 2; ++s) {
    sides_[s] = std::make_unique<Side>();
    Side& side = *sides_[s];
    side.path = s == 0 ? a : b;
    if (side.scan.Run(side.path, [&](uint64_t read, uint64_t) { progress.Update(scanned + read, total); }) != kOK) {
      progress.Finish();
      err << "wisp: " << side.path << " is not a readable .wisp log: " << side.scan.Report().refusal << "\n";
      return LogDiff::kNotALog;
    }
    scanned += side.scan.Report().fileBytes;
  }
  if (!Select(err)) return LogDiff::kNotALog;

  for (auto& side : sides_) side->reader.Open(side->path);
  out_ << "A: " << a << "\nB: " << b << "\n";
  while (!sides_[0]->ended || !sides_[1]->ended) {
    // Read on in the log that is behind in time.
    const int s = !sides_[0]->ended && (sides_[1]->ended || sides_[0]->frontier <= sides_[1]->frontier) ? 0 : 1;
    Read(s);
    Settle(1 - s);
    progress.Update(scanned + sides_[0]->reader.Report().intactBytes + sides_[1]->reader.Report().intactBytes, total);
  }
  progress.Finish();

  for (const auto& side : sides_) {
    const ReadReport& report = side->scan.Report();
    if (report.Damaged()) {
      err << "wisp: " << side->path << " is damaged (" << report.damage << "); compared what lies before byte "
          << report.intactBytes << "\n";
    }
  }
  return Verdict();
}

}  // namespace

int LogDiff::Run(const std::string& a, const std::string& b, std::ostream& out, std::ostream& err) const {
  return Comparison(options_, out).Run(a, b, err);
}

}  // namespace wisp_tool
