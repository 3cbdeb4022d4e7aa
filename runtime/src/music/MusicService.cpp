// The music engine's platform calls and harness view, and the one place that
// wires the engine to the services it borrows. Those are still process-wide
// singletons; when the runtime root owns every service, only Music() changes.

#include <kvor/zephrin/platform/Orchestra.hpp>
#include <kvor/zephrin/runtime/harness/Music.hpp>

#include "controls/ControlRecorder.hpp"
#include "core/Clock.hpp"
#include "core/ResetRegistry.hpp"
#include "music/MusicEngine.hpp"

namespace kvor::zephrin::runtime::music {
namespace {

// Built after the clock and the recorder, so destroyed (and its thread
// joined) before them at exit.
MusicEngine& Music() {
  static MusicEngine engine(Clock::Instance(), ControlRecorder::Instance());
  return engine;
}

const bool kRegistered = (RegisterReset([] { Music().Reset(); }), true);

}  // namespace
}  // namespace kvor::zephrin::runtime::music

using kvor::zephrin::runtime::music::Music;

extern "C" int c_kvor_zephrin6_orchestra_Create(uint16_t* id) { return Music().Create(id); }

extern "C" int c_kvor_zephrin6_orchestra_Close(uint16_t id) { return Music().Close(id); }

extern "C" int c_kvor_zephrin6_orchestra_AddDevice(uint16_t id, const char* network, uint32_t deviceHash) {
  return Music().AddDevice(id, network, deviceHash, std::nullopt);
}

extern "C" int c_kvor_zephrin6_orchestra_AddDeviceWithTrack(uint16_t id, const char* network, uint32_t deviceHash,
                                                            uint16_t track) {
  return Music().AddDevice(id, network, deviceHash, track);
}

extern "C" int c_kvor_zephrin6_orchestra_ClearDevices(uint16_t id) { return Music().ClearDevices(id); }

extern "C" int c_kvor_zephrin6_orchestra_LoadMusic(uint16_t id, const char* filepath) {
  return Music().LoadMusic(id, filepath);
}

extern "C" int c_kvor_zephrin6_orchestra_Play(uint16_t id) { return Music().Play(id); }

extern "C" int c_kvor_zephrin6_orchestra_Pause(uint16_t id) { return Music().Pause(id); }

extern "C" int c_kvor_zephrin6_orchestra_Stop(uint16_t id) { return Music().Stop(id); }

extern "C" int c_kvor_zephrin6_orchestra_IsPlaying(uint16_t id, int* isPlaying) {
  return Music().IsPlaying(id, isPlaying);
}

extern "C" int c_kvor_zephrin6_orchestra_GetCurrentTime(uint16_t id, double* timeSeconds) {
  return Music().GetCurrentTime(id, timeSeconds);
}

namespace kvor::zephrin::runtime::harness {

void AwaitMusic() { music::Music().AwaitCaughtUp(); }

std::size_t OpenOrchestras() { return music::Music().OpenCount(); }

}  // namespace kvor::zephrin::runtime::harness
