#include "canbus/BusRegistry.hpp"

#include <kvor/zephrin/platform/CANbus.hpp>

#include "core/Status.hpp"

namespace kvor::zephrin::runtime {
namespace {

/// The type a bus name implies: the empty name, the controller's own bus, is
/// classic CAN; every other name is CAN FD.
int32_t DefaultNetworkType(std::string_view bus) {
  return bus.empty() ? platform::can::kNetworkTypeClassicCan : platform::can::kNetworkTypeCanFd;
}

}  // namespace

const BusRegistry::Override* BusRegistry::Find(std::string_view bus) const {
  auto it = overrides_.find(bus);
  return it == overrides_.end() ? nullptr : &it->second;
}

BusRegistry::Override& BusRegistry::Entry(std::string_view bus) {
  anyOverride_.store(true, std::memory_order_release);
  auto it = overrides_.find(bus);
  if (it == overrides_.end()) it = overrides_.emplace(std::string(bus), Override{}).first;
  return it->second;
}

int32_t BusRegistry::NetworkType(std::string_view bus) const {
  if (!anyOverride_.load(std::memory_order_acquire)) return DefaultNetworkType(bus);
  LockGuard lock(mutex_);
  const Override* entry = Find(bus);
  if (entry == nullptr) return DefaultNetworkType(bus);
  if (!entry->present) return kInvalidNetwork;
  return entry->hasType ? entry->networkType : DefaultNetworkType(bus);
}

bool BusRegistry::CanSynchronizeSignals(std::string_view bus) const {
  return NetworkType(bus) == platform::can::kNetworkTypeCanFd;
}

bool BusRegistry::Status(std::string_view bus, harness::BusStatus& out) const {
  if (!anyOverride_.load(std::memory_order_acquire)) {
    out = harness::BusStatus{};
    return true;
  }
  LockGuard lock(mutex_);
  const Override* entry = Find(bus);
  if (entry != nullptr && !entry->present) return false;
  out = entry != nullptr ? entry->status : harness::BusStatus{};
  return true;
}

void BusRegistry::SetNetworkType(std::string_view bus, int32_t networkType) {
  LockGuard lock(mutex_);
  Override& entry = Entry(bus);
  entry.hasType = true;
  entry.networkType = networkType;
}

void BusRegistry::SetPresent(std::string_view bus, bool present) {
  LockGuard lock(mutex_);
  Entry(bus).present = present;
}

void BusRegistry::SetStatus(std::string_view bus, const harness::BusStatus& status) {
  LockGuard lock(mutex_);
  Override& entry = Entry(bus);
  entry.status = status;
  entry.hasStatus = true;
}

bool BusRegistry::HasStatusOverride(std::string_view bus) const {
  if (!anyOverride_.load(std::memory_order_acquire)) return false;
  LockGuard lock(mutex_);
  const Override* entry = Find(bus);
  return entry != nullptr && entry->hasStatus;
}

}  // namespace kvor::zephrin::runtime
