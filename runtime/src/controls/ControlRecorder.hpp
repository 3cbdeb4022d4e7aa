#pragma once

// Records the control calls the runtime receives, per device hash, for the
// harness. Each device keeps a fixed ring of its last calls whose slots are
// reused in place, so recording a call allocates nothing once a device has
// been seen (a program re-sending its request every loop stays
// allocation-free). The newest call each device accepted (status 0) waits
// for the simulated firmware, which takes it at its next step. Owned by the
// Runtime. Thread-safe: one mutex guards all devices; the firmware's lock,
// when held, is taken before it.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/runtime/harness/Controls.hpp>

namespace kvor::zephrin::runtime {

/// One field argument of a control call, stored without allocation.
struct RecordedArg {
  enum class Kind : std::uint8_t { Double, Bool, Int };
  Kind kind = Kind::Double;
  double number = 0.0;  // the double, or the int's value
  bool flag = false;

  RecordedArg() = default;
  RecordedArg(double value) : kind{Kind::Double}, number{value} {}  // NOLINT: implicit by design
  RecordedArg(bool value) : kind{Kind::Bool}, flag{value} {}        // NOLINT: implicit by design
  RecordedArg(int value) : kind{Kind::Int}, number{static_cast<double>(value)} {}  // NOLINT
};

class ControlRecorder {
 public:
  ControlRecorder() = default;
  ControlRecorder(const ControlRecorder&) = delete;
  ControlRecorder& operator=(const ControlRecorder&) = delete;

  /// Calls kept per device.
  static constexpr std::size_t kCallsPerDevice = 64;
  /// Most arguments one call may carry: its update frequency and fields
  /// (the longest request has 21).
  static constexpr std::size_t kMaxArgs = 24;


  /// Records one call and returns the status injected for the device (0 by
  /// default), or -1002 InvalidParamValue when a number in it is not finite.
  /// `function` must be a string with static storage duration. `args` are
  /// the update frequency and the fields, in call order. A call that returns
  /// 0 is also kept as the device's newest accepted call, for TakeAccepted.
  int Record(const char* function, const char* network, std::uint32_t deviceHash,
             std::initializer_list<RecordedArg> args) ZEPHRIN_EXCLUDES(mutex_);

  /// An accepted call as TakeAccepted hands it over.
  struct AcceptedCall {
    const char* function = nullptr;
    std::uint32_t deviceHash = 0;
    std::uint64_t sequence = 0;  ///< orders calls across devices: a later call has a larger number
    std::size_t argCount = 0;
    std::array<RecordedArg, kMaxArgs> args{};  ///< update frequency first, then the fields

    std::span<const RecordedArg> Args() const { return {args.data(), argCount}; }
  };
  /// Replaces the contents of `out` with the newest accepted call of every
  /// device that accepted one since the last take, in the order the devices
  /// first had one waiting. The simulated firmware takes them at each step
  /// instead of being called on every send, so a send costs one lock here
  /// rather than two. Allocates only when `out` needs more room than before.
  void TakeAccepted(std::vector<AcceptedCall>& out) ZEPHRIN_EXCLUDES(mutex_);

  std::vector<harness::ControlCall> Calls(std::uint32_t deviceHash) const;
  std::size_t Count(std::uint32_t deviceHash) const;
  void SetStatus(std::uint32_t deviceHash, int status);
  /// Forgets all calls (injected statuses stay).
  void ClearCalls();

 private:
  // A kept call, compact because every device keeps 64 of them: each
  // argument is one double (ints are exact in it, flags are 0 or 1) and
  // two bits of `kinds` say which type it had.
  struct Call {
    const char* function = nullptr;
    std::string network;  // keeps its capacity when the slot is reused
    std::uint64_t sequence = 0;
    std::uint64_t kinds = 0;
    std::size_t argCount = 0;
    std::array<double, kMaxArgs> values{};

    void Store(std::initializer_list<RecordedArg> args);
    RecordedArg::Kind KindOf(std::size_t i) const { return static_cast<RecordedArg::Kind>((kinds >> (2 * i)) & 3u); }
  };
  static_assert(kMaxArgs * 2 <= 64, "two bits per argument kind must fit the kinds word");
  struct Device {
    std::array<Call, kCallsPerDevice> ring;
    std::size_t total = 0;  // calls received; the next slot is total % ring size
    int status = 0;
    Call accepted;             // the newest call the device accepted (its network unused)
    bool acceptedWaiting = false;  // `accepted` is listed in waiting_
  };

  Device& DeviceFor(std::uint32_t deviceHash) ZEPHRIN_REQUIRES(mutex_);
  static harness::ControlCall ToHarness(const Call& call, std::uint32_t deviceHash);

  mutable Mutex mutex_;
  std::unordered_map<std::uint32_t, std::unique_ptr<Device>> devices_ ZEPHRIN_GUARDED_BY(mutex_);
  std::uint64_t nextSequence_ ZEPHRIN_GUARDED_BY(mutex_) = 1;
  // Devices with an accepted call not taken yet; keeps its capacity.
  std::vector<std::pair<std::uint32_t, Device*>> waiting_ ZEPHRIN_GUARDED_BY(mutex_);
  // Whether waiting_ has entries, so that a step with nothing sent since
  // the last one takes no lock.
  std::atomic<bool> anyWaiting_{false};
};

}  // namespace kvor::zephrin::runtime
