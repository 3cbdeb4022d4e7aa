#pragma once

// KinetraConfigs: the limits of profiled motion (the Kinetra requests). A plain value with
// public fields and fluent With setters; Serialize, Deserialize and ToString go through the
// runtime's config text one field at a time (config IDs in kvor/zephrin/platform/ConfigIds.def).
// Copy it freely; it is not synchronised, so a group shared between threads needs the caller's
// lock.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::configs {

class KinetraConfigs : public ParentConfiguration {
 public:
  /// Cruise velocity of a profile, turns per second. Default 0.0 turns/s.
  units::angular_velocity::turns_per_second_t KinetraCruiseVelocity = units::angular_velocity::turns_per_second_t{0.0};
  /// Acceleration of a profile, turns per second squared. Default 0.0 turns/s^2.
  units::angular_acceleration::turns_per_second_squared_t KinetraAcceleration =
      units::angular_acceleration::turns_per_second_squared_t{0.0};
  /// Jerk of a profile, turns per second cubed; 0 gives a trapezoidal profile. Default 0.0
  /// turns/s^3.
  units::angular_jerk::turns_per_second_cubed_t KinetraJerk = units::angular_jerk::turns_per_second_cubed_t{0.0};
  /// Velocity gain of the exponential profile, volts per turn per second. Default 0.12 V/(turns/s).
  double KinetraExpo_kV = 0.12;
  /// Acceleration gain of the exponential profile, volts per turn per second squared. Default 0.1
  /// V/(turns/s^2).
  double KinetraExpo_kA = 0.1;

  /// Sets KinetraCruiseVelocity and returns this group for chaining.
  KinetraConfigs& WithKinetraCruiseVelocity(units::angular_velocity::turns_per_second_t newValue) {
    KinetraCruiseVelocity = newValue;
    return *this;
  }
  /// Sets KinetraAcceleration and returns this group for chaining.
  KinetraConfigs& WithKinetraAcceleration(units::angular_acceleration::turns_per_second_squared_t newValue) {
    KinetraAcceleration = newValue;
    return *this;
  }
  /// Sets KinetraJerk and returns this group for chaining.
  KinetraConfigs& WithKinetraJerk(units::angular_jerk::turns_per_second_cubed_t newValue) {
    KinetraJerk = newValue;
    return *this;
  }
  /// Sets KinetraExpo_kV and returns this group for chaining.
  KinetraConfigs& WithKinetraExpo_kV(double newValue) {
    KinetraExpo_kV = newValue;
    return *this;
  }
  /// Sets KinetraExpo_kA and returns this group for chaining.
  KinetraConfigs& WithKinetraExpo_kA(double newValue) {
    KinetraExpo_kA = newValue;
    return *this;
  }

  /// The runtime's config text of every field, in field order.
  std::string Serialize() const override;
  /// The header line "Config Group: Kinetra" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; fields absent from it keep their
  /// value. Always returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
