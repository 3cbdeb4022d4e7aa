// A first tour of the library: build control requests, look at them, send
// them, and see what reached the device runtime.
//
// A real robot program hands its requests to a motor controller object
// (motor.SetControl(request)); the device then calls the request's
// SendRequest with its bus name, its device hash and the slot where it keeps
// a copy of the last request. This tour plays the device's part itself with
// a stand-in hash, and uses the runtime's test harness to show what the
// runtime received.
#include <kvor/zephrin6/Zephrin6.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <iostream>
#include <memory>

int main() {
  using namespace kvor::zephrin6::controls;
  using namespace units::literals;
  namespace harness = kvor::zephrin::runtime::harness;
  using kvor::zephrin::StatusCode;

  // 1. Requests are small values. Fluent setters fill in what differs from
  //    the defaults (FOC on, every override off, gain slot 0, 100 Hz).
  VoltageOut drive = VoltageOut{6_V}.WithEnableFOC(false);
  PositionVoltage arm = PositionVoltage{0.25_tr}.WithSlot(1).WithFeedForward(0.4_V);
  VelocityTorqueCurrentFOC shooter = VelocityTorqueCurrentFOC{80_tps}.WithAcceleration(200_tps_sq);
  compound::Diff_VoltageOut_Position wrist{VoltageOut{2_V}, PositionVoltage{0.1_tr}};
  Follower follower = Follower{3}.WithOpposeLeaderDirection(true);

  std::cout << "== Requests describe themselves\n" << arm.ToString() << wrist.ToString();
  std::cout << "As a map, " << shooter.GetName() << " has " << shooter.GetControlInfo().size()
            << " entries; its Velocity is " << shooter.GetControlInfo().at("Velocity") << "\n\n";

  // 2. Send them the way a device does. The device keeps a copy of the last
  //    request; re-sending the same type reuses that copy without allocating.
  const char* bus = "can0";
  const std::uint32_t deviceHash = 0x0205000cu;  // stands in for a real device's hash
  std::shared_ptr<ControlRequest> lastControl = std::make_shared<EmptyControl>();
  const ControlRequest* requests[] = {&drive, &arm, &shooter, &wrist, &follower};
  for (const ControlRequest* request : requests) {
    StatusCode status = request->SendRequest(bus, deviceHash, lastControl);
    std::cout << "sent " << request->GetName() << ": " << status << '\n';
  }
  std::cout << "the device now keeps a copy of: " << lastControl->GetName() << "\n\n";

  // 3. The runtime recorded every call with its arguments in order: bus,
  //    hash, update frequency, then the request's fields.
  std::cout << "== What the runtime received\n";
  for (const auto& call : harness::ControlCalls(deviceHash)) std::cout << harness::ToString(call) << '\n';

  // 4. Failures come back as status codes. Here the harness makes the device
  //    answer as if its frames were lost on the bus.
  harness::SetControlStatus(deviceHash, StatusCode::RxTimeout);
  StatusCode status = drive.SendRequest(bus, deviceHash, lastControl);
  std::cout << "\n== A failed send\n"
            << "status " << status.value() << " is " << status.GetName() << (status.IsError() ? " (an error)" : "")
            << ":\n  " << status.GetDescription() << '\n';
  return 0;
}
