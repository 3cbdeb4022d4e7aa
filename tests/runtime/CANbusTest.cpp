// The bus queries as a robot program sees them through CANBus, backed by the
// runtime's bus registry and steered by the harness.
#include <kvor/zephrin6/core/CANBus.hpp>

#include <kvor/zephrin/platform/CANbus.hpp>
#include <kvor/zephrin/runtime/harness/CANbus.hpp>

#include <string>

#include "canbus/BusRegistry.hpp"
#include "support/RuntimeFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::CANBus;
namespace harness = kvor::zephrin::runtime::harness;

class CANbusTest : public zephrin_test::RuntimeTest {};

// Only the empty name, the controller's own bus, is classic CAN; every other
// name is CAN FD until the harness sets its type, and a detached bus is not FD.
TEST_F(CANbusTest, NetworkTypeFollowsNameAndOverrides) {
  struct Case {
    const char* bus;
    bool fd;
  };
  for (const Case& c : {Case{"", false}, Case{"drive", true}, Case{"can0", true}, Case{" ", true}}) {
    SCOPED_TRACE(c.bus);
    EXPECT_EQ(CANBus{c.bus}.IsNetworkFD(), c.fd);
    EXPECT_EQ(kvor::zephrin::runtime::BusRegistry().CanSynchronizeSignals(c.bus), c.fd);  // the signal store's rule
  }

  harness::SetBusNetworkType("chassis", kvor::zephrin::platform::can::kNetworkTypeClassicCan);
  EXPECT_FALSE(CANBus{"chassis"}.IsNetworkFD());
  harness::SetBusNetworkType("", kvor::zephrin::platform::can::kNetworkTypeCanFd);
  EXPECT_TRUE(CANBus{""}.IsNetworkFD());
  harness::SetBusNetworkType("drive", 3);  // an unknown type is not FD
  EXPECT_FALSE(CANBus{"drive"}.IsNetworkFD());
  harness::SetBusPresent("arm", false);
  EXPECT_EQ(kvor::zephrin::platform::can::CANbus_GetNetworkType("arm"), StatusCode::InvalidNetwork);
  EXPECT_FALSE(CANBus{"arm"}.IsNetworkFD());

  harness::Reset();
  EXPECT_FALSE(CANBus{""}.IsNetworkFD());
  EXPECT_TRUE(CANBus{"chassis"}.IsNetworkFD());
  EXPECT_TRUE(CANBus{"arm"}.IsNetworkFD());
}

// The status record carries the figures the runtime reports, in field order,
// and an absent bus answers InvalidNetwork with untouched (zero) figures.
TEST_F(CANbusTest, StatusReportsLoadAndCountersOrInvalidNetwork) {
  auto idle = CANBus{"drive"}.GetStatus();
  EXPECT_EQ(idle.Status, StatusCode::OK);
  EXPECT_EQ(idle.BusUtilization, 0.0f);
  EXPECT_EQ(idle.BusOffCount + idle.TxFullCount + idle.ReceiveErrorCount + idle.TransmitErrorCount, 0u);

  harness::SetBusStatus("drive", {0.625f, 1, 2, 3, 4});
  auto busy = CANBus{"drive"}.GetStatus();
  EXPECT_EQ(busy.Status, StatusCode::OK);
  EXPECT_EQ(busy.BusUtilization, 0.625f);
  EXPECT_EQ(busy.BusOffCount, 1u);
  EXPECT_EQ(busy.TxFullCount, 2u);
  EXPECT_EQ(busy.ReceiveErrorCount, 3u);
  EXPECT_EQ(busy.TransmitErrorCount, 4u);
  EXPECT_EQ(CANBus{"other"}.GetStatus().BusUtilization, 0.0f);

  harness::SetBusPresent("drive", false);
  auto absent = CANBus{"drive"}.GetStatus();
  EXPECT_EQ(absent.Status, StatusCode::InvalidNetwork);
  EXPECT_EQ(absent.BusUtilization, 0.0f);
  EXPECT_EQ(absent.TransmitErrorCount, 0u);
}

// A CANBus built from part of a longer text asks about exactly that part.
TEST_F(CANbusTest, NameViewIsNotReadPastItsEnd) {
  harness::SetBusNetworkType("arm", kvor::zephrin::platform::can::kNetworkTypeClassicCan);
  const std::string names = "armdrive";
  EXPECT_FALSE(CANBus{std::string_view(names).substr(0, 3)}.IsNetworkFD());
  EXPECT_EQ(CANBus{std::string_view(names).substr(3)}.GetName(), "drive");
}

}  // namespace
