#pragma once

// The runtime's error and warning reports. It keeps the last kCapacity
// reports in a ring for the harness and prints them to standard error as
// short blocks (kind and code, description, location, call stack). A
// program that fails the same way every loop would flood the terminal, so
// each (code, location) pair is printed at most once per second of the
// runtime clock; the next print of that pair says how many repeats were kept
// quiet since the last one, and a report from a new pair prints at once.
// Once the ring has filled, recording a report reuses its slot's storage, so
// a repeated report allocates nothing. Owned by the Runtime; thread-safe.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/runtime/harness/Reports.hpp>

namespace kvor::zephrin::runtime {

class Clock;

class ReportLog {
 public:
  /// Reports kept for the harness; older ones are overwritten.
  static constexpr std::size_t kCapacity = 1000;
  /// Shortest time between two prints of one (code, location), seconds.
  static constexpr double kPrintInterval = 1.0;

  explicit ReportLog(const Clock& clock);
  ReportLog(const ReportLog&) = delete;
  ReportLog& operator=(const ReportLog&) = delete;

  void Add(bool isError, int code, std::string_view details, std::string_view location, std::string_view callStack);
  /// The kept reports, oldest first.
  std::vector<harness::Report> Snapshot() const;
  void Clear();
  void SetEcho(bool echo);

 private:
  struct Key {
    int code;
    std::string location;
  };
  struct KeyView {
    int code;
    std::string_view location;
  };
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(const KeyView& key) const;
    std::size_t operator()(const Key& key) const { return (*this)(KeyView{key.code, key.location}); }
  };
  struct KeyEqual {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      return a.code == b.code && std::string_view(a.location) == std::string_view(b.location);
    }
  };
  struct PrintState {
    double lastShown = 0.0;
    uint64_t suppressed = 0;
  };
  /// Most (code, location) pairs whose print times are remembered; past it
  /// the table starts again (a few reports may then print early).
  static constexpr std::size_t kMaxTrackedPairs = 4096;

  /// Whether to print this report now; counts it as suppressed otherwise.
  /// Returns the number of repeats suppressed since the last print through
  /// `suppressed`.
  bool ShouldPrint(int code, std::string_view location, uint64_t& suppressed) ZEPHRIN_REQUIRES(mutex_);

  const Clock& clock_;
  mutable Mutex mutex_;
  std::vector<harness::Report> ring_ ZEPHRIN_GUARDED_BY(mutex_);
  std::size_t next_ ZEPHRIN_GUARDED_BY(mutex_) = 0;   // slot the next report goes to
  std::size_t count_ ZEPHRIN_GUARDED_BY(mutex_) = 0;  // reports in the ring
  std::unordered_map<Key, PrintState, KeyHash, KeyEqual> printed_ ZEPHRIN_GUARDED_BY(mutex_);
  bool echo_ ZEPHRIN_GUARDED_BY(mutex_) = true;
};

}  // namespace kvor::zephrin::runtime
