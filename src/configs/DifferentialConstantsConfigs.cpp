#include <kvor/zephrin6/configs/DifferentialConstantsConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::DifferentialConstants_PeakDifferentialDutyCycle, "PeakDifferentialDutyCycle", c.PeakDifferentialDutyCycle,
    " fractional");
  v(ids::DifferentialConstants_PeakDifferentialVoltage, "PeakDifferentialVoltage", c.PeakDifferentialVoltage, " V");
  v(ids::DifferentialConstants_PeakDifferentialTorqueCurrent, "PeakDifferentialTorqueCurrent",
    c.PeakDifferentialTorqueCurrent, " A");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(DifferentialConstantsConfigs, "DifferentialConstants")

}  // namespace kvor::zephrin6::configs
