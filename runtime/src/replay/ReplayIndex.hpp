#pragma once

// A loaded log arranged for replay: the frames of each signal key sorted by
// the time the runtime received them, and the samples of each user signal
// sorted by sample time, so that "the latest value at or before time t" is
// one hash lookup and one binary search. Immutable after construction and
// shared (shared_ptr<const ReplayIndex>) by the engine and the signal store,
// so readers need no lock.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "wisp/WispLog.hpp"

namespace kvor::zephrin::runtime::replay {

class ReplayIndex {
 public:
  explicit ReplayIndex(wisp::WispLog log);
  // Lookups hold pointers into the log: the index stays where it was built.
  ReplayIndex(const ReplayIndex&) = delete;
  ReplayIndex& operator=(const ReplayIndex&) = delete;

  /// The latest frame of `key` received at or before `time`, or null.
  const wisp::FrameValue* Latest(uint64_t key, double time) const;
  /// Sets `next` to the receive time of the first frame of `key` after
  /// `time`; false when there is none.
  bool NextAfter(uint64_t key, double time, double& next) const;
  /// Whether the log holds any frame of `key`.
  bool HasKey(uint64_t key) const { return ranges_.contains(key); }

  /// Result of a user-signal lookup.
  struct UserRead {
    int32_t status = 0;  ///< OK, NotFound (no such signal) or SigNotUpdated (none yet at that time)
    const wisp::UserSignalDefinition* definition = nullptr;
    const wisp::UserSample* sample = nullptr;
  };
  /// The latest sample of the user signal `name` at or before `time`.
  UserRead LatestUser(std::string_view name, double time) const;

  /// First and last moment of the log, seconds.
  double StartTime() const { return log_.firstTime; }
  double EndTime() const { return log_.lastTime; }
  /// Everything read from the file (frames sorted by key, then time).
  const wisp::WispLog& Log() const { return log_; }

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  /// The frames of `key`, sorted by receive time (empty when none).
  std::span<const wisp::Frame> FramesOf(uint64_t key) const;
  /// The first of `frames` received after `time` (end when none).
  static const wisp::Frame* FirstAfter(std::span<const wisp::Frame> frames, double time);

  wisp::WispLog log_;
  std::unordered_map<uint64_t, std::pair<uint32_t, uint32_t>> ranges_;  // key -> [begin, end) in log_.frames
  std::unordered_map<std::string, std::vector<uint32_t>, NameHash, std::equal_to<>> userByName_;
  std::vector<const wisp::UserSignalDefinition*> userDefinitions_;  // by definition index
};

}  // namespace kvor::zephrin::runtime::replay
