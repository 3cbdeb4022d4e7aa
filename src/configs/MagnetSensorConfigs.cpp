#include <kvor/zephrin6/configs/MagnetSensorConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::MagnetSensor_SensorDirection, "SensorDirection", c.SensorDirection);
  v(ids::MagnetSensor_MagnetOffset, "MagnetOffset", c.MagnetOffset, " turns");
  v(ids::MagnetSensor_AbsoluteSensorDiscontinuityPoint, "AbsoluteSensorDiscontinuityPoint",
    c.AbsoluteSensorDiscontinuityPoint, " turns");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(MagnetSensorConfigs, "MagnetSensor")

}  // namespace kvor::zephrin6::configs
