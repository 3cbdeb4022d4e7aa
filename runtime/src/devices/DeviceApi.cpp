// c_kvor_zephrin6_encode_device: the device key, and the device's announcement
// to the simulated bus (services that care, such as automatic logging, hear
// of it through the registry's listeners).

#include <kvor/zephrin/platform/Signals.hpp>

#include "core/Runtime.hpp"
#include "core/Status.hpp"
#include "devices/DeviceRegistry.hpp"

extern "C" int c_kvor_zephrin6_encode_device(int deviceId, const char* model, const char* network, uint32_t* hash) {
  namespace rt = kvor::zephrin::runtime;
  if (hash == nullptr) return rt::kInvalidParamValue;
  *hash = rt::Runtime::Acquire()->Devices().Register(deviceId, model ? model : "", network ? network : "");
  return rt::kOK;
}
