#include "controls/ControlRecorder.hpp"

#include <cassert>
#include <cstdio>

#include "core/Runtime.hpp"

namespace kvor::zephrin::runtime {

ControlRecorder::Device& ControlRecorder::DeviceFor(std::uint32_t deviceHash) {
  auto it = devices_.find(deviceHash);
  if (it == devices_.end()) it = devices_.emplace(deviceHash, std::make_unique<Device>()).first;
  return *it->second;
}

int ControlRecorder::Record(const char* function, const char* network, std::uint32_t deviceHash,
                            std::initializer_list<RecordedArg> args) {
  assert(args.size() <= kMaxArgs && "a control entry point passes more arguments than the recorder keeps");
  std::lock_guard lock(mutex_);
  Device& device = DeviceFor(deviceHash);
  Call& call = device.ring[device.total % kCallsPerDevice];
  ++device.total;
  call.function = function;
  call.network.assign(network != nullptr ? network : "");
  call.deviceHash = deviceHash;
  call.argCount = 0;
  for (const RecordedArg& arg : args) {
    if (call.argCount == kMaxArgs) break;
    call.args[call.argCount++] = arg;
  }
  return device.status;
}

harness::ControlCall ControlRecorder::ToHarness(const Call& call) {
  harness::ControlCall out;
  out.function = call.function;
  out.arguments.reserve(call.argCount + 2);
  out.arguments.emplace_back(std::in_place_type<std::string>, call.network);
  out.arguments.emplace_back(std::in_place_type<std::uint32_t>, call.deviceHash);
  for (std::size_t i = 0; i < call.argCount; ++i) {
    const RecordedArg& arg = call.args[i];
    switch (arg.kind) {
      case RecordedArg::Kind::Double:
        out.arguments.emplace_back(std::in_place_type<double>, arg.number);
        break;
      case RecordedArg::Kind::Bool:
        out.arguments.emplace_back(std::in_place_type<bool>, arg.flag);
        break;
      case RecordedArg::Kind::Int:
        out.arguments.emplace_back(std::in_place_type<int>, static_cast<int>(arg.number));
        break;
    }
  }
  return out;
}

std::vector<harness::ControlCall> ControlRecorder::Calls(std::uint32_t deviceHash) const {
  std::lock_guard lock(mutex_);
  std::vector<harness::ControlCall> out;
  auto it = devices_.find(deviceHash);
  if (it == devices_.end()) return out;
  const Device& device = *it->second;
  const std::size_t kept = device.total < kCallsPerDevice ? device.total : kCallsPerDevice;
  out.reserve(kept);
  for (std::size_t i = device.total - kept; i < device.total; ++i) {
    out.push_back(ToHarness(device.ring[i % kCallsPerDevice]));
  }
  return out;
}

std::size_t ControlRecorder::Count(std::uint32_t deviceHash) const {
  std::lock_guard lock(mutex_);
  auto it = devices_.find(deviceHash);
  return it == devices_.end() ? 0 : it->second->total;
}

void ControlRecorder::SetStatus(std::uint32_t deviceHash, int status) {
  std::lock_guard lock(mutex_);
  DeviceFor(deviceHash).status = status;
}

void ControlRecorder::ClearCalls() {
  std::lock_guard lock(mutex_);
  for (auto& [hash, device] : devices_) device->total = 0;
}

namespace harness {

std::vector<ControlCall> ControlCalls(std::uint32_t deviceHash) {
  return Runtime::Acquire()->Controls().Calls(deviceHash);
}

std::optional<ControlCall> LastControlCall(std::uint32_t deviceHash) {
  auto calls = Runtime::Acquire()->Controls().Calls(deviceHash);
  if (calls.empty()) return std::nullopt;
  return std::move(calls.back());
}

std::size_t ControlCallCount(std::uint32_t deviceHash) { return Runtime::Acquire()->Controls().Count(deviceHash); }

void ClearControlCalls() { Runtime::Acquire()->Controls().ClearCalls(); }

void SetControlStatus(std::uint32_t deviceHash, int status) {
  Runtime::Acquire()->Controls().SetStatus(deviceHash, status);
}

std::string ToString(const ControlCall& call) {
  std::string text = call.function + "(";
  char buffer[32];
  for (std::size_t i = 0; i < call.arguments.size(); ++i) {
    if (i > 0) text += ", ";
    const ControlArgument& arg = call.arguments[i];
    if (auto* s = std::get_if<std::string>(&arg)) {
      text += '"' + *s + '"';
    } else if (auto* u = std::get_if<std::uint32_t>(&arg)) {
      std::snprintf(buffer, sizeof buffer, "0x%08x", static_cast<unsigned>(*u));
      text += buffer;
    } else if (auto* d = std::get_if<double>(&arg)) {
      std::snprintf(buffer, sizeof buffer, "%g", *d);
      text += buffer;
    } else if (auto* b = std::get_if<bool>(&arg)) {
      text += *b ? "true" : "false";
    } else {
      text += std::to_string(std::get<int>(arg));
    }
  }
  return text + ")";
}

}  // namespace harness
}  // namespace kvor::zephrin::runtime
