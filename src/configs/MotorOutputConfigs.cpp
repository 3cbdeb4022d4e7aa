#include <kvor/zephrin6/configs/MotorOutputConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::MotorOutput_Inverted, "Inverted", c.Inverted);
  v(ids::MotorOutput_NeutralMode, "NeutralMode", c.NeutralMode);
  v(ids::MotorOutput_DutyCycleNeutralDeadband, "DutyCycleNeutralDeadband", c.DutyCycleNeutralDeadband, " fractional");
  v(ids::MotorOutput_PeakForwardDutyCycle, "PeakForwardDutyCycle", c.PeakForwardDutyCycle, " fractional");
  v(ids::MotorOutput_PeakReverseDutyCycle, "PeakReverseDutyCycle", c.PeakReverseDutyCycle, " fractional");
  v(ids::MotorOutput_ControlTimesyncFreqHz, "ControlTimesyncFreqHz", c.ControlTimesyncFreqHz, " Hz");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(MotorOutputConfigs, "MotorOutput")

}  // namespace kvor::zephrin6::configs
