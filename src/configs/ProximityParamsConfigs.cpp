#include <kvor/zephrin6/configs/ProximityParamsConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::ProximityParams_ProximityThreshold, "ProximityThreshold", c.ProximityThreshold, " m");
  v(ids::ProximityParams_ProximityHysteresis, "ProximityHysteresis", c.ProximityHysteresis, " m");
  v(ids::ProximityParams_MinSignalStrengthForValidMeasurement, "MinSignalStrengthForValidMeasurement",
    c.MinSignalStrengthForValidMeasurement, " scalar");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(ProximityParamsConfigs, "ProximityParams")

}  // namespace kvor::zephrin6::configs
