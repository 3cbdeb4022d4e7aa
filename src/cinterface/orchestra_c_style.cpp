// The orchestra C functions (orchestra_c_style.h): each finds the orchestra
// (and the instrument device) by handle and forwards one call.

#include <kvor/zephrin6/core/orchestra_c_style.h>

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/core/Orchestra.hpp>

#include <cstring>
#include <memory>

#include "cinterface/internal/ArgumentCheck.hpp"
#include "cinterface/internal/DeviceRegistry.hpp"
#include "cinterface/internal/HandleRegistry.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::Orchestra;
using Orchestras = kvor::zephrin6::cinterface::HandleRegistry<Orchestra>;

constexpr std::size_t kMaxPath = 4096;

/// Runs `call` on the orchestra of `handle`, or gives InvalidParamValue.
template <class Call>
int32_t WithOrchestra(int32_t handle, Call call) {
  const std::shared_ptr<Orchestra> orchestra = Orchestras::Instance().Find(handle);
  return orchestra == nullptr ? static_cast<int32_t>(StatusCode::InvalidParamValue) : call(*orchestra);
}

}  // namespace

extern "C" {

int32_t c_kvor_zephrin6_orchestra_create(void) { return Orchestras::Instance().Add(std::make_shared<Orchestra>()); }

void c_kvor_zephrin6_orchestra_destroy(int32_t handle) { Orchestras::Instance().Remove(handle); }

int32_t c_kvor_zephrin6_orchestra_add_instrument(int32_t handle, int32_t deviceHandle, int32_t track) {
  const auto device = kvor::zephrin6::cinterface::DeviceRegistry::Instance().Find(deviceHandle);
  kvor::zephrin6::cinterface::ArgumentCheck check(__func__);
  check.Require(device != nullptr, "the device handle names no device").Require(track < 65536, "track above 65535");
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  return WithOrchestra(handle, [&](Orchestra& orchestra) -> int32_t {
    return track < 0 ? orchestra.AddInstrument(*device->device)
                     : orchestra.AddInstrument(*device->device, static_cast<uint16_t>(track));
  });
}

int32_t c_kvor_zephrin6_orchestra_clear_instruments(int32_t handle) {
  return WithOrchestra(handle, [](Orchestra& orchestra) -> int32_t { return orchestra.ClearInstruments(); });
}

int32_t c_kvor_zephrin6_orchestra_load_music(int32_t handle, const char* filepath) {
  kvor::zephrin6::cinterface::ArgumentCheck check(__func__);
  check.Require(filepath != nullptr && ::strnlen(filepath, kMaxPath) < kMaxPath,
                "the path is null or 4096 bytes or longer");
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  return WithOrchestra(handle, [&](Orchestra& orchestra) -> int32_t { return orchestra.LoadMusic(filepath); });
}

int32_t c_kvor_zephrin6_orchestra_play(int32_t handle) {
  return WithOrchestra(handle, [](Orchestra& orchestra) -> int32_t { return orchestra.Play(); });
}

int32_t c_kvor_zephrin6_orchestra_pause(int32_t handle) {
  return WithOrchestra(handle, [](Orchestra& orchestra) -> int32_t { return orchestra.Pause(); });
}

int32_t c_kvor_zephrin6_orchestra_stop(int32_t handle) {
  return WithOrchestra(handle, [](Orchestra& orchestra) -> int32_t { return orchestra.Stop(); });
}

int32_t c_kvor_zephrin6_orchestra_is_playing(int32_t handle) {
  const std::shared_ptr<Orchestra> orchestra = Orchestras::Instance().Find(handle);
  return orchestra != nullptr && orchestra->IsPlaying() ? 1 : 0;
}

double c_kvor_zephrin6_orchestra_current_time(int32_t handle) {
  const std::shared_ptr<Orchestra> orchestra = Orchestras::Instance().Find(handle);
  return orchestra == nullptr ? 0.0 : orchestra->GetCurrentTime();
}

}  // extern "C"
