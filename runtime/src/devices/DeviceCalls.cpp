// c_kvor_zephrin6_encode_device: the device key, and the device's announcement
// to the simulated bus (services that care, such as automatic logging, hear
// of it through the registry's listeners).

#include <kvor/zephrin/platform/Signals.hpp>

#include <string>
#include <string_view>

#include "core/ReportLog.hpp"
#include "core/Runtime.hpp"
#include "core/Status.hpp"
#include "devices/DeviceRegistry.hpp"

extern "C" int c_kvor_zephrin6_encode_device(int deviceId, const char* model, const char* network, uint32_t* hash) {
  namespace rt = kvor::zephrin::runtime;
  if (hash == nullptr) return rt::kInvalidParamValue;
  const std::string_view modelText = model ? model : "";
  const std::string_view bus = network ? network : "";
  auto runtime = rt::Runtime::Acquire();
  const size_t limit = kvor::zephrin::platform::kMaxDeviceTextLength;
  if (modelText.size() > limit || bus.size() > limit) {
    // No log could name this device, and every report about it would carry
    // the whole text: refuse it once, clearly.
    *hash = rt::devices::DeviceRegistry::Hash(deviceId, modelText, bus);
    const std::string details = "A device's model text (" + std::to_string(modelText.size()) + " bytes) or bus name (" +
                                std::to_string(bus.size()) + " bytes) is longer than " + std::to_string(limit) +
                                " bytes; the device is not registered.";
    runtime->Reports().Add(true, rt::kInvalidSize, details, "device " + std::to_string(deviceId), "");
    return rt::kInvalidSize;
  }
  *hash = runtime->Devices().Register(deviceId, modelText, bus);
  return rt::kOK;
}
