#include <kvor/zephrin6/configs/ParentConfigurator.hpp>

#include <kvor/zephrin/platform/Configs.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/networking/Wrappers.hpp>

#include <cstdlib>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;
using networking::Wrappers;

namespace {

// The watch's rules, seconds: start-up calls are free, a pause of this long
// breaks a run, and a run longer than this draws the warning.
constexpr double kStartupGrace = 5.0;
constexpr double kRunBreak = 1.0;
constexpr double kRunLimit = 3.0;

}  // namespace

ParentConfigurator::ParentConfigurator(hardware::DeviceIdentifier id, units::time::second_t defaultTimeout)
    : defaultTimeout_{defaultTimeout},
      deviceIdentifier_{std::move(id)},
      creationTime_{utils::GetCurrentTimeSeconds()},
      lastCallTime_{creationTime_} {}

bool ParentConfigurator::CountCall(double now) const {
  double previous = lastCallTime_;
  lastCallTime_ = now;
  if (now - creationTime_ < kStartupGrace) return false;
  if (now - previous >= kRunBreak) {
    streakStart_ = 0;
    return false;
  }
  if (streakStart_ == 0) streakStart_ = previous;
  return streakStart_ > 0 && now - streakStart_ > kRunLimit;
}

void ParentConfigurator::ReportFrequent() const {
  internal::ReportStatus(StatusCode::FrequentConfigCalls, internal::ConfigLocation(deviceIdentifier_.ToString()), 2);
}

void ParentConfigurator::ReportIfFrequent() const {
  bool frequent;
  {
    kvor::zephrin::LockGuard lock(lock_);
    frequent = CountCall(utils::GetCurrentTimeSeconds());
  }
  if (frequent) ReportFrequent();
}

StatusCode ParentConfigurator::SetConfigsPrivate(const std::string& configText, units::time::second_t timeoutSeconds,
                                                 bool firstFlag, bool actionFlag) const {
  StatusCode status;
  bool frequent;
  {
    kvor::zephrin::LockGuard lock(lock_);
    status = Wrappers::Device_SetConfigValues(deviceIdentifier_.GetNetwork().c_str(),
                                              static_cast<int>(deviceIdentifier_.GetDeviceHash()),
                                              timeoutSeconds.value(), configText, firstFlag, actionFlag);
    frequent = CountCall(utils::GetCurrentTimeSeconds());
  }
  if (frequent) ReportFrequent();
  if (status != StatusCode::OK && status != StatusCode::TimeoutCannotBeZero) {
    internal::ReportStatus(status, internal::ApplyConfigLocation(deviceIdentifier_.ToString()), 1);
  }
  return status;
}

StatusCode ParentConfigurator::GetConfigsPrivate(std::string& configText, units::time::second_t timeoutSeconds) const {
  StatusCode status;
  bool frequent;
  {
    kvor::zephrin::LockGuard lock(lock_);
    status = Wrappers::Device_GetConfigValues(deviceIdentifier_.GetNetwork().c_str(),
                                              static_cast<int>(deviceIdentifier_.GetDeviceHash()),
                                              timeoutSeconds.value(), configText);
    frequent = CountCall(utils::GetCurrentTimeSeconds());
  }
  if (frequent) ReportFrequent();
  if (status != StatusCode::OK) {
    internal::ReportStatus(status, internal::RefreshConfigLocation(deviceIdentifier_.ToString()), 1);
  }
  return status;
}

StatusCode ParentConfigurator::ApplyConfig(const ParentConfiguration& configs,
                                           units::time::second_t timeoutSeconds) const {
  return SetConfigsPrivate(configs.Serialize(), timeoutSeconds, false, false);
}

StatusCode ParentConfigurator::RefreshConfig(ParentConfiguration& configs, units::time::second_t timeoutSeconds) const {
  std::string text;
  StatusCode status = GetConfigsPrivate(text, timeoutSeconds);
  configs.Deserialize(text);
  return status;
}

StatusCode ParentConfigurator::SendAction(int configId, double value, units::time::second_t timeoutSeconds) const {
  char* piece = nullptr;
  const StatusCode serialized = c_kvor_zephrin6_serialize_double(configId, value, &piece);
  if (!serialized.IsOK()) {
    // Sending the empty text instead would do nothing and answer OK.
    internal::ReportStatus(serialized, internal::ApplyConfigLocation(deviceIdentifier_.ToString()), 1);
    return serialized;
  }
  const std::string text = piece;
  std::free(piece);
  return SetConfigsPrivate(text, timeoutSeconds, false, true);
}

}  // namespace kvor::zephrin6::configs
