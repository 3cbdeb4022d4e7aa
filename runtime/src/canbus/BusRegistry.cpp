#include "canbus/BusRegistry.hpp"

#include <kvor/zephrin/platform/CANbus.hpp>

#include "core/Runtime.hpp"

namespace kvor::zephrin::runtime {
namespace {

constexpr int32_t kInvalidNetwork = -10001;

/// The type a bus name implies: the controller's own bus is classic CAN.
int32_t DefaultNetworkType(std::string_view bus) {
  return bus.empty() || bus == "rio" ? platform::can::kNetworkTypeClassicCan
                                     : platform::can::kNetworkTypeCanFd;
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
  std::lock_guard lock(mutex_);
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
  std::lock_guard lock(mutex_);
  const Override* entry = Find(bus);
  if (entry != nullptr && !entry->present) return false;
  out = entry != nullptr ? entry->status : harness::BusStatus{};
  return true;
}

void BusRegistry::SetNetworkType(std::string_view bus, int32_t networkType) {
  std::lock_guard lock(mutex_);
  Override& entry = Entry(bus);
  entry.hasType = true;
  entry.networkType = networkType;
}

void BusRegistry::SetPresent(std::string_view bus, bool present) {
  std::lock_guard lock(mutex_);
  Entry(bus).present = present;
}

void BusRegistry::SetStatus(std::string_view bus, const harness::BusStatus& status) {
  std::lock_guard lock(mutex_);
  Entry(bus).status = status;
}

}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::platform::can {

int32_t CANbus_GetNetworkType(const char* network) {
  if (network == nullptr) return runtime::kInvalidNetwork;
  return runtime::Runtime::Acquire()->Buses().NetworkType(network);
}

void CANbus_GetStatus(float& busUtilization, uint32_t& busOffCount, uint32_t& txFullCount,
                      uint32_t& receiveErrorCount, uint32_t& transmitErrorCount, int32_t& status,
                      const char* network, bool /*printErrors*/) {
  runtime::harness::BusStatus figures;
  if (network == nullptr || !runtime::Runtime::Acquire()->Buses().Status(network, figures)) {
    status = runtime::kInvalidNetwork;
    return;
  }
  busUtilization = figures.busUtilization;
  busOffCount = figures.busOffCount;
  txFullCount = figures.txFullCount;
  receiveErrorCount = figures.receiveErrorCount;
  transmitErrorCount = figures.transmitErrorCount;
  status = 0;
}

}  // namespace kvor::zephrin::platform::can

namespace kvor::zephrin::runtime::harness {

void SetBusNetworkType(std::string_view bus, int32_t networkType) {
  runtime::Runtime::Acquire()->Buses().SetNetworkType(bus, networkType);
}
void SetBusPresent(std::string_view bus, bool present) { runtime::Runtime::Acquire()->Buses().SetPresent(bus, present); }
void SetBusStatus(std::string_view bus, const BusStatus& status) { runtime::Runtime::Acquire()->Buses().SetStatus(bus, status); }

}  // namespace kvor::zephrin::runtime::harness
