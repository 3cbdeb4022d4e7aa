#include "configs/internal/ConfigFields.hpp"

#include <kvor/zephrin/platform/Configs.hpp>

#include <cstdlib>

namespace kvor::zephrin6::configs::internal {
namespace {

void AppendAndFree(std::ostringstream& out, char* text) {
  if (text != nullptr) {
    out << text;
    std::free(text);
  }
}

}  // namespace

// Serialising fails only for an ID outside 0 to 65535, which the generated
// tables never hold, or when the runtime runs out of memory for the text.
void AppendDouble(std::ostringstream& out, int configId, double value) {
  char* text = nullptr;
  static_cast<void>(c_kvor_zephrin6_serialize_double(configId, value, &text));
  AppendAndFree(out, text);
}

void AppendInt(std::ostringstream& out, int configId, int value) {
  char* text = nullptr;
  static_cast<void>(c_kvor_zephrin6_serialize_int(configId, value, &text));
  AppendAndFree(out, text);
}

// The per-field status is deliberately ignored: a field absent from the text
// simply keeps its current value.
void ReadDouble(std::string_view text, int configId, double& value) {
  static_cast<void>(
      c_kvor_zephrin6_deserialize_double(configId, text.data(), static_cast<uint32_t>(text.size()), &value));
}

void ReadInt(std::string_view text, int configId, int& value) {
  static_cast<void>(c_kvor_zephrin6_deserialize_int(configId, text.data(), static_cast<uint32_t>(text.size()), &value));
}

}  // namespace kvor::zephrin6::configs::internal
