#include <kvor/zephrin6/configs/FeedbackConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::Feedback_FeedbackRotorOffset, "FeedbackRotorOffset", c.FeedbackRotorOffset, " turns");
  v(ids::Feedback_SensorToMechanismRatio, "SensorToMechanismRatio", c.SensorToMechanismRatio, " scalar");
  v(ids::Feedback_RotorToSensorRatio, "RotorToSensorRatio", c.RotorToSensorRatio, " scalar");
  v(ids::Feedback_FeedbackSensorSource, "FeedbackSensorSource", c.FeedbackSensorSource);
  v(ids::Feedback_FeedbackRemoteSensorID, "FeedbackRemoteSensorID", c.FeedbackRemoteSensorID);
  v(ids::Feedback_VelocityFilterTimeConstant, "VelocityFilterTimeConstant", c.VelocityFilterTimeConstant, " s");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(FeedbackConfigs, "Feedback")

}  // namespace kvor::zephrin6::configs
