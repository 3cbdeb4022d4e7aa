#include <kvor/zephrin6/networking/Wrappers.hpp>

#include <kvor/zephrin/platform/Signals.hpp>

namespace kvor::zephrin6::networking {

uint32_t Wrappers::CompileDeviceHash(int deviceId, const std::string& model, const std::string& canbus) {
  uint32_t hash = 0;
  c_kvor_zephrin6_encode_device(deviceId, model.c_str(), canbus.c_str(), &hash);
  return hash;
}

}  // namespace kvor::zephrin6::networking
