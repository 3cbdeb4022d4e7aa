#include "signals/SignalStore.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/Clock.hpp"
#include "core/ResetRegistry.hpp"
#include "devices/DeviceRegistry.hpp"
#include "signals/BusCapabilities.hpp"
#include "signals/ReplaySampleSource.hpp"
#include "signals/SignalCatalogue.hpp"
#include "signals/Status.hpp"

namespace kvor::zephrin::runtime::signals {
namespace {

using devices::DeviceRecord;
using devices::DeviceRegistry;
using platform::SignalKeyDeviceHash;
using platform::SignalKeySignalId;

const bool kRegistered = (RegisterReset([] { SignalStore::Instance().Reset(); }), true);

constexpr double kNoFrame = -std::numeric_limits<double>::infinity();
constexpr double kNever = std::numeric_limits<double>::infinity();
constexpr uint16_t kCompliancyId = 2303;
constexpr double kMinHz = 4.0;
constexpr double kMaxHz = 1000.0;
// Groups up to this size keep their per-key bookkeeping on the stack.
constexpr size_t kStackKeys = 64;

// Frame k of a signal at `hz` is sent at k / hz. The small epsilon keeps a
// clock that was advanced in float steps (1.0 + 0.01 + ...) from landing a
// hair before the frame it reached.
double FrameAtOrBefore(double now, double hz) { return std::floor(now * hz + 1e-9) / hz; }
double FrameAfter(double now, double hz) { return (std::floor(now * hz + 1e-9) + 1.0) / hz; }

double ClampHz(double hz) { return hz == 0.0 ? 0.0 : std::clamp(hz, kMinHz, kMaxHz); }

// Latest frame time of a simulated signal, or kNoFrame.
double LatestSimFrame(double hz, double hzSince, double lastFrameBefore, double now) {
  double latest = lastFrameBefore;
  if (hz > 0.0) {
    double frame = FrameAtOrBefore(now, hz);
    if (frame >= hzSince) latest = std::max(latest, frame);
  }
  return latest;
}

}  // namespace

SignalStore& SignalStore::Instance() {
  static SignalStore store;
  return store;
}

SignalStore::SignalStore() {
  // Every move of the manual clock (and every replay step) may complete a
  // waiting read: wake the waiters so that they look at the new time.
  Clock::Instance().AddListener([this] {
    std::lock_guard lock(mutex_);
    cv_.notify_all();
  });
}

bool SignalStore::OnBus(const DeviceRecord* device, std::string_view network) {
  return device != nullptr && device->present && device->bus == network;
}

double SignalStore::DefaultHz(uint16_t signalId, uint32_t modelMask) const {
  const CatalogueEntry* entry = FindSignal(signalId);
  return (entry != nullptr && ModelPublishes(*entry, modelMask)) ? entry->defaultHz : 0.0;
}

SignalStore::FrameId SignalStore::Sample(uint64_t key, std::string_view network, double now,
                                         const DeviceRegistry& registry, SignalMeasurement* out) const {
  const uint16_t signalId = SignalKeySignalId(key);
  SignalMeasurement m{};
  FrameId id{0, kNoFrame};
  m.status = kRxTimeout;

  if (replay_) {
    double sampleTime = kNoFrame;
    if (replay_->Latest(key, now, m, sampleTime)) id.time = sampleTime;
    else m.status = kRxTimeout;
    if (out != nullptr) *out = m;
    return id;
  }

  const DeviceRecord* device = registry.FindLocked(SignalKeyDeviceHash(key));
  if (OnBus(device, network)) {
    auto it = states_.find(key);
    const KeyState* state = it == states_.end() ? nullptr : &it->second;
    if (state != nullptr && state->published) {
      m = state->sample;
      id.seq = state->publishSeq;
    } else {
      const double hz = state ? state->hz : DefaultHz(signalId, device->modelMask);
      const double frame = state ? LatestSimFrame(hz, state->hzSince, state->lastFrameBefore, now)
                                 : LatestSimFrame(hz, kNoFrame, kNoFrame, now);
      if (state != nullptr) id.seq = state->publishSeq;
      if (frame != kNoFrame) {
        id.time = frame;
        if (state != nullptr && state->hasSimValue) m.value = state->simValue;
        else if (signalId == kCompliancyId) m.value = device->compliancy;
        m.reportedId = (state != nullptr && state->simReportedId != 0) ? state->simReportedId : signalId;
        m.systemTime = m.bustrelTime = m.deviceTime = frame;
        // A stopped signal still hands out its last frame, marked as no
        // longer received.
        m.status = hz > 0.0 ? kOK : kRxTimeout;
      }
    }
  }
  if (out != nullptr) *out = m;
  return id;
}

int SignalStore::FillAll(std::span<const uint64_t> keys, SignalMeasurement* records, std::string_view network,
                         double now, FrameId* frames) const {
  const auto& registry = DeviceRegistry::Instance();
  auto registryLock = registry.Lock();
  int overall = kOK;
  for (size_t i = 0; i < keys.size(); ++i) {
    FrameId id = Sample(keys[i], network, now, registry, &records[i]);
    if (frames != nullptr) frames[i] = id;
    if (overall == kOK && records[i].status != kOK) overall = records[i].status;
  }
  return overall;
}

bool SignalStore::AllNewer(std::span<const uint64_t> keys, std::string_view network, double now,
                           const FrameId* start) const {
  const auto& registry = DeviceRegistry::Instance();
  auto registryLock = registry.Lock();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (!Sample(keys[i], network, now, registry, nullptr).NewerThan(start[i])) return false;
  }
  return true;
}

