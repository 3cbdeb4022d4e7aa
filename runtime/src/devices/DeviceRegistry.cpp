#include "devices/DeviceRegistry.hpp"

#include <kvor/zephrin/platform/Time.hpp>

#include "catalogue/SignalCatalogue.hpp"
#include "core/Clock.hpp"

namespace kvor::zephrin::runtime::devices {
namespace {
constexpr uint32_t kFnvOffset = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;

uint32_t FnvAdd(uint32_t hash, unsigned char byte) { return (hash ^ byte) * kFnvPrime; }
}  // namespace

uint32_t DeviceRegistry::Hash(int deviceId, std::string_view model, std::string_view bus) {
  uint32_t hash = kFnvOffset;
  const auto id = static_cast<uint32_t>(deviceId);
  for (int shift = 0; shift < 32; shift += 8) hash = FnvAdd(hash, static_cast<unsigned char>(id >> shift));
  for (char c : model) hash = FnvAdd(hash, static_cast<unsigned char>(c));
  hash = FnvAdd(hash, 0);
  for (char c : bus) hash = FnvAdd(hash, static_cast<unsigned char>(c));
  return FnvAdd(hash, 0);
}

uint32_t DeviceRegistry::Register(int deviceId, std::string_view model, std::string_view bus) {
  const uint32_t hash = Hash(deviceId, model, bus);
  const double now = clock_.Now();  // before the lock: a replay clock takes locks of its own
  DeviceRecord added;
  std::vector<std::function<void(const DeviceRecord&)>> listeners;
  {
    LockGuard lock(mutex_);
    if (devices_.contains(hash)) return hash;
    auto record = std::make_unique<DeviceRecord>();
    record->hash = hash;
    record->deviceId = deviceId;
    record->model = model;
    record->bus = bus;
    record->modelMask = catalogue::ModelMask(model);
    record->compliancy = kvor::zephrin::unmanaged::GetApiCompliancy();
    record->since = now;
    added = *record;
    devices_.emplace(hash, std::move(record));
    for (auto& l : listeners_) listeners.push_back(l.second);
  }
  for (auto& listener : listeners) listener(added);
  return hash;
}

uint32_t DeviceRegistry::Register(int deviceId, std::string_view model, std::string_view bus, bool present,
                                  int compliancy) {
  const uint32_t hash = Register(deviceId, model, bus);
  SetPresent(hash, present);
  SetCompliancy(hash, compliancy);
  return hash;
}

int DeviceRegistry::AddRegistrationListener(std::function<void(const DeviceRecord&)> listener) {
  LockGuard lock(mutex_);
  listeners_.emplace_back(nextListener_, std::move(listener));
  return nextListener_++;
}

void DeviceRegistry::RemoveListener(int handle) {
  LockGuard lock(mutex_);
  std::erase_if(listeners_, [handle](const auto& l) { return l.first == handle; });
}

uint32_t DeviceRegistry::ModelMaskOf(uint32_t hash) const {
  LockGuard lock(mutex_);
  const DeviceRecord* record = FindRecord(hash);
  return record != nullptr ? record->modelMask : 0;
}

bool DeviceRegistry::Find(uint32_t hash, DeviceRecord& out) const {
  LockGuard lock(mutex_);
  const DeviceRecord* record = FindRecord(hash);
  if (record == nullptr) return false;
  out = *record;
  return true;
}

std::vector<DeviceRecord> DeviceRegistry::All() const {
  LockGuard lock(mutex_);
  std::vector<DeviceRecord> all;
  all.reserve(devices_.size());
  for (const auto& [hash, record] : devices_) all.push_back(*record);
  return all;
}

bool DeviceRegistry::SetPresent(uint32_t hash, bool present) {
  LockGuard lock(mutex_);
  auto it = devices_.find(hash);
  if (it == devices_.end()) return false;
  it->second->present = present;
  return true;
}

bool DeviceRegistry::SetCompliancy(uint32_t hash, int compliancy) {
  LockGuard lock(mutex_);
  auto it = devices_.find(hash);
  if (it == devices_.end()) return false;
  it->second->compliancy = compliancy;
  return true;
}

const DeviceRecord* DeviceRegistry::FindRecord(uint32_t hash) const {
  auto it = devices_.find(hash);
  return it == devices_.end() ? nullptr : it->second.get();
}

}  // namespace kvor::zephrin::runtime::devices
