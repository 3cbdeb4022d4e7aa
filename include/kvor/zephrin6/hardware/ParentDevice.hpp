#pragma once

// ParentDevice is the base of every device class. It owns the device's
// identity, the cache of its status signals (one object per signal ID,
// created on first lookup, destroyed with the device), the last control
// request sent to it, and the firmware compatibility check that guards every
// signal read and every control send.
//
// Devices are not copyable or movable: the signals they hand out are
// references into the device's cache and carry a check that points back at
// the device, so a copy would either share those signals or leave references
// dangling. Keep a device in one place (a member, a unique_ptr) for as long as
// its signals are used.
//
// Thread safety: lookups (getters) and control sends may run from several
// threads at once; the fields below name the lock that guards each. The
// firmware check runs in one thread at a time (the others skip it rather
// than wait). The signals themselves hold no lock: two threads must not
// refresh the same signal object at once.

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/hardware/DeviceIdentifier.hpp>
#include <kvor/zephrin6/signals/StatusSignal.hpp>

#include <units.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::controls {
class ControlRequest;
class EmptyControl;
}  // namespace kvor::zephrin6::controls

namespace kvor::zephrin6::hardware {

class ZEPHRIN6_API ParentDevice {
 public:
  /// Builds a mode-dependent signal's ID table: every ID the signal may be
  /// reported under, mapped to a name (only the IDs are kept).
  using MapperFunction = std::function<std::map<uint16_t, std::string>()>;

  /// Identifies the device (computing its hash through the runtime), then
  /// looks up and reads its "Compliancy" and "ResetFlags" signals once
  /// without reporting. The firmware check runs from the first
  /// read or control after construction; a device gets 3 seconds to answer
  /// before its silence is reported.
  /// @param deviceId ID of the device on its bus.
  /// @param model    model text, e.g. "rapax q".
  /// @param canbus   name of the bus, e.g. "" or "drive".
  ParentDevice(int deviceId, std::string model, std::string canbus);
  virtual ~ParentDevice();

  ParentDevice(const ParentDevice&) = delete;
  ParentDevice& operator=(const ParentDevice&) = delete;
  ParentDevice(ParentDevice&&) = delete;
  ParentDevice& operator=(ParentDevice&&) = delete;

  /// The device's identity (bus, model, ID, hash).
  const DeviceIdentifier& GetDeviceIdentifier() const noexcept { return identifier_; }
  /// The device's ID on its bus.
  int GetDeviceID() const noexcept { return identifier_.GetDeviceID(); }
  /// The name of the bus the device is on.
  const std::string& GetNetwork() const noexcept { return identifier_.GetNetwork(); }
  /// The model text, e.g. "rapax q".
  const std::string& GetModel() const noexcept { return identifier_.GetModel(); }
  /// The runtime's 32-bit key of the device.
  uint32_t GetDeviceHash() const noexcept { return identifier_.GetDeviceHash(); }

  /// The device's reset-flags signal, read first when the device was built.
  /// @param refresh read the latest value first (failures are reported).
  StatusSignal<int>& GetResetFlags(bool refresh = true);

  /// A snapshot of the last control request sent (an EmptyControl before the
  /// first): later sends never change the object returned, so it may be read
  /// on any thread for as long as it is held. Taking a snapshot costs the
  /// next send one allocation (its copy goes to a new object); sends of the
  /// same request type allocate nothing while no snapshot was taken since
  /// the previous send.
  std::shared_ptr<const controls::ControlRequest> GetAppliedControl() const ZEPHRIN_EXCLUDES(controlLock_);

  /// The firmware compatibility check, run before every signal read and every
  /// control send. Once the firmware's API compliancy number matched the
  /// library's it never runs again; until then it reads the device's
  /// compliancy signal at most every 0.25 s and reports -1008 FirmwareTooOld,
  /// -10030 ApiTooOld, or -10021 CouldNotRetrieveV6Firmware (the latter only
  /// from 3 s after construction) with the device text as location.
  void ReportIfTooOld();

  /// Stops every signal of the device that the program did not give an
  /// update frequency, or sets them to `optimizedFrequency`. Nothing is reported.
  /// @param optimizedFrequency frequency for those signals, hertz (0 stops them).
  /// @param timeout how long the device may take to confirm, seconds.
  /// @return the runtime's status (-1003 RxTimeout for an absent device).
  [[nodiscard]] kvor::zephrin::StatusCode OptimizeBusUtilization(
      units::frequency::hertz_t optimizedFrequency = units::frequency::hertz_t{0},
      units::time::second_t timeout = units::time::second_t{0.1});
  /// Returns every signal of the device to its default update frequency.
  /// Nothing is reported.
  /// @param timeout how long the device may take to confirm, seconds.
  /// @return the runtime's status.
  [[nodiscard]] kvor::zephrin::StatusCode ResetSignalFrequencies(
      units::time::second_t timeout = units::time::second_t{0.1});

 protected:
  /// The cached signal of `signalId`, created on first use (see LookupCommon).
  template <typename T>
  StatusSignal<T>& LookupStatusSignal(uint16_t signalId, std::string_view name, bool reportOnConstruction,
                                      bool refresh) {
    return LookupCommon<T>(signalId, NoMapper(), name, reportOnConstruction, refresh);
  }
  /// The cached mode-dependent signal of `signalId`; `mapper` lists its IDs.
  template <typename T>
  StatusSignal<T>& LookupStatusSignal(uint16_t signalId, const MapperFunction& mapper, std::string_view name,
                                      bool reportOnConstruction, bool refresh) {
    return LookupCommon<T>(signalId, mapper, name, reportOnConstruction, refresh);
  }

