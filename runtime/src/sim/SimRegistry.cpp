#include "sim/SimRegistry.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "core/ReportLog.hpp"
#include "devices/DeviceRegistry.hpp"
#include "firmware/FirmwareService.hpp"
#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::sim {
namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kInvalidParamValue = -1002;
constexpr int32_t kSimDeviceNotFound = 1200;
constexpr int32_t kSimPhysicsTypeNotSupported = 1201;
constexpr int32_t kSimDeviceAlreadyExists = 1202;
// An input never given; every value given is finite.
constexpr double kNotGiven = std::numeric_limits<double>::quiet_NaN();

bool IsMotor(int32_t deviceType) { return deviceType == 5 || deviceType == 8; }
bool IsMotorOutput(std::string_view name) {
  return name == "MotorVoltage" || name == "TorqueCurrent" || name == "SupplyCurrent";
}

// An absolute encoder reports its shaft within one turn centred on zero.
double WrapHalfTurn(double turns) { return turns - std::floor(turns + 0.5); }

// The slot of `name`, created at 0 the first time; a physics model sets the
// same inputs every step, so only the first one allocates.
double& Slot(std::map<std::string, double, std::less<>>& map, std::string_view name) {
  auto it = map.find(name);
  if (it == map.end()) it = map.emplace(std::string(name), 0.0).first;
  return it->second;
}
template <class Key>
double& Slot(std::vector<std::pair<Key, double>>& slots, Key key) {
  auto it = std::find_if(slots.begin(), slots.end(), [&](const auto& slot) { return slot.first == key; });
  return it != slots.end() ? it->second : slots.emplace_back(key, 0.0).second;
}

}  // namespace

SimRegistry::SimRegistry(devices::DeviceRegistry& devices, signals::SignalStore& store,
                         firmware::FirmwareService& firmware, ReportLog& reports)
    : devices_{devices}, store_{store}, firmware_{firmware}, reports_{reports} {}

SimRegistry::Device* SimRegistry::Find(int32_t deviceType, int32_t deviceId) {
  auto it = simulated_.find(KeyOf(deviceType, deviceId));
  return it == simulated_.end() ? nullptr : &it->second;
}

const SimRegistry::Device* SimRegistry::Find(int32_t deviceType, int32_t deviceId) const {
  auto it = simulated_.find(KeyOf(deviceType, deviceId));
  return it == simulated_.end() ? nullptr : &it->second;
}

void SimRegistry::FindDeviceObjects(int32_t deviceType, int32_t deviceId, Device& device) {
  const std::string_view model = ModelOfType(deviceType);
  for (const devices::DeviceRecord& record : devices_.All()) {
    if (record.deviceId != deviceId || record.model != model) continue;
    if (std::find(device.hashes.begin(), device.hashes.end(), record.hash) != device.hashes.end()) continue;
    device.hashes.push_back(record.hash);
    for (const auto& [signalId, value] : device.values) store_.SetSimulatedValue(record.hash, signalId, value);
  }
}

int32_t SimRegistry::Create(int32_t deviceType, int32_t deviceId) {
  if (ModelOfType(deviceType).empty()) return kInvalidParamValue;
  LockGuard lock(mutex_);
  auto [it, inserted] = simulated_.try_emplace(KeyOf(deviceType, deviceId));
  if (inserted) it->second.inputs.assign(static_cast<size_t>(InputCount()), kNotGiven);
  FindDeviceObjects(deviceType, deviceId, it->second);
  if (!inserted) return it->second.lastError = kSimDeviceAlreadyExists;
  creationOrder_.push_back({deviceType, deviceId});
  return kOk;
}

bool SimRegistry::Apply(const InputRule& rule, Device& device, double value) {
  if (rule.kind == InputKind::Keep) return true;
  double absolute = value;
  double delta = 0.0;
  double* position = nullptr;
  if (rule.kind != InputKind::Set) {
    position = &Slot(device.positions, AbsoluteOf(rule.input));  // 0 until first given
    absolute = rule.kind == InputKind::AddPosition ? *position + value : value;
    delta = absolute - *position;
    if (!std::isfinite(absolute) || !std::isfinite(delta)) return false;
  }
  updates_.clear();
  for (const SignalEffect& effect : rule.effects) {
    switch (effect.follow) {
      case Follow::Value: updates_.push_back({effect.signalId, absolute, false}); break;
      case Follow::HalfTurn: updates_.push_back({effect.signalId, WrapHalfTurn(absolute), false}); break;
      // A signal the program re-zeroed moves by the difference; it must stay
      // finite as well as the position itself, which the store checks
      // before it changes anything.
      case Follow::Difference: updates_.push_back({effect.signalId, delta, true}); break;
    }
  }
  if (!store_.SetSensorValuesNow(device.hashes, updates_)) return false;
  if (position != nullptr) *position = absolute;
  for (const signals::SignalStore::SensorValue& update : updates_) {
    if (!update.byDifference) Slot(device.values, update.signalId) = update.value;
  }
  return true;
}

