// The replay calls of the platform boundary, forwarding to the one
// ReplayEngine, and the harness's replay wall clock.

#include <kvor/zephrin/platform/Replay.hpp>
#include <kvor/zephrin/runtime/harness/Logging.hpp>

#include "replay/ReplayEngine.hpp"

namespace kvor::zephrin::platform {

using runtime::replay::ReplayEngine;

int ReplayLoadFile(const char* path) { return ReplayEngine::Instance().Load(path); }
int ReplayCloseFile() { return ReplayEngine::Instance().Close(); }
bool ReplayIsFileLoaded() { return ReplayEngine::Instance().IsLoaded(); }
int ReplayPlay() { return ReplayEngine::Instance().Play(); }
int ReplayPause() { return ReplayEngine::Instance().Pause(); }
int ReplayStop() { return ReplayEngine::Instance().Stop(); }
int ReplaySetSpeed(double speed) { return ReplayEngine::Instance().SetSpeed(speed); }
int ReplayStepTiming(double stepTimeSeconds) { return ReplayEngine::Instance().Step(stepTimeSeconds); }
bool ReplayIsRunning(uint16_t timeoutMs) { return ReplayEngine::Instance().WaitUntilRunning(timeoutMs); }

int ReplayGetUserSignal(std::string_view name, std::string* units, UserDataType& type, uint8_t* data,
                        uint8_t& size, double& timestamp) {
  uint8_t rawType = 0;
  const int status = ReplayEngine::Instance().GetUserSignal(name, units, rawType, data, size, timestamp);
  if (status == 0) type = static_cast<UserDataType>(rawType);
  return status;
}

}  // namespace kvor::zephrin::platform

namespace kvor::zephrin::runtime::harness {
void AdvanceReplayWallClock(double seconds) { replay::ReplayEngine::Instance().AdvanceManualWall(seconds); }
}  // namespace kvor::zephrin::runtime::harness
