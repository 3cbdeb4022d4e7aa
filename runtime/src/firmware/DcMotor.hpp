#pragma once

// The brushless motor behind a simulated motor controller, as a DC motor:
// winding resistance R = nominal volts / stall current, back-EMF constant
// from the speed constant (volts per rotation per second = 60 / Kv), torque
// constant Kt. Everything is in the rotor's own sign convention. The bridge
// either leaves the windings open (coast), shorts them (brake), applies a
// voltage or regulates a current; the stator and supply current limits lower
// the applied voltage until the currents are within them. Without a physics
// model the rotor turns a bare rotor inertia with no outside torque, which
// the model integrates exactly over a step at constant applied voltage.
// Pure functions; thread-safe.

namespace kvor::zephrin::runtime::firmware {

/// The constants of one motor.
struct MotorConstants {
  double kvRpmPerVolt;       ///< speed constant, RPM per volt
  double stallAmps;          ///< current at stall with nominal volts applied
  double rotorInertia;       ///< kg m^2, the load without a physics model
  double nominalVolts = 12.0;

  /// Newton-metres per ampere (consistent with the speed constant).
  double TorquePerAmp() const;
  double Resistance() const { return nominalVolts / stallAmps; }
  /// Back-EMF per rotation per second, volts.
  double VoltsPerTurnPerSecond() const { return 60.0 / kvRpmPerVolt; }
};

/// What the bridge does during a step.
enum class BridgeMode { Coast, Brake, Voltage, Current };

/// The bridge's demand in the rotor's sign convention.
struct BridgeDemand {
  BridgeMode mode = BridgeMode::Coast;
  double value = 0.0;       ///< volts (Voltage) or amperes (Current)
  double maxVolts = 0.0;    ///< largest voltage the bridge may apply (duty limit x supply)
  double statorLimit = 0.0;  ///< amperes, infinity when off
  double supplyLimit = 0.0;  ///< amperes, infinity when off
};

/// The electrical state that results.
struct MotorElectrical {
  double volts = 0.0;       ///< applied voltage (0 when coasting)
  double amps = 0.0;        ///< stator (torque) current
  double supplyAmps = 0.0;  ///< current drawn from the supply (negative when regenerating)
  bool statorLimited = false;
  bool supplyLimited = false;
};

/// The applied voltage and currents for `demand` at rotor speed
/// `turnsPerSecond` with `supplyVolts` at the controller.
MotorElectrical SolveMotor(const MotorConstants& motor, const BridgeDemand& demand, double turnsPerSecond,
                           double supplyVolts);

/// Moves a bare rotor (position in rotations, velocity in rotations per
/// second) through `seconds` with `volts` applied, or with the windings open
/// when `coasting`.
void IntegrateBareRotor(const MotorConstants& motor, double volts, bool coasting, double seconds, double& position,
                        double& velocity);

}  // namespace kvor::zephrin::runtime::firmware
