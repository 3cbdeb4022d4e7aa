#include "replay/ReplayClock.hpp"

#include <algorithm>

#include "core/Clock.hpp"

namespace kvor::zephrin::runtime::replay {

double ReplayClock::NowLocked() const {
  if (!playing_) return anchorLog_;
  return std::min(end_, anchorLog_ + (wall_.WallNow() - anchorWall_) * speed_);
}

void ReplayClock::Reset(double start, double end) {
  std::lock_guard lock(mutex_);
  start_ = start;
  end_ = std::max(start, end);
  anchorLog_ = start;
  anchorWall_ = 0.0;
  speed_ = 1.0;
  playing_ = false;
}

double ReplayClock::Now() const {
  std::lock_guard lock(mutex_);
  return NowLocked();
}

bool ReplayClock::IsRunning() const {
  std::lock_guard lock(mutex_);
  return playing_ && NowLocked() < end_;
}

bool ReplayClock::IsPlaying() const {
  std::lock_guard lock(mutex_);
  return playing_;
}

void ReplayClock::Play() {
  std::lock_guard lock(mutex_);
  if (playing_) return;
  anchorWall_ = wall_.WallNow();
  playing_ = true;
}

void ReplayClock::Pause() {
  std::lock_guard lock(mutex_);
  anchorLog_ = NowLocked();
  playing_ = false;
}

void ReplayClock::Rewind() {
  std::lock_guard lock(mutex_);
  playing_ = false;
  anchorLog_ = start_;
}

void ReplayClock::SetSpeed(double speed) {
  std::lock_guard lock(mutex_);
  anchorLog_ = NowLocked();
  anchorWall_ = wall_.WallNow();
  speed_ = speed;
}

bool ReplayClock::Step(double seconds) {
  std::lock_guard lock(mutex_);
  if (playing_) return false;
  anchorLog_ = std::min(end_, anchorLog_ + seconds);
  return true;
}

double ReplayClock::Start() const {
  std::lock_guard lock(mutex_);
  return start_;
}

double ReplayClock::End() const {
  std::lock_guard lock(mutex_);
  return end_;
}

}  // namespace kvor::zephrin::runtime::replay
