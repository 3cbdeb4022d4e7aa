#include "controls/ControlRecorder.hpp"

#include <algorithm>
#include <cstring>

#include "core/Status.hpp"


namespace kvor::zephrin::runtime {

namespace {

// Fibonacci hashing: the top bits of the product spread device hashes that
// differ only in their low bits (neighbouring IDs) over the whole index.
std::size_t IndexSlot(std::uint32_t deviceHash, std::size_t mask) {
  return static_cast<std::size_t>((deviceHash * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

// Whether the kept bus name equals `text` (null counts as empty), without
// measuring `text` first: strcmp stops at the first difference.
bool SameBus(const std::string& kept, const char* text) {
  return text == nullptr ? kept.empty() : std::strcmp(kept.c_str(), text) == 0;
}

}  // namespace

constinit Mutex ControlRecorder::mutex_;
ControlRecorder* ControlRecorder::current_ = nullptr;

ControlRecorder::ControlRecorder() {
  LockGuard lock(mutex_);
  current_ = this;
}

ControlRecorder::~ControlRecorder() {
  LockGuard lock(mutex_);
  if (current_ == this) current_ = nullptr;
}

inline ControlRecorder::Device* ControlRecorder::FindDevice(std::uint32_t deviceHash) const {
  if (index_.empty()) return nullptr;
  const std::size_t mask = index_.size() - 1;
  for (std::size_t i = IndexSlot(deviceHash, mask);; i = (i + 1) & mask) {
    Device* device = index_[i];
    if (device == nullptr || device->hash == deviceHash) return device;
  }
}

ControlRecorder::Device& ControlRecorder::DeviceFor(std::uint32_t deviceHash) {
  if (Device* found = FindDevice(deviceHash)) return *found;
  devices_.push_back(std::make_unique<Device>(deviceHash));
  const auto place = [this](Device* device) ZEPHRIN_REQUIRES(mutex_) {
    const std::size_t mask = index_.size() - 1;
    std::size_t i = IndexSlot(device->hash, mask);
    while (index_[i] != nullptr) i = (i + 1) & mask;
    index_[i] = device;
  };
  if (devices_.size() * 2 > index_.size()) {
    // Rebuilt at twice the size, so the index stays at most half full.
    index_.assign(std::max<std::size_t>(16, index_.size() * 2), nullptr);
    for (const auto& device : devices_) place(device.get());
  } else {
    place(devices_.back().get());
  }
  return *devices_.back();
}

int ControlRecorder::RecordLocked(const char* function, const char* network, std::uint32_t deviceHash,
                                  const PackedArgs& args) {
  Device* known = FindDevice(deviceHash);
  Device& device = known != nullptr ? *known : DeviceFor(deviceHash);
  Call& call = device.ring[device.total & (kCallsPerDevice - 1)];
  ++device.total;
  call.function = function;
  // The slot last held a call of this device too, nearly always on the same bus.
  if (!SameBus(call.network, network)) call.network.assign(network != nullptr ? network : "");
  call.sequence = nextSequence_++;
  call.kinds = args.kinds;
  call.argCount = args.count;
  std::copy_n(args.values.begin(), args.count, call.values.begin());
  if (device.status != 0) return device.status;
  if (!args.finite) return kInvalidParamValue;
  // A call the device refused never reaches its firmware.
  device.accepted.function = function;
  device.accepted.sequence = call.sequence;
  device.accepted.kinds = args.kinds;
  device.accepted.argCount = args.count;
  std::copy_n(args.values.begin(), args.count, device.accepted.values.begin());
  if (!device.acceptedWaiting) {
    device.acceptedWaiting = true;
    waiting_.emplace_back(deviceHash, &device);
    anyWaiting_.store(true, std::memory_order_release);
  }
  return 0;
}

void ControlRecorder::TakeAccepted(std::vector<AcceptedCall>& out) {
  if (!anyWaiting_.load(std::memory_order_acquire)) {
    out.clear();
    return;
  }
  LockGuard lock(mutex_);
  // Every field read of a handed-over call is written below: a take of as
  // many calls as the last one (the same devices sending at the same rate)
  // makes no room and constructs nothing.
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
      // Without a branch per kind: an int is kept as its exact double, so
      // every kind but a flag hands over the kept number as it is.
      const RecordedArg::Kind kind = call.KindOf(i);
      const bool flag = kind == RecordedArg::Kind::Bool;
      RecordedArg& arg = taken.args[i];
      arg.kind = kind;
      arg.number = flag ? 0.0 : call.values[i];
      arg.flag = flag && call.values[i] != 0.0;
    }
    device->acceptedWaiting = false;
  }
  waiting_.clear();
  anyWaiting_.store(false, std::memory_order_relaxed);
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
  const Device* found = FindDevice(deviceHash);
  if (found == nullptr) return out;
  const Device& device = *found;
  const std::size_t kept = device.total < kCallsPerDevice ? device.total : kCallsPerDevice;
  out.reserve(kept);
  for (std::size_t i = device.total - kept; i < device.total; ++i) {
    out.push_back(ToHarness(device.ring[i % kCallsPerDevice], deviceHash));
  }
  return out;
}

std::size_t ControlRecorder::Count(std::uint32_t deviceHash) const {
  LockGuard lock(mutex_);
  const Device* device = FindDevice(deviceHash);
  return device == nullptr ? 0 : device->total;
}

void ControlRecorder::SetStatus(std::uint32_t deviceHash, int status) {
  LockGuard lock(mutex_);
  DeviceFor(deviceHash).status = status;
}

void ControlRecorder::ClearCalls() {
  LockGuard lock(mutex_);
  for (const auto& device : devices_) device->total = 0;
}

}  // namespace kvor::zephrin::runtime
