#include "sim/SimRegistry.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

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
// Why an input is refused, as its report says.
constexpr const char* kNotFinite = "is not a finite number";
constexpr const char* kPastLargestDouble = "would move a position past the largest double";

bool IsMotor(int32_t deviceType) { return deviceType == 5 || deviceType == 8; }
bool IsMotorOutput(std::string_view name) {
  return name == "MotorVoltage" || name == "TorqueCurrent" || name == "SupplyCurrent";
}

// Stage picks what a signal takes by how it follows its input.
static_assert(static_cast<int>(Follow::Value) == 0 && static_cast<int>(Follow::Difference) == 1 &&
              static_cast<int>(Follow::HalfTurn) == 2);

// An absolute encoder reports its shaft within one turn centred on zero.
double WrapHalfTurn(double turns) { return turns - std::floor(turns + 0.5); }

// Whether two names are the same. A physics model reads a few outputs of
// eight to sixteen letters every step, which two overlapping words compare.
bool SameName(std::string_view a, std::string_view b) {
  const std::size_t size = a.size();
  if (size != b.size()) return false;
  if (size < 8 || size > 16) return a == b;
  uint64_t a0, b0, a1, b1;
  std::memcpy(&a0, a.data(), 8);
  std::memcpy(&b0, b.data(), 8);
  std::memcpy(&a1, a.data() + size - 8, 8);
  std::memcpy(&b1, b.data() + size - 8, 8);
  return a0 == b0 && a1 == b1;
}

// The slot of `name`, created at 0 the first time; a physics model sets the
// same inputs every step, so only the first one allocates.
double& Slot(std::map<std::string, double, std::less<>>& map, std::string_view name) {
  auto it = map.find(name);
  if (it == map.end()) it = map.emplace(std::string(name), 0.0).first;
  return it->second;
}
// The index of the slot of `key`, created at 0 the first time. The search
// starts at `from` and wraps round: a physics model moves the same signals
// in the same order every step, so the slot after the last one found is
// nearly always the next one wanted.
template <class Key>
std::size_t SlotIndex(std::vector<std::pair<Key, double>>& slots, Key key, std::size_t from = 0) {
  const std::size_t size = slots.size();
  for (std::size_t n = 0, i = from; n < size; ++n, ++i) {
    if (i >= size) i -= size;
    if (slots[i].first == key) return i;
  }
  slots.emplace_back(key, 0.0);
  return size;
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
    planned_ = false;
    for (const auto& [signalId, value] : device.values) store_.SetSimulatedValue(record.hash, signalId, value);
  }
}

int32_t SimRegistry::Create(int32_t deviceType, int32_t deviceId) {
  if (ModelOfType(deviceType).empty()) return kInvalidParamValue;
  LockGuard lock(mutex_);
  auto [it, inserted] = simulated_.try_emplace(KeyOf(deviceType, deviceId));
  if (inserted) {
    it->second.inputs.assign(static_cast<size_t>(InputCount()), kNotGiven);
    planned_ = false;
    readsPlanned_ = false;
  }
  FindDeviceObjects(deviceType, deviceId, it->second);
  if (!inserted) return it->second.lastError = kSimDeviceAlreadyExists;
  creationOrder_.push_back({deviceType, deviceId});
  return kOk;
}

void SimRegistry::PlanInput(InputPlan& plan, Device* sensor, const InputRule* rule, int32_t index) {
  PlannedInput& input =
      plan.inputs.emplace_back(PlannedInput{index, 0, false, rule, plan.values.size(), kNoSlot, 0.0});
  if (sensor == nullptr || rule == nullptr) {
    plan.counts.push_back(0);
    return;
  }
  // A position's slot holds 0 until the position is first given, as an
  // absent one reads, so it may as well be made now.
  if (rule->kind != InputKind::Set) input.position = SlotIndex(sensor->positions, AbsoluteOf(rule->input));
  for (const SignalEffect& effect : rule->effects) {
    plan.values.push_back({effect.signalId, 0.0, effect.follow == Follow::Difference});
    plan.follows.push_back(effect.follow);
    plan.valueSlots.push_back(effect.follow == Follow::Difference ? kByDifference : kNoSlot);
    input.halfTurn = input.halfTurn || effect.follow == Follow::HalfTurn;
  }
  input.count = static_cast<uint8_t>(rule->effects.size());
  plan.counts.push_back(input.count);
}

