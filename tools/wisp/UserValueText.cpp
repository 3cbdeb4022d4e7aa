#include "UserValueText.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace wisp_tool {

using kvor::zephrin::runtime::wisp::DeviceInfo;
using kvor::zephrin::runtime::wisp::UserSample;

namespace {

template <class T>
std::string Join(std::span<const uint8_t> payload, ArrayText arrays) {
  std::string text;
  for (std::size_t at = 0; at + sizeof(T) <= payload.size(); at += sizeof(T)) {
    T value{};
    std::memcpy(&value, payload.data() + at, sizeof(T));
    if (at > 0) text += arrays == ArrayText::Bracketed ? ", " : " ";
    if constexpr (std::is_floating_point_v<T>) {
      // Shortest for its own type: a float 0.1 is "0.1", not its double's digits.
      char number[32];
      text.append(number, std::to_chars(number, number + sizeof number, value).ptr);
    } else {
      text += std::to_string(value);
    }
  }
  return arrays == ArrayText::Bracketed ? "[" + text + "]" : text;
}

}  // namespace

const char* UserTypeName(uint8_t type) {
  static const char* const kNames[] = {"Raw",    "Boolean",      "Integer",      "Float",      "Double",
                                       "String", "BooleanArray", "IntegerArray", "FloatArray", "DoubleArray"};
  return type < std::size(kNames) ? kNames[type] : "Unknown";
}

std::string ExactNumber(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

std::string UserValueText(uint8_t type, const UserSample& sample, ArrayText arrays) {
  return UserValueText(type, std::span(sample.payload.data(), std::min<std::size_t>(sample.size, sample.payload.size())),
                       arrays);
}

std::string UserValueText(uint8_t type, std::span<const uint8_t> payload, ArrayText arrays) {
  switch (type) {
    case 1:
      return !payload.empty() && payload[0] != 0 ? "true" : "false";
    case 2:
      return Join<int64_t>(payload, ArrayText::Spaced);
    case 3:
      return Join<float>(payload, ArrayText::Spaced);
    case 4:
      return Join<double>(payload, ArrayText::Spaced);
    case 7:
      return Join<int64_t>(payload, arrays);
    case 8:
      return Join<float>(payload, arrays);
    case 9:
      return Join<double>(payload, arrays);
    case 5:
      return std::string(reinterpret_cast<const char*>(payload.data()), payload.size());
    case 6:
      return Join<uint8_t>(payload, arrays);
    default: {
      std::string hex;
      char byte[3];
      for (uint8_t b : payload) {
        std::snprintf(byte, sizeof byte, "%02x", b);
        hex += byte;
      }
      return hex;
    }
  }
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string DeviceText(const DeviceInfo& device) {
  return device.model + " " + std::to_string(device.deviceId) + " (\"" + device.bus + "\")";
}

}  // namespace wisp_tool
