#pragma once

// The runtime's replay engine. Loading a log builds its ReplayIndex, installs
// the replay clock as the runtime clock's time source and hands the index to
// the signal store, which then serves device signals from it; closing undoes
// all three. Play, pause, stop, speed and stepping drive the ReplayClock and
// wake every wait on the runtime clock. Owned by the Runtime, built over its
// clock, signal store and report log. Load and close are serialised;
// everything else is thread-safe and cheap.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <kvor/zephrin/Mutex.hpp>

#include "replay/ReplayClock.hpp"
#include "replay/ReplayIndex.hpp"

namespace kvor::zephrin::runtime {
class Clock;
class ReportLog;
namespace signals {
class SignalStore;
}
}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::runtime::replay {

class ReplayEngine {
 public:
  ReplayEngine(Clock& clock, signals::SignalStore& signals, ReportLog& reports);
  ~ReplayEngine();
  ReplayEngine(const ReplayEngine&) = delete;
  ReplayEngine& operator=(const ReplayEngine&) = delete;

  /// See ReplayLoadFile.
  [[nodiscard]] int32_t Load(const char* path) ZEPHRIN_EXCLUDES(loadMutex_, mutex_);
  /// See ReplayCloseFile.
  int32_t Close() ZEPHRIN_EXCLUDES(loadMutex_, mutex_);
  bool IsLoaded() const ZEPHRIN_EXCLUDES(mutex_);

  [[nodiscard]] int32_t Play();
  [[nodiscard]] int32_t Pause();
  /// Pauses and rewinds to the start.
  [[nodiscard]] int32_t Stop();
  [[nodiscard]] int32_t SetSpeed(double speed);
  [[nodiscard]] int32_t Step(double seconds);
  /// See ReplayIsRunning: waits up to `timeoutMs` of wall time (the manual
  /// time on the manual clock).
  bool WaitUntilRunning(uint16_t timeoutMs) ZEPHRIN_EXCLUDES(mutex_);

  /// See ReplayGetUserSignal; `type` receives a platform::UserDataType value.
  [[nodiscard]] int32_t GetUserSignal(std::string_view name, std::string* units, uint8_t& type, uint8_t* data,
                                      uint8_t& size, double& timestamp) const;

  /// The loaded log, or null.
  std::shared_ptr<const ReplayIndex> Index() const ZEPHRIN_EXCLUDES(mutex_);

 private:
  /// Wakes ReplayIsRunning waiters and every wait on the runtime clock.
  void TimeChanged() ZEPHRIN_EXCLUDES(mutex_);

  Clock& clock_;
  signals::SignalStore& signals_;
  ReportLog& reports_;
  int clockListener_ = 0;

  Mutex loadMutex_ ZEPHRIN_ACQUIRED_BEFORE(mutex_);  // serialises Load and Close
  mutable Mutex mutex_;
  std::condition_variable runningCv_;
  std::shared_ptr<const ReplayIndex> index_ ZEPHRIN_GUARDED_BY(mutex_);
  ReplayClock replayClock_;
};

}  // namespace kvor::zephrin::runtime::replay
