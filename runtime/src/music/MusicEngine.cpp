#include "music/MusicEngine.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "controls/ControlRecorder.hpp"
#include "core/Clock.hpp"

namespace kvor::zephrin::runtime::music {
namespace {

constexpr int kOk = 0;
constexpr int kInvalidParamValue = -1002;
constexpr int kResourceNotAvailable = -1802;
constexpr int kInvalidOrchestraAction = -1904;
constexpr double kNever = std::numeric_limits<double>::infinity();

}  // namespace

MusicEngine::MusicEngine(Clock& clock, ControlRecorder& controls)
    : clock_{clock}, controls_{controls}, sync_{std::make_shared<Sync>()} {
  listener_ = clock_.AddWaiterListener([&clock = clock_, sync = sync_] {
    // Taking the lock orders the wake-up after a waiter's look at the clock.
    LockGuard lock(sync->mutex);
    clock.WakeWaiters(sync->wake);
  });
}

MusicEngine::~MusicEngine() {
  Shutdown();
  clock_.RemoveListener(listener_);
}

void MusicEngine::Shutdown() {
  std::thread thread;
  {
    LockGuard lock(sync_->mutex);
    stopping_ = true;
    clock_.WakeWaiters(sync_->wake);
    caughtUp_.notify_all();
    thread = std::move(thread_);
  }
  if (thread.joinable()) thread.join();
}

void MusicEngine::StartThread() {
  if (!thread_.joinable() && !stopping_) thread_ = std::thread([this] { Run(); });
}

MusicEngine::Orchestra* MusicEngine::Find(uint16_t id) {
  auto it = orchestras_.find(id);
  return it == orchestras_.end() ? nullptr : &it->second;
}

const std::vector<Tone>* MusicEngine::TrackOf(const Orchestra& orchestra, const Instrument& instrument) const {
  if (!orchestra.tune) return nullptr;
  const auto& tracks = orchestra.tune->tracks;
  assert(!tracks.empty() && "a tune file without tracks is refused when it is read");
  const std::size_t index = instrument.track ? *instrument.track : instrument.order % tracks.size();
  return index < tracks.size() ? &tracks[index] : nullptr;
}

double MusicEngine::ClockTimeOf(const Orchestra& orchestra, uint64_t ms) {
  return orchestra.startedAt + static_cast<double>(ms) / 1000.0;
}

// Every comparison of an event with the clock is the clock's own (within
// Clock::kTolerance): the engine's thread waits until its next event is
// reached, and an event the wait counts as reached but Advance did not
// would wake it again at once, for ever.
bool MusicEngine::HasEnded(const Orchestra& orchestra, double now) const {
  return orchestra.state == State::Playing && Clock::Reached(now, ClockTimeOf(orchestra, orchestra.tune->lengthMs));
}

void MusicEngine::Send(const Instrument& instrument, double hz) {
  controls_.Record("c_kvor_zephrin6_RequestControlMusicTone", instrument.network.c_str(), instrument.hash,
                   kToneUpdateHz, hz);
}

void MusicEngine::Advance(Orchestra& orchestra, double now) {
  if (orchestra.state != State::Playing) return;
  for (Instrument& instrument : orchestra.instruments) {
    const std::vector<Tone>* track = TrackOf(orchestra, instrument);
    if (track == nullptr) continue;
    // Every start and end that is due, in order, even when time jumped past several.
    for (;;) {
      if (instrument.sounding) {
        if (!Clock::Reached(now, ClockTimeOf(orchestra, instrument.soundingEndMs))) break;
        instrument.sounding = false;
        const bool nextStartsNow =
            instrument.next < track->size() && (*track)[instrument.next].startMs == instrument.soundingEndMs;
        if (!nextStartsNow) Send(instrument, 0.0);
        continue;
      }
      if (instrument.next >= track->size() || !Clock::Reached(now, ClockTimeOf(orchestra, (*track)[instrument.next].startMs)))
        break;
      const Tone& tone = (*track)[instrument.next++];
      instrument.sounding = true;
      instrument.soundingEndMs = tone.EndMs();
      instrument.soundingHz = tone.hz;
      Send(instrument, tone.hz);
    }
  }
  if (HasEnded(orchestra, now)) {
    orchestra.state = State::Stopped;
    Rewind(orchestra);
  }
}

double MusicEngine::NextEvent(const Orchestra& orchestra) const {
  if (orchestra.state != State::Playing) return kNever;
  double next = ClockTimeOf(orchestra, orchestra.tune->lengthMs);
  for (const Instrument& instrument : orchestra.instruments) {
    const std::vector<Tone>* track = TrackOf(orchestra, instrument);
    if (track == nullptr) continue;
    if (instrument.sounding) {
      next = std::min(next, ClockTimeOf(orchestra, instrument.soundingEndMs));
    } else if (instrument.next < track->size()) {
      next = std::min(next, ClockTimeOf(orchestra, (*track)[instrument.next].startMs));
    }
  }
  return next;
}

void MusicEngine::Silence(Orchestra& orchestra) {
  for (const Instrument& instrument : orchestra.instruments) {
    if (instrument.sounding) Send(instrument, 0.0);
  }
}

void MusicEngine::Rewind(Orchestra& orchestra) {
  orchestra.pausedAt = 0.0;
  for (Instrument& instrument : orchestra.instruments) {
    instrument.next = 0;
    instrument.sounding = false;
  }
}

void MusicEngine::Seek(const Orchestra& orchestra, Instrument& instrument, uint64_t ms) const {
  instrument.next = 0;
  instrument.sounding = false;
  const std::vector<Tone>* track = TrackOf(orchestra, instrument);
  if (track == nullptr) return;
  while (instrument.next < track->size() && (*track)[instrument.next].EndMs() <= ms) ++instrument.next;
}

int MusicEngine::Create(uint16_t* id) {
  if (id == nullptr) return kInvalidParamValue;
  LockGuard lock(sync_->mutex);
  if (orchestras_.size() >= kMaxOrchestras) return kResourceNotAvailable;
  while (nextId_ == 0 || orchestras_.count(nextId_) != 0) ++nextId_;
  *id = nextId_++;
  orchestras_.try_emplace(*id);
  StartThread();
  return kOk;
}

int MusicEngine::Close(uint16_t id) {
  LockGuard lock(sync_->mutex);
  Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;
  if (orchestra->state == State::Playing) Silence(*orchestra);
  orchestras_.erase(id);
  changed_ = true;
  clock_.WakeWaiters(sync_->wake);
  return kOk;
}

int MusicEngine::AddDevice(uint16_t id, const char* network, uint32_t deviceHash, std::optional<uint16_t> track) {
  if (network == nullptr || ::strnlen(network, kMaxNetworkLength + 1) > kMaxNetworkLength) return kInvalidParamValue;
  LockGuard lock(sync_->mutex);
  Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;
  auto same = std::find_if(orchestra->instruments.begin(), orchestra->instruments.end(),
                           [&](const Instrument& i) { return i.hash == deviceHash && i.network == network; });
  if (same == orchestra->instruments.end()) {
    if (orchestra->instruments.size() >= kMaxInstruments) return kResourceNotAvailable;
    Instrument added;
    added.network = network;
    added.hash = deviceHash;
    added.order = orchestra->instruments.size();
    orchestra->instruments.push_back(std::move(added));
    same = orchestra->instruments.end() - 1;
  } else if (same->sounding && orchestra->state == State::Playing) {
    Send(*same, 0.0);  // it changes tracks mid-note
  }
  same->track = track;
  // Join the music where it is, rather than replaying everything it missed.
  const double now = clock_.Now();
  const double position = orchestra->state == State::Playing ? now - orchestra->startedAt : orchestra->pausedAt;
  Seek(*orchestra, *same, static_cast<uint64_t>(std::max(0.0, position) * 1000.0));
  Advance(*orchestra, now);
  changed_ = true;
  clock_.WakeWaiters(sync_->wake);
  return kOk;
}

int MusicEngine::ClearDevices(uint16_t id) {
  LockGuard lock(sync_->mutex);
  Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;
  if (orchestra->state == State::Playing) Silence(*orchestra);
  orchestra->instruments.clear();
  orchestra->state = State::Stopped;
  Rewind(*orchestra);
  changed_ = true;
  clock_.WakeWaiters(sync_->wake);
  return kOk;
}

int MusicEngine::LoadMusic(uint16_t id, const char* path) {
  if (path == nullptr) return kInvalidParamValue;
  {
    LockGuard lock(sync_->mutex);
    if (Find(id) == nullptr) return kInvalidParamValue;
  }
  // Read the file without holding the engine: playback goes on meanwhile.
  auto tune = std::make_shared<Tune>();
  const int status = LoadTune(path, *tune);
  if (status != kOk) return status;
  LockGuard lock(sync_->mutex);
  Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;  // closed while the file was read
  if (orchestra->state == State::Playing) Silence(*orchestra);
  orchestra->state = State::Stopped;
  Rewind(*orchestra);
  orchestra->tune = std::move(tune);
  changed_ = true;
  clock_.WakeWaiters(sync_->wake);
  return kOk;
}

int MusicEngine::Play(uint16_t id) {
  LockGuard lock(sync_->mutex);
  Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;
  if (!orchestra->tune || orchestra->instruments.empty()) return kInvalidOrchestraAction;
  const double now = clock_.Now();
  Advance(*orchestra, now);  // a tune that ended meanwhile stops here and plays again below
  if (orchestra->state == State::Playing) return kOk;
  if (orchestra->state == State::Paused) {
    orchestra->startedAt = now - orchestra->pausedAt;
    for (const Instrument& instrument : orchestra->instruments) {
      if (instrument.sounding) Send(instrument, instrument.soundingHz);  // the note the pause cut
    }
  } else {
    Rewind(*orchestra);
    orchestra->startedAt = now;
  }
  orchestra->state = State::Playing;
  Advance(*orchestra, now);
  changed_ = true;
  clock_.WakeWaiters(sync_->wake);
  return kOk;
}

int MusicEngine::Pause(uint16_t id) {
  LockGuard lock(sync_->mutex);
  Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;
  const double now = clock_.Now();
  Advance(*orchestra, now);
  if (orchestra->state != State::Playing) return kOk;
  orchestra->pausedAt = now - orchestra->startedAt;
  Silence(*orchestra);
  orchestra->state = State::Paused;
  changed_ = true;
  clock_.WakeWaiters(sync_->wake);
  return kOk;
}

int MusicEngine::Stop(uint16_t id) {
  LockGuard lock(sync_->mutex);
  Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;
  if (orchestra->state == State::Playing) Silence(*orchestra);
  orchestra->state = State::Stopped;
  Rewind(*orchestra);
  changed_ = true;
  clock_.WakeWaiters(sync_->wake);
  return kOk;
}

int MusicEngine::IsPlaying(uint16_t id, int* playing) {
  if (playing == nullptr) return kInvalidParamValue;
  LockGuard lock(sync_->mutex);
  const Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;
  *playing = orchestra->state == State::Playing && !HasEnded(*orchestra, clock_.Now()) ? 1 : 0;
  return kOk;
}

int MusicEngine::GetCurrentTime(uint16_t id, double* seconds) {
  if (seconds == nullptr) return kInvalidParamValue;
  LockGuard lock(sync_->mutex);
  const Orchestra* orchestra = Find(id);
  if (orchestra == nullptr) return kInvalidParamValue;
  switch (orchestra->state) {
    case State::Stopped:
      *seconds = 0.0;
      break;
    case State::Paused:
      *seconds = orchestra->pausedAt;
      break;
    case State::Playing: {
      const double now = clock_.Now();
      *seconds = HasEnded(*orchestra, now) ? 0.0 : std::max(0.0, now - orchestra->startedAt);
      break;
    }
  }
  return kOk;
}

void MusicEngine::AwaitCaughtUp() {
  UniqueLock lock(sync_->mutex);
  if (!thread_.joinable() || stopping_) return;
  // Ask for one more pass; it reads the clock after this call began.
  const uint64_t target = passes_ + 1;
  changed_ = true;
  clock_.WakeWaiters(sync_->wake);
  lock.Wait(caughtUp_, [&]() ZEPHRIN_REQUIRES(sync_->mutex) { return passes_ >= target || stopping_; });
}

std::size_t MusicEngine::OpenCount() const {
  LockGuard lock(sync_->mutex);
  return orchestras_.size();
}

void MusicEngine::Run() {
  UniqueLock lock(sync_->mutex);
  // A shut-down clock ends every wait at once; nothing can play any more.
  while (!stopping_ && !clock_.IsShutDown()) {
    const double now = clock_.Now();
    double next = kNever;
    for (auto& [id, orchestra] : orchestras_) {
      Advance(orchestra, now);
      next = std::min(next, NextEvent(orchestra));
    }
    ++passes_;
    caughtUp_.notify_all();
    changed_ = false;
    auto woken = [this]() ZEPHRIN_REQUIRES(sync_->mutex) { return stopping_ || changed_; };
    if (next == kNever) {
      lock.Wait(sync_->wake, woken);
    } else {
      clock_.WaitUntil(lock, sync_->wake, next, woken);
    }
  }
  stopping_ = true;  // also when the clock ended it: nobody may wait for another pass
  caughtUp_.notify_all();
}

}  // namespace kvor::zephrin::runtime::music
