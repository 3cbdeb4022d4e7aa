// The music engine's platform calls and its harness view, each one call into
// the current runtime's engine.

#include <kvor/zephrin/platform/Orchestra.hpp>
#include <kvor/zephrin/runtime/harness/Music.hpp>

#include "core/Runtime.hpp"
#include "music/MusicEngine.hpp"

using kvor::zephrin::runtime::Runtime;

extern "C" int c_kvor_zephrin6_orchestra_Create(uint16_t* id) { return Runtime::Acquire()->Music().Create(id); }

extern "C" int c_kvor_zephrin6_orchestra_Close(uint16_t id) { return Runtime::Acquire()->Music().Close(id); }

extern "C" int c_kvor_zephrin6_orchestra_AddDevice(uint16_t id, const char* network, uint32_t deviceHash) {
  return Runtime::Acquire()->Music().AddDevice(id, network, deviceHash, std::nullopt);
}

extern "C" int c_kvor_zephrin6_orchestra_AddDeviceWithTrack(uint16_t id, const char* network, uint32_t deviceHash,
                                                            uint16_t track) {
  return Runtime::Acquire()->Music().AddDevice(id, network, deviceHash, track);
}

extern "C" int c_kvor_zephrin6_orchestra_ClearDevices(uint16_t id) {
  return Runtime::Acquire()->Music().ClearDevices(id);
}

extern "C" int c_kvor_zephrin6_orchestra_LoadMusic(uint16_t id, const char* filepath) {
  return Runtime::Acquire()->Music().LoadMusic(id, filepath);
}

extern "C" int c_kvor_zephrin6_orchestra_Play(uint16_t id) { return Runtime::Acquire()->Music().Play(id); }

extern "C" int c_kvor_zephrin6_orchestra_Pause(uint16_t id) { return Runtime::Acquire()->Music().Pause(id); }

extern "C" int c_kvor_zephrin6_orchestra_Stop(uint16_t id) { return Runtime::Acquire()->Music().Stop(id); }

extern "C" int c_kvor_zephrin6_orchestra_IsPlaying(uint16_t id, int* isPlaying) {
  return Runtime::Acquire()->Music().IsPlaying(id, isPlaying);
}

extern "C" int c_kvor_zephrin6_orchestra_GetCurrentTime(uint16_t id, double* timeSeconds) {
  return Runtime::Acquire()->Music().GetCurrentTime(id, timeSeconds);
}

namespace kvor::zephrin::runtime::harness {

void AwaitMusic() { Runtime::Acquire()->Music().AwaitCaughtUp(); }

std::size_t OpenOrchestras() { return Runtime::Acquire()->Music().OpenCount(); }

}  // namespace kvor::zephrin::runtime::harness
