// The logging calls of the platform boundary, forwarding to the one
// LoggerService, and the harness view of the logger.

#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/runtime/harness/Logging.hpp>

#include "logging/DeviceHook.hpp"
#include "logging/LoggerService.hpp"
#include "wisp/Status.hpp"

namespace kvor::zephrin::platform::can {

using runtime::logging::LoggerService;

int CANComm_SetLoggerPath(const char* path) {
  if (path == nullptr) return runtime::wisp::kInvalidParamValue;
  return LoggerService::Instance().SetPath(path);
}

int CANComm_StartLogger() { return LoggerService::Instance().Start(); }

int CANComm_StopLogger() { return LoggerService::Instance().Stop(); }

int CANComm_LogUserSignal(std::string_view name, std::string_view units, UserDataType type, const uint8_t* data,
                          uint8_t size, double latencySeconds) {
  return LoggerService::Instance().LogUserSignal(name, units, static_cast<uint8_t>(type), data, size,
                                                 latencySeconds);
}

int LoggerManager::EnableAutoLogging(bool enable) { return LoggerService::Instance().EnableAutoLogging(enable); }

NetworkStateManager& NetworkStateManager::GetInstance() {
  static NetworkStateManager instance;
  return instance;
}

}  // namespace kvor::zephrin::platform::can

namespace kvor::zephrin::runtime::logging {
void OnDeviceCreated() { LoggerService::Instance().OnDeviceCreated(); }
}  // namespace kvor::zephrin::runtime::logging

namespace kvor::zephrin::runtime::harness {

using logging::LoggerService;

std::string CurrentLogFile() { return LoggerService::Instance().CurrentFile(); }
std::string LastLogFile() { return LoggerService::Instance().LastFile(); }
void AwaitLogWritten() { LoggerService::Instance().AwaitWritten(); }
uint64_t DroppedUserSamples() { return LoggerService::Instance().DroppedSamples(); }
void SetUserSignalBufferCapacity(std::size_t samples) { LoggerService::Instance().SetBufferCapacity(samples); }
void NotifyDeviceCreated() { LoggerService::Instance().OnDeviceCreated(); }

}  // namespace kvor::zephrin::runtime::harness
