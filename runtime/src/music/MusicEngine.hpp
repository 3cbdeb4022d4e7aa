#pragma once

// The runtime's music engine: orchestra instances addressed by a 16-bit
// handle, each with its instruments (motor controllers, by bus and device
// hash), its loaded tune and its playback state. One playback thread sends
// the tones: at each tone's start and end it hands the instrument a
// MusicTone control call through the control recorder, so the harness's
// recorded calls show the melody. How tracks map to instruments, and what
// plays when, is described in FORMAT.md.
//
// Timing follows the runtime clock: the thread waits with Clock::WaitUntil
// for the next tone event and is woken by every clock change, so on the
// manual clock playback moves exactly when a test moves time. Operations
// that change what plays (Play, Pause, Stop, ...) send what is due at once,
// on the caller's thread; what becomes due as time moves is sent by the
// thread, which AwaitCaughtUp waits for.
//
// Owned by the Runtime. The engine owns its state and its thread (started by
// the first Create, joined by Shutdown or the destructor) and borrows the
// clock and the control recorder, which the Runtime builds before it and
// shuts down after it. Thread-safe: one mutex guards all
// orchestras; it is taken before the recorder's lock, never the other way.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>

#include "music/TuneFile.hpp"

namespace kvor::zephrin::runtime {
class Clock;
class ControlRecorder;
}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::runtime::music {

class MusicEngine {
 public:
  /// Orchestras open at once; one more Create is refused.
  static constexpr std::size_t kMaxOrchestras = 256;
  /// Instruments of one orchestra; one more is refused.
  static constexpr std::size_t kMaxInstruments = 64;
  /// Longest bus name an instrument may carry, characters.
  static constexpr std::size_t kMaxNetworkLength = 255;
  /// Update frequency of the MusicTone calls the engine sends, hertz.
  static constexpr double kToneUpdateHz = 100.0;

  MusicEngine(Clock& clock, ControlRecorder& controls);
  ~MusicEngine();
  MusicEngine(const MusicEngine&) = delete;
  MusicEngine& operator=(const MusicEngine&) = delete;

  /// Stops and joins the playback thread; later operations still work but
  /// nothing plays by itself any more. Idempotent.
  void Shutdown();

  // The orchestra operations behind the c_kvor_zephrin6_orchestra_* calls.
  // Each returns 0, -1002 InvalidParamValue for an unknown handle or a null
  // or oversized argument, or the status its declaration names.

  /// Opens an orchestra and writes its handle (never 0). -1802
  /// ResourceNotAvailable when kMaxOrchestras are open.
  [[nodiscard]] int Create(uint16_t* id);
  /// Silences and closes an orchestra.
  [[nodiscard]] int Close(uint16_t id);
  /// Adds an instrument, or changes the track of one already added (same
  /// bus and hash). No `track`: it takes the next track in adding order.
  /// -1802 ResourceNotAvailable beyond kMaxInstruments.
  [[nodiscard]] int AddDevice(uint16_t id, const char* network, uint32_t deviceHash, std::optional<uint16_t> track);
  /// Silences and removes every instrument; playback stops and rewinds.
  [[nodiscard]] int ClearDevices(uint16_t id);
  /// Loads a tune file (stopping what plays). A failed load keeps the
  /// previous music and state. Statuses as LoadTune.
  [[nodiscard]] int LoadMusic(uint16_t id, const char* path);
  /// Starts from the beginning or resumes from a pause. -1904
  /// InvalidOrchestraAction without music or without instruments.
  [[nodiscard]] int Play(uint16_t id);
  /// Silences the instruments and keeps the position (nothing while not playing).
  [[nodiscard]] int Pause(uint16_t id);
  /// Silences the instruments and rewinds.
  [[nodiscard]] int Stop(uint16_t id);
  /// Writes 1 while playing, else 0.
  [[nodiscard]] int IsPlaying(uint16_t id, int* playing);
  /// Writes the position in the music, seconds (0 when stopped).
  [[nodiscard]] int GetCurrentTime(uint16_t id, double* seconds);

  // ---- Harness ----
  /// Blocks until the thread has sent every tone due at the clock's current time.
  void AwaitCaughtUp();
  /// How many orchestras are open.
  std::size_t OpenCount() const;

 private:
  enum class State { Stopped, Playing, Paused };
  struct Instrument {
    std::string network;
    uint32_t hash = 0;
    std::optional<uint16_t> track;  // chosen by the program; else by adding order
    std::size_t order = 0;          // instruments added before it
    std::size_t next = 0;           // index of the next tone to start
    bool sounding = false;          // a tone started and has not ended
    uint64_t soundingEndMs = 0;
    double soundingHz = 0.0;
  };
  struct Orchestra {
    std::vector<Instrument> instruments;
    std::shared_ptr<const Tune> tune;
    State state = State::Stopped;
    double startedAt = 0.0;  // clock time of music time 0 while playing
    double pausedAt = 0.0;   // music time at the pause, seconds
  };
  // What the clock listener wakes; shared so that a listener call racing with
  // the engine's destruction never touches freed memory.
  struct Sync {
    Mutex mutex;
    std::condition_variable wake;
  };

  // An Orchestra lives in orchestras_: the helpers that change one run
  // under the engine's mutex as well.
  Orchestra* Find(uint16_t id) ZEPHRIN_REQUIRES(sync_->mutex);
  const std::vector<Tone>* TrackOf(const Orchestra& orchestra, const Instrument& instrument) const;
  /// Clock time of music time `ms` for a playing orchestra. Every due check
  /// and every wait uses this one expression, so a wait never ends a hair
  /// before the event it waited for.
  static double ClockTimeOf(const Orchestra& orchestra, uint64_t ms);
  bool HasEnded(const Orchestra& orchestra, double now) const;
  void Advance(Orchestra& orchestra, double now) ZEPHRIN_REQUIRES(sync_->mutex);
  double NextEvent(const Orchestra& orchestra) const;
  void Silence(Orchestra& orchestra) ZEPHRIN_REQUIRES(sync_->mutex);
  void Rewind(Orchestra& orchestra) ZEPHRIN_REQUIRES(sync_->mutex);
  void Seek(const Orchestra& orchestra, Instrument& instrument, uint64_t ms) const ZEPHRIN_REQUIRES(sync_->mutex);
  void Send(const Instrument& instrument, double hz);
  void StartThread() ZEPHRIN_REQUIRES(sync_->mutex);
  void Run() ZEPHRIN_EXCLUDES(sync_->mutex);

  Clock& clock_;
  ControlRecorder& controls_;
  std::shared_ptr<Sync> sync_;
  int listener_ = 0;
  std::condition_variable caughtUp_;  // a pass of the thread finished
  std::map<uint16_t, Orchestra> orchestras_ ZEPHRIN_GUARDED_BY(sync_->mutex);
  uint16_t nextId_ ZEPHRIN_GUARDED_BY(sync_->mutex) = 1;
  bool changed_ ZEPHRIN_GUARDED_BY(sync_->mutex) = false;  // something the thread must look at again
  bool stopping_ ZEPHRIN_GUARDED_BY(sync_->mutex) = false;
  uint64_t passes_ ZEPHRIN_GUARDED_BY(sync_->mutex) = 0;  // passes of the thread over the orchestras
  std::thread thread_ ZEPHRIN_GUARDED_BY(sync_->mutex);
};

}  // namespace kvor::zephrin::runtime::music
