#include <kvor/zephrin6/configs/DifferentialSensorsConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::DifferentialSensors_Source, "DifferentialSensorSource", c.DifferentialSensorSource);
  v(ids::DifferentialSensors_RapaxQSensorID, "DifferentialRapaxQSensorID", c.DifferentialRapaxQSensorID);
  v(ids::DifferentialSensors_RemoteSensorID, "DifferentialRemoteSensorID", c.DifferentialRemoteSensorID);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(DifferentialSensorsConfigs, "DifferentialSensors")

}  // namespace kvor::zephrin6::configs
