#include <kvor/zephrin6/configs/Auklet2Configuration.hpp>

#include "configs/internal/ConfigurationGroups.hpp"

namespace kvor::zephrin6::configs {
namespace {
// Every group of the device, in the order of its config text.
auto Groups(auto& c) {
  return std::tie(c.MountPose,
                  c.GyroTrim,
                  c.Auklet2Features);
}
}  // namespace

std::string Auklet2Configuration::Serialize() const { return internal::SerializeGroups(Groups(*this)); }

std::string Auklet2Configuration::ToString() const { return internal::PrintGroups("auklet 2", Groups(*this)); }

kvor::zephrin::StatusCode Auklet2Configuration::Deserialize(const std::string& text) {
  return internal::DeserializeGroups(text, Groups(*this));
}

}  // namespace kvor::zephrin6::configs
