#include <kvor/zephrin6/configs/Auklet2FeaturesConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::Auklet2Features_EnableCompass, "EnableCompass", c.EnableCompass);
  v(ids::Auklet2Features_DisableTemperatureCompensation, "DisableTemperatureCompensation",
    c.DisableTemperatureCompensation);
  v(ids::Auklet2Features_DisableNoMotionCalibration, "DisableNoMotionCalibration", c.DisableNoMotionCalibration);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(Auklet2FeaturesConfigs, "Auklet2Features")

}  // namespace kvor::zephrin6::configs
