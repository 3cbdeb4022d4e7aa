#include <kvor/zephrin6/configs/TorqueCurrentConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::TorqueCurrent_PeakForwardTorqueCurrent, "PeakForwardTorqueCurrent", c.PeakForwardTorqueCurrent, " A");
  v(ids::TorqueCurrent_PeakReverseTorqueCurrent, "PeakReverseTorqueCurrent", c.PeakReverseTorqueCurrent, " A");
  v(ids::TorqueCurrent_TorqueNeutralDeadband, "TorqueNeutralDeadband", c.TorqueNeutralDeadband, " A");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(TorqueCurrentConfigs, "TorqueCurrent")

}  // namespace kvor::zephrin6::configs
