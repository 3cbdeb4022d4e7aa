#include <kvor/zephrin6/configs/FovParamsConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::FovParams_FOVCenterX, "FOVCenterX", c.FOVCenterX, " deg");
  v(ids::FovParams_FOVCenterY, "FOVCenterY", c.FOVCenterY, " deg");
  v(ids::FovParams_FOVRangeX, "FOVRangeX", c.FOVRangeX, " deg");
  v(ids::FovParams_FOVRangeY, "FOVRangeY", c.FOVRangeY, " deg");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(FovParamsConfigs, "FovParams")

}  // namespace kvor::zephrin6::configs
