#pragma once

// The root of the device runtime: one object that owns every service (clock,
// reports, buses, device registry, signal store, config store, control
// recorder, simulated firmware, simulator, music engine, thread recorder,
// replay engine, logger),
// builds them bottom-up in dependency order, hands each its dependencies
// through its constructor, and shuts them down in the reverse order with the
// threads stopped and the logs flushed first. Nothing else in the runtime is
// a process-wide object.
//
// The platform calls and the harness reach the current runtime through
// Acquire(), which returns a lease: the runtime stays alive until the lease
// ends, even if a harness reset replaces it meanwhile. A reset (Rebuild) is a
// shutdown of the old root and the construction of a fresh one, so no
// service keeps a reset hook of its own. At process exit the current root is
// shut down (its log completed and closed) but never destroyed, so a call
// that still arrives from a static destructor finds a quiet runtime rather
// than freed memory.
//
// Services reached through a lease must not be kept beyond it. Threads the
// runtime starts belong to their service and never call Acquire: they use the
// references their service was built with.

#include <atomic>
#include <memory>

namespace kvor::zephrin::runtime {

class BusRegistry;
class Clock;
class ControlRecorder;
class ReportLog;
namespace configs {
class ConfigStore;
}
namespace devices {
class DeviceRegistry;
}
namespace firmware {
class FirmwareService;
}
namespace logging {
class LoggerService;
}
namespace music {
class MusicEngine;
}
namespace replay {
class ReplayEngine;
}
namespace signals {
class SignalStore;
}
namespace sim {
class SimRegistry;
}
namespace threads {
class ThreadRecorder;
}

class Runtime {
 public:
  /// Keeps one runtime alive while held. Cheap: two atomic operations.
  class Lease {
   public:
    Lease(Lease&& other) noexcept : runtime_(other.runtime_), users_(other.users_) { other.runtime_ = nullptr; }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Lease& operator=(Lease&&) = delete;
    ~Lease() {
      if (runtime_ != nullptr) users_->fetch_sub(1, std::memory_order_release);
    }
    Runtime* operator->() const { return runtime_; }
    Runtime& operator*() const { return *runtime_; }

   private:
    friend class Runtime;
    Lease(Runtime* runtime, std::atomic<long>* users) : runtime_(runtime), users_(users) {}
    Runtime* runtime_;
    std::atomic<long>* users_;
  };

  /// The current runtime, built on first use.
  static Lease Acquire();
  /// Shuts the current runtime down and replaces it with a fresh one; waits
  /// until no call is still inside the old one, then destroys it. Must not
  /// be called while the calling thread holds a lease.
  static void Rebuild();

  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  Clock& GetClock() const { return *clock_; }
  ReportLog& Reports() const { return *reports_; }
  BusRegistry& Buses() const { return *buses_; }
  devices::DeviceRegistry& Devices() const { return *devices_; }
  signals::SignalStore& Signals() const { return *signals_; }
  configs::ConfigStore& Configs() const { return *configs_; }
  ControlRecorder& Controls() const { return *controls_; }
  firmware::FirmwareService& Firmware() const { return *firmware_; }
  sim::SimRegistry& Sim() const { return *sim_; }
  music::MusicEngine& Music() const { return *music_; }
  threads::ThreadRecorder& Threads() const { return *threads_; }
  replay::ReplayEngine& Replay() const { return *replay_; }
  logging::LoggerService& Logger() const { return *logger_; }

 private:
  Runtime();
  ~Runtime();
  /// Stops every thread (log writer first, so the log is complete), closes
  /// the replay and ends every wait. The services stay usable afterwards.
  /// Idempotent.
  void Shutdown();
  static void ShutdownAtExit();
  static Runtime* CreateFirst();

  // In construction order; destroyed in reverse.
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<ReportLog> reports_;
  std::unique_ptr<BusRegistry> buses_;
  std::unique_ptr<devices::DeviceRegistry> devices_;
  std::unique_ptr<signals::SignalStore> signals_;
  std::unique_ptr<configs::ConfigStore> configs_;
  std::unique_ptr<ControlRecorder> controls_;
  std::unique_ptr<firmware::FirmwareService> firmware_;
  std::unique_ptr<sim::SimRegistry> sim_;
  std::unique_ptr<music::MusicEngine> music_;
  std::unique_ptr<threads::ThreadRecorder> threads_;
  std::unique_ptr<replay::ReplayEngine> replay_;
  std::unique_ptr<logging::LoggerService> logger_;
  std::atomic<bool> shutDown_{false};
};

}  // namespace kvor::zephrin::runtime
