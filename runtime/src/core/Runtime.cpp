#include "core/Runtime.hpp"

#include <cstdint>
#include <cstdlib>
#include <thread>
#include <type_traits>

#include <kvor/zephrin/Mutex.hpp>

#include "canbus/BusRegistry.hpp"
#include "configs/ConfigStore.hpp"
#include "controls/ControlRecorder.hpp"
#include "core/Clock.hpp"
#include "core/ReportLog.hpp"
#include "devices/DeviceRegistry.hpp"
#include "firmware/FirmwareService.hpp"
#include "logging/LoggerService.hpp"
#include "music/MusicEngine.hpp"
#include "replay/ReplayEngine.hpp"
#include "signals/SignalStore.hpp"
#include "sim/SimRegistry.hpp"
#include "threads/ThreadRecorder.hpp"

namespace kvor::zephrin::runtime {
namespace {

// The one process-wide object of the runtime. Every member is trivially
// destructible, so nothing runs at exit in an order we do not control.
//
// Two slots alternate between rebuilds: `epoch` names the current one; a
// call counts itself in the users of its slot, then checks the epoch again,
// so a rebuild that moved on meanwhile is noticed before the call touches the
// old runtime. The counters live here rather than in the runtime so that a
// late caller never writes to freed memory.
struct Root {
  std::atomic<uint64_t> epoch{0};
  std::atomic<long> users[2]{};
  std::atomic<Runtime*> runtimes[2]{};
  Mutex mutex;  // serialises the first construction, rebuilds and the exit shutdown
  bool exitHookInstalled ZEPHRIN_GUARDED_BY(mutex) = false;
};
static_assert(std::is_trivially_destructible_v<Root>, "the runtime's root must not need a destructor at exit");
constinit Root g_root;

/// Makes the exit run `hook` (which shuts the current runtime down), once.
void InstallExitHook(void (*hook)()) ZEPHRIN_REQUIRES(g_root.mutex) {
  if (g_root.exitHookInstalled) return;
  g_root.exitHookInstalled = true;
  std::atexit(hook);
}

}  // namespace

Runtime::Runtime() {
  clock_ = std::make_unique<Clock>();
  reports_ = std::make_unique<ReportLog>(*clock_);
  buses_ = std::make_unique<BusRegistry>();
  devices_ = std::make_unique<devices::DeviceRegistry>(*clock_);
  signals_ = std::make_unique<signals::SignalStore>(*clock_, *devices_, *buses_);
  configs_ = std::make_unique<configs::ConfigStore>(*clock_, *devices_, *signals_);
  controls_ = std::make_unique<ControlRecorder>();
  firmware_ = std::make_unique<firmware::FirmwareService>(*clock_, *devices_, *signals_, *configs_, *controls_, *buses_);
  sim_ = std::make_unique<sim::SimRegistry>(*devices_, *signals_, *firmware_, *reports_);
  music_ = std::make_unique<music::MusicEngine>(*clock_, *controls_);
  threads_ = std::make_unique<threads::ThreadRecorder>();
  replay_ = std::make_unique<replay::ReplayEngine>(*clock_, *signals_, *reports_);
  logger_ = std::make_unique<logging::LoggerService>(*clock_, *devices_, *signals_, *reports_);
}

Runtime::~Runtime() {
  Shutdown();
  logger_.reset();
  replay_.reset();
  threads_.reset();
  music_.reset();
  sim_.reset();
  firmware_.reset();
  controls_.reset();
  configs_.reset();
  signals_.reset();
  devices_.reset();
  buses_.reset();
  reports_.reset();
  clock_.reset();
}

void Runtime::Shutdown() {
  if (shutDown_.exchange(true)) return;
  // The writer first: it still reads the store and the clock while it
  // completes the log.
  logger_->Shutdown();
  firmware_->Shutdown();
  music_->Shutdown();
  replay_->Close();
  clock_->Shutdown();
}

void Runtime::ShutdownAtExit() {
  LockGuard lock(g_root.mutex);
  Runtime* current = g_root.runtimes[g_root.epoch.load() & 1].load();
  if (current != nullptr) current->Shutdown();
}

Runtime* Runtime::CreateFirst() {
  LockGuard lock(g_root.mutex);
  auto& slot = g_root.runtimes[g_root.epoch.load() & 1];
  if (slot.load() == nullptr) slot.store(new Runtime());
  InstallExitHook(&Runtime::ShutdownAtExit);
  return slot.load();
}

Runtime::Lease Runtime::Acquire() {
  for (;;) {
    const uint64_t epoch = g_root.epoch.load();
    std::atomic<long>& users = g_root.users[epoch & 1];
    users.fetch_add(1);
    if (g_root.epoch.load() == epoch) {
      if (Runtime* runtime = g_root.runtimes[epoch & 1].load()) return Lease(runtime, &users);
      users.fetch_sub(1);
      CreateFirst();
      continue;
    }
    users.fetch_sub(1);
  }
}

void Runtime::Rebuild() {
  LockGuard lock(g_root.mutex);
  const uint64_t epoch = g_root.epoch.load();
  Runtime* old = g_root.runtimes[epoch & 1].load();
  g_root.runtimes[(epoch + 1) & 1].store(new Runtime());
  g_root.epoch.store(epoch + 1);
  InstallExitHook(&Runtime::ShutdownAtExit);
  if (old == nullptr) return;
  // Shutting down first ends every wait inside the old runtime, so the
  // calls still in it return soon.
  old->Shutdown();
  while (g_root.users[epoch & 1].load() != 0) std::this_thread::yield();
  g_root.runtimes[epoch & 1].store(nullptr);
  delete old;
}

}  // namespace kvor::zephrin::runtime
