// Device headers come first: a robot program that includes one device header
// must get a complete, usable class without parsing Eigen.
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreDistix.hpp>
#include <kvor/zephrin6/hardware/core/CorePortis.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>
#if defined(EIGEN_WORLD_VERSION)
#error "a device header pulled in Eigen"
#endif

// Construction of the six device classes (simulator announcement, bus name
// from a CANBus), devices on a classic and a CAN FD bus, and getters used
// from two threads at once.
#include <kvor/zephrin6/signals/BaseStatusSignal.hpp>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include <thread>
#include <vector>

#include "support/RuntimeFixture.hpp"

namespace {

using namespace kvor::zephrin6;
using namespace kvor::zephrin6::hardware::core;
using kvor::zephrin::StatusCode;
namespace harness = kvor::zephrin::runtime::harness;
using namespace units::literals;

class DeviceConstructionTest : public zephrin_test::RuntimeTest {};

// Each device class announces itself to the simulator under its own device
// type; a second object for the same device is allowed.
TEST_F(DeviceConstructionTest, DevicesAnnounceThemselvesToTheSimulator) {
  CoreRapaxQ rapaxQ{1};
  CoreAngulon angulon{1};
  CoreAuklet2 auklet{1};
  CoreRapaxW rapaxW{2, "drive"};
  CoreDistix distix{3, CANBus{"drive"}};
  CorePortis portis{4, CANBus{""}};
  CoreRapaxQ again{1};
  EXPECT_EQ(harness::SimDevices(),
            (std::vector<harness::SimDevice>{{5, 1}, {6, 1}, {7, 1}, {8, 2}, {9, 3}, {10, 4}}));
}

// A device built from a CANBus carries the bus's name in its identifier, its
// reports and its runtime key, exactly like one built from the name.
TEST_F(DeviceConstructionTest, CANBusConstructorCarriesTheBusName) {
  const std::string name = "drive";
  CoreRapaxQ fromBus{3, CANBus{name}};
  CoreRapaxQ fromText{4, name};
  EXPECT_EQ(fromBus.GetDeviceIdentifier().ToString(), "rapax q 3 (\"drive\")");
  EXPECT_EQ(fromBus.GetDeviceHash(), harness::DeviceHash(3, "rapax q", "drive"));
  EXPECT_EQ(fromText.GetDeviceIdentifier().ToString(), "rapax q 4 (\"drive\")");
  CoreAuklet2 imu{0, CANBus{}};
  EXPECT_EQ(imu.GetDeviceIdentifier().ToString(), "auklet 2 0 (\"\")");
}

// On a CAN FD bus the signals of several devices can be read in one
// synchronised wait; on the controller's classic bus the same wait answers
// MultiSignalNotSupported (the values are still read).
TEST_F(DeviceConstructionTest, SynchronisedReadsNeedACanFdBus) {
  for (const char* bus : {"drive", ""}) {
    SCOPED_TRACE(bus);
    CoreRapaxQ left{1, CANBus{bus}};
    CoreRapaxQ right{2, CANBus{bus}};
    CoreAuklet2 imu{3, CANBus{bus}};
    harness::SetSimulatedValue(harness::DeviceHash(3, "auklet 2", bus), kvor::zephrin::signal_ids::auklet2::kYaw, 90.0);
    const bool fd = CANBus{bus}.IsNetworkFD();
    // Only the FD bus waits for the next frames: move time on once it does.
    std::thread advance;
    if (fd) {
      advance = std::thread([] {
        harness::AwaitBlockedWaiters(1);
        harness::AdvanceTime(0.02);
      });
    }
    const auto status = BaseStatusSignal::WaitForAll(0.1_s, left.GetPosition(false), right.GetPosition(false),
                                                     imu.GetYaw(false));
    if (advance.joinable()) advance.join();
    EXPECT_EQ(status, fd ? StatusCode::OK : StatusCode::MultiSignalNotSupported);
    EXPECT_EQ(imu.GetYaw(false).GetValue(), 90_deg);
  }
}

// Two threads looking up the signals of one device at once get the same
// objects and leave one signal per ID in the cache. Each thread refreshes
// only its own signal: a signal object itself is not synchronised, so two
// threads must never refresh the same one.
TEST_F(DeviceConstructionTest, GettersFromTwoThreadsShareOneSignalPerId) {
  CoreRapaxW device{6, "drive"};
  std::vector<BaseStatusSignal*> seen[2];
  auto lookUpAll = [&device](std::vector<BaseStatusSignal*>& out, bool refreshVelocity) {
    for (int round = 0; round < 20; ++round) {
      out = {&device.GetVelocity(refreshVelocity), &device.GetPosition(!refreshVelocity),
             &device.GetClosedLoopOutput(false), &device.GetFault_BridgeShort(false),
             &device.GetExternalMotorTemp(false), &device.GetControlMode(false)};
    }
  };
  std::thread first(lookUpAll, std::ref(seen[0]), true);
  std::thread second(lookUpAll, std::ref(seen[1]), false);
  first.join();
  second.join();
  EXPECT_EQ(seen[0], seen[1]);
}

}  // namespace