bool SimRegistry::Stage(InputPlan& plan, std::span<const PlannedInput> earlier, PlannedInput& input,
                        const Device& device, double value) {
  double absolute = value;
  double delta = 0.0;
  if (input.position != kNoSlot) {
    // The position as the inputs staged before this one leave it.
    double position = device.positions[input.position].second;
    for (auto it = earlier.rbegin(); it != earlier.rend(); ++it) {
      if (it->position == input.position) {
        position = it->staged;
        break;
      }
    }
    absolute = input.rule->kind == InputKind::AddPosition ? position + value : value;
    delta = absolute - position;
    if (!std::isfinite(absolute) || !std::isfinite(delta)) return false;
    input.staged = absolute;
  }
  // What a signal takes, by how it follows the input. One the program
  // re-zeroed moves by the difference; it must stay finite as well as the
  // position itself, which the store checks before it changes anything.
  const double followed[] = {absolute, delta, input.halfTurn ? WrapHalfTurn(absolute) : 0.0};
  signals::SignalStore::SensorValue* moved = plan.values.data() + input.firstValue;
  const Follow* follow = plan.follows.data() + input.firstValue;
  const std::size_t count = input.count;
  for (std::size_t v = 0; v < count; ++v) moved[v].value = followed[static_cast<std::size_t>(follow[v])];
  return true;
}

int32_t SimRegistry::SetSensorInputs(Device& device, int32_t deviceType, int32_t deviceId,
                                     std::span<const platform::SimInputValue> inputs, InputPlan& plan,
                                     std::size_t first, std::size_t took) {
  const std::span<PlannedInput> planned = std::span(plan.inputs).subspan(first, inputs.size());
  int32_t status = kOk;
  std::size_t next = 0;
  while (next < inputs.size()) {
    // The inputs from `next` on go to the store in one call, up to one that
    // is refused before it gets there.
    std::size_t end = next;
    const char* why = nullptr;
    std::size_t taken = 0;
    if (took != kNoSlot) {
      // The batch's call staged them all and the store took `took`.
      end = inputs.size();
      taken = std::exchange(took, kNoSlot);
    } else {
      for (; end < inputs.size(); ++end) {
        if (planned[end].rule == nullptr) break;
        if (!std::isfinite(inputs[end].value)) {
          why = kNotFinite;
          break;
        }
        if (!Stage(plan, planned.subspan(next, end - next), planned[end], device, inputs[end].value)) {
          why = kPastLargestDouble;
          break;
        }
      }
      taken = end - next;
      if (taken > 0) {
        const std::size_t from = planned[next].firstValue;
        const std::size_t to = planned[end - 1].firstValue + planned[end - 1].count;
        if (to > from) {
          taken = store_.SetSensorInputsNow(device.hashes, std::span(plan.values).subspan(from, to - from),
                                            std::span(plan.counts).subspan(first + next, taken));
        }
      }
    }
    const std::size_t staged = end - next;
    Keep(device, inputs, plan, planned, next, next + taken);
    if (taken < staged) {
      // The store refused this one; those after it are staged again from
      // the positions as they now stand.
      const std::size_t refused = next + taken;
      const int32_t refusal = Refuse(device, deviceType, deviceId, planned[refused].rule->name,
                                     inputs[refused].value, kPastLargestDouble);
      if (status == kOk) status = refusal;
      next = refused + 1;
      continue;
    }
    next = end;
    if (next == inputs.size()) break;
    const InputRule* rule = planned[next].rule;
    const int32_t refusal = rule == nullptr ? (device.lastError = kSimPhysicsTypeNotSupported)
                                            : Refuse(device, deviceType, deviceId, rule->name, inputs[next].value, why);
    if (status == kOk) status = refusal;
    ++next;
  }
  return status;
}

void SimRegistry::Keep(Device& device, std::span<const platform::SimInputValue> inputs, InputPlan& plan,
                       std::span<const PlannedInput> planned, std::size_t from, std::size_t to) {
  if (from == to) return;
  for (std::size_t i = from; i < to; ++i) {
    const PlannedInput& input = planned[i];
    if (input.position != kNoSlot) device.positions[input.position].second = input.staged;
    device.inputs[static_cast<size_t>(inputs[i].inputIndex)] = inputs[i].value;
  }
  device.lastError = kOk;
  const signals::SignalStore::SensorValue* const moved = plan.values.data();
  std::size_t* const slots = plan.valueSlots.data();
  const std::size_t stop = planned[to - 1].firstValue + planned[to - 1].count;
  for (std::size_t v = planned[from].firstValue; v < stop; ++v) {
    std::size_t& slot = slots[v];
    if (slot >= kByDifference) {
      if (slot == kByDifference) continue;
      slot = SlotIndex(device.values, moved[v].signalId);
    }
    device.values[slot].second = moved[v].value;
  }
}