double SignalStore::NextEvent(std::span<const uint64_t> keys, std::string_view network, double now) const {
  double next = kNever;
  if (replay_) {
    for (uint64_t key : keys) next = std::min(next, replay_->NextSampleTime(key, now));
    return next;
  }
  const auto& registry = DeviceRegistry::Instance();
  auto registryLock = registry.Lock();
  for (uint64_t key : keys) {
    const DeviceRecord* device = registry.FindLocked(SignalKeyDeviceHash(key));
    if (!OnBus(device, network)) continue;
    auto it = states_.find(key);
    if (it != states_.end() && it->second.published) continue;  // only a Publish brings the next one
    const double hz = it != states_.end() ? it->second.hz : DefaultHz(SignalKeySignalId(key), device->modelMask);
    if (hz > 0.0) next = std::min(next, FrameAfter(now, hz));
  }
  return next;
}

int SignalStore::Read(std::span<const uint64_t> keys, SignalMeasurement* records, std::string_view network,
                      bool waitForUpdate, double timeoutSeconds) {
  Clock& clock = Clock::Instance();
  std::unique_lock lock(mutex_);
  double now = clock.Now();
  const bool waiting = waitForUpdate && timeoutSeconds > 0.0 && !keys.empty();
  if (!waiting) return FillAll(keys, records, network, now, nullptr);
  if (keys.size() > 1 && !CanSynchroniseSignals(network)) {
    FillAll(keys, records, network, now, nullptr);
    return kMultiSignalNotSupported;
  }

  FrameId small[kStackKeys];
  std::vector<FrameId> large;
  FrameId* start = small;
  if (keys.size() > kStackKeys) {
    large.resize(keys.size());
    start = large.data();
  }
  FillAll(keys, records, network, now, start);

  const double deadline = now + timeoutSeconds;
  while (true) {
    const uint64_t plan = planGeneration_;
    const double wake = std::min(deadline, NextEvent(keys, network, now));
    clock.WaitUntil(lock, cv_, wake, [&] {
      return plan != planGeneration_ || AllNewer(keys, network, clock.Now(), start);
    });
    now = clock.Now();
    if (AllNewer(keys, network, now, start) || now >= deadline) break;
  }

  // Hand out the latest frames; the keys that brought nothing new since the
  // call started count as timed out.
  const auto& registry = DeviceRegistry::Instance();
  auto registryLock = registry.Lock();
  int overall = kOK;
  bool stale = false;
  for (size_t i = 0; i < keys.size(); ++i) {
    FrameId id = Sample(keys[i], network, now, registry, &records[i]);
    if (!id.NewerThan(start[i])) {
      records[i].status = kRxTimeout;
      stale = true;
    }
    if (overall == kOK && records[i].status != kOK) overall = records[i].status;
  }
  return stale ? static_cast<int>(kRxTimeout) : overall;
}

