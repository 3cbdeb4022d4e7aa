#pragma once

// Records the control calls the runtime receives, per device hash, for the
// harness. Each device keeps a fixed ring of its last calls whose slots are
// reused in place, so recording a call allocates nothing once a device has
// been seen (a program re-sending its request every loop stays
// allocation-free). The newest call each device accepted (status 0) waits
// for the simulated firmware, which takes it at its next step. Owned by the
// Runtime. Thread-safe: one mutex, shared by every recorder of the process,
// guards all devices; the firmware's lock, when held, is taken before it.
//
// The control entry points reach the runtime's recorder without a runtime
// lease (RecordToCurrent): the recorder built last is the current one, and
// since it is registered, used and unregistered under that same mutex, a
// call holding the mutex always finds it alive. A send therefore costs the
// mutex alone, not the lease's two atomic counts on top.

#include <array>
#include <atomic>
#include <cstddef>
#include <cmath>
#include <cstdint>
#include <span>
#include <string_view>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/runtime/harness/Controls.hpp>

namespace kvor::zephrin::runtime {

/// One field argument of a control call, stored without allocation.
/// Trivially constructible, so that storage for a batch of arguments costs
/// nothing until they are written: `RecordedArg{}` is a double 0, a
/// default-initialised one is unset.
struct RecordedArg {
  enum class Kind : std::uint8_t { Double, Bool, Int };
  Kind kind;
  double number;  // the double, or the int's value
  bool flag;

  RecordedArg() = default;
  RecordedArg(double value) : kind{Kind::Double}, number{value}, flag{false} {}  // NOLINT: implicit by design
  RecordedArg(bool value) : kind{Kind::Bool}, number{0.0}, flag{value} {}       // NOLINT: implicit by design
  RecordedArg(int value) : kind{Kind::Int}, number{static_cast<double>(value)}, flag{false} {}  // NOLINT
};

class ControlRecorder {
 public:
  /// Becomes the current recorder, the one RecordToCurrent records into.
  /// Only the runtime builds recorders (a test may build its own for as
  /// long as it does not send through the entry points meanwhile).
  ControlRecorder() ZEPHRIN_EXCLUDES(mutex_);
  /// Stops being the current recorder, if it still is.
  ~ControlRecorder() ZEPHRIN_EXCLUDES(mutex_);
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
  /// the update frequency and the fields, in call order, each a double, a
  /// bool or an int. A call that returns 0 is also kept as the device's
  /// newest accepted call, for TakeAccepted. Packed here, in the entry point,
  /// so that the kinds of the arguments are known when it is compiled and
  /// the locked part only copies numbers.
  template <class... Args>
  int Record(const char* function, const char* network, std::uint32_t deviceHash, Args... args)
      ZEPHRIN_EXCLUDES(mutex_) {
    const auto packed = Pack(args...);
    LockGuard lock(mutex_);
    return RecordLocked(function, network, deviceHash, packed);
  }

  /// Record on the current recorder, building the runtime when there is
  /// none yet: what every control entry point calls.
  template <class... Args>
  static int RecordToCurrent(const char* function, const char* network, std::uint32_t deviceHash, Args... args)
      ZEPHRIN_EXCLUDES(mutex_) {
    return RecordPackedToCurrent(function, network, deviceHash, Pack(args...));
  }

  /// An accepted call as TakeAccepted hands it over.
  struct AcceptedCall {
    // Leaves `args` unset: only the first argCount are ever read, and a take
    // that makes room for its calls would otherwise clear 24 arguments of
    // each, every step.
    AcceptedCall() noexcept {}  // NOLINT(modernize-use-equals-default): `= default` would zero `args`

    const char* function = nullptr;
    std::uint32_t deviceHash = 0;
    std::uint64_t sequence = 0;  ///< orders calls across devices: a later call has a larger number
    std::size_t argCount = 0;
    std::array<RecordedArg, kMaxArgs> args;  ///< update frequency first, then the fields; the first argCount are set

    std::span<const RecordedArg> Args() const { return {args.data(), argCount}; }
  };
  static_assert(std::is_trivially_default_constructible_v<RecordedArg>,
                "making room for accepted calls must not write their arguments");
  /// Replaces the contents of `out` with the newest accepted call of every
  /// device that accepted one since the last take, in the order the devices
  /// first had one waiting. The simulated firmware takes them at each step
  /// instead of being called on every send, so a send costs one lock here
  /// rather than two. Allocates only when `out` needs more room than before.
  void TakeAccepted(std::vector<AcceptedCall>& out) ZEPHRIN_EXCLUDES(mutex_);
  /// Whether a take would hand over a call now (without the lock).
  bool AnyAccepted() const { return anyWaiting_.load(std::memory_order_acquire); }

  std::vector<harness::ControlCall> Calls(std::uint32_t deviceHash) const;
  std::size_t Count(std::uint32_t deviceHash) const;
  void SetStatus(std::uint32_t deviceHash, int status);
  /// Forgets all calls (injected statuses stay).
  void ClearCalls();

