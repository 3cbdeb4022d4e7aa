#include <kvor/zephrin6/configs/ExternalFeedbackConfigs.hpp>

#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>

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

ExternalFeedbackConfigs& ExternalFeedbackConfigs::WithRemoteAngulon(const hardware::core::CoreAngulon& device) {
  ExternalFeedbackSensorSource = signals::ExternalFeedbackSensorSourceValue::RemoteAngulon;
  FeedbackRemoteSensorID = device.GetDeviceID();
  return *this;
}

ExternalFeedbackConfigs& ExternalFeedbackConfigs::WithFusedAngulon(const hardware::core::CoreAngulon& device) {
  ExternalFeedbackSensorSource = signals::ExternalFeedbackSensorSourceValue::FusedAngulon;
  FeedbackRemoteSensorID = device.GetDeviceID();
  return *this;
}

ExternalFeedbackConfigs& ExternalFeedbackConfigs::WithSyncAngulon(const hardware::core::CoreAngulon& device) {
  ExternalFeedbackSensorSource = signals::ExternalFeedbackSensorSourceValue::SyncAngulon;
  FeedbackRemoteSensorID = device.GetDeviceID();
  return *this;
}

}  // namespace kvor::zephrin6::configs