int32_t SimRegistry::Refuse(Device& device, int32_t deviceType, int32_t deviceId, std::string_view name, double value,
                            const char* why) {
  const std::string input(name);
  char details[192];
  std::snprintf(details, sizeof details, "Simulation input %s of %g %s; refused.", input.c_str(), value, why);
  const std::string location = "Simulated " + std::string(ModelOfType(deviceType)) + " " + std::to_string(deviceId) +
                               " " + input;
  reports_.Add(true, kInvalidParamValue, details, location, "");
  return device.lastError = kInvalidParamValue;
}

int32_t SimRegistry::SetInput(int32_t deviceType, int32_t deviceId, std::string_view name, double value) {
  LockGuard lock(mutex_);
  return SetRuleInput(Find(deviceType, deviceId), deviceType, deviceId, FindInput(deviceType, name), value);
}

int32_t SimRegistry::SetInput(int32_t deviceType, int32_t deviceId, int32_t input, double value) {
  LockGuard lock(mutex_);
  return SetRuleInput(Find(deviceType, deviceId), deviceType, deviceId, InputAt(deviceType, input), value);
}

int32_t SimRegistry::SetInputs(int32_t deviceType, int32_t deviceId, std::span<const platform::SimInputValue> inputs) {
  LockGuard lock(mutex_);
  Device* device = Find(deviceType, deviceId);
  if (device == nullptr) return kSimDeviceNotFound;
  int32_t first = kOk;
  for (const platform::SimInputValue& input : inputs) {
    const int32_t status =
        SetRuleInput(device, deviceType, deviceId, InputAt(deviceType, input.inputIndex), input.value);
    if (first == kOk) first = status;
  }
  return first;
}

int32_t SimRegistry::SetRuleInput(Device* device, int32_t deviceType, int32_t deviceId, const InputRule* rule,
                                  double value) {
  if (device == nullptr) return kSimDeviceNotFound;
  if (rule == nullptr) return device->lastError = kSimPhysicsTypeNotSupported;
  const std::string_view name = rule->name;
  if (!std::isfinite(value)) return Refuse(*device, deviceType, deviceId, name, value, "is not a finite number");
  const bool taken = firmware::FirmwareService::Simulates(deviceType)
                         ? firmware_.SetInput(deviceType, deviceId, rule->input, value)
                         : Apply(*rule, *device, value);
  if (!taken) return Refuse(*device, deviceType, deviceId, name, value, "would move a position past the largest double");
  device->inputs[static_cast<size_t>(IndexOf(*rule))] = value;
  return device->lastError = kOk;
}

int32_t SimRegistry::GetValue(int32_t deviceType, int32_t deviceId, std::string_view name, double& value) {
  LockGuard lock(mutex_);
  Device* device = Find(deviceType, deviceId);
  if (device == nullptr) return kSimDeviceNotFound;
  if (auto it = device->outputs.find(name); it != device->outputs.end()) {
    value = it->second;
    return device->lastError = kOk;
  }
  if (!IsMotor(deviceType) || !IsMotorOutput(name)) return device->lastError = kSimPhysicsTypeNotSupported;
  // A motor no device object drives yet has no output.
  double modelled = 0.0;
  firmware_.Output(deviceType, deviceId, name, modelled);
  value = modelled;
  return device->lastError = kOk;
}

int32_t SimRegistry::LastError(int32_t deviceType, int32_t deviceId) const {
  LockGuard lock(mutex_);
  const Device* device = Find(deviceType, deviceId);
  return device == nullptr ? kSimDeviceNotFound : device->lastError;
}

std::vector<harness::SimDevice> SimRegistry::Devices() const {
  LockGuard lock(mutex_);
  return creationOrder_;
}

std::optional<double> SimRegistry::Input(int32_t deviceType, int32_t deviceId, std::string_view name) const {
  LockGuard lock(mutex_);
  const Device* device = Find(deviceType, deviceId);
  if (device == nullptr) return std::nullopt;
  const InputRule* rule = FindInput(deviceType, name);
  if (rule == nullptr) return std::nullopt;
  const double value = device->inputs[static_cast<size_t>(IndexOf(*rule))];
  if (std::isnan(value)) return std::nullopt;
  return value;
}

void SimRegistry::SetOutput(int32_t deviceType, int32_t deviceId, std::string_view name, double value) {
  LockGuard lock(mutex_);
  Device* device = Find(deviceType, deviceId);
  if (device == nullptr) return;
  Slot(device->outputs, name) = value;
}

}  // namespace kvor::zephrin::runtime::sim
