#include <kvor/zephrin6/signals/BaseStatusSignal.hpp>

#include <kvor/zephrin/platform/Signals.hpp>

#include <cstring>
#include <memory>
#include <type_traits>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6 {

using kvor::zephrin::StatusCode;
using kvor::zephrin::platform::SignalFrequencyEntry;
using kvor::zephrin::platform::SignalMeasurement;
using kvor::zephrin::platform::SignalProperties;

namespace {

// Groups up to this size keep their keys, records and entries on the stack,
// so the odometry loop's multi-signal reads allocate nothing.
constexpr size_t kStackSignals = 64;

// Storage for `count` elements: on the stack for small groups, on the heap
// beyond. Elements start unset: every user writes each one before it is read
// (the runtime fills every byte of each record it is handed), so clearing
// them first would only cost a pass over the group on every read.
template <typename T>
class GroupBuffer {
  static_assert(std::is_trivially_default_constructible_v<T>, "elements are left unset until written");

 public:
  explicit GroupBuffer(size_t count) {
    if (count > kStackSignals) {
      heap_ = std::make_unique_for_overwrite<T[]>(count);
      data_ = heap_.get();
    }
  }
  T* data() { return data_; }
  T& operator[](size_t i) { return data_[i]; }

 private:
  T stack_[kStackSignals];
  std::unique_ptr<T[]> heap_;
  T* data_ = stack_;
};

}  // namespace

BaseStatusSignal::BaseStatusSignal(hardware::DeviceIdentifier deviceIdentifier, uint16_t signalId,
                                   std::string signalName, std::function<void()> checkFirmVersFunction)
    : deviceIdentifier_{std::move(deviceIdentifier)},
      spn_{signalId},
      units_{Status_GetUnits(signalId)},
      signalName_{std::move(signalName)},
      checkFirmVersFunction_{std::move(checkFirmVersFunction)} {}

BaseStatusSignal::BaseStatusSignal(StatusCode error)
    : error_{error}, signalName_{"Invalid"}, checkFirmVersFunction_{[] {}} {}

BaseStatusSignal::~BaseStatusSignal() = default;

void BaseStatusSignal::TakeSample(double value, uint16_t reportedId, double systemSeconds, double bustrelSeconds,
                                  double deviceSeconds, int32_t status) {
  baseValue_ = value;
  timestamps_.Update(systemSeconds, bustrelSeconds, deviceSeconds);
  error_ = status;
  UpdateUnits(reportedId);
}

StatusCode BaseStatusSignal::RefreshValue(bool waitForUpdate, units::time::second_t timeout, bool reportError) {
  // A signal without a check has no device behind it and cannot be read.
  if (!checkFirmVersFunction_) return error_;
  checkFirmVersFunction_();
  error_ = Status_Get(*this, deviceIdentifier_.GetNetwork().c_str(), waitForUpdate, timeout.value());
  if (reportError && !error_.IsOK()) {
    internal::ReportStatus(error_, internal::StatusSignalLocation(deviceIdentifier_.ToString(), signalName_), 1);
  }
  return error_;
}

StatusCode BaseStatusSignal::SetUpdateFrequency(units::frequency::hertz_t frequency, units::time::second_t timeout) {
  return Status_SetUpdateFrequency(deviceIdentifier_.GetNetwork().c_str(), deviceIdentifier_.GetDeviceHash(), spn_,
                                   frequency.value(), timeout.value());
}

units::frequency::hertz_t BaseStatusSignal::GetAppliedUpdateFrequency() const {
  return units::frequency::hertz_t{
      Status_GetAppliedUpdateFrequency(deviceIdentifier_.GetNetwork().c_str(), deviceIdentifier_.GetDeviceHash(), spn_)};
}

// ---- Several signals at once ----

StatusCode BaseStatusSignal::WaitForAllImpl(const char* location, units::time::second_t timeout,
                                            std::span<BaseStatusSignal* const> signals) {
  if (signals.empty()) {
    StatusCode status = StatusCode::InvalidParamValue;
    internal::ReportStatus(status, location, 1);
    return status;
  }
  const std::string& network = signals.front()->deviceIdentifier_.GetNetwork();
  // Every other signal must be on the first one's network.
  for (const BaseStatusSignal* signal : signals.subspan(1)) {
    if (signal->deviceIdentifier_.GetNetwork() != network) {
      StatusCode status = StatusCode::InvalidNetwork;
      internal::ReportStatus(status, location, 1);
      return status;
    }
  }
  for (BaseStatusSignal* signal : signals) {
    if (signal->checkFirmVersFunction_) signal->checkFirmVersFunction_();
  }
  StatusCode status = Status_WaitForAll(signals.data(), signals.size(), network.c_str(), timeout.value());
  if (!status.IsOK()) internal::ReportStatus(status, location, 1);
  return status;
}

