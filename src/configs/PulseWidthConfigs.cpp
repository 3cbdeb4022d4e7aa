#include <kvor/zephrin6/configs/PulseWidthConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::PulseWidth_PWM1AbsoluteSensorOffset, "PWM1AbsoluteSensorOffset", c.PWM1AbsoluteSensorOffset, " turns");
  v(ids::PulseWidth_PWM1AbsoluteSensorDiscontinuityPoint, "PWM1AbsoluteSensorDiscontinuityPoint",
    c.PWM1AbsoluteSensorDiscontinuityPoint, " turns");
  v(ids::PulseWidth_PWM1SensorDirection, "PWM1SensorDirection", c.PWM1SensorDirection);
  v(ids::PulseWidth_PWM2AbsoluteSensorOffset, "PWM2AbsoluteSensorOffset", c.PWM2AbsoluteSensorOffset, " turns");
  v(ids::PulseWidth_PWM2AbsoluteSensorDiscontinuityPoint, "PWM2AbsoluteSensorDiscontinuityPoint",
    c.PWM2AbsoluteSensorDiscontinuityPoint, " turns");
  v(ids::PulseWidth_PWM2SensorDirection, "PWM2SensorDirection", c.PWM2SensorDirection);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(PulseWidthConfigs, "PulseWidth")

}  // namespace kvor::zephrin6::configs
