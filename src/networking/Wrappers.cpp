#include <kvor/zephrin6/networking/Wrappers.hpp>

#include <kvor/zephrin/platform/Configs.hpp>
#include <kvor/zephrin/platform/Signals.hpp>

#include <cstdlib>

namespace kvor::zephrin6::networking {

uint32_t Wrappers::CompileDeviceHash(int deviceId, const std::string& model, const std::string& canbus) {
  uint32_t hash = 0;
  c_kvor_zephrin6_encode_device(deviceId, model.c_str(), canbus.c_str(), &hash);
  return hash;
}

kvor::zephrin::StatusCode Wrappers::Device_SetConfigValues(const char* network, int deviceHash, double timeoutSeconds,
                                                           const std::string& values, bool firstFlag,
                                                           bool actionFlag) {
  return c_kvor_zephrin6_set_configs(0, network, static_cast<uint32_t>(deviceHash), timeoutSeconds, values.data(),
                                     static_cast<uint32_t>(values.size()), firstFlag, actionFlag, false);
}

kvor::zephrin::StatusCode Wrappers::Device_GetConfigValues(const char* network, int deviceHash, double timeoutSeconds,
                                                           std::string& values) {
  char* text = nullptr;
  int status = c_kvor_zephrin6_get_configs(0, network, static_cast<uint32_t>(deviceHash), timeoutSeconds, &text,
                                           false);
  if (text != nullptr) {
    values = text;
    std::free(text);
  }
  return status;
}

}  // namespace kvor::zephrin6::networking
