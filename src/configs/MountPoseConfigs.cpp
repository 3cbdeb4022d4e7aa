#include <kvor/zephrin6/configs/MountPoseConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::MountPose_MountPoseYaw, "MountPoseYaw", c.MountPoseYaw, " deg");
  v(ids::MountPose_MountPosePitch, "MountPosePitch", c.MountPosePitch, " deg");
  v(ids::MountPose_MountPoseRoll, "MountPoseRoll", c.MountPoseRoll, " deg");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(MountPoseConfigs, "MountPose")

}  // namespace kvor::zephrin6::configs