SignalStore::KeyState& SignalStore::StateFor(uint64_t key, uint32_t modelMask) {
  auto [it, inserted] = states_.try_emplace(key);
  if (inserted) it->second.hz = DefaultHz(SignalKeySignalId(key), modelMask);
  return it->second;
}

void SignalStore::ApplyFrequency(KeyState& state, double hz, double now) {
  state.lastFrameBefore = LatestSimFrame(state.hz, state.hzSince, state.lastFrameBefore, now);
  state.hz = hz;
  state.hzSince = now;
  ++planGeneration_;
}

int SignalStore::SetFrequency(std::string_view network, uint32_t deviceHash, uint16_t signalId, double hz) {
  if (!(hz >= 0.0)) return kInvalidParamValue;
  const double now = Clock::Instance().Now();
  std::lock_guard lock(mutex_);
  DeviceRecord device;
  if (!DeviceRegistry::Instance().Find(deviceHash, device) || !OnBus(&device, network)) return kRxTimeout;
  KeyState& state = StateFor(platform::MakeSignalKey(deviceHash, signalId), device.modelMask);
  ApplyFrequency(state, ClampHz(hz), now);
  state.hzChosen = true;
  cv_.notify_all();
  return kOK;
}

double SignalStore::AppliedFrequency(uint32_t deviceHash, uint16_t signalId) const {
  std::lock_guard lock(mutex_);
  auto it = states_.find(platform::MakeSignalKey(deviceHash, signalId));
  if (it != states_.end()) return it->second.hz;
  DeviceRecord device;
  const uint32_t modelMask = DeviceRegistry::Instance().Find(deviceHash, device) ? device.modelMask : 0;
  return DefaultHz(signalId, modelMask);
}

int SignalStore::OptimizeFrequencies(std::string_view network, uint32_t deviceHash, double hz) {
  if (!(hz >= 0.0)) return kInvalidParamValue;
  const double now = Clock::Instance().Now();
  std::lock_guard lock(mutex_);
  DeviceRecord device;
  if (!DeviceRegistry::Instance().Find(deviceHash, device) || !OnBus(&device, network)) return kRxTimeout;
  for (const CatalogueEntry& entry : AllSignals()) {
    if (ModelPublishes(entry, device.modelMask)) {
      StateFor(platform::MakeSignalKey(deviceHash, entry.id), device.modelMask);
    }
  }
  for (auto& [key, state] : states_) {
    if (SignalKeyDeviceHash(key) == deviceHash && !state.hzChosen) ApplyFrequency(state, ClampHz(hz), now);
  }
  cv_.notify_all();
  return kOK;
}

int SignalStore::ResetFrequencies(std::string_view network, uint32_t deviceHash) {
  const double now = Clock::Instance().Now();
  std::lock_guard lock(mutex_);
  DeviceRecord device;
  if (!DeviceRegistry::Instance().Find(deviceHash, device) || !OnBus(&device, network)) return kRxTimeout;
  for (auto& [key, state] : states_) {
    if (SignalKeyDeviceHash(key) != deviceHash) continue;
    ApplyFrequency(state, DefaultHz(SignalKeySignalId(key), device.modelMask), now);
    state.hzChosen = false;
  }
  cv_.notify_all();
  return kOK;
}

void SignalStore::SetSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value, uint16_t reportedId) {
  DeviceRecord device;
  const uint32_t modelMask = DeviceRegistry::Instance().Find(deviceHash, device) ? device.modelMask : 0;
  const double now = Clock::Instance().Now();
  std::lock_guard lock(mutex_);
  KeyState& state = StateFor(platform::MakeSignalKey(deviceHash, signalId), modelMask);
  // A signal the catalogue does not list for this model starts publishing
  // once it is given a value, at the rate of a control signal.
  if (!state.hzChosen && state.hz == 0.0 && !state.hasSimValue) ApplyFrequency(state, 100.0, now);
  state.hasSimValue = true;
  state.simValue = value;
  state.simReportedId = reportedId;
}

double SignalStore::SimulatedValue(uint32_t deviceHash, uint16_t signalId) const {
  std::lock_guard lock(mutex_);
  auto it = states_.find(platform::MakeSignalKey(deviceHash, signalId));
  return it != states_.end() && it->second.hasSimValue ? it->second.simValue : 0.0;
}

