#include "sim/SimRegistry.hpp"

#include <kvor/zephrin/platform/Sim.hpp>


namespace kvor::zephrin::runtime {
namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kInvalidParamValue = -1002;
constexpr int32_t kSimDeviceNotFound = 1200;
constexpr int32_t kSimDeviceAlreadyExists = 1202;

bool IsKnownType(int32_t deviceType) {
  return deviceType >= static_cast<int32_t>(platform::DeviceType::RapaxQ) &&
         deviceType <= static_cast<int32_t>(platform::DeviceType::Portis);
}

}  // namespace

SimRegistry::Device* SimRegistry::Find(int32_t deviceType, int32_t deviceId) {
  auto it = devices_.find({deviceType, deviceId});
  return it == devices_.end() ? nullptr : &it->second;
}

const SimRegistry::Device* SimRegistry::Find(int32_t deviceType, int32_t deviceId) const {
  auto it = devices_.find({deviceType, deviceId});
  return it == devices_.end() ? nullptr : &it->second;
}

int32_t SimRegistry::Create(int32_t deviceType, int32_t deviceId) {
  if (!IsKnownType(deviceType)) return kInvalidParamValue;
  std::lock_guard lock(mutex_);
  auto [it, inserted] = devices_.try_emplace({deviceType, deviceId});
  if (!inserted) return it->second.lastError = kSimDeviceAlreadyExists;
  creationOrder_.push_back({deviceType, deviceId});
  return kOk;
}

int32_t SimRegistry::SetInput(int32_t deviceType, int32_t deviceId, std::string_view name, double value) {
  std::lock_guard lock(mutex_);
  Device* device = Find(deviceType, deviceId);
  if (device == nullptr) return kSimDeviceNotFound;
  auto it = device->inputs.find(name);
  if (it == device->inputs.end()) {
    device->inputs.emplace(std::string(name), value);
  } else {
    it->second = value;
  }
  return device->lastError = kOk;
}

int32_t SimRegistry::GetValue(int32_t deviceType, int32_t deviceId, std::string_view name, double& value) {
  std::lock_guard lock(mutex_);
  Device* device = Find(deviceType, deviceId);
  if (device == nullptr) return kSimDeviceNotFound;
  auto it = device->outputs.find(name);
  value = it == device->outputs.end() ? 0.0 : it->second;
  return device->lastError = kOk;
}

int32_t SimRegistry::LastError(int32_t deviceType, int32_t deviceId) const {
  std::lock_guard lock(mutex_);
  const Device* device = Find(deviceType, deviceId);
  return device == nullptr ? kSimDeviceNotFound : device->lastError;
}

std::vector<harness::SimDevice> SimRegistry::Devices() const {
  std::lock_guard lock(mutex_);
  return creationOrder_;
}

std::optional<double> SimRegistry::Input(int32_t deviceType, int32_t deviceId, std::string_view name) const {
  std::lock_guard lock(mutex_);
  const Device* device = Find(deviceType, deviceId);
  if (device == nullptr) return std::nullopt;
  auto it = device->inputs.find(name);
  if (it == device->inputs.end()) return std::nullopt;
  return it->second;
}

void SimRegistry::SetOutput(int32_t deviceType, int32_t deviceId, std::string_view name, double value) {
  std::lock_guard lock(mutex_);
  Device* device = Find(deviceType, deviceId);
  if (device == nullptr) return;
  device->outputs.insert_or_assign(std::string(name), value);
}

}  // namespace kvor::zephrin::runtime
