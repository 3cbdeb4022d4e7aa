#include <kvor/zephrin6/configs/ClosedLoopRampsConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::ClosedLoopRamps_DutyCycleClosedLoopRampPeriod, "DutyCycleClosedLoopRampPeriod",
    c.DutyCycleClosedLoopRampPeriod, " s");
  v(ids::ClosedLoopRamps_VoltageClosedLoopRampPeriod, "VoltageClosedLoopRampPeriod", c.VoltageClosedLoopRampPeriod,
    " s");
  v(ids::ClosedLoopRamps_TorqueClosedLoopRampPeriod, "TorqueClosedLoopRampPeriod", c.TorqueClosedLoopRampPeriod, " s");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(ClosedLoopRampsConfigs, "ClosedLoopRamps")

}  // namespace kvor::zephrin6::configs
