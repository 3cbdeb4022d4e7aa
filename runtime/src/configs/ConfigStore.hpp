#pragma once

// The runtime's per-device config store. It keeps the stored values of every
// device (one piece of config text per config ID) over the factory settings of
// its model, hands every change to the simulated firmware and applies actions
// (to the firmware of a device it simulates, else to the device's signals),
// and makes config calls block like a real bus transaction: a present device
// answers at once, an absent one times out on the runtime clock. The harness
// can inject failures and read what was stored and sent. Owned by the
// Runtime, built over its clock, device registry (presence, model) and signal
// store (actions move signals). Every member is thread-safe; the firmware
// hooks run under the store's lock and must not call back into it.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>

namespace kvor::zephrin::runtime {
class Clock;
namespace devices {
class DeviceRegistry;
}
namespace signals {
class SignalStore;
}
}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::runtime::configs {

/// One config call as the runtime received it (for the harness).
struct RecordedConfigCall {
  bool isSet = false;         // set_configs (true) or get_configs (false)
  std::string text;           // the text sent (set) or handed out (get)
  double timeoutSeconds = 0;  // as passed
  bool firstFlag = false;
  bool actionFlag = false;
  int status = 0;  // what the call returned
};

class ConfigStore {
 public:
  ConfigStore(Clock& clock, const devices::DeviceRegistry& devices, signals::SignalStore& signals);
  ~ConfigStore();
  ConfigStore(const ConfigStore&) = delete;
  ConfigStore& operator=(const ConfigStore&) = delete;

  /// Merges settings (or applies actions) for a device; see c_kvor_zephrin6_set_configs.
  [[nodiscard]] int Set(uint32_t deviceHash, double timeoutSeconds, std::string_view text, bool firstFlag, bool actionFlag)
      ZEPHRIN_EXCLUDES(mutex_);
  /// The device's stored text in ascending ID order; see c_kvor_zephrin6_get_configs.
  [[nodiscard]] int Get(uint32_t deviceHash, double timeoutSeconds, std::string& text) ZEPHRIN_EXCLUDES(mutex_);

  /// The device's stored text without any call semantics (what the program
  /// set, without the factory settings).
  std::string StoredText(uint32_t deviceHash) const ZEPHRIN_EXCLUDES(mutex_);

  /// What the simulated firmware learns from the config traffic.
  struct FirmwareHooks {
    /// The settings of a device changed; `text` holds every setting it has
    /// now (its factory settings where the program set none).
    std::function<void(uint32_t deviceHash, std::string_view text)> settingsChanged;
    /// An action for a device, after the store applied its effect on the
    /// device's signals: the firmware of a device it simulates acts on it
    /// too and serves its own signals again (those the harness does not hold).
    std::function<void(uint32_t deviceHash, int configId, double value)> action;
  };
  /// Installs the hooks; set before the runtime serves calls.
  void SetFirmwareHooks(FirmwareHooks hooks) { hooks_ = std::move(hooks); }
  /// Makes the device's next `count` config calls return `status`.
  void InjectFailures(uint32_t deviceHash, int count, int status) ZEPHRIN_EXCLUDES(mutex_);
  /// Every config call of the device since the last reset, oldest first.
  std::vector<RecordedConfigCall> Calls(uint32_t deviceHash) const ZEPHRIN_EXCLUDES(mutex_);

 private:
  // Checks the timeout, consumes an injected failure and waits for an absent
  // device; returns the status the call ends with unless it is 0.
  [[nodiscard]] int Admit(UniqueLock& lock, uint32_t deviceHash, double timeoutSeconds) ZEPHRIN_REQUIRES(mutex_);
  [[nodiscard]] int ApplyActions(uint32_t deviceHash, std::string_view text) ZEPHRIN_REQUIRES(mutex_);
  bool IsDevicePresent(uint32_t deviceHash) const;
  /// Sets the value the device serves for `signalId`, when its model has it.
  void SetDeviceSignal(uint32_t deviceHash, uint16_t signalId, double value);
  std::string JoinStored(uint32_t deviceHash) const ZEPHRIN_REQUIRES(mutex_);
  /// The factory settings of the device's model with its stored values over them.
  std::string JoinWithFactory(uint32_t deviceHash) const ZEPHRIN_REQUIRES(mutex_);
  void Record(uint32_t deviceHash, RecordedConfigCall call) ZEPHRIN_REQUIRES(mutex_);

  struct Injection {
    int remaining = 0;
    int status = 0;
  };

  Clock& clock_;
  const devices::DeviceRegistry& devices_;
  signals::SignalStore& signals_;
  FirmwareHooks hooks_;
  int clockListener_ = 0;

  mutable Mutex mutex_;
  std::condition_variable timeChanged_;
  std::map<uint32_t, std::map<int, std::string>> stored_ ZEPHRIN_GUARDED_BY(mutex_);  // hash -> id -> piece
  std::map<uint32_t, Injection> injections_ ZEPHRIN_GUARDED_BY(mutex_);
  std::map<uint32_t, std::vector<RecordedConfigCall>> calls_ ZEPHRIN_GUARDED_BY(mutex_);
};

}  // namespace kvor::zephrin::runtime::configs
