#pragma once

// DrivetrainRegistry holds the drivetrains created through the C interface,
// keyed by the integer IDs handed to its callers. IDs count up from 1 and are
// never reused, so a stale ID can only ever find nothing. One process-wide
// instance (Instance) owns the drivetrains until they are destroyed.
//
// Thread safety: every member may be called from any thread. The map sits
// behind a reader-writer lock that is held only to find or change an entry,
// never while a drivetrain is used: a look-up marks the drivetrain as in use
// for the caller's whole function instead. Holding the lock through the call
// would order it before the drivetrain's own locks on one thread and after
// them on the odometry thread, whose callbacks look drivetrains up too.
// Destroy takes the entry out of the map, waits until no call is using it,
// then destroys it (stopping and joining its odometry thread) with no lock
// held.
//
// Process exit: the registry is never destroyed, so no destructor joins an
// odometry thread at exit. A thread may be parked for good inside a caller's
// callback by then (a JVM that has halted never returns from a call into
// Java), and joining it would hang the exit. Instead StopAllForExit, run by
// the JVM bindings' shutdown hook and by an exit handler installed with the
// first drivetrain, stops every callback and every odometry thread, waiting a
// bounded time; a thread that does not stop in time is left behind, and the
// drivetrains stay in memory until the process ends.

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace kvor::zephrin6::cinterface {

using SwerveDrivetrainPtr = std::unique_ptr<swerve::impl::SwerveDrivetrainImpl>;
using SimSettings = std::vector<swerve::sim::SimSwerveDrivetrain::ModuleSettings>;

class DrivetrainRegistry {
 public:
  /// How long the exit waits for the odometry threads to stop, in total.
  static constexpr std::chrono::milliseconds kExitStopBound{500};

  /// The registry of the process. Never destroyed (see Process exit above).
  static DrivetrainRegistry& Instance();

  /// Registers `drivetrain` under the next ID, with what its simulation
  /// needs to know of each module. @return the ID, or 0 (the drivetrain is
  /// destroyed) once every positive int has been used or the process exit
  /// has begun.
  int Add(SwerveDrivetrainPtr drivetrain, SimSettings simSettings = {}) ZEPHRIN_EXCLUDES(mutex_);
  /// Unregisters drivetrain `id`, waits until no call uses it and destroys
  /// it. Nothing for an unknown ID. Must not be called from inside With.
  /// After the exit has begun, it waits a bounded time only, and a
  /// drivetrain still busy then is left to the end of the process.
  void Destroy(int id) ZEPHRIN_EXCLUDES(mutex_);
  /// Starts drivetrain `id`'s odometry thread; nothing for an unknown ID or
  /// once the exit has begun.
  void StartOdometry(int id) ZEPHRIN_EXCLUDES(exitMutex_);

  /// False once the exit has begun: then the C interface's callbacks must
  /// not call the caller's code any more.
  bool CallbacksAllowed() const noexcept { return !exiting_.load(std::memory_order_acquire); }
  /// True once the process exit has begun: then nothing new is built.
  bool ExitBegun() const noexcept { return exiting_.load(std::memory_order_acquire); }
  /// Begins the process exit: stops every callback, refuses new drivetrains
  /// and starts, and stops every odometry thread, waiting at most
  /// kExitStopBound for them. Only the first call does anything; later ones
  /// return at once. The drivetrains are not destroyed.
  void StopAllForExit() ZEPHRIN_EXCLUDES(exitMutex_, mutex_);

  /// Drivetrains registered now.
  std::size_t Size() const ZEPHRIN_EXCLUDES(mutex_);

  /// Runs `function(SwerveDrivetrainImpl&)` on drivetrain `id`, which cannot
  /// be destroyed meanwhile. @return its result, or `absent` for an unknown ID.
  template <typename Result, typename Function>
  Result With(int id, Result absent, Function&& function) const {
    const std::shared_ptr<Entry> entry = Find(id);
    if (entry == nullptr) return absent;
    const Use use(*entry);
    return std::forward<Function>(function)(*entry->drivetrain);
  }
  /// Runs `function(SimSwerveDrivetrain&)` on drivetrain `id`'s physics
  /// simulation, built on first use (which sends nothing to the devices);
  /// the drivetrain cannot be destroyed meanwhile. @return its result, or
  /// `absent` for an unknown ID.
  template <typename Result, typename Function>
  Result WithSim(int id, Result absent, Function&& function) const {
    const std::shared_ptr<Entry> entry = Find(id);
    if (entry == nullptr) return absent;
    const Use use(*entry);
    return std::forward<Function>(function)(entry->Sim());
  }
  /// Stops drivetrain `id`'s simulation thread, if it has a simulation
  /// (none is built for it); nothing for an unknown ID.
  void StopSim(int id) const {
    const std::shared_ptr<Entry> entry = Find(id);
    if (entry == nullptr) return;
    const Use use(*entry);
    entry->StopSim();
  }
  /// As With for a function without a result.
  template <typename Function>
  void With(int id, Function&& function) const {
    const std::shared_ptr<Entry> entry = Find(id);
    if (entry == nullptr) return;
    const Use use(*entry);
    std::forward<Function>(function)(*entry->drivetrain);
  }

 private:
  struct Entry {
    Entry(SwerveDrivetrainPtr owned, SimSettings settings)
        : drivetrain(std::move(owned)), simSettings(std::move(settings)) {}
    /// The simulation, built on the first call.
    swerve::sim::SimSwerveDrivetrain& Sim() ZEPHRIN_EXCLUDES(simMutex);
    /// Stops the simulation's thread, if there is one.
    void StopSim() ZEPHRIN_EXCLUDES(simMutex);
    /// Destroys the simulation, then the drivetrain whose devices it feeds.
    void Release() ZEPHRIN_EXCLUDES(simMutex);
    SwerveDrivetrainPtr drivetrain;
    const SimSettings simSettings;
    // Guards the pointer, not the simulation, which serialises itself.
    kvor::zephrin::Mutex simMutex;
    std::unique_ptr<swerve::sim::SimSwerveDrivetrain> sim ZEPHRIN_GUARDED_BY(simMutex);
    /// Calls using the drivetrain now. Only raised with mutex_ held, so it
    /// cannot rise once the entry has left the map.
    std::atomic<int> users{0};
  };
  /// Marks an entry in use for its lifetime (the entry is raised already).
  class Use {
   public:
    explicit Use(Entry& entry) : entry_(entry) {}
    ~Use() {
      if (entry_.users.fetch_sub(1) == 1) entry_.users.notify_all();
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

   private:
    Entry& entry_;
  };

  DrivetrainRegistry() = default;
  /// The entry of `id`, marked in use, or null.
  std::shared_ptr<Entry> Find(int id) const ZEPHRIN_EXCLUDES(mutex_);
  /// Stops the odometry threads of `entries` side by side, waiting until
  /// `deadline` at most; with `inUse`, each entry was marked in use for the
  /// stop and is released once its thread has stopped.
  /// @return whether every one of them stopped.
  static bool StopBy(const std::vector<std::shared_ptr<Entry>>& entries,
                     std::chrono::steady_clock::time_point deadline, bool inUse);
  /// Keeps `entry` (and its drivetrain) until the process ends.
  void Abandon(std::shared_ptr<Entry> entry) ZEPHRIN_EXCLUDES(abandonedMutex_);

  // Held shared to find an entry, exclusively to change the map; never
  // while a drivetrain is used, and no other lock is taken under it.
  mutable kvor::zephrin::SharedMutex mutex_;
  // Entries are shared so that a call still holding one after its entry
  // left the map (to signal that it is done) keeps it alive.
  std::map<int, std::shared_ptr<Entry>> drivetrains_ ZEPHRIN_GUARDED_BY(mutex_);
  // The last ID handed out.
  int lastId_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
  std::once_flag exitHandler_;
  // Orders the exit after the starts: a start holds it shared, and the exit
  // sets exiting_ holding it exclusively, so that a start either finishes
  // before the exit stops the threads or sees the flag and starts nothing.
  kvor::zephrin::SharedMutex exitMutex_;
  // Set once the exit has begun; atomic so that callbacks read it freely.
  std::atomic<bool> exiting_{false};
  // Drivetrains destroyed after the exit began whose threads did not stop.
  kvor::zephrin::Mutex abandonedMutex_;
  std::vector<std::shared_ptr<Entry>> abandoned_ ZEPHRIN_GUARDED_BY(abandonedMutex_);
};

}  // namespace kvor::zephrin6::cinterface
