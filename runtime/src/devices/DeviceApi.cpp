// c_kvor_zephrin6_encode_device: the device key, and the device's announcement
// to the simulated bus.

#include <kvor/zephrin/platform/Signals.hpp>

#include "devices/DeviceRegistry.hpp"
#include "logging/DeviceHook.hpp"
#include "signals/Status.hpp"

extern "C" int c_kvor_zephrin6_encode_device(int deviceId, const char* model, const char* network, uint32_t* hash) {
  namespace rs = kvor::zephrin::runtime::signals;
  if (hash == nullptr) return rs::kInvalidParamValue;
  *hash = kvor::zephrin::runtime::devices::DeviceRegistry::Instance().Register(deviceId, model ? model : "",
                                                                                 network ? network : "");
  // Automatic logging starts with the program's first device.
  kvor::zephrin::runtime::logging::OnDeviceCreated();
  return rs::kOK;
}
