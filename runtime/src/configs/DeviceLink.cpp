#include "configs/DeviceLink.hpp"

#include "devices/DeviceRegistry.hpp"
#include "signals/SignalCatalogue.hpp"
#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::configs {

// A device answers config calls when the program announced it (by encoding
// its key) and the harness has not made it absent.
bool IsDevicePresent(uint32_t deviceHash) {
  devices::DeviceRecord record;
  return devices::DeviceRegistry::Instance().Find(deviceHash, record) && record.present;
}

// Only signals the device's model publishes are touched, so a clear of every
// sticky fault does not invent signals the device does not have.
void SetDeviceSignal(uint32_t deviceHash, uint16_t signalId, double value) {
  devices::DeviceRecord record;
  if (!devices::DeviceRegistry::Instance().Find(deviceHash, record)) return;
  const signals::CatalogueEntry* entry = signals::FindSignal(signalId);
  if (entry == nullptr || !signals::ModelPublishes(*entry, record.modelMask)) return;
  signals::SignalStore::Instance().SetSimulatedValue(deviceHash, signalId, value);
}

}  // namespace kvor::zephrin::runtime::configs
