// The exported config calls of kvor/zephrin/platform/Configs.hpp: argument
// checks and C allocation around the config text format and the store.

#include <kvor/zephrin/platform/Configs.hpp>

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "configs/ConfigStore.hpp"
#include "configs/ConfigText.hpp"
#include "core/Runtime.hpp"
#include "core/Status.hpp"

namespace rt = kvor::zephrin::runtime;
namespace configs = kvor::zephrin::runtime::configs;

namespace {

// A malloc'd copy the caller releases with free; nullptr when out of memory.
char* CopyForCaller(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

int HandOut(const std::string& text, char** out) {
  *out = CopyForCaller(text);
  return *out != nullptr ? rt::kOK : rt::kInsufficientSz;
}

bool ValidId(int configId) { return configId >= 0 && configId <= configs::kMaxConfigId; }

template <class T>
int Deserialize(int configId, const char* text, uint32_t length, T* value) {
  if (value == nullptr || (text == nullptr && length > 0) || !ValidId(configId)) return rt::kInvalidParamValue;
  auto piece = configs::FindLast(std::string_view(text == nullptr ? "" : text, length), configId);
  if (!piece) return rt::kNotFound;
  if constexpr (std::is_same_v<T, double>) {
    *value = piece->asDouble;
  } else {
    // A double piece is read as an int only when it holds exactly one.
    double d = piece->asDouble;
    if (!piece->isInteger && !(d >= -2147483648.0 && d <= 2147483647.0 && d == static_cast<int>(d)))
      return rt::kInvalidParamValue;
    *value = piece->isInteger ? static_cast<int>(piece->asInteger) : static_cast<int>(d);
  }
  return rt::kOK;
}

}  // namespace

extern "C" {

int c_kvor_zephrin6_serialize_double(int configId, double value, char** text) {
  if (text == nullptr) return rt::kInvalidParamValue;
  *text = nullptr;
  if (!ValidId(configId)) return rt::kInvalidParamValue;
  return HandOut(configs::FormatDouble(configId, value), text);
}

int c_kvor_zephrin6_serialize_int(int configId, int value, char** text) {
  if (text == nullptr) return rt::kInvalidParamValue;
  *text = nullptr;
  if (!ValidId(configId)) return rt::kInvalidParamValue;
  return HandOut(configs::FormatInt(configId, value), text);
}

int c_kvor_zephrin6_deserialize_double(int configId, const char* text, uint32_t length, double* value) {
  return Deserialize(configId, text, length, value);
}

int c_kvor_zephrin6_deserialize_int(int configId, const char* text, uint32_t length, int* value) {
  return Deserialize(configId, text, length, value);
}

int c_kvor_zephrin6_set_configs(int /*context*/, const char* /*network*/, uint32_t deviceHash, double timeoutSeconds,
                                const char* values, uint32_t length, bool firstFlag, bool actionFlag,
                                bool /*reserved*/) {
  if (values == nullptr && length > 0) return rt::kInvalidParamValue;
  std::string_view text(values == nullptr ? "" : values, length);
  return rt::Runtime::Acquire()->Configs().Set(deviceHash, timeoutSeconds, text, firstFlag, actionFlag);
}

int c_kvor_zephrin6_get_configs(int /*context*/, const char* /*network*/, uint32_t deviceHash, double timeoutSeconds,
                                char** values, bool /*reserved*/) {
  if (values == nullptr) return rt::kInvalidParamValue;
  *values = nullptr;
  std::string text;
  int status = rt::Runtime::Acquire()->Configs().Get(deviceHash, timeoutSeconds, text);
  if (status != rt::kOK) return status;
  return HandOut(text, values);
}

int c_kvor_zephrin6_free_memory(void** address) {
  if (address != nullptr) {
    std::free(*address);
    *address = nullptr;
  }
  return rt::kOK;
}

}  // extern "C"