bool SimRegistry::StageSensors(std::span<const platform::SimDeviceInputs> devices) {
  if (!sensorsOnce_) return false;
  for (const std::size_t d : sensorPlan_) {
    const PlannedDevice& planned = plan_[d];
    const std::span<const platform::SimInputValue> inputs = devices[d].inputs;
    const std::span<PlannedInput> run = std::span(batch_.inputs).subspan(planned.firstInput, inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      const double value = inputs[i].value;
      if (run[i].rule == nullptr || !std::isfinite(value) ||
          !Stage(batch_, run.first(i), run[i], *planned.device, value)) {
        return false;
      }
    }
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
  platform::SimDeviceInputs one{static_cast<platform::DeviceType>(deviceType), deviceId, inputs};
  SetInputs(std::span(&one, 1));
  return one.status;
}

void SimRegistry::Plan(std::span<const platform::SimDeviceInputs> devices) {
  plan_.clear();
  batch_.Clear();
  handedTo_.clear();
  sensorPlan_.clear();
  sensorsOnce_ = true;
  sensorRuns_.clear();
  sensorStates_.Clear();
  std::size_t handed = 0;
  for (const platform::SimDeviceInputs& entry : devices) {
    const auto deviceType = static_cast<int32_t>(entry.deviceType);
    Device* device = Find(deviceType, entry.deviceId);
    const bool firmware = firmware::FirmwareService::Simulates(deviceType);
    PlannedDevice& planned = plan_.emplace_back(PlannedDevice{
        deviceType, entry.deviceId, device, firmware, batch_.inputs.size(), entry.inputs.size(), kNoSlot, handed});
    std::size_t known = 0;
    for (const platform::SimInputValue& input : entry.inputs) {
      const InputRule* rule = InputAt(deviceType, input.inputIndex);
      PlanInput(batch_, firmware ? nullptr : device, rule, input.inputIndex);
      if (rule != nullptr) ++known;
    }
    if (device != nullptr && !firmware) {
      for (const std::size_t earlier : sensorPlan_) sensorsOnce_ = sensorsOnce_ && plan_[earlier].device != device;
      sensorPlan_.push_back(plan_.size() - 1);
    }
    if (device != nullptr && firmware) {
      planned.handedTo = handedTo_.size();
      handedTo_.push_back({deviceType, entry.deviceId, {}});
      handed += known;
    }
  }
  // Room for every input at once, so that the spans into it stay valid.
  handed_.assign(handed, {});
  for (const std::size_t d : sensorPlan_) {
    const PlannedDevice& sensor = plan_[d];
    sensorRuns_.push_back(
        {sensor.device->hashes, std::span(batch_.counts).subspan(sensor.firstInput, sensor.inputCount)});
  }
  planned_ = true;
  firmwarePlan_ = 0;
}

bool SimRegistry::HandOver(std::span<const platform::SimDeviceInputs> devices) {
  if (!planned_ || plan_.size() != devices.size()) return false;
  const PlannedInput* input = batch_.inputs.data();
  std::size_t handed = 0;
  for (std::size_t d = 0; d < devices.size(); ++d) {
    const platform::SimDeviceInputs& entry = devices[d];
    const PlannedDevice& planned = plan_[d];
    if (planned.deviceType != static_cast<int32_t>(entry.deviceType) || planned.deviceId != entry.deviceId ||
        planned.inputCount != entry.inputs.size()) {
      return false;
    }
    if (planned.handedTo == kNoSlot) {
      for (const platform::SimInputValue& given : entry.inputs) {
        if ((input++)->index != given.inputIndex) return false;
      }
      continue;
    }
    // The firmware takes the inputs its device type has that are finite.
    firmware::FirmwareService::InputValue* const first = handed_.data() + planned.firstHanded;
    firmware::FirmwareService::InputValue* next = first;
    for (const platform::SimInputValue& given : entry.inputs) {
      const PlannedInput& at = *input++;
      if (at.index != given.inputIndex) return false;
      if (at.rule != nullptr && std::isfinite(given.value)) *next++ = {at.rule->input, given.value};
    }
    handedTo_[planned.handedTo].inputs = std::span(first, next);
    handed += static_cast<std::size_t>(next - first);
  }
  // Plan leaves room for each valid input of the firmware's devices, no more.
  handedAll_ = handed == handed_.size();
  return true;
}

void SimRegistry::SetInputs(std::span<platform::SimDeviceInputs> devices) {
  LockGuard lock(mutex_);
  // The simulated firmware takes the valid inputs of all the devices it
  // simulates in one call, under its lock once; then each input gets the
  // status, report and record it would have had alone, in order.
  if (!HandOver(devices)) {
    Plan(devices);
    static_cast<void>(HandOver(devices));  // the plan is that of `devices` now
  }
  if (!handedTo_.empty()) {
    if (handedAll_) {
      firmware_.SetInputs(handedTo_, firmwarePlan_);
    } else {
      // Some left out this time: the firmware gets another batch and must
      // check it.
      firmware_.SetInputs(handedTo_);
      firmwarePlan_ = 0;
    }
  }
  // The sensors' inputs go to the store in one call when they all stage;
  // each sensor then keeps what it took, in order, and the one whose input
  // the store refused, and those after it, go on alone.
  std::size_t sensorsTook = kNoSlot;
  if (!sensorPlan_.empty() && StageSensors(devices)) {
    sensorsTook = store_.SetSensorInputsNow(sensorRuns_, batch_.values, &sensorStates_);
  }
  for (std::size_t d = 0; d < devices.size(); ++d) {
    platform::SimDeviceInputs& entry = devices[d];
    const PlannedDevice& planned = plan_[d];
    Device* device = planned.device;
    if (device == nullptr) {
      entry.status = kSimDeviceNotFound;
    } else if (!planned.firmware) {
      std::size_t took = kNoSlot;
      if (sensorsTook != kNoSlot) {
        took = std::min(sensorsTook, planned.inputCount);
        sensorsTook = took < planned.inputCount ? kNoSlot : sensorsTook - took;
      }
      if (took == planned.inputCount) {
        // Every input finite and taken, as a physics model's are at nearly every step.
        Keep(*device, entry.inputs, batch_, std::span(batch_.inputs).subspan(planned.firstInput, took), 0, took);
        entry.status = kOk;
        continue;
      }
      entry.status = SetSensorInputs(*device, planned.deviceType, entry.deviceId, entry.inputs, batch_,
                                     planned.firstInput, took);
    } else {
      // This device's valid inputs, as the firmware took them or not.
      const std::span<const firmware::FirmwareService::InputValue> handed = handedTo_[planned.handedTo].inputs;
      bool allTaken = !handed.empty() && handed.size() == entry.inputs.size();
      // The firmware hands a plan number back only when it took every input
      // of the batch (none of them a move, which is all it may refuse).
      if (firmwarePlan_ == 0) {
        for (std::size_t i = 0; allTaken && i < handed.size(); ++i) allTaken = handed[i].taken;
      }
      if (allTaken) {
        // Every input valid, finite and taken, as a physics model's are at
        // nearly every step.
        for (const platform::SimInputValue& input : entry.inputs) {
          device->inputs[static_cast<size_t>(input.inputIndex)] = input.value;
        }
        entry.status = device->lastError = kOk;
        continue;
      }
      const std::span<const PlannedInput> inputs = std::span(batch_.inputs).subspan(planned.firstInput, planned.inputCount);
      entry.status = kOk;
      std::size_t next = 0;
      for (std::size_t i = 0; i < entry.inputs.size(); ++i) {
        const platform::SimInputValue& input = entry.inputs[i];
        const InputRule* rule = inputs[i].rule;
        int32_t status = kOk;
        if (rule == nullptr) {
          status = device->lastError = kSimPhysicsTypeNotSupported;
        } else if (!std::isfinite(input.value)) {
          status = Refuse(*device, planned.deviceType, entry.deviceId, rule->name, input.value, kNotFinite);
        } else if (!handed[next++].taken) {
          status = Refuse(*device, planned.deviceType, entry.deviceId, rule->name, input.value, kPastLargestDouble);
        } else {
          device->inputs[static_cast<size_t>(input.inputIndex)] = input.value;
          device->lastError = kOk;
        }
        if (entry.status == kOk) entry.status = status;
      }
    }
  }
}

int32_t SimRegistry::SetRuleInput(Device* device, int32_t deviceType, int32_t deviceId, const InputRule* rule,
                                  double value) {
  if (device == nullptr) return kSimDeviceNotFound;
  if (rule == nullptr) return device->lastError = kSimPhysicsTypeNotSupported;
  const std::string_view name = rule->name;
  if (!std::isfinite(value)) return Refuse(*device, deviceType, deviceId, name, value, kNotFinite);
  if (!firmware::FirmwareService::Simulates(deviceType)) {
    const platform::SimInputValue input{IndexOf(*rule), value};
    single_.Clear();
    PlanInput(single_, device, rule, input.inputIndex);
    return SetSensorInputs(*device, deviceType, deviceId, std::span(&input, 1), single_, 0);
  }
  if (!firmware_.SetInput(deviceType, deviceId, rule->input, value)) {
    return Refuse(*device, deviceType, deviceId, name, value, kPastLargestDouble);
  }
  device->inputs[static_cast<size_t>(IndexOf(*rule))] = value;
  return device->lastError = kOk;
}

int32_t SimRegistry::GetValue(int32_t deviceType, int32_t deviceId, std::string_view name, double& value) {
  platform::SimOutputRead read{static_cast<platform::DeviceType>(deviceType), deviceId, name, value};
  GetValues(std::span(&read, 1));
  value = read.value;
  return read.status;
}

bool SimRegistry::ReadsPlanned(std::span<const platform::SimOutputRead> reads) const {
  if (!readsPlanned_ || plannedReads_.size() != reads.size()) return false;
  for (std::size_t i = 0; i < reads.size(); ++i) {
    const PlannedRead& planned = plannedReads_[i];
    if (planned.deviceType != static_cast<int32_t>(reads[i].deviceType) || planned.deviceId != reads[i].deviceId ||
        !SameName(planned.name, reads[i].physicsType)) {
      return false;
    }
  }
  return true;
}

void SimRegistry::PlanReads(std::span<const platform::SimOutputRead> reads) {
  plannedReads_.clear();
  for (const platform::SimOutputRead& r : reads) {
    plannedReads_.push_back({static_cast<int32_t>(r.deviceType), r.deviceId, std::string(r.physicsType)});
  }
  sources_.clear();
  modelled_.clear();
  firmwareReads_ = 0;
  for (const PlannedRead& r : plannedReads_) {
    OutputSource& source = sources_.emplace_back(OutputSource{Find(r.deviceType, r.deviceId), nullptr, false});
    if (source.device == nullptr) continue;
    if (auto it = source.device->outputs.find(r.name); it != source.device->outputs.end()) {
      source.set = &it->second;
    } else if (IsMotor(r.deviceType) && IsMotorOutput(r.name)) {
      source.modelled = true;
      modelled_.push_back({r.deviceType, r.deviceId, r.name});
    }
  }
  readsPlanned_ = true;
}

void SimRegistry::GetValues(std::span<platform::SimOutputRead> reads) {
  LockGuard lock(mutex_);
  // What answers each read is found first, so that the motors' outputs come
  // from the firmware in one call; then each read gets its value, status
  // and record in order.
  if (!ReadsPlanned(reads)) PlanReads(reads);
  if (!modelled_.empty()) firmware_.Outputs(modelled_, firmwareReads_);
  std::size_t next = 0;
  for (std::size_t i = 0; i < reads.size(); ++i) {
    platform::SimOutputRead& r = reads[i];
    const OutputSource& source = sources_[i];
    if (source.device == nullptr) {
      r.status = kSimDeviceNotFound;
    } else if (source.set != nullptr) {
      r.value = *source.set;
      r.status = source.device->lastError = kOk;
    } else if (source.modelled) {
      // A motor no device object drives yet has no output: 0.
      const firmware::FirmwareService::OutputRead& modelled = modelled_[next++];
      r.value = modelled.found ? modelled.value : 0.0;
      r.status = source.device->lastError = kOk;
    } else {
      r.status = source.device->lastError = kSimPhysicsTypeNotSupported;
    }
  }
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
  readsPlanned_ = false;
}

}  // namespace kvor::zephrin::runtime::sim
