#include <kvor/zephrin6/configs/KinetraConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::Kinetra_CruiseVelocity, "KinetraCruiseVelocity", c.KinetraCruiseVelocity, " turns/s");
  v(ids::Kinetra_Acceleration, "KinetraAcceleration", c.KinetraAcceleration, " turns/s^2");
  v(ids::Kinetra_Jerk, "KinetraJerk", c.KinetraJerk, " turns/s^3");
  v(ids::Kinetra_Expo_kV, "KinetraExpo_kV", c.KinetraExpo_kV, " V/(turns/s)");
  v(ids::Kinetra_Expo_kA, "KinetraExpo_kA", c.KinetraExpo_kA, " V/(turns/s^2)");
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(KinetraConfigs, "Kinetra")

}  // namespace kvor::zephrin6::configs
