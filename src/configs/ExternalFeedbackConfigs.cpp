#include <kvor/zephrin6/configs/ExternalFeedbackConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::Feedback_SensorToMechanismRatio, "SensorToMechanismRatio", c.SensorToMechanismRatio, " scalar");
  v(ids::Feedback_RotorToSensorRatio, "RotorToSensorRatio", c.RotorToSensorRatio, " scalar");
  v(ids::ExternalFeedback_SensorSource, "ExternalFeedbackSensorSource", c.ExternalFeedbackSensorSource);
  v(ids::Feedback_FeedbackRemoteSensorID, "FeedbackRemoteSensorID", c.FeedbackRemoteSensorID);
  v(ids::Feedback_VelocityFilterTimeConstant, "VelocityFilterTimeConstant", c.VelocityFilterTimeConstant, " s");
  v(ids::ExternalFeedback_AbsoluteSensorOffset, "AbsoluteSensorOffset", c.AbsoluteSensorOffset, " turns");
  v(ids::ExternalFeedback_AbsoluteSensorDiscontinuityPoint, "AbsoluteSensorDiscontinuityPoint",
    c.AbsoluteSensorDiscontinuityPoint, " turns");
  v(ids::ExternalFeedback_QuadratureEdgesPerRotation, "QuadratureEdgesPerRotation", c.QuadratureEdgesPerRotation);
  v(ids::ExternalFeedback_SensorPhase, "SensorPhase", c.SensorPhase);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(ExternalFeedbackConfigs, "ExternalFeedback")

}  // namespace kvor::zephrin6::configs
