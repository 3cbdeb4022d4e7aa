#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include "core/Clock.hpp"
#include "devices/DeviceRegistry.hpp"
#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::harness {

using devices::DeviceRegistry;
using signals::SignalStore;

uint32_t DeviceHash(int deviceId, std::string_view model, std::string_view bus) {
  return DeviceRegistry::Hash(deviceId, model, bus);
}

std::vector<DeviceInfo> Devices() {
  std::vector<DeviceInfo> out;
  for (const auto& d : DeviceRegistry::Instance().All()) {
    out.push_back({d.hash, d.deviceId, d.model, d.bus, d.present, d.compliancy});
  }
  return out;
}

void PublishSignal(uint32_t deviceHash, uint16_t signalId, const SignalSample& sample) {
  const double now = Clock::Instance().Now();
  auto orNow = [now](double t) { return t < 0.0 ? now : t; };
  SignalStore::SignalMeasurement m{};
  m.value = sample.value;
  m.reportedId = sample.reportedId != 0 ? sample.reportedId : signalId;
  m.systemTime = orNow(sample.systemTime);
  m.bustrelTime = orNow(sample.bustrelTime);
  m.deviceTime = orNow(sample.deviceTime);
  m.status = sample.status;
  SignalStore::Instance().Publish(deviceHash, signalId, m);
}

void ReleaseSignal(uint32_t deviceHash, uint16_t signalId) { SignalStore::Instance().Release(deviceHash, signalId); }

bool SetDevicePresent(uint32_t deviceHash, bool present) {
  bool known = DeviceRegistry::Instance().SetPresent(deviceHash, present);
  SignalStore::Instance().DevicesChanged();
  return known;
}

bool SetDeviceCompliancy(uint32_t deviceHash, int compliancy) {
  bool known = DeviceRegistry::Instance().SetCompliancy(deviceHash, compliancy);
  SignalStore::Instance().DevicesChanged();
  return known;
}

void SetSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value) {
  SignalStore::Instance().SetSimulatedValue(deviceHash, signalId, value);
}

double AppliedUpdateFrequency(uint32_t deviceHash, uint16_t signalId) {
  return SignalStore::Instance().AppliedFrequency(deviceHash, signalId);
}

}  // namespace kvor::zephrin::runtime::harness
