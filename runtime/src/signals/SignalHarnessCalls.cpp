#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include <cstdio>

#include "core/Clock.hpp"
#include "core/ReportLog.hpp"
#include "core/Runtime.hpp"
#include "core/Status.hpp"
#include "devices/DeviceRegistry.hpp"
#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::harness {
namespace {

// A test that changes a device the runtime never heard of almost always
// forgot to create the device first; say so rather than fail quietly.
bool Known(Runtime& runtime, bool known, const char* call, uint32_t deviceHash) {
  if (!known) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "harness::%s: no device has hash 0x%08x; create the device object or call harness::AddDevice first.",
                  call, static_cast<unsigned>(deviceHash));
    runtime.Reports().Add(false, kInvalidParamValue, text, "harness", "");
  }
  return known;
}

}  // namespace

uint32_t DeviceHash(int deviceId, std::string_view model, std::string_view bus) {
  return devices::DeviceRegistry::Hash(deviceId, model, bus);
}

uint32_t AddDevice(int deviceId, std::string_view model, std::string_view bus, bool present, int compliancy) {
  auto runtime = Runtime::Acquire();
  const uint32_t hash = runtime->Devices().Register(deviceId, model, bus, present, compliancy);
  runtime->Signals().DevicesChanged();
  return hash;
}

std::vector<DeviceInfo> Devices() {
  std::vector<DeviceInfo> out;
  for (const auto& d : Runtime::Acquire()->Devices().All()) {
    out.push_back({d.hash, d.deviceId, d.model, d.bus, d.present, d.compliancy});
  }
  return out;
}

void PublishSignal(uint32_t deviceHash, uint16_t signalId, const SignalSample& sample) {
  auto runtime = Runtime::Acquire();
  const double now = runtime->GetClock().Now();
  auto orNow = [now](double t) { return t < 0.0 ? now : t; };
  signals::SignalStore::SignalMeasurement m{};
  m.value = sample.value;
  m.reportedId = sample.reportedId != 0 ? sample.reportedId : signalId;
  m.systemTime = orNow(sample.systemTime);
  m.bustrelTime = orNow(sample.bustrelTime);
  m.deviceTime = orNow(sample.deviceTime);
  m.status = sample.status;
  runtime->Signals().Publish(deviceHash, signalId, m);
}

void ReleaseSignal(uint32_t deviceHash, uint16_t signalId) {
  Runtime::Acquire()->Signals().Release(deviceHash, signalId);
}

bool SetDevicePresent(uint32_t deviceHash, bool present) {
  auto runtime = Runtime::Acquire();
  const bool known = runtime->Devices().SetPresent(deviceHash, present);
  runtime->Signals().DevicesChanged();
  return Known(*runtime, known, "SetDevicePresent", deviceHash);
}

bool SetDeviceCompliancy(uint32_t deviceHash, int compliancy) {
  auto runtime = Runtime::Acquire();
  const bool known = runtime->Devices().SetCompliancy(deviceHash, compliancy);
  runtime->Signals().DevicesChanged();
  return Known(*runtime, known, "SetDeviceCompliancy", deviceHash);
}

void SetSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value) {
  Runtime::Acquire()->Signals().HoldSimulatedValue(deviceHash, signalId, value);
}

double AppliedUpdateFrequency(uint32_t deviceHash, uint16_t signalId) {
  return Runtime::Acquire()->Signals().AppliedFrequency(deviceHash, signalId);
}

}  // namespace kvor::zephrin::runtime::harness
