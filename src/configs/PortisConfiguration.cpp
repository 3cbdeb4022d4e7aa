#include <kvor/zephrin6/configs/PortisConfiguration.hpp>

#include "configs/internal/ConfigurationGroups.hpp"

namespace kvor::zephrin6::configs {
namespace {
// Every group of the device, in the order of its config text.
auto Groups(auto& c) {
  return std::tie(c.DigitalInputs,
                  c.Quadrature,
                  c.PulseWidth);
}
}  // namespace

std::string PortisConfiguration::Serialize() const { return internal::SerializeGroups(Groups(*this)); }

std::string PortisConfiguration::ToString() const { return internal::PrintGroups("portis", Groups(*this)); }

kvor::zephrin::StatusCode PortisConfiguration::Deserialize(const std::string& text) {
  return internal::DeserializeGroups(text, Groups(*this));
}

}  // namespace kvor::zephrin6::configs
