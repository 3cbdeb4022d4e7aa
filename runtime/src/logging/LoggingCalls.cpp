// The logging calls of the platform boundary, forwarding to the runtime's
// logger, and the harness view of the logger.

#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/runtime/harness/Logging.hpp>

#include "core/Runtime.hpp"
#include "logging/LoggerService.hpp"
#include "wisp/Status.hpp"

namespace kvor::zephrin::platform::can {

namespace {
runtime::logging::LoggerService& Logger(const runtime::Runtime::Lease& runtime) { return runtime->Logger(); }
}  // namespace

int CANComm_SetLoggerPath(const char* path) {
  if (path == nullptr) return runtime::wisp::kInvalidParamValue;
  return Logger(runtime::Runtime::Acquire()).SetPath(path);
}

int CANComm_StartLogger() { return Logger(runtime::Runtime::Acquire()).Start(); }

int CANComm_StopLogger() { return Logger(runtime::Runtime::Acquire()).Stop(); }

int CANComm_SetLoggerFlushPeriod(double seconds) {
  return Logger(runtime::Runtime::Acquire()).SetFlushPeriod(seconds);
}

int CANComm_LogUserSignal(std::string_view name, std::string_view units, UserDataType type, const uint8_t* data,
                          uint8_t size, double latencySeconds) {
  return Logger(runtime::Runtime::Acquire())
      .LogUserSignal(name, units, static_cast<uint8_t>(type), data, size, latencySeconds);
}

int LoggerManager::EnableAutoLogging(bool enable) {
  return Logger(runtime::Runtime::Acquire()).EnableAutoLogging(enable);
}

NetworkStateManager& NetworkStateManager::GetInstance() {
  static NetworkStateManager instance;
  return instance;
}

}  // namespace kvor::zephrin::platform::can

namespace kvor::zephrin::runtime::harness {

std::string CurrentLogFile() { return Runtime::Acquire()->Logger().CurrentFile(); }
std::string LastLogFile() { return Runtime::Acquire()->Logger().LastFile(); }
void AwaitLogWritten() { Runtime::Acquire()->Logger().AwaitWritten(); }
uint64_t DroppedUserSamples() { return Runtime::Acquire()->Logger().DroppedSamples(); }
void SetUserSignalBufferCapacity(std::size_t samples) { Runtime::Acquire()->Logger().SetBufferCapacity(samples); }
void NotifyDeviceCreated() { Runtime::Acquire()->Logger().OnDeviceCreated(); }

}  // namespace kvor::zephrin::runtime::harness
