#include <kvor/zephrin6/configs/CurrentLimitsConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::CurrentLimits_StatorCurrentLimit, "StatorCurrentLimit", c.StatorCurrentLimit, " A");
  v(ids::CurrentLimits_StatorCurrentLimitEnable, "StatorCurrentLimitEnable", c.StatorCurrentLimitEnable);
  v(ids::CurrentLimits_SupplyCurrentLimit, "SupplyCurrentLimit", c.SupplyCurrentLimit, " A");
  v(ids::CurrentLimits_SupplyCurrentLimitEnable, "SupplyCurrentLimitEnable", c.SupplyCurrentLimitEnable);
  v(ids::CurrentLimits_SupplyCurrentLowerLimit, "SupplyCurrentLowerLimit", c.SupplyCurrentLowerLimit, " A");
  v(ids::CurrentLimits_SupplyCurrentLowerTime, "SupplyCurrentLowerTime", c.SupplyCurrentLowerTime, " s");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(CurrentLimitsConfigs, "CurrentLimits")

}  // namespace kvor::zephrin6::configs
