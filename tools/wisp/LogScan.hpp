#pragma once

// One pass over a .wisp log, chunk by chunk, learning what `wisp check`
// reports and what `wisp export` must know before it writes a byte: the
// devices and signal definitions, every signal that has samples with the
// name, type and units it is exported under, its sample count, time span
// and gaps, the dropped-sample count, and how far the log was intact.
//
// Exported names: a device signal is `/<bus>/<model> <id>/<signal>`, and
// `<signal> [<units>]` when several of the device's signals share the name
// (the signals whose ID follows the control mode); a user signal is
// `/user/<name>`, and `/user/<name> (<type>)` when the log holds it with more
// than one type. Names are decided from the whole log, so they never depend
// on which signal happened to come first.
//
// Memory: one chunk, plus a few hundred bytes per signal. A log that defines
// more than kMaxSignals signals or kMaxNameBytes of names and units is read
// up to the chunk that passes the bound, which is reported like damage.
// Owns nothing outside itself; not thread-safe.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "GapTracker.hpp"
#include "wisp/WispChunk.hpp"
#include "wisp/WispLog.hpp"

namespace wisp_tool {

/// One signal with samples in the log.
struct ScannedSignal {
  std::string name;   ///< exported name
  std::string type;   ///< type text of the export ("double", "int64", "boolean[]", ...)
  std::string units;  ///< units of its first definition
  bool user = false;
  uint32_t deviceHash = 0;  ///< device signals: device and signal ID
  uint16_t signalId = 0;
  /// samples, firstTime, lastTime and gaps stay empty in a scan of Detail::kNames.
  uint64_t samples = 0;
  double firstTime = 0.0;  ///< seconds, of the first and last sample read
  double lastTime = 0.0;
  GapTracker gaps;
};

class LogScan {
 public:
  static constexpr std::size_t kMaxSignals = 65536;
  static constexpr std::size_t kMaxNameBytes = 16u << 20;

  /// What the scan learns of each signal besides its name, type and units.
  enum class Detail {
    kSamples,  ///< its sample count, time span and gaps (`wisp check`)
    kNames,    ///< nothing more: a reader that writes the samples out itself
  };
  explicit LogScan(Detail detail = Detail::kSamples) : detail_(detail) {}

  /// Reads the log at `path` once, calling `progress(bytesRead, fileBytes)`
  /// after each chunk, and `visit(chunk)` with each chunk the scan accepted,
  /// once its signals are known (DeviceSignal and UserSignal find them), so
  /// that a reader can take the samples in the same pass. During the read
  /// the names are those the log read so far gives; a later signal can
  /// still change an earlier one's (two signals of a device sharing a base
  /// name both get their units), and a log that keeps adding signals chunk
  /// after chunk leaves the names of the later ones empty until the end,
  /// when every name is final. Returns the reader's status: OK, or why the
  /// file is no log (Report().refusal says more).
  int32_t Run(const std::string& path, const std::function<void(uint64_t, uint64_t)>& progress = {},
              const std::function<void(const kvor::zephrin::runtime::wisp::WispChunk&)>& visit = {});

  const kvor::zephrin::runtime::wisp::WispHeader& Header() const { return header_; }
  /// How far the log was read; chunks and intactBytes count only what the
  /// scan accepted, damage includes a passed bound of the scan's own.
  const kvor::zephrin::runtime::wisp::ReadReport& Report() const { return report_; }

  /// The log's time span, seconds, as replay plays it: from the time the
  /// logger started (the header's start time) to its last record read, or
  /// earlier when a record is older than the start (a sample written with
  /// a latency).
  double FirstTime() const { return firstTime_; }
  double LastTime() const { return lastTime_; }
  /// User samples the writer dropped because its buffer was full.
  uint64_t Dropped() const { return dropped_; }
  /// User samples whose definition the log does not hold; nothing names
  /// them, so they are counted and left out.
  uint64_t Undefined() const { return undefined_; }