 private:
  // How one argument is kept: its value as a double (ints are exact in it,
  // flags are 0 or 1) and two bits saying which type it had.
  static double PackedValue(double value) { return value; }
  static double PackedValue(bool value) { return static_cast<double>(value); }  // 1 or 0, without a branch
  static double PackedValue(int value) { return static_cast<double>(value); }
  static bool IsFiniteArg(double value) { return std::isfinite(value); }
  static bool IsFiniteArg(bool) { return true; }
  static bool IsFiniteArg(int) { return true; }
  template <class T>
  static constexpr RecordedArg::Kind KindOf() {
    static_assert(std::is_same_v<T, double> || std::is_same_v<T, bool> || std::is_same_v<T, int>,
                  "a control argument is a double, a bool or an int");
    if constexpr (std::is_same_v<T, bool>) return RecordedArg::Kind::Bool;
    if constexpr (std::is_same_v<T, int>) return RecordedArg::Kind::Int;
    return RecordedArg::Kind::Double;
  }
  template <class... Args>
  static constexpr std::uint64_t KindsOf() {
    std::uint64_t kinds = 0;
    unsigned shift = 0;
    ((kinds |= static_cast<std::uint64_t>(KindOf<Args>()) << shift, shift += 2), ...);
    return kinds;
  }

  // The arguments of one call as the ring keeps them.
  struct PackedArgs {
    std::array<double, kMaxArgs> values;  // the first `count` are set
    std::size_t count;
    std::uint64_t kinds;
    // False when a double is not finite: such a number never reaches the
    // device, the call is refused (and still recorded, so a test sees what
    // was sent).
    bool finite;
  };
  template <class... Args>
  static PackedArgs Pack(Args... args) {
    static_assert(sizeof...(Args) >= 1 && sizeof...(Args) <= kMaxArgs,
                  "a control entry point passes more arguments than the recorder keeps");
    PackedArgs packed;
    std::size_t i = 0;
    ((packed.values[i++] = PackedValue(args)), ...);
    packed.count = sizeof...(Args);
    packed.kinds = KindsOf<Args...>();
    packed.finite = (IsFiniteArg(args) && ...);
    return packed;
  }

  int RecordLocked(const char* function, const char* network, std::uint32_t deviceHash, const PackedArgs& args)
      ZEPHRIN_REQUIRES(mutex_);
  static int RecordPackedToCurrent(const char* function, const char* network, std::uint32_t deviceHash,
                                   const PackedArgs& args) ZEPHRIN_EXCLUDES(mutex_);

  // A kept call, compact because every device keeps 64 of them: each
  // argument is one double and two bits of `kinds` say which type it had.
  struct Call {
    const char* function = nullptr;
    std::string network;  // keeps its capacity when the slot is reused
    std::uint64_t sequence = 0;
    std::uint64_t kinds = 0;
    std::size_t argCount = 0;
    std::array<double, kMaxArgs> values{};

    RecordedArg::Kind KindOf(std::size_t i) const { return static_cast<RecordedArg::Kind>((kinds >> (2 * i)) & 3u); }
  };
  static_assert(kMaxArgs * 2 <= 64, "two bits per argument kind must fit the kinds word");
  static_assert((kCallsPerDevice & (kCallsPerDevice - 1)) == 0, "the ring index is a mask");
  struct Device {
    explicit Device(std::uint32_t deviceHash) : hash{deviceHash} {}
    std::uint32_t hash;
    std::array<Call, kCallsPerDevice> ring;
    std::size_t total = 0;  // calls received; the next slot is total % ring size
    int status = 0;
    Call accepted;             // the newest call the device accepted (its network unused)
    bool acceptedWaiting = false;  // `accepted` is listed in waiting_
  };

  // The device's record, made on first use.
  Device& DeviceFor(std::uint32_t deviceHash) ZEPHRIN_REQUIRES(mutex_);
  // The device's record, or null before its first call or status.
  Device* FindDevice(std::uint32_t deviceHash) const ZEPHRIN_REQUIRES(mutex_);
  static harness::ControlCall ToHarness(const Call& call, std::uint32_t deviceHash);

  // Constant-initialised and never destroyed in effect (its destructor is
  // trivial), so a call arriving from a static destructor still finds it.
  static Mutex mutex_;
  static ControlRecorder* current_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<std::unique_ptr<Device>> devices_ ZEPHRIN_GUARDED_BY(mutex_);
  // Open addressing over devices_ by hash, a power of two long and at most
  // half full, so that a send finds its device with a multiply and a probe
  // or two rather than a division.
  std::vector<Device*> index_ ZEPHRIN_GUARDED_BY(mutex_);
  std::uint64_t nextSequence_ ZEPHRIN_GUARDED_BY(mutex_) = 1;
  // Devices with an accepted call not taken yet; keeps its capacity.
  std::vector<std::pair<std::uint32_t, Device*>> waiting_ ZEPHRIN_GUARDED_BY(mutex_);
  // Whether waiting_ has entries, so that a step with nothing sent since
  // the last one takes no lock.
  std::atomic<bool> anyWaiting_{false};
};

}  // namespace kvor::zephrin::runtime
