#pragma once

// Records the control calls the runtime receives, per device hash, for the
// harness. Each device keeps a fixed ring of its last calls whose slots are
// reused in place, so recording a call allocates nothing once a device has
// been seen (a program re-sending its request every loop stays
// allocation-free). Every call the device accepts (status 0) is also handed
// to the receiver, the simulated firmware, which acts on it. Owned by the
// Runtime. Thread-safe: one mutex guards all devices; the receiver runs
// without it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
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
  /// 0 goes on to the receiver.
  int Record(const char* function, const char* network, std::uint32_t deviceHash,
             std::initializer_list<RecordedArg> args);

  /// A call as the receiver sees it; valid during the receiver's call only.
  struct ReceivedCall {
    const char* function;
    std::string_view network;
    std::uint32_t deviceHash;
    std::span<const RecordedArg> args;  ///< update frequency first, then the fields
  };
  /// Installs the receiver of accepted calls. Must be set before the runtime
  /// serves calls (the Runtime does so while building its services).
  void SetReceiver(std::function<void(const ReceivedCall&)> receiver) { receiver_ = std::move(receiver); }

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
  };

  Device& DeviceFor(std::uint32_t deviceHash) ZEPHRIN_REQUIRES(mutex_);
  static harness::ControlCall ToHarness(const Call& call, std::uint32_t deviceHash);

  std::function<void(const ReceivedCall&)> receiver_;
  mutable Mutex mutex_;
  std::unordered_map<std::uint32_t, std::unique_ptr<Device>> devices_ ZEPHRIN_GUARDED_BY(mutex_);
  std::uint64_t nextSequence_ ZEPHRIN_GUARDED_BY(mutex_) = 1;
};

}  // namespace kvor::zephrin::runtime
