#include <kvor/zephrin6/configs/OpenLoopRampsConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::OpenLoopRamps_DutyCycleOpenLoopRampPeriod, "DutyCycleOpenLoopRampPeriod", c.DutyCycleOpenLoopRampPeriod, " s");
  v(ids::OpenLoopRamps_VoltageOpenLoopRampPeriod, "VoltageOpenLoopRampPeriod", c.VoltageOpenLoopRampPeriod, " s");
  v(ids::OpenLoopRamps_TorqueOpenLoopRampPeriod, "TorqueOpenLoopRampPeriod", c.TorqueOpenLoopRampPeriod, " s");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(OpenLoopRampsConfigs, "OpenLoopRamps")

}  // namespace kvor::zephrin6::configs
