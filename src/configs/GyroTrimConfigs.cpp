#include <kvor/zephrin6/configs/GyroTrimConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::GyroTrim_GyroScalarX, "GyroScalarX", c.GyroScalarX, " deg per rotation");
  v(ids::GyroTrim_GyroScalarY, "GyroScalarY", c.GyroScalarY, " deg per rotation");
  v(ids::GyroTrim_GyroScalarZ, "GyroScalarZ", c.GyroScalarZ, " deg per rotation");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(GyroTrimConfigs, "GyroTrim")

}  // namespace kvor::zephrin6::configs