  /// Every signal with samples, in order of first appearance.
  const std::vector<ScannedSignal>& Signals() const { return signals_; }
  /// Index in Signals() of a device signal, or -1.
  int32_t DeviceSignal(uint32_t deviceHash, uint16_t signalId) const;
  /// Index in Signals() of the signal a user-signal definition's samples
  /// belong to, or -1.
  int32_t UserSignal(uint16_t definition) const;
  /// Reads the log at `path` a second time, calling `each(chunk, report)`
  /// for every chunk the scan accepted, with the read's report so far. The
  /// read stops where the scan did, or earlier if the file was cut in
  /// between. Returns the report of the read that ended it.
  kvor::zephrin::runtime::wisp::ReadReport ReadAgain(
      const std::string& path,
      const std::function<void(const kvor::zephrin::runtime::wisp::WispChunk&,
                               const kvor::zephrin::runtime::wisp::ReadReport&)>& each) const;

  /// Calls `visit(time, ref, signal)` for every sample of `chunk`: its time,
  /// its index in the chunk (frames first, then user samples) and its index
  /// in Signals(), -1 for a sample of no signal the scan knows.
  template <class Visit>
  void ForEachSample(const kvor::zephrin::runtime::wisp::WispChunk& chunk, Visit visit) const {
    // Frames come signal by signal: one lookup per run of a signal.
    uint64_t lastKey = UINT64_MAX;
    int32_t lastSignal = -1;
    for (uint32_t i = 0; i < chunk.frames.size(); ++i) {
      const auto& f = chunk.frames[i];
      if (f.Key() != lastKey) {
        lastKey = f.Key();
        lastSignal = DeviceSignal(f.deviceHash, f.signalId);
      }
      visit(f.value.systemTime, i, lastSignal);
    }
    const auto frames = static_cast<uint32_t>(chunk.frames.size());
    for (uint32_t i = 0; i < chunk.userSamples.size(); ++i) {
      visit(chunk.userSamples[i].time, frames + i, UserSignal(chunk.userSamples[i].definition));
    }
  }
  /// A user-signal definition, or null.
  const kvor::zephrin::runtime::wisp::UserSignalDefinition* UserDefinition(uint16_t definition) const;

  /// Type text a user data type is exported as.
  static const char* ExportType(uint8_t userType);

 private:
  struct Admission;
  bool Admit(const kvor::zephrin::runtime::wisp::WispChunk& chunk);
  void Tally(const kvor::zephrin::runtime::wisp::WispChunk& chunk);
  void ResolveNames();
  /// Names the signals read so far when the last chunk brought new ones.
  void NameAsRead();

  Detail detail_;
  kvor::zephrin::runtime::wisp::WispHeader header_;
  kvor::zephrin::runtime::wisp::ReadReport report_;
  double firstTime_ = 0.0;
  double lastTime_ = 0.0;
  uint64_t dropped_ = 0;
  uint64_t undefined_ = 0;
  std::size_t nameBytes_ = 0;
  std::size_t named_ = 0;    // signals that had a name during the read
  uint64_t namingWork_ = 0;  // signals named during the read, repeats counted

  std::unordered_map<uint32_t, kvor::zephrin::runtime::wisp::DeviceInfo> devices_;
  std::unordered_map<uint16_t, kvor::zephrin::runtime::wisp::SignalDefinition> definitions_;
  std::unordered_map<uint16_t, kvor::zephrin::runtime::wisp::UserSignalDefinition> userDefinitions_;
  std::vector<ScannedSignal> signals_;
  std::vector<std::string> baseNames_;                   // per signal: user name or device signal name
  std::unordered_map<uint64_t, int32_t> deviceSignals_;  // device hash and signal ID -> signal
  std::unordered_map<uint16_t, int32_t> userSignals_;    // definition -> signal
  std::unordered_map<std::string, int32_t> userNames_;   // name and type -> signal
};

}  // namespace wisp_tool
