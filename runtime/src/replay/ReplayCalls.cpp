// The replay calls of the platform boundary, forwarding to the runtime's
// replay engine.

#include <kvor/zephrin/platform/Replay.hpp>

#include "core/Runtime.hpp"
#include "replay/ReplayEngine.hpp"

namespace kvor::zephrin::platform {

namespace {
runtime::Runtime::Lease Current() { return runtime::Runtime::Acquire(); }
}  // namespace

int ReplayLoadFile(const char* path) { return Current()->Replay().Load(path); }
int ReplayCloseFile() { return Current()->Replay().Close(); }
bool ReplayIsFileLoaded() { return Current()->Replay().IsLoaded(); }
int ReplayPlay() { return Current()->Replay().Play(); }
int ReplayPause() { return Current()->Replay().Pause(); }
int ReplayStop() { return Current()->Replay().Stop(); }
int ReplaySetSpeed(double speed) { return Current()->Replay().SetSpeed(speed); }
int ReplayStepTiming(double stepTimeSeconds) { return Current()->Replay().Step(stepTimeSeconds); }
bool ReplayIsRunning(uint16_t timeoutMs) { return Current()->Replay().WaitUntilRunning(timeoutMs); }

int ReplayGetUserSignal(std::string_view name, std::string* units, UserDataType& type, uint8_t* data,
                        uint8_t& size, double& timestamp) {
  uint8_t rawType = 0;
  const int status = Current()->Replay().GetUserSignal(name, units, rawType, data, size, timestamp);
  if (status == 0) type = static_cast<UserDataType>(rawType);
  return status;
}

}  // namespace kvor::zephrin::platform
