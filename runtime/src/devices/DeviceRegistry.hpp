#pragma once

// The runtime's registry of devices: every device the program announced by
// encoding its key, with its bus, model, presence and the API compliancy
// number its firmware reports. The registry owns its records; callers get
// copies, or const pointers while they hold the registry's lock (the read
// path of the signal store, which must not allocate). Records live as long
// as the registry, which the Runtime owns. Thread-safe.

#include <kvor/zephrin/Mutex.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvor::zephrin::runtime {
class Clock;
}

namespace kvor::zephrin::runtime::devices {

/// One device as the runtime knows it.
struct DeviceRecord {
  uint32_t hash = 0;
  int deviceId = 0;
  std::string model;
  std::string bus;
  uint32_t modelMask = 0;  ///< catalogue model bit, 0 for a model the catalogue does not know
  bool present = true;     ///< answers on its bus
  int compliancy = 0;      ///< API compliancy number its firmware reports
  /// Runtime time of its registration, seconds: a log holds its frames
  /// from then on, whenever the log writer gets to collect them.
  double since = 0.0;
};

class DeviceRegistry {
 public:
  /// `clock` stamps registrations; it must outlive the registry.
  explicit DeviceRegistry(const Clock& clock) : clock_(clock) {}
  DeviceRegistry(const DeviceRegistry&) = delete;
  DeviceRegistry& operator=(const DeviceRegistry&) = delete;

  /// The stable key of a device: 32-bit FNV-1a over the device ID (four
  /// bytes, little endian), the model text, a NUL, the bus name and a NUL.
  /// The separators keep ("ab", "c") and ("a", "bc") apart.
  static uint32_t Hash(int deviceId, std::string_view model, std::string_view bus);

  /// Registers the device (present, reporting the runtime's compliancy
  /// number) unless it is known already, and returns its hash. Registration
  /// listeners run, outside the lock, for a device seen for the first time.
  uint32_t Register(int deviceId, std::string_view model, std::string_view bus) ZEPHRIN_EXCLUDES(mutex_);
  /// Registers the device like Register, then sets its presence and the
  /// compliancy number it reports (also for a device known already).
  uint32_t Register(int deviceId, std::string_view model, std::string_view bus, bool present, int compliancy)
      ZEPHRIN_EXCLUDES(mutex_);

  /// Runs `listener` for every device registered from now on (auto logging
  /// starts on the first one). Returns a handle for RemoveListener.
  int AddRegistrationListener(std::function<void(const DeviceRecord&)> listener) ZEPHRIN_EXCLUDES(mutex_);
  void RemoveListener(int handle) ZEPHRIN_EXCLUDES(mutex_);

  /// A copy of the record of `hash`; false when the device was never registered.
  bool Find(uint32_t hash, DeviceRecord& out) const ZEPHRIN_EXCLUDES(mutex_);
  /// The model mask of the record of `hash` (0 when the device was never
  /// registered), without copying the record's texts.
  uint32_t ModelMaskOf(uint32_t hash) const ZEPHRIN_EXCLUDES(mutex_);
  /// Copies of every record, in no particular order.
  std::vector<DeviceRecord> All() const ZEPHRIN_EXCLUDES(mutex_);

  /// Marks a device present or absent; false when it is not registered.
  bool SetPresent(uint32_t hash, bool present) ZEPHRIN_EXCLUDES(mutex_);
  /// Sets the compliancy number a device reports; false when not registered.
  bool SetCompliancy(uint32_t hash, int compliancy) ZEPHRIN_EXCLUDES(mutex_);

  /// The mutex guarding the records: hold it to read them in place with
  /// FindRecord.
  Mutex& RecordsMutex() const ZEPHRIN_RETURN_CAPABILITY(mutex_) { return mutex_; }
  /// The record of `hash`, or null; valid while the caller holds the mutex.
  const DeviceRecord* FindRecord(uint32_t hash) const ZEPHRIN_REQUIRES(mutex_);

 private:
  const Clock& clock_;
  mutable Mutex mutex_;
  std::unordered_map<uint32_t, std::unique_ptr<DeviceRecord>> devices_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<std::pair<int, std::function<void(const DeviceRecord&)>>> listeners_ ZEPHRIN_GUARDED_BY(mutex_);
  int nextListener_ ZEPHRIN_GUARDED_BY(mutex_) = 1;
};

}  // namespace kvor::zephrin::runtime::devices
