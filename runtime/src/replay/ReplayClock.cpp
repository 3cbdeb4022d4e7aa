#include "replay/ReplayClock.hpp"

#include <algorithm>

#include "core/Clock.hpp"

namespace kvor::zephrin::runtime::replay {

double ReplayClock::CurrentTime() const {
  if (!playing_) return anchorLog_;
  return std::min(end_, anchorLog_ + (wall_.WallNow() - anchorWall_) * speed_);
}

void ReplayClock::Reset(double start, double end) {
  LockGuard lock(mutex_);
  start_ = start;
  end_ = std::max(start, end);
  anchorLog_ = start;
  anchorWall_ = 0.0;
  speed_ = 1.0;
  playing_ = false;
}

double ReplayClock::Now() const {
  LockGuard lock(mutex_);
  return CurrentTime();
}

bool ReplayClock::IsRunning() const {
  LockGuard lock(mutex_);
  return playing_ && CurrentTime() < end_;
}

bool ReplayClock::IsPlaying() const {
  LockGuard lock(mutex_);
  return playing_;
}

void ReplayClock::Play() {
  LockGuard lock(mutex_);
  if (playing_) return;
  anchorWall_ = wall_.WallNow();
  playing_ = true;
}

void ReplayClock::Pause() {
  LockGuard lock(mutex_);
  anchorLog_ = CurrentTime();
  playing_ = false;
}

void ReplayClock::Rewind() {
  LockGuard lock(mutex_);
  playing_ = false;
  anchorLog_ = start_;
}

void ReplayClock::SetSpeed(double speed) {
  LockGuard lock(mutex_);
  anchorLog_ = CurrentTime();
  anchorWall_ = wall_.WallNow();
  speed_ = speed;
}

bool ReplayClock::Step(double seconds) {
  LockGuard lock(mutex_);
  if (playing_) return false;
  anchorLog_ = std::min(end_, anchorLog_ + seconds);
  return true;
}

double ReplayClock::Start() const {
  LockGuard lock(mutex_);
  return start_;
}

double ReplayClock::End() const {
  LockGuard lock(mutex_);
  return end_;
}

}  // namespace kvor::zephrin::runtime::replay
