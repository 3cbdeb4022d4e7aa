#include "sim/MotorOutputs.hpp"

#include <algorithm>
#include <cmath>

namespace kvor::zephrin::runtime::sim {
namespace {

// Entry points whose first field (after the update frequency) is an
// open-loop output the motor applies at once.
enum class Open { DutyCycle, Voltage, Current, None };

Open OpenLoopKind(std::string_view function) {
  constexpr std::string_view kPrefix = "c_kvor_zephrin6_RequestControl";
  if (!function.starts_with(kPrefix)) return Open::None;
  function.remove_prefix(kPrefix.size());
  // A compound sends its average request first: Diff_<average>_<difference>.
  if (function.starts_with("Diff_")) function.remove_prefix(5);
  // A single differential request carries an open-loop average too.
  if (function.starts_with("DutyCycleOut") || function == "DifferentialDutyCycle") return Open::DutyCycle;
  if (function.starts_with("VoltageOut") || function == "DifferentialVoltage") return Open::Voltage;
  if (function.starts_with("TorqueCurrentFOC")) return Open::Current;
  return Open::None;
}

}  // namespace

MotorOutputs OutputsOf(const ControlRecorder::LastCall* call, double supplyVolts) {
  MotorOutputs out;
  if (call == nullptr || call->function == nullptr || call->argCount < 2) return out;
  const double output = call->args[1].number;
  if (!std::isfinite(output)) return out;
  const double supply = std::max(0.0, supplyVolts);
  switch (OpenLoopKind(call->function)) {
    case Open::DutyCycle:
      out.motorVolts = std::clamp(output, -1.0, 1.0) * supply;
      break;
    case Open::Voltage:
      out.motorVolts = std::clamp(output, -supply, supply);
      break;
    case Open::Current:
      out.torqueAmps = output;
      break;
    case Open::None:
      break;
  }
  return out;
}

bool OutputByName(const MotorOutputs& outputs, std::string_view name, double& value) {
  if (name == "MotorVoltage") {
    value = outputs.motorVolts;
  } else if (name == "TorqueCurrent") {
    value = outputs.torqueAmps;
  } else if (name == "SupplyCurrent") {
    value = outputs.supplyAmps;
  } else {
    return false;
  }
  return true;
}

}  // namespace kvor::zephrin::runtime::sim
