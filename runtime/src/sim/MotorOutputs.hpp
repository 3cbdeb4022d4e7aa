#pragma once

// The physics outputs of a simulated motor controller, derived from the last
// control request it received: until the firmware simulation runs closed
// loops and a motor model, open-loop requests are applied as the firmware
// would apply them at standstill and everything else leaves the motor at
// rest. Pure functions, thread-safe.
//
//   DutyCycleOut, and the duty-cycle average of a      MotorVoltage = duty (within +-1) x supply
//     compound or of DifferentialDutyCycle
//   VoltageOut, and the voltage average of a compound  MotorVoltage = volts, within +-supply
//     or of DifferentialVoltage
//   TorqueCurrentFOC, and a compound's current average TorqueCurrent = amperes
//   anything else (neutral, brake, closed loops, ...)  0
//
// SupplyCurrent stays 0: it needs the motor's constants and speed.

#include <string_view>

#include "controls/ControlRecorder.hpp"

namespace kvor::zephrin::runtime::sim {

/// The outputs of one simulated motor, in the device's own sign convention.
struct MotorOutputs {
  double motorVolts = 0.0;
  double torqueAmps = 0.0;
  double supplyAmps = 0.0;
};

/// What a motor does under `call` (null: nothing received yet) with
/// `supplyVolts` at its input.
MotorOutputs OutputsOf(const ControlRecorder::LastCall* call, double supplyVolts);

/// The output named `name` ("MotorVoltage", "TorqueCurrent",
/// "SupplyCurrent") of `outputs`; false for any other name.
bool OutputByName(const MotorOutputs& outputs, std::string_view name, double& value);

}  // namespace kvor::zephrin::runtime::sim