  /// Returns the device's signal of `signalId`, creating it on first use
  /// (with the units of every ID of `mapper`'s table when one is given), and
  /// reads it once when `refresh` is set. A failed read is reported when the
  /// signal existed before or `reportOnConstruction` is set. Never returns a
  /// dangling reference: when the ID was first looked up with another T, the
  /// per-T error signal (status -1002 InvalidParamValue, name "Invalid") is
  /// returned and nothing is reported. The reference stays valid as long as
  /// the device lives.
  template <typename T>
  StatusSignal<T>& LookupCommon(uint16_t signalId, const MapperFunction& mapper, std::string_view name,
                                bool reportOnConstruction, bool refresh);

  /// Sends a control request: under the control lock, runs the firmware
  /// check; when the device's firmware was read and does not match, sends the
  /// empty control instead and returns the check's status; otherwise sends
  /// the request (which copies itself into the last-control slot). A status
  /// that is not OK is reported after the lock is released, with the
  /// location "<device> Control Request <request name>".
  /// @return the runtime's status, or the compatibility status.
  virtual kvor::zephrin::StatusCode SetControlPrivate(const controls::ControlRequest& request)
      ZEPHRIN_EXCLUDES(controlLock_);

 private:
  static const MapperFunction& NoMapper();
  /// Makes the last control an EmptyControl named `name`, in place when it
  /// already is one that nobody else holds.
  void SetLastControlEmpty(const std::string& name) ZEPHRIN_REQUIRES(controlLock_);

  DeviceIdentifier identifier_;
  // Recursive: a mapper runs under it and may look up another signal.
  mutable kvor::zephrin::RecursiveMutex signalLock_;
  // Search and insertion only; reads of the signals run outside the lock.
  std::map<uint32_t, std::unique_ptr<BaseStatusSignal>> signals_ ZEPHRIN_GUARDED_BY(signalLock_);
  // Serialises control sends.
  mutable kvor::zephrin::Mutex controlLock_;
  std::shared_ptr<controls::ControlRequest> lastControl_ ZEPHRIN_GUARDED_BY(controlLock_);
  // The last snapshot handed out, kept until the next send has moved the
  // slot to a new object. While it is held the slot is never the sole owner
  // of an object a reader may still look at, so the in-place assignment of a
  // send can never race with a reader (a bare use count, read without
  // synchronisation, could not promise that once the reader let go).
  mutable std::shared_ptr<const controls::ControlRequest> lentControl_ ZEPHRIN_GUARDED_BY(controlLock_);
  // The type of the last request sent that is no empty control, which tells
  // the next send of that type without a dynamic_cast.
  const std::type_info* lastSentType_ ZEPHRIN_GUARDED_BY(controlLock_) = nullptr;
  double creationTime_ = 0.0;
  std::atomic<bool> ready_{false};
  // The outcome of the last compatibility check: OK, FirmwareTooOld or
  // ApiTooOld once the firmware's number was read, CouldNotRetrieveV6Firmware
  // until then. One value, so that no reader sees half of a check.
  std::atomic<int32_t> compliancyStatus_{kvor::zephrin::StatusCode::CouldNotRetrieveV6Firmware};
  // Guards the compatibility check; only ever try-locked, so no caller
  // waits for it.
  kvor::zephrin::Mutex checkLock_;
  double nextCheckTime_ ZEPHRIN_GUARDED_BY(checkLock_) = 0.0;
  StatusSignal<int>* compliancy_ ZEPHRIN_PT_GUARDED_BY(checkLock_) = nullptr;
  StatusSignal<int>* resetFlags_ = nullptr;

  /// The empty control shared by all devices; its name is what a refused
  /// request leaves in the last-control slot.
  static const controls::EmptyControl _emptyControl;
};

template <typename T>
StatusSignal<T>& ParentDevice::LookupCommon(uint16_t signalId, const MapperFunction& mapper, std::string_view name,
                                            bool reportOnConstruction, bool refresh) {
  // One error signal per T, never destroyed, so that references to it stay
  // valid for the whole program.
  static StatusSignal<T>& errorSignal = *new StatusSignal<T>(kvor::zephrin::StatusCode::InvalidParamValue);

  BaseStatusSignal* entry = nullptr;
  bool existed = false;
  {
    kvor::zephrin::LockGuard lock(signalLock_);
    auto it = signals_.find(signalId);
    existed = it != signals_.end();
    if (!existed) {
      auto created =
          std::make_unique<StatusSignal<T>>(identifier_, signalId, std::string(name), [this] { ReportIfTooOld(); });
      if (mapper) {
        std::map<uint16_t, std::string> unitsById = mapper();
        for (auto& [id, text] : unitsById) text = BaseStatusSignal::Status_GetUnits(id);
        created->unitsById_ = std::move(unitsById);
      }
      it = signals_.try_emplace(signalId, std::move(created)).first;
    }
    entry = it->second.get();
  }
  if (entry == nullptr) return errorSignal;
  // Exact type match: a signal first looked up with another T is not this one.
  if (typeid(*entry) != typeid(StatusSignal<T>)) return errorSignal;
  auto& signal = static_cast<StatusSignal<T>&>(*entry);
  if (refresh) signal.RefreshValue(false, units::time::second_t{0}, existed || reportOnConstruction);
  return signal;
}

}  // namespace kvor::zephrin6::hardware
