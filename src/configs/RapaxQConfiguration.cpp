#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>

#include "configs/internal/ConfigurationGroups.hpp"

namespace kvor::zephrin6::configs {
namespace {
// Every group of the device, in the order of its config text.
auto Groups(auto& c) {
  return std::tie(c.MotorOutput,
                  c.CurrentLimits,
                  c.Voltage,
                  c.TorqueCurrent,
                  c.Feedback,
                  c.DifferentialSensors,
                  c.DifferentialConstants,
                  c.OpenLoopRamps,
                  c.ClosedLoopRamps,
                  c.HardwareLimitSwitch,
                  c.Audio,
                  c.SoftwareLimitSwitch,
                  c.Kinetra,
                  c.Slot0,
                  c.Slot1,
                  c.Slot2,
                  c.ClosedLoopGeneral);
}
}  // namespace

std::string RapaxQConfiguration::Serialize() const { return internal::SerializeGroups(Groups(*this)); }

std::string RapaxQConfiguration::ToString() const { return internal::PrintGroups("rapax q", Groups(*this)); }

kvor::zephrin::StatusCode RapaxQConfiguration::Deserialize(const std::string& text) {
  return internal::DeserializeGroups(text, Groups(*this));
}

}  // namespace kvor::zephrin6::configs
