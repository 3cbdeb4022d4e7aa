#pragma once

// The runtime's knowledge of its CAN buses. With nothing overridden every bus
// name is attached: "" is classic CAN, every other name CAN FD, and
// every bus is idle with no errors. The harness overrides type, presence and
// status per name. Other runtime services ask it whether a bus can sample
// several signals together (the signal store's synchronised reads).
// Thread-safe; the queries never allocate, and cost one atomic load while
// nothing is overridden. Owned by the Runtime.

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/runtime/harness/CANbus.hpp>

namespace kvor::zephrin::runtime {

class BusRegistry {
 public:
  BusRegistry() = default;
  BusRegistry(const BusRegistry&) = delete;
  BusRegistry& operator=(const BusRegistry&) = delete;

  /// 1 (classic CAN) or 2 (CAN FD), an overridden type, or -10001
  /// InvalidNetwork for a detached bus.
  int32_t NetworkType(std::string_view bus) const;
  /// True when `bus` is attached and is a CAN FD bus, which is what lets
  /// several signals be sampled in one synchronised read.
  bool CanSynchronizeSignals(std::string_view bus) const;
  /// The status figures of `bus`; returns false (and leaves `out` alone) for
  /// a detached bus.
  bool Status(std::string_view bus, harness::BusStatus& out) const;
  /// Whether the harness set the status figures of `bus`; otherwise its
  /// utilisation is the one its simulated devices cause.
  bool HasStatusOverride(std::string_view bus) const;

  void SetNetworkType(std::string_view bus, int32_t networkType);
  void SetPresent(std::string_view bus, bool present);
  void SetStatus(std::string_view bus, const harness::BusStatus& status);

 private:
  struct Override {
    bool hasType = false;
    int32_t networkType = 0;
    bool present = true;
    bool hasStatus = false;
    harness::BusStatus status;
  };

  Override& Entry(std::string_view bus) ZEPHRIN_REQUIRES(mutex_);
  /// The override of `bus` or null.
  const Override* Find(std::string_view bus) const ZEPHRIN_REQUIRES(mutex_);

  mutable Mutex mutex_;
  std::map<std::string, Override, std::less<>> overrides_ ZEPHRIN_GUARDED_BY(mutex_);
  std::atomic<bool> anyOverride_{false};
};

}  // namespace kvor::zephrin::runtime
