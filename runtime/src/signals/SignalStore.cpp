#include "signals/SignalStore.hpp"

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <vector>

#include "canbus/BusRegistry.hpp"
#include "catalogue/SignalCatalogue.hpp"
#include "core/Clock.hpp"
#include "core/Status.hpp"
#include "devices/DeviceRegistry.hpp"
#include "signals/ReplaySampleSource.hpp"

namespace kvor::zephrin::runtime::signals {
namespace {

using catalogue::AllSignals;
using catalogue::CatalogueEntry;
using catalogue::FindSignal;
using catalogue::ModelPublishes;
using devices::DeviceRecord;
using platform::SignalKeyDeviceHash;
using platform::SignalKeySignalId;

constexpr double kNever = std::numeric_limits<double>::infinity();
constexpr uint16_t kCompliancyId = signal_ids::common::kCompliancy;
constexpr double kMinHz = 4.0;
constexpr double kMaxHz = 1000.0;
// A signal the catalogue does not list for a model publishes at this rate
// once it is given a value (the rate of a control signal).
constexpr double kUnlistedSignalHz = 100.0;
// Groups up to this size keep their per-key bookkeeping on the stack.
constexpr size_t kStackKeys = 64;

// Frame k of a signal at `hz` is sent at k / hz. A clock within the clock's
// tolerance of a frame has reached it (1.0 + 0.01 + ... lands a hair before
// the frame it means), exactly as a wait for that frame ends; a frame exactly
// at a change belongs to the segment the change opens.
double LastIndexAtOrBefore(double seconds, double hz) { return std::floor((seconds + Clock::kTolerance) * hz); }
double FirstIndexAtOrAfter(double seconds, double hz) { return std::ceil((seconds - Clock::kTolerance) * hz); }
// std::ceil(x) for a frame index, with a shorter way for the usual positive
// one below 2^62: its truncation is its floor, one less than its ceiling
// unless it is whole. Exact either way.
double CeilIndex(double x) {
  constexpr double kTwoTo62 = 4611686018427387904.0;
  if (!(x > 0.0 && x < kTwoTo62)) return std::ceil(x);
  const double floor = static_cast<double>(static_cast<int64_t>(x));
  return floor < x ? floor + 1.0 : floor;
}
double FrameAfter(double now, double hz) { return (LastIndexAtOrBefore(now, hz) + 1.0) / hz; }

double ClampHz(double hz) { return hz == 0.0 ? 0.0 : std::clamp(hz, kMinHz, kMaxHz); }

// Whether a segment sends a frame before `seconds` (a frame at `seconds`
// itself, within the tolerance, belongs to what starts then).
bool SentBefore(const auto& segment, double seconds) {
  return segment.hz > 0.0 && FirstIndexAtOrAfter(segment.start, segment.hz) < FirstIndexAtOrAfter(seconds, segment.hz);
}

// Whether a schedule at `hz` sends a frame exactly at `seconds`.
bool SendsAt(double hz, double seconds) {
  return hz > 0.0 && FirstIndexAtOrAfter(seconds, hz) <= (seconds + Clock::kTolerance) * hz;
}

// Whether two numbers are the same bits: the inputs of a memo, whose
// results the same bits always reproduce (cheaper than comparing them as
// numbers, which must also mind NaN).
bool SameBits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

bool SameSettings(const auto& a, const auto& b) {
  return a.hz == b.hz && a.hasValue == b.hasValue && a.value == b.value && a.reportedId == b.reportedId;
}

// Stores are numbered from 1 as they are built, so that states kept for a
// caller are only ever used with the store that found them.
uint64_t NextStoreSerial() {
  static std::atomic<uint64_t> built{0};
  return built.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

SignalStore::SignalStore(Clock& clock, const devices::DeviceRegistry& devices, const BusRegistry& buses)
    : clock_(clock), devices_(devices), buses_(buses), serial_(NextStoreSerial()) {
  // Every move of the manual clock (and every replay step) may complete a
  // waiting read: wake the waiters so that they look at the new time.
  clockListener_ = clock_.AddWaiterListener([this] {
    LockGuard lock(mutex_);
    clock_.WakeWaiters(cv_);
  });
}

SignalStore::~SignalStore() { clock_.RemoveListener(clockListener_); }

bool SignalStore::OnBus(const DeviceRecord* device, std::string_view network) {
  return device != nullptr && device->present && device->bus == network;
}

double SignalStore::DefaultHz(uint16_t signalId, uint32_t modelMask) const {
  const CatalogueEntry* entry = FindSignal(signalId);
  return (entry != nullptr && ModelPublishes(*entry, modelMask)) ? entry->defaultHz : 0.0;
}

double SignalStore::LastIndexOf(std::span<const Segment> segments, size_t i) {
  const double hz = segments[i].hz;
  if (i + 1 == segments.size()) return kNever;
  const Segment& next = segments[i + 1];
  const double end = next.start;
  const double atEnd = FirstIndexAtOrAfter(end, hz);
  // A frame exactly at the change belongs to the new segment when the new
  // schedule sends one then; otherwise the old schedule's frame still went
  // out (a signal stopped at t keeps its frame at t). (SendsAt(hz, end),
  // from the index already at hand; a change of value alone keeps the
  // schedule, which then sends that frame in the new segment.)
  const bool oldSends = hz > 0.0 && atEnd <= (end + Clock::kTolerance) * hz;
  return oldSends && next.hz != hz && !SendsAt(next.hz, end) ? atEnd : atEnd - 1.0;
}

std::span<const SignalStore::Segment> SignalStore::WindowSegments(const std::vector<Segment>& segments,
                                                                   double fromSeconds, double toSeconds) {
  // A segment's frames end where the next segment starts (LastIndexOf), so
  // a segment followed by one that starts before the window has no frame in
  // it, nor has one that starts after the window; and the last segment kept
  // ends after the window, so that it sends the same frames in the window
  // whether or not its successor is copied along. A second's margin on both
  // sides leaves the clock's tolerance far behind.
  constexpr double kMargin = 1.0;
  // Segments are in order of their starts, so both ends are binary searches.
  const auto startsBy = [&](double seconds) {
    return static_cast<size_t>(std::partition_point(segments.begin(), segments.end(),
                                                    [seconds](const Segment& s) { return s.start <= seconds; }) -
                               segments.begin());
  };
  // From the last segment to start a second before the window (or the first
  // of all) to the last one to start by a second after it.
  const size_t first = std::max<size_t>(startsBy(fromSeconds - kMargin), 1) - 1;
  const size_t end = std::max(startsBy(toSeconds + kMargin), first + 1);
  return std::span<const Segment>(segments).subspan(first, end - first);
}

SignalStore::LatestFrame SignalStore::FindLatest(const std::vector<Segment>& segments, double now) {
  for (size_t i = segments.size(); i-- > 0;) {
    const Segment& segment = segments[i];
    // A change within the clock's tolerance of now has happened, as its frame has.
    if (segment.hz <= 0.0 || segment.start > now + Clock::kTolerance) continue;
    const double first = FirstIndexAtOrAfter(segment.start, segment.hz);
    double k = LastIndexAtOrBefore(now, segment.hz);
    // A segment with no frame by now has none whatever its end; only one
    // that has sent some needs its end (the current segment has none).
    if (k < first) continue;
    if (i + 1 < segments.size()) k = std::min(k, LastIndexOf(segments, i));
    if (k >= first) return {k / segment.hz, &segment};
  }
  return {};
}

SignalStore::LatestFrame SignalStore::LatestForRead(const std::vector<Segment>& segments, double now,
                                                   DeviceRun::FrameMemo& memo) {
  // FindLatest's first step, on the indices of the memo: the current
  // segment, if it has reached its first frame, holds the latest one.
  const Segment& current = segments.back();
  if (!(current.hz <= 0.0) && !(current.start > now + Clock::kTolerance)) {
    if (!SameBits(memo.now, now) || !SameBits(memo.hz, current.hz)) {
      memo.now = now;
      memo.hz = current.hz;
      memo.last = LastIndexAtOrBefore(now, current.hz);
      memo.lastTime = memo.last / current.hz;
    }
    if (!SameBits(memo.start, current.start) || !SameBits(memo.startHz, current.hz)) {
      memo.start = current.start;
      memo.startHz = current.hz;
      memo.first = FirstIndexAtOrAfter(current.start, current.hz);
    }
    if (memo.last >= memo.first) return {memo.lastTime, &current};
  }
  return FindLatest(segments, now);
}

int SignalStore::BusIndex(std::string_view bus) const {
  for (size_t i = 0; i < busNameCount_; ++i) {
    if (busNames_[i] == bus) return static_cast<int>(i);
  }
  if (busNameCount_ == kBusNames) return -1;
  busNames_[busNameCount_] = bus;
  return static_cast<int>(busNameCount_++);
}

const SignalStore::SeenDevice& SignalStore::SeenDeviceOf(uint32_t hash) const {
  static constexpr SeenDevice kNone{};
  SeenDevice& slot = seenDevices_[static_cast<size_t>((hash * 0x9E3779B97F4A7C15ull) >> (64 - kSeenBits))];
  if (slot.record != nullptr && slot.hash == hash) return slot;
  // A device not registered yet may be soon: only found ones are kept.
  const DeviceRecord* record = devices_.FindRecord(hash);
  if (record == nullptr) return kNone;
  slot = {hash, BusIndex(record->bus), record};
  return slot;
}

const DeviceRecord* SignalStore::DeviceOnBus(uint64_t key, DeviceRun& run) const {
  const uint32_t hash = SignalKeyDeviceHash(key);
  if (!run.known || run.hash != hash) {
    run.known = true;
    run.hash = hash;
    const SeenDevice& seen = SeenDeviceOf(hash);
    const DeviceRecord* device = seen.record;
    // A bus the run's network was found to name needs no comparison again.
    bool onBus = device != nullptr && device->present && seen.bus >= 0 && seen.bus == run.bus;
    if (!onBus && OnBus(device, run.network)) {
      onBus = true;
      run.bus = seen.bus;
    }
    run.device = onBus ? device : nullptr;
  }
  return run.device;
}

SignalStore::FrameId SignalStore::Sample(uint64_t key, DeviceRun& run, double now, SignalMeasurement* out) const {
  FrameId id{0, kNoTime};
  if (replay_) {
    SignalMeasurement unused;
    SignalMeasurement& m = out != nullptr ? *out : unused;
    m = SignalMeasurement{};
    m.status = kRxTimeout;
    double sampleTime = kNoTime;
    if (replay_->Latest(key, now, m, sampleTime)) id.time = sampleTime;
    else m.status = kRxTimeout;
    return id;
  }

  // The record's fields, written at once at the end (a group's records need
  // no copy each, nor clearing first): nothing received unless a frame is found.
  const uint16_t signalId = SignalKeySignalId(key);
  double value = 0.0;
  uint16_t reportedId = 0;
  double time = 0.0;
  int32_t status = kRxTimeout;
  const DeviceRecord* device = DeviceOnBus(key, run);
  if (device != nullptr) {
    const KeyState* state = FindState(key);
    if (state != nullptr && state->published) {
      if (out != nullptr) *out = state->sample;
      return {state->publishSeq, kNoTime};
    }
    double currentHz = 0.0;
    LatestFrame latest;
    if (state != nullptr) {
      id.seq = state->publishSeq;
      currentHz = state->Current().hz;
      latest = LatestForRead(state->segments, now, run.frames);
    } else {
      // Untouched signals follow their catalogue default from the start.
      currentHz = DefaultHz(signalId, device->modelMask);
      if (currentHz > 0.0) latest.time = LastIndexAtOrBefore(now, currentHz) / currentHz;
    }
    if (latest.time != kNoTime) {
      const Segment* segment = latest.segment;
      id.time = time = latest.time;
      if (segment != nullptr && segment->hasValue) value = segment->value;
      else if (signalId == kCompliancyId) value = device->compliancy;
      reportedId = (segment != nullptr && segment->reportedId != 0) ? segment->reportedId : signalId;
      // A stopped signal still hands out its last frame, marked as no
      // longer received.
      status = currentHz > 0.0 ? kOK : kRxTimeout;
    }
  }
  if (out != nullptr) *out = SignalMeasurement{value, reportedId, {}, 0, time, time, time, status, 0};
  return id;
}

int SignalStore::FillAll(std::span<const uint64_t> keys, SignalMeasurement* records, std::string_view network,
                         double now, FrameId* frames) const {
  LockGuard registryLock(devices_.RecordsMutex());
  DeviceRun run{network};
  int overall = kOK;
  for (size_t i = 0; i < keys.size(); ++i) {
    FrameId id = Sample(keys[i], run, now, &records[i]);
    if (frames != nullptr) frames[i] = id;
    if (overall == kOK && records[i].status != kOK) overall = records[i].status;
  }
  return overall;
}

bool SignalStore::AllNewer(std::span<const uint64_t> keys, std::string_view network, double now,
                           const FrameId* start) const {
  LockGuard registryLock(devices_.RecordsMutex());
  DeviceRun run{network};
  for (size_t i = 0; i < keys.size(); ++i) {
    if (!Sample(keys[i], run, now, nullptr).NewerThan(start[i])) return false;
  }
  return true;
}

double SignalStore::NextEvent(std::span<const uint64_t> keys, std::string_view network, double now) const {
  double next = kNever;
  if (replay_) {
    for (uint64_t key : keys) next = std::min(next, replay_->NextSampleTime(key, now));
    return next;
  }
  LockGuard registryLock(devices_.RecordsMutex());
  DeviceRun run{network};
  for (uint64_t key : keys) {
    const DeviceRecord* device = DeviceOnBus(key, run);
    if (device == nullptr) continue;
    auto it = states_.find(key);
    if (it != states_.end() && it->second.published) continue;  // only a Publish brings the next one
    const double hz =
        it != states_.end() ? it->second.Current().hz : DefaultHz(SignalKeySignalId(key), device->modelMask);
    if (hz > 0.0) next = std::min(next, FrameAfter(now, hz));
  }
  return next;
}

int SignalStore::Read(std::span<const uint64_t> keys, SignalMeasurement* records, std::string_view network,
                      bool waitForUpdate, double timeoutSeconds) {
  UniqueLock lock(mutex_);
  double now = clock_.Now();
  const bool waiting = waitForUpdate && timeoutSeconds > 0.0 && !keys.empty();
  if (!waiting) return FillAll(keys, records, network, now, nullptr);
  if (keys.size() > 1 && !buses_.CanSynchronizeSignals(network)) {
    // The records still get the latest frames; the answer is that they could
    // not be waited for together, whatever each frame's own status.
    static_cast<void>(FillAll(keys, records, network, now, nullptr));
    return kMultiSignalNotSupported;
  }

  FrameId small[kStackKeys];
  std::vector<FrameId> large;
  FrameId* start = small;
  if (keys.size() > kStackKeys) {
    large.resize(keys.size());
    start = large.data();
  }
  // Notes the frames at the start; whether newer ones arrive decides the status.
  static_cast<void>(FillAll(keys, records, network, now, start));

  const double deadline = now + timeoutSeconds;
  while (true) {
    const uint64_t plan = planGeneration_;
    const double wake = std::min(deadline, NextEvent(keys, network, now));
    clock_.WaitUntil(lock, cv_, wake, [&]() ZEPHRIN_REQUIRES(mutex_) {
      return plan != planGeneration_ || AllNewer(keys, network, clock_.Now(), start);
    });
    now = clock_.Now();
    if (AllNewer(keys, network, now, start) || Clock::Reached(now, deadline) || clock_.IsShutDown()) break;
  }

  // Hand out the latest frames; the keys that brought nothing new since the
  // call started count as timed out.
  LockGuard registryLock(devices_.RecordsMutex());
  DeviceRun run{network};
  int overall = kOK;
  bool stale = false;
  for (size_t i = 0; i < keys.size(); ++i) {
    FrameId id = Sample(keys[i], run, now, &records[i]);
    if (!id.NewerThan(start[i])) {
      records[i].status = kRxTimeout;
      stale = true;
    }
    if (overall == kOK && records[i].status != kOK) overall = records[i].status;
  }
  return stale ? static_cast<int>(kRxTimeout) : overall;
}

SignalStore::KeyState& SignalStore::StateFor(uint64_t key) {
  if (KeyState* state = FindState(key)) return *state;
  return StateFor(key, devices_.ModelMaskOf(SignalKeyDeviceHash(key)));
}

SignalStore::KeyState& SignalStore::StateFor(uint64_t key, uint32_t modelMask) {
  auto [it, inserted] = states_.try_emplace(key);
  if (inserted) it->second.segments.push_back(Segment{kNoTime, DefaultHz(SignalKeySignalId(key), modelMask)});
  return it->second;
}

const SignalStore::KeyState* SignalStore::FindStateInMap(uint64_t key) const {
  auto it = states_.find(key);
  if (it == states_.end()) return nullptr;
  found_[FoundSlot(key)] = {key, &it->second};
  return &it->second;
}

template <class Change>
void SignalStore::Amend(KeyState& state, double now, Change change, double present) {
  auto& segments = state.segments;
  // Changes within the clock's tolerance of each other happen at one instant
  // (the firmware's steps fall on whole milliseconds, a manual clock moved in
  // float steps a hair before them).
  if (segments.back().start > now && segments.back().start <= now + Clock::kTolerance) now = segments.back().start;
  // Segments after the present exist when the clock went back (a rewound
  // replay under a running logger, a test setting an earlier time) or a
  // firmware step was set ahead of the manual clock: a change dated before
  // them rewrites that future.
  while (segments.size() > 1 && segments.back().start > now && segments.back().start > present + Clock::kTolerance) {
    segments.pop_back();
  }
  // A segment the clock has already reached stays, whatever a change dated
  // before it says: such a change comes late (the real-time firmware hands
  // over a step a moment after its time) and takes effect from the latest
  // segment on. Undoing that segment would also undo its frequency, and the
  // devices would go on sending at the rate the program had just changed.
  const double trimAt = std::min(now, present);
  if (segments.back().start <= present + Clock::kTolerance) now = std::max(now, segments.back().start);
  Segment next = segments.back();
  change(next);
  if (SameSettings(next, segments.back())) return;
  next.start = now;
  // Several changes at one instant collapse into one segment, unless that
  // would take back a frame the current segment already sent at this instant.
  const Segment& current = segments.back();
  if (current.start == now && (SendsAt(next.hz, now) || !SendsAt(current.hz, now))) {
    segments.back() = next;
  } else if (next.hz == current.hz && current.start <= now && !SentBefore(current, now)) {
    // On the same schedule, a segment that has begun but sent no frame yet
    // is taken over from its start: every frame it will send is one the new
    // segment would have sent. Values set faster than a signal's frames (physics
    // every millisecond, a 100 Hz signal) so keep one segment per frame
    // rather than one per change.
    next.start = current.start;
    segments.back() = next;
  } else {
    segments.push_back(next);
    // Only a new segment can leave an older one unneeded: a change that
    // replaced the current segment leaves the timeline as long as it was,
    // and the next new segment trims whatever became old meanwhile.
    Trim(state, trimAt);
  }
}

void SignalStore::ScheduleChanged() {
  ++planGeneration_;
  scheduleVersion_.fetch_add(1, std::memory_order_release);
  clock_.WakeWaiters(cv_);
}

void SignalStore::Trim(KeyState& state, double now) const {
  auto& segments = state.segments;
  assert(!segments.empty() && "a signal key is created with its first segment and Amend never removes the last one");
  // Only segments the log writer has recorded past may go: while it has not
  // passed the second one's start (it lags up to a flush period behind),
  // nothing can, and the search for the latest frame is not needed.
  if (segments.size() < 2 || segments[1].start > recordedUpTo_) return;
  // Keep the segment of the latest frame and everything after it (reads),
  // and every segment that ends after what the log writer has recorded.
  const LatestFrame latest = FindLatest(segments, now);
  const size_t keepFrom =
      latest.segment != nullptr ? static_cast<size_t>(latest.segment - segments.data()) : segments.size() - 1;
  size_t drop = 0;
  while (drop < keepFrom && segments[drop + 1].start <= recordedUpTo_) ++drop;
  segments.erase(segments.begin(), segments.begin() + static_cast<std::ptrdiff_t>(drop));
}

double SignalStore::FirstFrameOfCurrent(KeyState& state) {
  const Segment& current = state.Current();
  if (current.start != state.firstFrameStart || current.hz != state.firstFrameHz) {
    state.firstFrameStart = current.start;
    state.firstFrameHz = current.hz;
    state.firstFrame = FirstIndexAtOrAfter(current.start, current.hz);
  }
  return state.firstFrame;
}

bool SignalStore::AmendValue(KeyState& state, double value, uint16_t reportedId, double now, double present,
                             FirstNewFrame* frames) {
  auto& segments = state.segments;
  Segment& current = segments.back();
  // Dated at or after the current segment's start, the change leaves every
  // segment and the time it is dated at as they are; only its value differs.
  if (!current.hasValue || current.reportedId != reportedId || !(current.hz > 0.0) || current.start > now) {
    return false;
  }
  if (current.value == value) return true;
  // The frame tests below compare a frame index, a whole number, with a
  // product rather than with its floor or ceiling: k < ceil(x) exactly when
  // k < x, and k <= floor(x) exactly when k <= x.
  const double hz = current.hz;
  const double first = FirstFrameOfCurrent(state);
  const double fromNow = (now - Clock::kTolerance) * hz;
  if (!(first < fromNow)) {
    // No frame sent since the current segment began: the value takes it over.
    current.value = value;
    return true;
  }
  double firstNew = 0.0;  // FirstIndexAtOrAfter(now, hz)
  if (frames != nullptr && frames->hz == hz) {
    firstNew = frames->index;
  } else {
    firstNew = CeilIndex(fromNow);
    if (frames != nullptr) *frames = {hz, firstNew};
  }
  // The new segment: the current one's frequency and reported ID, and a
  // value. Built where it is appended: the usual case below writes its two
  // fields in place.
  auto added = [&] { return Segment{now, hz, value, reportedId, true}; };
  state.firstFrameStart = now;
  state.firstFrameHz = hz;
  state.firstFrame = firstNew;
  // The new segment goes at index n, and the timeline is trimmed at the
  // time Amend trims at. The latest frame is looked for among the two
  // segments at the back: the new one once its first frame is reached, else
  // the one before it, whose frames end where the new one's begin (same
  // schedule). Anywhere else it takes Trim's search.
  const size_t n = segments.size();
  if ((n == 1 ? now : segments[1].start) > recordedUpTo_) {
    segments.push_back(added());
    return true;
  }
  const double trimAt = std::min(now, present);
  const double reached = (trimAt + Clock::kTolerance) * hz;  // LastIndexAtOrBefore(trimAt, hz) unfloored
  size_t keepFrom = 0;
  if (now <= trimAt + Clock::kTolerance && reached >= firstNew) {
    keepFrom = n;
  } else if (segments[n - 1].start <= trimAt + Clock::kTolerance && reached >= first && firstNew - 1.0 >= first) {
    keepFrom = n - 1;
  } else {
    segments.push_back(added());
    Trim(state, trimAt);
    return true;
  }
  // What Trim would forget once the new segment is in, done in place:
  // a signal changing at each of its frames keeps one or two segments.
  if (n == 2 && keepFrom == 1) {
    // The usual case, a value changing at each frame: the segment of the
    // latest frame moves to the front (the log writer has recorded past its
    // start, tested above) and the new one follows it, where only its start
    // and value differ from the segment it was.
    segments[0] = segments[1];
    segments[1].start = now;
    segments[1].value = value;
    return true;
  }
  size_t drop = 0;
  while (drop < keepFrom && (drop + 1 < n ? segments[drop + 1].start : now) <= recordedUpTo_) ++drop;
  if (drop == 0) {
    segments.push_back(added());
    return true;
  }
  for (size_t i = drop; i < n; ++i) segments[i - drop] = segments[i];
  segments[n - drop] = added();
  segments.erase(segments.begin() + static_cast<std::ptrdiff_t>(n - drop + 1), segments.end());
  return true;
}

int SignalStore::SetFrequency(std::string_view network, uint32_t deviceHash, uint16_t signalId, double hz) {
  if (!(hz >= 0.0)) return kInvalidParamValue;
  LockGuard lock(mutex_);
  const double now = clock_.Now();
  DeviceRecord device;
  if (!devices_.Find(deviceHash, device) || !OnBus(&device, network)) return kRxTimeout;
  KeyState& state = StateFor(platform::MakeSignalKey(deviceHash, signalId), device.modelMask);
  Amend(state, now, [&](Segment& s) { s.hz = ClampHz(hz); });
  state.hzChosen = true;
  ScheduleChanged();
  return kOK;
}

double SignalStore::AppliedFrequency(uint32_t deviceHash, uint16_t signalId) const {
  LockGuard lock(mutex_);
  auto it = states_.find(platform::MakeSignalKey(deviceHash, signalId));
  if (it != states_.end()) return it->second.Current().hz;
  const uint32_t modelMask = devices_.ModelMaskOf(deviceHash);
  return DefaultHz(signalId, modelMask);
}

int SignalStore::OptimizeFrequencies(std::string_view network, uint32_t deviceHash, double hz) {
  if (!(hz >= 0.0)) return kInvalidParamValue;
  LockGuard lock(mutex_);
  const double now = clock_.Now();
  DeviceRecord device;
  if (!devices_.Find(deviceHash, device) || !OnBus(&device, network)) return kRxTimeout;
  for (const CatalogueEntry& entry : AllSignals()) {
    if (ModelPublishes(entry, device.modelMask)) StateFor(platform::MakeSignalKey(deviceHash, entry.id), device.modelMask);
  }
  for (auto& [key, state] : states_) {
    if (SignalKeyDeviceHash(key) == deviceHash && !state.hzChosen) {
      Amend(state, now, [&](Segment& s) { s.hz = ClampHz(hz); });
    }
  }
  ScheduleChanged();
  return kOK;
}

int SignalStore::ResetFrequencies(std::string_view network, uint32_t deviceHash) {
  LockGuard lock(mutex_);
  const double now = clock_.Now();
  DeviceRecord device;
  if (!devices_.Find(deviceHash, device) || !OnBus(&device, network)) return kRxTimeout;
  for (auto& [key, state] : states_) {
    if (SignalKeyDeviceHash(key) != deviceHash) continue;
    const double hz = DefaultHz(SignalKeySignalId(key), device.modelMask);
    Amend(state, now, [hz](Segment& s) { s.hz = hz; });
    state.hzChosen = false;
  }
  ScheduleChanged();
  return kOK;
}

void SignalStore::SetSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value, uint16_t reportedId,
                                    bool hold) {
  if (!std::isfinite(value)) return;
  LockGuard lock(mutex_);
  SetSimulatedValueAt(StateFor(platform::MakeSignalKey(deviceHash, signalId)), value, reportedId, hold, clock_.Now());
}

size_t SignalStore::SetSensorInputsNow(std::span<const uint32_t> deviceHashes, std::span<const SensorValue> values,
                                       std::span<const uint8_t> counts) {
  const SensorInputs sensor{deviceHashes, counts};
  return SetSensorInputsNow(std::span(&sensor, 1), values);
}

size_t SignalStore::SetSensorInputsNow(std::span<const SensorInputs> sensors, std::span<const SensorValue> values,
                                       SensorStates* kept) {
  LockGuard lock(mutex_);
  if (kept == nullptr) {
    kept = &unkept_;
    kept->Clear();
  } else if (kept->store_ != serial_) {
    kept->Clear();
    kept->store_ = serial_;
  }
  std::vector<SensorStates::Kept>& states = kept->states_;
  // The state of a key found once is kept: the signals moved by a
  // difference are found for the check and changed after it.
  auto found = [&](SensorStates::Kept& at, uint64_t key) ZEPHRIN_REQUIRES(mutex_) {
    if (at.state != nullptr) {
      assert(at.key == key && "a batch that moves other keys clears its kept states");
      return at.state;
    }
    at = {key, FindState(key)};
    return at.state;
  };
  const double now = clock_.Now();
  if (kept->flat_ && MoveFlat(*kept, sensors, values, now)) return kept->inputs_;
  const std::span<const SensorValue> batch = values;
  size_t taken = 0;
  size_t next = 0;  // the first of states the next input moves
  for (const SensorInputs& sensor : sensors) {
    for (const uint8_t count : sensor.counts) {
      const std::span<const SensorValue> input = values.first(count);
      values = values.subspan(count);
      const size_t first = next;
      next += sensor.deviceHashes.size() * count;
      if (states.size() < next) states.resize(next);
      // Every signal moved by a difference is checked before anything changes.
      SensorStates::Kept* at = states.data() + first;
      for (uint32_t hash : sensor.deviceHashes) {
        for (const SensorValue& v : input) {
          SensorStates::Kept& here = *at++;
          if (!v.byDifference) continue;
          const KeyState* state = found(here, platform::MakeSignalKey(hash, v.signalId));
          if (!std::isfinite((state != nullptr ? CarriedValue(*state) : 0.0) + v.value)) return taken;
        }
      }
      at = states.data() + first;
      for (uint32_t hash : sensor.deviceHashes) {
        for (const SensorValue& v : input) {
          SensorStates::Kept& here = *at++;
          if (!v.byDifference && !std::isfinite(v.value)) continue;
          KeyState* state = here.state;
          if (state == nullptr) {
            const uint64_t key = platform::MakeSignalKey(hash, v.signalId);
            state = found(here, key);
            if (state == nullptr) here.state = state = &StateFor(key);
          }
          assert(here.key == platform::MakeSignalKey(hash, v.signalId) && "a kept state is that of its key");
          MoveSensorValue(*state, v, now);  // found finite above
        }
      }
      ++taken;
    }
  }
  if (kept != &unkept_ && !kept->flat_ && Flattens(*kept, sensors, batch)) {
    kept->flat_ = true;
    kept->inputs_ = taken;
  }
  return taken;
}

void SignalStore::MoveSensorValue(KeyState& state, const SensorValue& v, double now) {
  const double value = v.byDifference ? CarriedValue(state) + v.value : v.value;
  // As SetSimulatedValueAt sets a value it does not hold.
  if (!AmendValue(state, value, 0, now, now)) AmendSimulatedValue(state, value, 0, now);
}

bool SignalStore::Flattens(const SensorStates& kept, std::span<const SensorInputs> sensors,
                           std::span<const SensorValue> values) {
  size_t inputs = 0;
  size_t moved = 0;
  for (const SensorInputs& sensor : sensors) {
    if (sensor.deviceHashes.size() != 1) return false;
    inputs += sensor.counts.size();
    for (const uint8_t count : sensor.counts) moved += count;
  }
  // Taken whole: every value moved, none of them skipped (not finite).
  if (moved != values.size() || kept.states_.size() != moved) return false;
  std::vector<uint64_t> keys;
  keys.reserve(moved);
  for (const SensorStates::Kept& k : kept.states_) {
    if (k.state == nullptr) return false;
    keys.push_back(k.key);
  }
  std::sort(keys.begin(), keys.end());
  return inputs > 0 && std::adjacent_find(keys.begin(), keys.end()) == keys.end();
}

bool SignalStore::MoveFlat(const SensorStates& kept, std::span<const SensorInputs> sensors,
                           std::span<const SensorValue> values, double now) {
  // The caller clears its states whenever its batch changes; one device
  // object per sensor keeps the values in the states' order.
  for (const SensorInputs& sensor : sensors) {
    if (sensor.deviceHashes.size() != 1) return false;
  }
  const size_t n = values.size();
  if (kept.states_.size() != n) return false;
  const SensorStates::Kept* const states = kept.states_.data();
  for (size_t i = 0; i < n; ++i) {
    const SensorValue& v = values[i];
    if (v.byDifference && !std::isfinite(CarriedValue(*states[i].state) + v.value)) return false;
  }
  for (size_t i = 0; i < n; ++i) {
    const SensorValue& v = values[i];
    if (!v.byDifference && !std::isfinite(v.value)) continue;
    MoveSensorValue(*states[i].state, v, now);
  }
  return true;
}

void SignalStore::SetSimulatedValueAt(KeyState& state, double value, uint16_t reportedId, bool hold, double now) {
  state.held = state.held || hold;
  if (!AmendValue(state, value, reportedId, now, now)) AmendSimulatedValue(state, value, reportedId, now);
}

void SignalStore::AmendSimulatedValue(KeyState& state, double value, uint16_t reportedId, double now) {
  const Segment& current = state.Current();
  const bool startPublishing = !state.hzChosen && current.hz == 0.0 && !current.hasValue;
  Amend(state, now, [&](Segment& s) {
    s.hasValue = true;
    s.value = value;
    s.reportedId = reportedId;
    if (startPublishing) s.hz = kUnlistedSignalHz;
  });
  if (startPublishing) ScheduleChanged();
}

void SignalStore::SetSimulatedValues(uint32_t deviceHash, std::span<const ValueUpdate> values, double atSeconds) {
  const size_t count = values.size();
  SetSimulatedValues({&deviceHash, 1}, {&count, 1}, values, atSeconds);
}

void SignalStore::SetSimulatedValues(std::span<const uint32_t> deviceHashes, std::span<const size_t> counts,
                                     std::span<const ValueUpdate> values, double atSeconds) {
  if (values.empty()) return;
  LockGuard lock(mutex_);
  const double present = clock_.Now();
  FirstNewFrame frames;
  // Runs are bounded by the values there are: a count past them takes the rest.
  for (size_t d = 0; d < std::min(deviceHashes.size(), counts.size()); ++d) {
    const uint32_t deviceHash = deviceHashes[d];
    const std::span<const ValueUpdate> own = values.first(std::min(counts[d], values.size()));
    values = values.subspan(own.size());
    for (const ValueUpdate& v : own) {
      if (!std::isfinite(v.value)) continue;
      const uint64_t key = platform::MakeSignalKey(deviceHash, v.signalId);
      // Found inline: the keys a device's steps set are nearly always known.
      KeyState* found = FindState(key);
      KeyState& state = found != nullptr ? *found : StateFor(key);
      if (state.held || state.published) continue;
      if (AmendValue(state, v.value, v.reportedId, atSeconds, present, &frames)) continue;
      Amend(
          state, atSeconds,
          [&](Segment& s) {
            s.hasValue = true;
            s.value = v.value;
            s.reportedId = v.reportedId;
          },
          present);
    }
  }
}

void SignalStore::SetInitialValues(uint32_t deviceHash, std::span<const ValueUpdate> values) {
  const uint32_t modelMask = devices_.ModelMaskOf(deviceHash);
  LockGuard lock(mutex_);
  const double now = clock_.Now();
  for (const ValueUpdate& v : values) {
    if (!std::isfinite(v.value)) continue;
    KeyState& state = StateFor(platform::MakeSignalKey(deviceHash, v.signalId), modelMask);
    if (state.held || state.published) continue;
    auto set = [&](Segment& s) {
      s.hasValue = true;
      s.value = v.value;
      s.reportedId = v.reportedId;
    };
    if (state.segments.size() == 1 && !state.segments.front().hasValue) {
      set(state.segments.front());
    } else {
      Amend(state, now, set);
    }
  }
}

void SignalStore::HoldSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value) {
  SetSimulatedValue(deviceHash, signalId, value, 0, true);
}

void SignalStore::SetRecordedUpTo(double seconds) {
  LockGuard lock(mutex_);
  recordedUpTo_ = seconds;
  for (auto& [key, state] : states_) {
    std::erase_if(state.publishedSince, [seconds](const SignalMeasurement& m) { return m.systemTime <= seconds; });
  }
}

double SignalStore::SimulatedValue(uint32_t deviceHash, uint16_t signalId) const {
  LockGuard lock(mutex_);
  return SimulatedValueAt(platform::MakeSignalKey(deviceHash, signalId));
}

double SignalStore::SimulatedValueAt(uint64_t key) const {
  const KeyState* state = FindState(key);
  return state == nullptr ? 0.0 : CarriedValue(*state);
}

void SignalStore::ForEachFrame(double fromSeconds, double toSeconds,
                               const std::function<void(const BusFrame&)>& visit) const {
  // What a key contributes, copied out under the lock: its segments and
  // published samples that can hold a frame of the window. The copies sit in
  // two flat vectors, so that a walk costs a few allocations, not a few per
  // key.
  struct Source {
    uint64_t key;
    size_t device;
    bool published;
    size_t firstSegment, segmentCount;
    size_t firstSample, sampleCount;
  };
  std::vector<DeviceRecord> devices;
  std::vector<Source> sources;
  std::vector<Segment> segments;
  std::vector<SignalMeasurement> samples;
  {
    LockGuard lock(mutex_);
    if (replay_) return;
    for (const DeviceRecord& device : devices_.All()) {
      if (device.present) devices.push_back(device);
    }
    // In a fixed order, so that the same run lists its frames alike.
    std::sort(devices.begin(), devices.end(),
              [](const DeviceRecord& a, const DeviceRecord& b) { return a.hash < b.hash; });
    auto addSource = [&](size_t d, uint64_t key) ZEPHRIN_REQUIRES(mutex_) {
      Source s{key, d, false, segments.size(), 0, samples.size(), 0};
      auto it = states_.find(key);
      if (it == states_.end()) {
        segments.push_back(Segment{kNoTime, DefaultHz(SignalKeySignalId(key), devices[d].modelMask)});
      } else {
        const KeyState& state = it->second;
        s.published = state.published;
        const std::span<const Segment> window = WindowSegments(state.segments, fromSeconds, toSeconds);
        segments.insert(segments.end(), window.begin(), window.end());
        if (state.published) {
          for (const SignalMeasurement& sample : state.publishedSince) {
            if (sample.systemTime > fromSeconds && sample.systemTime <= toSeconds) samples.push_back(sample);
          }
          if (state.publishedSince.empty()) samples.push_back(state.sample);
        }
      }
      s.segmentCount = segments.size() - s.firstSegment;
      s.sampleCount = samples.size() - s.firstSample;
      sources.push_back(s);
    };
    // Keys of a present device that its model's catalogue does not list
    // (set by the harness or the program), by device, in key order.
    std::vector<std::pair<size_t, uint64_t>> unlisted;
    for (const auto& [key, state] : states_) {
      const uint32_t hash = SignalKeyDeviceHash(key);
      const auto device = std::lower_bound(devices.begin(), devices.end(), hash,
                                           [](const DeviceRecord& a, uint32_t h) { return a.hash < h; });
      if (device == devices.end() || device->hash != hash) continue;
      const CatalogueEntry* entry = FindSignal(SignalKeySignalId(key));
      if (entry == nullptr || !ModelPublishes(*entry, device->modelMask)) {
        unlisted.emplace_back(static_cast<size_t>(device - devices.begin()), key);
      }
    }
    std::sort(unlisted.begin(), unlisted.end());
    auto nextUnlisted = unlisted.begin();
    for (size_t d = 0; d < devices.size(); ++d) {
      for (const CatalogueEntry& entry : AllSignals()) {
        if (ModelPublishes(entry, devices[d].modelMask)) addSource(d, platform::MakeSignalKey(devices[d].hash, entry.id));
      }
      for (; nextUnlisted != unlisted.end() && nextUnlisted->first == d; ++nextUnlisted) addSource(d, nextUnlisted->second);
    }
  }
  for (const Source& s : sources) {
    const DeviceRecord& device = devices[s.device];
    const uint16_t signalId = SignalKeySignalId(s.key);
    BusFrame frame{s.key, device.bus, device.model, device.deviceId, {}};
    if (s.published) {
      for (size_t i = 0; i < s.sampleCount; ++i) {
        const SignalMeasurement& sample = samples[s.firstSample + i];
        if (sample.systemTime > fromSeconds && sample.systemTime <= toSeconds) {
          frame.measurement = sample;
          visit(frame);
        }
      }
      continue;
    }
    const std::span<const Segment> timeline(segments.data() + s.firstSegment, s.segmentCount);
    for (size_t i = 0; i < timeline.size(); ++i) {
      const Segment& segment = timeline[i];
      const double hz = segment.hz;
      if (hz <= 0.0) continue;
      // A device sends from its registration on: a frame before it would
      // be logged or not depending on when the writer came to collect.
      double first = std::max(LastIndexAtOrBefore(fromSeconds, hz) + 1.0,
                              FirstIndexAtOrAfter(std::max(segment.start, device.since), hz));
      double last = LastIndexAtOrBefore(toSeconds, hz);
      last = std::min(last, LastIndexOf(timeline, i));
      const double value =
          segment.hasValue ? segment.value : (signalId == kCompliancyId ? static_cast<double>(device.compliancy) : 0.0);
      for (double k = first; k <= last; k += 1.0) {
        const double t = k / hz;
        frame.measurement = SignalMeasurement{};
        frame.measurement.value = value;
        frame.measurement.reportedId = segment.reportedId != 0 ? segment.reportedId : signalId;
        frame.measurement.systemTime = frame.measurement.bustrelTime = frame.measurement.deviceTime = t;
        frame.measurement.status = kOK;
        visit(frame);
      }
    }
  }
}

void SignalStore::SetReplaySource(std::shared_ptr<const ReplaySampleSource> source) {
  LockGuard lock(mutex_);
  replay_ = std::move(source);
  replayInstalled_.store(replay_ != nullptr, std::memory_order_release);
  ScheduleChanged();
}

void SignalStore::Publish(uint32_t deviceHash, uint16_t signalId, const SignalMeasurement& sample) {
  const uint32_t modelMask = devices_.ModelMaskOf(deviceHash);
  LockGuard lock(mutex_);
  KeyState& state = StateFor(platform::MakeSignalKey(deviceHash, signalId), modelMask);
  state.published = true;
  state.sample = sample;
  state.publishSeq = nextSeq_++;
  if (recordedUpTo_ != kNever) state.publishedSince.push_back(sample);
  clock_.WakeWaiters(cv_);
}

void SignalStore::Release(uint32_t deviceHash, uint16_t signalId) {
  LockGuard lock(mutex_);
  auto it = states_.find(platform::MakeSignalKey(deviceHash, signalId));
  if (it == states_.end()) return;
  it->second.published = false;
  it->second.held = false;
  it->second.publishedSince.clear();
  ScheduleChanged();
}

void SignalStore::DevicesChanged() {
  LockGuard lock(mutex_);
  ++planGeneration_;
  clock_.WakeWaiters(cv_);
}

}  // namespace kvor::zephrin::runtime::signals
