#include "controls/ControlRecorder.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

#include "core/Status.hpp"


namespace kvor::zephrin::runtime {

ControlRecorder::Device& ControlRecorder::DeviceFor(std::uint32_t deviceHash) {
  auto it = devices_.find(deviceHash);
  if (it == devices_.end()) it = devices_.emplace(deviceHash, std::make_unique<Device>()).first;
  return *it->second;
}

int ControlRecorder::Record(const char* function, const char* network, std::uint32_t deviceHash,
                            std::initializer_list<RecordedArg> args) {
  assert(args.size() <= kMaxArgs && "a control entry point passes more arguments than the recorder keeps");
  // A number that is not finite never reaches the device: the call is
  // refused (and still recorded, so a test sees what was sent).
  bool finite = true;
  for (const RecordedArg& arg : args) {
    if (arg.kind == RecordedArg::Kind::Double && !std::isfinite(arg.number)) finite = false;
  }
  LockGuard lock(mutex_);
  Device& device = DeviceFor(deviceHash);
  Call& call = device.ring[device.total % kCallsPerDevice];
  ++device.total;
  call.function = function;
  // The slot last held a call of this device too, nearly always on the same bus.
  const std::string_view bus = network != nullptr ? network : "";
  if (call.network != bus) call.network.assign(bus);
  call.sequence = nextSequence_++;
  call.Store(args);
  if (device.status != 0) return device.status;
  if (!finite) return kInvalidParamValue;
  // A call the device refused never reaches its firmware.
  device.accepted.function = function;
  device.accepted.sequence = call.sequence;
  device.accepted.kinds = call.kinds;
  device.accepted.argCount = call.argCount;
  std::copy_n(call.values.begin(), call.argCount, device.accepted.values.begin());
  if (!device.acceptedWaiting) {
    device.acceptedWaiting = true;
    waiting_.emplace_back(deviceHash, &device);
    anyWaiting_.store(true, std::memory_order_release);
  }
  return 0;
}

void ControlRecorder::TakeAccepted(std::vector<AcceptedCall>& out) {
  out.clear();
  if (!anyWaiting_.load(std::memory_order_acquire)) return;
  LockGuard lock(mutex_);
  out.resize(waiting_.size());
  for (std::size_t w = 0; w < waiting_.size(); ++w) {
    const auto& [hash, device] = waiting_[w];
    const Call& call = device->accepted;
    AcceptedCall& taken = out[w];
    taken.function = call.function;
    taken.deviceHash = hash;
    taken.sequence = call.sequence;
    taken.argCount = call.argCount;
    for (std::size_t i = 0; i < call.argCount; ++i) {
      switch (call.KindOf(i)) {
        case RecordedArg::Kind::Double: taken.args[i] = RecordedArg{call.values[i]}; break;
        case RecordedArg::Kind::Bool: taken.args[i] = RecordedArg{call.values[i] != 0.0}; break;
        case RecordedArg::Kind::Int: taken.args[i] = RecordedArg{static_cast<int>(call.values[i])}; break;
      }
    }
    device->acceptedWaiting = false;
  }
  waiting_.clear();
  anyWaiting_.store(false, std::memory_order_relaxed);
}

void ControlRecorder::Call::Store(std::initializer_list<RecordedArg> args) {
  argCount = 0;
  kinds = 0;
  for (const RecordedArg& arg : args) {
    if (argCount == kMaxArgs) break;
    values[argCount] = arg.kind == RecordedArg::Kind::Bool ? (arg.flag ? 1.0 : 0.0) : arg.number;
    kinds |= static_cast<std::uint64_t>(arg.kind) << (2 * argCount);
    ++argCount;
  }
}

harness::ControlCall ControlRecorder::ToHarness(const Call& call, std::uint32_t deviceHash) {
  harness::ControlCall out;
  out.function = call.function;
  out.arguments.reserve(call.argCount + 2);
  out.arguments.emplace_back(std::in_place_type<std::string>, call.network);
  out.arguments.emplace_back(std::in_place_type<std::uint32_t>, deviceHash);
  for (std::size_t i = 0; i < call.argCount; ++i) {
    const double value = call.values[i];
    switch (call.KindOf(i)) {
      case RecordedArg::Kind::Double:
        out.arguments.emplace_back(std::in_place_type<double>, value);
        break;
      case RecordedArg::Kind::Bool:
        out.arguments.emplace_back(std::in_place_type<bool>, value != 0.0);
        break;
      case RecordedArg::Kind::Int:
        out.arguments.emplace_back(std::in_place_type<int>, static_cast<int>(value));
        break;
    }
  }
  return out;
}

std::vector<harness::ControlCall> ControlRecorder::Calls(std::uint32_t deviceHash) const {
  LockGuard lock(mutex_);
  std::vector<harness::ControlCall> out;
  auto it = devices_.find(deviceHash);
  if (it == devices_.end()) return out;
  const Device& device = *it->second;
  const std::size_t kept = device.total < kCallsPerDevice ? device.total : kCallsPerDevice;
  out.reserve(kept);
  for (std::size_t i = device.total - kept; i < device.total; ++i) {
    out.push_back(ToHarness(device.ring[i % kCallsPerDevice], deviceHash));
  }
  return out;
}

std::size_t ControlRecorder::Count(std::uint32_t deviceHash) const {
  LockGuard lock(mutex_);
  auto it = devices_.find(deviceHash);
  return it == devices_.end() ? 0 : it->second->total;
}

void ControlRecorder::SetStatus(std::uint32_t deviceHash, int status) {
  LockGuard lock(mutex_);
  DeviceFor(deviceHash).status = status;
}

void ControlRecorder::ClearCalls() {
  LockGuard lock(mutex_);
  for (auto& [hash, device] : devices_) device->total = 0;
}

}  // namespace kvor::zephrin::runtime
