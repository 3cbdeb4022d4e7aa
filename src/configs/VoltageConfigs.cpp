#include <kvor/zephrin6/configs/VoltageConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::Voltage_SupplyVoltageTimeConstant, "SupplyVoltageTimeConstant", c.SupplyVoltageTimeConstant, " s");
  v(ids::Voltage_PeakForwardVoltage, "PeakForwardVoltage", c.PeakForwardVoltage, " V");
  v(ids::Voltage_PeakReverseVoltage, "PeakReverseVoltage", c.PeakReverseVoltage, " V");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(VoltageConfigs, "Voltage")

}  // namespace kvor::zephrin6::configs