void SignalStore::ForEachFrame(double fromSeconds, double toSeconds,
                               const std::function<void(const BusFrame&)>& visit) const {
  struct Source {
    uint64_t key;
    size_t device;
    double hz;
    double value;
    uint16_t reportedId;
    bool published;
    SignalMeasurement sample;
  };
  std::vector<DeviceRecord> devices;
  std::vector<Source> sources;
  {
    std::lock_guard lock(mutex_);
    if (replay_) return;
    for (const DeviceRecord& device : DeviceRegistry::Instance().All()) {
      if (device.present) devices.push_back(device);
    }
    auto addSource = [&](size_t d, uint64_t key) {
      const DeviceRecord& device = devices[d];
      const uint16_t signalId = SignalKeySignalId(key);
      Source s{key, d, DefaultHz(signalId, device.modelMask), signalId == kCompliancyId ? device.compliancy : 0.0,
               signalId, false, {}};
      auto it = states_.find(key);
      if (it != states_.end()) {
        const KeyState& state = it->second;
        s.hz = state.hz;
        if (state.hasSimValue) s.value = state.simValue;
        if (state.simReportedId != 0) s.reportedId = state.simReportedId;
        s.published = state.published;
        s.sample = state.sample;
      }
      sources.push_back(s);
    };
    for (size_t d = 0; d < devices.size(); ++d) {
      for (const CatalogueEntry& entry : AllSignals()) {
        if (ModelPublishes(entry, devices[d].modelMask)) addSource(d, platform::MakeSignalKey(devices[d].hash, entry.id));
      }
      for (const auto& [key, state] : states_) {
        const CatalogueEntry* entry = FindSignal(SignalKeySignalId(key));
        if (SignalKeyDeviceHash(key) == devices[d].hash && (entry == nullptr || !ModelPublishes(*entry, devices[d].modelMask))) {
          addSource(d, key);
        }
      }
    }
  }
  for (const Source& s : sources) {
    const DeviceRecord& device = devices[s.device];
    BusFrame frame{s.key, device.bus, device.model, device.deviceId, {}};
    if (s.published) {
      if (s.sample.systemTime > fromSeconds && s.sample.systemTime <= toSeconds) {
        frame.measurement = s.sample;
        visit(frame);
      }
      continue;
    }
    if (s.hz <= 0.0) continue;
    const double last = std::floor(toSeconds * s.hz + 1e-9);
    for (double k = std::floor(fromSeconds * s.hz + 1e-9) + 1.0; k <= last; k += 1.0) {
      const double t = k / s.hz;
      frame.measurement = SignalMeasurement{};
      frame.measurement.value = s.value;
      frame.measurement.reportedId = s.reportedId;
      frame.measurement.systemTime = frame.measurement.bustrelTime = frame.measurement.deviceTime = t;
      frame.measurement.status = kOK;
      visit(frame);
    }
  }
}

void SignalStore::SetReplaySource(std::shared_ptr<const ReplaySampleSource> source) {
  std::lock_guard lock(mutex_);
  replay_ = std::move(source);
  ++planGeneration_;
  cv_.notify_all();
}

void SignalStore::Publish(uint32_t deviceHash, uint16_t signalId, const SignalMeasurement& sample) {
  DeviceRecord device;
  const uint32_t modelMask = DeviceRegistry::Instance().Find(deviceHash, device) ? device.modelMask : 0;
  std::lock_guard lock(mutex_);
  KeyState& state = StateFor(platform::MakeSignalKey(deviceHash, signalId), modelMask);
  state.published = true;
  state.sample = sample;
  state.publishSeq = nextSeq_++;
  cv_.notify_all();
}

void SignalStore::Release(uint32_t deviceHash, uint16_t signalId) {
  std::lock_guard lock(mutex_);
  auto it = states_.find(platform::MakeSignalKey(deviceHash, signalId));
  if (it == states_.end()) return;
  it->second.published = false;
  ++planGeneration_;
  cv_.notify_all();
}

void SignalStore::DevicesChanged() {
  std::lock_guard lock(mutex_);
  ++planGeneration_;
  cv_.notify_all();
}

void SignalStore::Reset() {
  std::lock_guard lock(mutex_);
  states_.clear();
  replay_.reset();
  ++planGeneration_;
  cv_.notify_all();
}

}  // namespace kvor::zephrin::runtime::signals
