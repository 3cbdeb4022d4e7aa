// A short robot program on the simulated runtime: three devices on a CAN FD
// bus, a configuration, a few requests, signals read with their units and
// timestamps, what the runtime received, and one reported error.
//
// The runtime simulates every device it is told about, so this runs without
// hardware. Each device's simulation state stands in for the physics: it sets
// what the simulated sensors measure and reads what the simulated motor
// drives. The harness (tests, examples and tools only) moves a manual clock
// and shows what the devices were sent.
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/controls/NeutralOut.hpp>
#include <kvor/zephrin6/controls/PositionVoltage.hpp>
#include <kvor/zephrin6/controls/VoltageOut.hpp>
#include <kvor/zephrin6/core/CANBus.hpp>
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <iostream>

using namespace kvor::zephrin6;
using namespace kvor::zephrin6::hardware::core;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;

// Prints a signal as "name: value units (at t s, status)".
template <class T>
void Show(const StatusSignal<T>& signal) {
  std::cout << "  " << signal.GetName() << ": " << signal.GetValueAsDouble() << ' ' << signal.GetUnits()
            << "  (at t = " << signal.GetTimestamp().GetTime().value() << " s, " << signal.GetStatus() << ")\n";
}

int main() {
  harness::UseManualClock(10.0);  // a clock that moves only when we say so

  const CANBus drive{"drive"};
  std::cout << "Bus \"" << drive.GetName() << "\" is " << (drive.IsNetworkFD() ? "CAN FD" : "classic CAN")
            << ", load " << drive.GetStatus().BusUtilization * 100 << " %\n";

  CoreRapaxQ arm{1, drive};
  CoreAngulon armEncoder{2, drive};
  CoreAuklet2 imu{3, drive};

  // Configure the arm motor: brake in neutral, limit its current, tune slot 0.
  configs::RapaxQConfiguration armConfig;
  armConfig.MotorOutput.WithNeutralMode(signals::NeutralModeValue::Brake);
  armConfig.CurrentLimits.WithStatorCurrentLimit(40_A).WithStatorCurrentLimitEnable(true);
  armConfig.Slot0.WithkP(24).WithkD(0.5);
  std::cout << "Apply arm configuration: " << arm.GetConfigurator().Apply(armConfig) << '\n';

  // What the simulated world measures right now.
  sim::RapaxQSimState& armSim = arm.GetSimState();
  armSim.SetSupplyVoltage(12.3_V);
  armSim.SetRawRotorPosition(0.25_tr);
  armEncoder.GetSimState().SetRawPosition(0.251_tr);
  imu.GetSimState().SetRawYaw(87.5_deg);
  harness::AdvanceTime(0.02);

  // Drive: first a plain voltage, then hold a position with gain slot 0.
  std::cout << "VoltageOut 3 V: " << arm.SetControl(controls::VoltageOut{3_V}) << '\n';
  harness::AdvanceTime(0.02);  // the simulated firmware acts on it from its next 1 ms step
  std::cout << "  the simulated motor now sees " << armSim.GetMotorVoltage().value() << " V\n";
  std::cout << "PositionVoltage 0.5 turns: "
            << arm.SetControl(controls::PositionVoltage{0.5_tr}.WithFeedForward(0.4_V)) << '\n';
  harness::AdvanceTime(1.0);  // the arm turns there (nothing drives its rotor but the motor)

  std::cout << "Signals:\n";
  Show(arm.GetPosition());
  Show(arm.GetSupplyVoltage());
  Show(armEncoder.GetAbsolutePosition());
  Show(imu.GetYaw());

  std::cout << "The runtime received for the arm motor:\n";
  for (const auto& call : harness::ControlCalls(arm.GetDeviceHash())) {
    std::cout << "  " << harness::ToString(call) << '\n';
  }
  std::cout << "  a configuration of " << harness::StoredConfigText(arm.GetDeviceHash()).size()
            << " characters of config text\n";
  std::cout << "The simulator knows " << harness::SimDevices().size() << " devices\n";

  // Read the configuration back from the device.
  configs::CurrentLimitsConfigs limits;
  std::cout << "Refresh current limits: " << arm.GetConfigurator().Refresh(limits) << '\n';
  std::cout << "Stator current limit read back: " << limits.StatorCurrentLimit.value() << " A, "
            << (limits.StatorCurrentLimitEnable ? "enabled" : "disabled") << '\n';

  // A motor controller nobody plugged in: after the 3 s grace its silence is
  // reported (on standard error, and captured by the harness).
  CoreRapaxQ missing{9, drive};
  harness::SetDevicePresent(missing.GetDeviceHash(), false);
  harness::SetReportEcho(false);
  harness::AdvanceTime(3.5);
  missing.SetControl(controls::NeutralOut{});
  for (const auto& report : harness::Reports()) {
    std::cout << (report.isError ? "Error " : "Warning ") << report.code << " at " << report.location << ":\n  "
              << report.details << '\n';
  }
  return 0;
}
