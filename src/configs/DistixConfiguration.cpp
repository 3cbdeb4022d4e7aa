#include <kvor/zephrin6/configs/DistixConfiguration.hpp>

#include "configs/internal/ConfigurationGroups.hpp"

namespace kvor::zephrin6::configs {
namespace {
// Every group of the device, in the order of its config text.
auto Groups(auto& c) {
  return std::tie(c.ProximityParams,
                  c.FovParams);
}
}  // namespace

std::string DistixConfiguration::Serialize() const { return internal::SerializeGroups(Groups(*this)); }

std::string DistixConfiguration::ToString() const { return internal::PrintGroups("distix", Groups(*this)); }

kvor::zephrin::StatusCode DistixConfiguration::Deserialize(const std::string& text) {
  return internal::DeserializeGroups(text, Groups(*this));
}

}  // namespace kvor::zephrin6::configs
