#include "UserValueText.hpp"

#include <cstdio>
#include <cstring>

namespace wisp_tool {

using kvor::zephrin::runtime::wisp::DeviceInfo;
using kvor::zephrin::runtime::wisp::UserSample;

namespace {

template <class T>
std::string Join(const UserSample& sample) {
  std::string text;
  for (std::size_t at = 0; at + sizeof(T) <= sample.size; at += sizeof(T)) {
    T value{};
    std::memcpy(&value, sample.payload.data() + at, sizeof(T));
    if (!text.empty()) text += ' ';
    if constexpr (std::is_floating_point_v<T>) {
      text += ExactNumber(value);
    } else {
      text += std::to_string(value);
    }
  }
  return text;
}

}  // namespace

const char* UserTypeName(uint8_t type) {
  static const char* const kNames[] = {"Raw",    "Boolean",      "Integer",      "Float",      "Double",
                                       "String", "BooleanArray", "IntegerArray", "FloatArray", "DoubleArray"};
  return type < std::size(kNames) ? kNames[type] : "Unknown";
}

std::string ExactNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string UserValueText(uint8_t type, const UserSample& sample) {
  switch (type) {
    case 1:
      return sample.size > 0 && sample.payload[0] != 0 ? "true" : "false";
    case 2:
    case 7:
      return Join<int64_t>(sample);
    case 3:
    case 8:
      return Join<float>(sample);
    case 4:
    case 9:
      return Join<double>(sample);
    case 5:
      return std::string(reinterpret_cast<const char*>(sample.payload.data()), sample.size);
    case 6:
      return Join<uint8_t>(sample);
    default: {
      std::string hex;
      char byte[3];
      for (std::size_t i = 0; i < sample.size; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", sample.payload[i]);
        hex += byte;
      }
      return hex;
    }
  }
}

std::string DeviceText(const DeviceInfo& device) {
  return device.model + " " + std::to_string(device.deviceId) + " (\"" + device.bus + "\")";
}

}  // namespace wisp_tool
