#pragma once

// SimBattery is the robot's battery as the swerve simulation sees it: an
// ideal source of its open-circuit voltage behind an internal resistance, so
// that the voltage the devices get sags by resistance times the current they
// draw. Below the brownout voltage the robot browns out, as a real robot
// controller does: the simulation disables every motor controller it feeds
// until the voltage is back at or above that threshold.
//
// A plain copyable value: the settings (checked by their setters, so a
// battery always holds sensible ones) and the state of its last Draw.
// SimSwerveDrivetrain keeps one (SetBattery, GetBattery) and draws on it on
// every Update that is given no supply voltage. Not thread-safe on its own;
// the drivetrain simulation serialises its use.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::swerve::sim {

class ZEPHRIN6_API SimBattery {
 public:
  /// A charged competition battery at rest, volts.
  static constexpr units::voltage::volt_t kDefaultOpenCircuitVoltage{12.5};
  /// Internal resistance of the battery with its main breaker and wiring, ohms.
  static constexpr units::impedance::ohm_t kDefaultResistance{0.02};
  /// Voltage below which the robot browns out and its outputs are disabled, volts.
  static constexpr units::voltage::volt_t kDefaultBrownoutVoltage{6.8};

  /// A battery with the defaults above, unloaded.
  SimBattery() = default;

  /// Sets the voltage at no load. @return OK; InvalidParamValue, changing
  /// nothing, for a voltage that is not a positive finite number of volts.
  [[nodiscard]] kvor::zephrin::StatusCode SetOpenCircuitVoltage(units::voltage::volt_t volts);
  /// Sets the internal resistance. @return OK; InvalidParamValue, changing
  /// nothing, for a resistance that is negative or not finite (0 is an
  /// ideal source that never sags).
  [[nodiscard]] kvor::zephrin::StatusCode SetResistance(units::impedance::ohm_t ohms);
  /// Sets the brownout threshold. @return OK; InvalidParamValue, changing
  /// nothing, for a voltage that is negative or not finite (0 never browns
  /// out).
  [[nodiscard]] kvor::zephrin::StatusCode SetBrownoutVoltage(units::voltage::volt_t volts);

  units::voltage::volt_t GetOpenCircuitVoltage() const { return units::voltage::volt_t{openCircuitVolts_}; }
  units::impedance::ohm_t GetResistance() const { return units::impedance::ohm_t{ohms_}; }
  units::voltage::volt_t GetBrownoutVoltage() const { return units::voltage::volt_t{brownoutVolts_}; }

  /// Loads the battery with `totalCurrent` (amperes, the sum of every
  /// device's supply current; negative while motors brake back into it) and
  /// returns the loaded voltage, never below 0 V. A current that is not
  /// finite is taken as no load. Updates IsBrownedOut.
  units::voltage::volt_t Draw(units::current::ampere_t totalCurrent);

  /// The loaded voltage of the last Draw (the open-circuit voltage before
  /// any), volts.
  units::voltage::volt_t GetVoltage() const { return units::voltage::volt_t{volts_}; }
  /// The current of the last Draw, amperes.
  units::current::ampere_t GetCurrent() const { return units::current::ampere_t{amps_}; }
  /// Whether the last Draw left the voltage below the brownout threshold.
  bool IsBrownedOut() const { return brownedOut_; }

 private:
  void Redraw();

  double openCircuitVolts_ = kDefaultOpenCircuitVoltage.value();
  double ohms_ = kDefaultResistance.value();
  double brownoutVolts_ = kDefaultBrownoutVoltage.value();
  double volts_ = kDefaultOpenCircuitVoltage.value();
  double amps_ = 0.0;
  bool brownedOut_ = false;
};

}  // namespace kvor::zephrin6::swerve::sim