StatusCode BaseStatusSignal::WaitForAllImpl(const char* location, units::time::second_t timeout,
                                            const std::vector<BaseStatusSignal*>& signals) {
  return WaitForAllImpl(location, timeout, std::span<BaseStatusSignal* const>(signals));
}

StatusCode BaseStatusSignal::WaitForAll(units::time::second_t timeout, std::span<BaseStatusSignal* const> signals) {
  return WaitForAllImpl(kWaitForAllLocation, timeout, signals);
}

StatusCode BaseStatusSignal::WaitForAll(units::time::second_t timeout, const std::vector<BaseStatusSignal*>& signals) {
  return WaitForAllImpl(kWaitForAllLocation, timeout, std::span<BaseStatusSignal* const>(signals));
}

StatusCode BaseStatusSignal::RefreshAll(std::span<BaseStatusSignal* const> signals) {
  return WaitForAllImpl(kRefreshAllLocation, units::time::second_t{0}, signals);
}

StatusCode BaseStatusSignal::RefreshAll(const std::vector<BaseStatusSignal*>& signals) {
  return WaitForAllImpl(kRefreshAllLocation, units::time::second_t{0}, std::span<BaseStatusSignal* const>(signals));
}

StatusCode BaseStatusSignal::SetUpdateFrequencyForAll(units::frequency::hertz_t frequency,
                                                      const std::vector<BaseStatusSignal*>& signals) {
  return Status_SetUpdateFrequencyForAll(signals.data(), signals.size(), frequency.value(), kDefaultTimeoutSeconds);
}

// ---- Runtime wrappers ----

StatusCode BaseStatusSignal::Status_Get(BaseStatusSignal& signal, const char* network, bool waitForUpdate,
                                        double timeoutSeconds) {
  const uint64_t key = signal.GetSignalKey();
  SignalMeasurement record{};
  int status = c_kvor_zephrin6_get_signal(1, &key, &record, network, waitForUpdate, timeoutSeconds);
  signal.TakeSample(record.value, record.reportedId, record.systemTime, record.bustrelTime, record.deviceTime,
                    record.status);
  return status;
}

StatusCode BaseStatusSignal::Status_WaitForAll(BaseStatusSignal* const* signals, size_t count, const char* network,
                                               double timeoutSeconds) {
  GroupBuffer<uint64_t> keys(count);
  GroupBuffer<SignalMeasurement> records(count);
  for (size_t i = 0; i < count; ++i) keys[i] = signals[i]->GetSignalKey();
  int status = c_kvor_zephrin6_get_signal(count, keys.data(), records.data(), network, true, timeoutSeconds);
  for (size_t i = 0; i < count; ++i) {
    const SignalMeasurement& r = records[i];
    signals[i]->TakeSample(r.value, r.reportedId, r.systemTime, r.bustrelTime, r.deviceTime, r.status);
  }
  return status;
}

StatusCode BaseStatusSignal::Status_SetUpdateFrequency(const char* network, uint32_t deviceHash, uint16_t signalId,
                                                       double frequencyHz, double timeoutSeconds) {
  return c_kvor_zephrin6_SetUpdateFrequency(0, network, deviceHash, signalId, frequencyHz, timeoutSeconds);
}

StatusCode BaseStatusSignal::Status_SetUpdateFrequencyForAll(BaseStatusSignal* const* signals, size_t count,
                                                             double frequencyHz, double timeoutSeconds) {
  GroupBuffer<SignalFrequencyEntry> entries(count);
  for (size_t i = 0; i < count; ++i) {
    entries[i] = {signals[i]->deviceIdentifier_.GetNetwork().c_str(), signals[i]->GetSignalKey()};
  }
  return c_kvor_zephrin6_SetUpdateFrequencyForAll(0, entries.data(), count, frequencyHz, timeoutSeconds);
}

double BaseStatusSignal::Status_GetAppliedUpdateFrequency(const char* network, uint32_t deviceHash,
                                                          uint16_t signalId) {
  return c_kvor_zephrin6_GetUpdateFrequency(network, deviceHash, signalId);
}

std::string BaseStatusSignal::Status_GetUnits(uint16_t signalId) {
  SignalProperties properties{};
  // An ID the runtime does not know leaves the record zeroed: no units.
  static_cast<void>(c_kvor_zephrin6_get_rets(signalId, kvor::zephrin::platform::kSignalPropertyUnits, &properties));
  return properties.units != nullptr ? std::string(properties.units) : std::string();
}

}  // namespace kvor::zephrin6
