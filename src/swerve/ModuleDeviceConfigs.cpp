#include <kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp>

#include <string>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6::swerve::impl {

kvor::zephrin::StatusCode ApplyWithRetries(const hardware::DeviceIdentifier& device, std::size_t moduleIndex,
                                           std::string_view role,
                                           const std::function<kvor::zephrin::StatusCode()>& apply) {
  kvor::zephrin::StatusCode status = kvor::zephrin::StatusCode::OK;
  // Every attempt is bounded by the configurator's timeout, so a device that
  // never answers costs a few tenths of a second, not the whole start-up.
  for (int attempt = 0; attempt < kConfigAttempts; ++attempt) {
    status = apply();
    if (status.IsOK()) return status;
  }
  // The configurator reported each attempt against the device; this says
  // which module and which part of it the program is now driving
  // unconfigured.
  zephrin6::internal::ReportStatus(status, device.ToString() + " Swerve Module " + std::to_string(moduleIndex) + " " +
                                     std::string(role) + " Config");
  return status;
}

}  // namespace kvor::zephrin6::swerve::impl
