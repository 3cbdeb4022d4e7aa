#include <kvor/zephrin6/hardware/ParentDevice.hpp>

#include <typeinfo>

#include <kvor/zephrin/platform/ControlRequests.hpp>
#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/controls/EmptyControl.hpp>

#include <utility>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6::hardware {

using kvor::zephrin::StatusCode;

namespace {
constexpr uint16_t kCompliancyId = kvor::zephrin::signal_ids::common::kCompliancy;
constexpr uint16_t kResetFlagsId = kvor::zephrin::signal_ids::common::kResetFlags;
// The firmware check reads the compliancy signal at most this often.
constexpr double kCheckIntervalSeconds = 0.25;
// A device that has not answered yet is not reported before this much time
// has passed since construction (it may still be booting).
constexpr double kAnswerGraceSeconds = 3.0;

double Now() { return kvor::zephrin6::utils::GetCurrentTimeSeconds(); }

// False for an empty control (which is sent as the empty request), true for
// every other request. `lastSent` remembers the type of the last request
// that was no empty control: the same type again needs no dynamic_cast (a
// type is or is not derived from EmptyControl once and for all). A local
// function rather than a member, so that every send has it inline.
bool IsSentAsRequest(const std::type_info*& lastSent, const controls::ControlRequest& request) {
  const std::type_info& type = typeid(request);
  if (lastSent != nullptr && *lastSent == type) return true;
  if (dynamic_cast<const controls::EmptyControl*>(&request) != nullptr) return false;
  lastSent = &type;
  return true;
}
}  // namespace

const controls::EmptyControl ParentDevice::_emptyControl{};

const ParentDevice::MapperFunction& ParentDevice::NoMapper() {
  static const MapperFunction none;
  return none;
}

ParentDevice::ParentDevice(int deviceId, std::string model, std::string canbus)
    : identifier_{deviceId, std::move(model), std::move(canbus)},
      lastControl_{std::make_shared<controls::EmptyControl>()},
      creationTime_{Now()},
      nextCheckTime_{creationTime_} {
  compliancy_ = &LookupStatusSignal<int>(kCompliancyId, "Compliancy", false, true);
  resetFlags_ = &LookupStatusSignal<int>(kResetFlagsId, "ResetFlags", false, true);
  ready_.store(true, std::memory_order_release);
}

ParentDevice::~ParentDevice() = default;

StatusSignal<int>& ParentDevice::GetResetFlags(bool refresh) {
  return LookupStatusSignal<int>(kResetFlagsId, "ResetFlags", false, refresh);
}

std::shared_ptr<const controls::ControlRequest> ParentDevice::GetAppliedControl() const {
  kvor::zephrin::LockGuard lock(controlLock_);
  lentControl_ = lastControl_;
  return lastControl_;
}

void ParentDevice::ReportIfTooOld() {
  if (compliancyStatus_.load(std::memory_order_acquire) == StatusCode::OK) return;
  if (!ready_.load(std::memory_order_acquire)) return;
  // One thread checks at a time; the others go on at once rather than wait,
  // since the check's result only matters every 0.25 s.
  kvor::zephrin::UniqueLock guard(checkLock_, std::defer_lock);
  if (!guard.TryLock()) return;
  const double now = Now();
  if (now < nextCheckTime_) return;
  nextCheckTime_ = now + kCheckIntervalSeconds;

  // Read the compliancy signal directly: its own check is this function,
  // which would only return at the gate just moved.
  StatusCode read = BaseStatusSignal::Status_Get(*compliancy_, identifier_.GetNetwork().c_str(), false, 0.0);
  compliancy_->error_ = read;
  StatusCode code = StatusCode::OK;
  if (!read.IsOK()) {
    code = StatusCode::CouldNotRetrieveV6Firmware;
  } else {
    const auto firmware = static_cast<uint32_t>(internal::TruncateToInt(compliancy_->GetValueAsDouble()));
    const auto library = static_cast<uint32_t>(kvor::zephrin::unmanaged::GetApiCompliancy());
    if (firmware < library) code = StatusCode::FirmwareTooOld;
    else if (firmware > library) code = StatusCode::ApiTooOld;
  }
  if (code != StatusCode::CouldNotRetrieveV6Firmware || now - creationTime_ >= kAnswerGraceSeconds) {
    if (!code.IsOK()) kvor::zephrin6::internal::ReportStatus(code, identifier_.ToString(), 1);
  }
  compliancyStatus_.store(code.value(), std::memory_order_release);
}

void ParentDevice::SetLastControlEmpty(const std::string& name) {
  if (lastControl_.use_count() == 1) {
    if (auto* empty = dynamic_cast<controls::EmptyControl*>(lastControl_.get())) {
      empty->name = name;
      return;
    }
  }
  auto replacement = std::make_shared<controls::EmptyControl>();
  replacement->name = name;
  lastControl_ = std::move(replacement);
}

StatusCode ParentDevice::SetControlPrivate(const controls::ControlRequest& request) {
  StatusCode status = StatusCode::StatusCodeNotInitialized;
  {
    kvor::zephrin::LockGuard lock(controlLock_);
    // Once the versions matched the check never runs again: a send then
    // pays one atomic load for it rather than a call.
    if (compliancyStatus_.load(std::memory_order_acquire) != StatusCode::OK) ReportIfTooOld();
    const StatusCode compliancy = compliancyStatus_.load(std::memory_order_acquire);
    const char* network = identifier_.GetNetwork().c_str();
    const uint32_t hash = identifier_.GetDeviceHash();
    // Both version errors come from a number the firmware did send; the
    // status alone tells them, so that a send beside a check still under way
    // on another thread never pairs this outcome with the other's reading.
    if (compliancy == StatusCode::FirmwareTooOld || compliancy == StatusCode::ApiTooOld) {
      // The firmware answered with another API version: commanding it could
      // misinterpret every field, so only the empty control goes out.
      SetLastControlEmpty(_emptyControl.name);
      c_kvor_zephrin6_RequestControlEmpty(network, hash, 0.0);
      status = compliancy;
    } else if (IsSentAsRequest(lastSentType_, request)) {
      status = request.SendRequest(network, hash, lastControl_);
    } else {
      SetLastControlEmpty(request.name);
      status = c_kvor_zephrin6_RequestControlEmpty(network, hash, 0.0);
    }
    // The lent object left the slot, so its readers alone own it now.
    if (lentControl_ && lentControl_ != lastControl_) lentControl_.reset();
  }
  if (!status.IsOK()) {
    kvor::zephrin6::internal::ReportStatus(
        status, kvor::zephrin6::internal::ControlRequestLocation(identifier_.ToString(), request.name), 2);
  }
  return status;
}

StatusCode ParentDevice::OptimizeBusUtilization(units::frequency::hertz_t optimizedFrequency,
                                                units::time::second_t timeout) {
  return c_kvor_zephrin6_OptimizeUpdateFrequencies(0, identifier_.GetNetwork().c_str(), identifier_.GetDeviceHash(),
                                                   optimizedFrequency.value(), timeout.value());
}

StatusCode ParentDevice::ResetSignalFrequencies(units::time::second_t timeout) {
  return c_kvor_zephrin6_ResetUpdateFrequencies(0, identifier_.GetNetwork().c_str(), identifier_.GetDeviceHash(),
                                                timeout.value());
}

}  // namespace kvor::zephrin6::hardware
