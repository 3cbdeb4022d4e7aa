#include <kvor/zephrin6/configs/SoftwareLimitSwitchConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::SoftwareLimitSwitch_ForwardSoftLimitEnable, "ForwardSoftLimitEnable", c.ForwardSoftLimitEnable);
  v(ids::SoftwareLimitSwitch_ReverseSoftLimitEnable, "ReverseSoftLimitEnable", c.ReverseSoftLimitEnable);
  v(ids::SoftwareLimitSwitch_ForwardSoftLimitThreshold, "ForwardSoftLimitThreshold", c.ForwardSoftLimitThreshold,
    " turns");
  v(ids::SoftwareLimitSwitch_ReverseSoftLimitThreshold, "ReverseSoftLimitThreshold", c.ReverseSoftLimitThreshold,
    " turns");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(SoftwareLimitSwitchConfigs, "SoftwareLimitSwitch")

}  // namespace kvor::zephrin6::configs
