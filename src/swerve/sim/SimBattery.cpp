#include <kvor/zephrin6/swerve/sim/SimBattery.hpp>

#include <algorithm>
#include <cmath>

namespace kvor::zephrin6::swerve::sim {

using kvor::zephrin::StatusCode;

StatusCode SimBattery::SetOpenCircuitVoltage(units::voltage::volt_t volts) {
  const double value = volts.value();
  if (!(std::isfinite(value) && value > 0.0)) return StatusCode::InvalidParamValue;
  openCircuitVolts_ = value;
  Redraw();
  return StatusCode::OK;
}

StatusCode SimBattery::SetResistance(units::impedance::ohm_t ohms) {
  const double value = ohms.value();
  if (!(std::isfinite(value) && value >= 0.0)) return StatusCode::InvalidParamValue;
  ohms_ = value;
  Redraw();
  return StatusCode::OK;
}

StatusCode SimBattery::SetBrownoutVoltage(units::voltage::volt_t volts) {
  const double value = volts.value();
  if (!(std::isfinite(value) && value >= 0.0)) return StatusCode::InvalidParamValue;
  brownoutVolts_ = value;
  Redraw();
  return StatusCode::OK;
}

units::voltage::volt_t SimBattery::Draw(units::current::ampere_t totalCurrent) {
  amps_ = std::isfinite(totalCurrent.value()) ? totalCurrent.value() : 0.0;
  // A battery cannot be driven below 0 V by its load; the product may still
  // overflow for currents near the ends of the doubles.
  const double loaded = openCircuitVolts_ - ohms_ * amps_;
  volts_ = std::isfinite(loaded) ? std::max(0.0, loaded) : (amps_ > 0.0 ? 0.0 : openCircuitVolts_);
  brownedOut_ = volts_ < brownoutVolts_;
  return units::voltage::volt_t{volts_};
}

// New settings apply to the load of the last Draw at once, so that the
// voltage and the brownout flag always agree with the settings.
void SimBattery::Redraw() { static_cast<void>(Draw(units::current::ampere_t{amps_})); }

}  // namespace kvor::zephrin6::swerve::sim
