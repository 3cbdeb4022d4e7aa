#pragma once

// The replay clock: log time as a function of the wall reference while
// playing, frozen while paused, moved by exact steps on request. It runs in
// the log's own time base (the runtime times the log recorded). Its wall
// reference is the runtime clock's WallNow: the steady clock, or the manual
// time when a test switched to the manual clock, so AdvanceTime drives a
// playing replay like everything else. It never reads the runtime clock's
// Now (which reads it as its time source), so it may be read with any lock
// held. Owned by the ReplayEngine; thread-safe.

#include <kvor/zephrin/Mutex.hpp>

namespace kvor::zephrin::runtime {
class Clock;
}

namespace kvor::zephrin::runtime::replay {

class ReplayClock {
 public:
  explicit ReplayClock(const Clock& wall) : wall_(wall) {}

  /// Pauses at `start`; the clock never passes `end` (seconds, log time).
  void Reset(double start, double end);

  /// Current replay time, seconds.
  double Now() const;
  /// Playing and not yet at the end.
  bool IsRunning() const;
  bool IsPlaying() const;

  void Play();
  void Pause();
  /// Pauses and goes back to the start.
  void Rewind();
  /// Changes the speed from now on, keeping the current replay time.
  void SetSpeed(double speed);
  /// Moves a paused clock by `seconds`, clamped at the end; false while playing.
  bool Step(double seconds);

  double Start() const;
  double End() const;

 private:
  double CurrentTime() const ZEPHRIN_REQUIRES(mutex_);

  const Clock& wall_;
  mutable Mutex mutex_;
  double start_ ZEPHRIN_GUARDED_BY(mutex_) = 0.0;
  double end_ ZEPHRIN_GUARDED_BY(mutex_) = 0.0;
  // Replay time at anchorWall_ (the current time while paused).
  double anchorLog_ ZEPHRIN_GUARDED_BY(mutex_) = 0.0;
  double anchorWall_ ZEPHRIN_GUARDED_BY(mutex_) = 0.0;
  double speed_ ZEPHRIN_GUARDED_BY(mutex_) = 1.0;
  bool playing_ ZEPHRIN_GUARDED_BY(mutex_) = false;
};

}  // namespace kvor::zephrin::runtime::replay
