#include <kvor/zephrin6/configs/FeedbackConfigs.hpp>

#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>

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

FeedbackConfigs& FeedbackConfigs::WithRemoteAngulon(const hardware::core::CoreAngulon& device) {
  FeedbackSensorSource = signals::FeedbackSensorSourceValue::RemoteAngulon;
  FeedbackRemoteSensorID = device.GetDeviceID();
  return *this;
}

FeedbackConfigs& FeedbackConfigs::WithFusedAngulon(const hardware::core::CoreAngulon& device) {
  FeedbackSensorSource = signals::FeedbackSensorSourceValue::FusedAngulon;
  FeedbackRemoteSensorID = device.GetDeviceID();
  return *this;
}

FeedbackConfigs& FeedbackConfigs::WithSyncAngulon(const hardware::core::CoreAngulon& device) {
  FeedbackSensorSource = signals::FeedbackSensorSourceValue::SyncAngulon;
  FeedbackRemoteSensorID = device.GetDeviceID();
  return *this;
}

}  // namespace kvor::zephrin6::configs
