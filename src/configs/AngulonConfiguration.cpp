#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>

#include "configs/internal/ConfigurationGroups.hpp"

namespace kvor::zephrin6::configs {
namespace {
// Every group of the device, in the order of its config text.
auto Groups(auto& c) {
  return std::tie(c.MagnetSensor);
}
}  // namespace

std::string AngulonConfiguration::Serialize() const { return internal::SerializeGroups(Groups(*this)); }

std::string AngulonConfiguration::ToString() const { return internal::PrintGroups("angulon", Groups(*this)); }

kvor::zephrin::StatusCode AngulonConfiguration::Deserialize(const std::string& text) {
  return internal::DeserializeGroups(text, Groups(*this));
}

}  // namespace kvor::zephrin6::configs
