#include <kvor/zephrin6/controls/Controls.hpp>

#include <gtest/gtest.h>

#include <kvor/zephrin/runtime/harness/Controls.hpp>

#include "controls/generated/RequestCases.hpp"
#include "support/RuntimeFixture.hpp"

namespace harness = kvor::zephrin::runtime::harness;
using namespace kvor::zephrin6::controls;
using namespace kvor::zephrin6::controls::compound;
using namespace units::literals;

namespace {

class ControlRequestTest : public zephrin_test::RuntimeTest {
 protected:
  static constexpr const char* kBus = "drivebus1";
  static constexpr std::uint32_t kHash = 0x2a0005u;
  std::shared_ptr<ControlRequest> slot = std::make_shared<EmptyControl>();

  // The arguments the device received last, after the bus name and hash.
  std::vector<harness::ControlArgument> LastFieldArguments() {
    auto call = harness::LastControlCall(kHash);
    if (!call) return {};
    EXPECT_EQ(call->arguments.at(0), harness::ControlArgument{std::string{kBus}});
    EXPECT_EQ(call->arguments.at(1), harness::ControlArgument{kHash});
    return {call->arguments.begin() + 2, call->arguments.end()};
  }
};

}  // namespace

// Every request and compound hands its update frequency and then every field,
// in field order and with its type, to its own entry point, and prints the
// same values in its text and info forms; the slot ends up with an equal copy.
TEST_F(ControlRequestTest, EveryRequestSendsItsFieldsInOrderAndDescribesItself) {
  const auto cases = zephrin_test::RequestCases();
  ASSERT_EQ(cases.size(), 2 * 37u + 24u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto request = c.make();
    EXPECT_EQ(request->SendRequest(kBus, kHash, slot), 0);
    auto call = harness::LastControlCall(kHash);
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(call->function, c.function);
    EXPECT_EQ(LastFieldArguments(), c.arguments);
    EXPECT_EQ(request->ToString(), c.text);
    EXPECT_EQ(request->GetControlInfo(), c.info);
    ASSERT_NE(slot.get(), request.get());
    EXPECT_EQ(slot->ToString(), c.text);
    EXPECT_EQ(slot->GetControlInfo(), c.info);
  }
}

// Re-sending the type already in the slot assigns into the stored object (no
// new copy); another type replaces it; sending the stored object itself copies
// nothing. The runtime is called every time, whichever way the copy went.
TEST_F(ControlRequestTest, SlotIsAssignedInPlaceForSameTypeAndReplacedOtherwise) {
  for (const auto& c : zephrin_test::RequestCases()) {
    SCOPED_TRACE(c.name);
    harness::ClearControlCalls();
    slot = std::make_shared<EmptyControl>();
    auto request = c.make();
    request->SendRequest(kBus, kHash, slot);
    ControlRequest* stored = slot.get();
    auto fresh = c.make();
    fresh->SendRequest(kBus, kHash, slot);
    EXPECT_EQ(slot.get(), stored) << "same type must be assigned in place";
    slot->SendRequest(kBus, kHash, slot);
    EXPECT_EQ(slot.get(), stored);
    EXPECT_EQ(harness::ControlCallCount(kHash), 3u);
  }

  VoltageOut volts{6_V};
  volts.SendRequest(kBus, kHash, slot);
  ControlRequest* stored = slot.get();
  volts.WithOutput(-3_V).WithEnableFOC(false).WithUpdateFreqHz(20_Hz).SendRequest(kBus, kHash, slot);
  ASSERT_EQ(slot.get(), stored);
  auto& kept = dynamic_cast<VoltageOut&>(*slot);
  EXPECT_EQ(kept.Output, -3_V);
  EXPECT_FALSE(kept.EnableFOC);
  EXPECT_EQ(kept.UpdateFreqHz, 20_Hz);

  std::weak_ptr<ControlRequest> old = slot;
  DutyCycleOut{0.5}.SendRequest(kBus, kHash, slot);
  EXPECT_TRUE(old.expired()) << "the previous copy is released";
  EXPECT_NE(dynamic_cast<DutyCycleOut*>(slot.get()), nullptr);
}

// The rarer ways into the slot: an object of a type derived from the sent one
// that only the slot owns is assigned in place too, while one that somebody
// else also holds is left alone and the slot gets a new copy.
TEST_F(ControlRequestTest, DerivedSlotsAreAssignedInPlaceAndSharedOnesReplaced) {
  struct LabelledVoltage : VoltageOut {};
  slot = std::make_shared<LabelledVoltage>();
  ControlRequest* stored = slot.get();
  VoltageOut{4_V}.SendRequest(kBus, kHash, slot);
  ASSERT_EQ(slot.get(), stored);
  EXPECT_EQ(dynamic_cast<VoltageOut&>(*slot).Output, 4_V);

  const std::shared_ptr<ControlRequest> reader = slot;
  VoltageOut{5_V}.SendRequest(kBus, kHash, slot);
  EXPECT_NE(slot.get(), stored);
  EXPECT_EQ(dynamic_cast<VoltageOut&>(*slot).Output, 5_V);
  EXPECT_EQ(dynamic_cast<VoltageOut&>(*reader).Output, 4_V) << "a held copy never changes";
  EXPECT_EQ(harness::ControlCallCount(kHash), 2u);
}

// A compound sends its own update frequency, never its members', and keeps
// its members' names and frequencies in the stored copy.
TEST_F(ControlRequestTest, CompoundSendsItsOwnFrequencyAndStoresMembers) {
  Diff_VoltageOut_Position compound{VoltageOut{2_V}.WithUpdateFreqHz(50_Hz),
                                    PositionVoltage{1.5_tr}.WithUpdateFreqHz(10_Hz)};
  EXPECT_EQ(compound.name, "Diff_VoltageOut_Position");
  EXPECT_EQ(compound.UpdateFreqHz, 100_Hz);
  compound.SendRequest(kBus, kHash, slot);
  EXPECT_EQ(LastFieldArguments().at(0), harness::ControlArgument{100.0});

  ControlRequest* stored = slot.get();
  compound.WithAverageRequest(VoltageOut{4_V}).WithUpdateFreqHz(0_Hz).SendRequest(kBus, kHash, slot);
  ASSERT_EQ(slot.get(), stored);
  auto& kept = dynamic_cast<Diff_VoltageOut_Position&>(*slot);
  EXPECT_EQ(kept.AverageRequest.Output, 4_V);
  EXPECT_EQ(kept.AverageRequest.name, "VoltageOut");
  EXPECT_EQ(kept.DifferentialRequest.UpdateFreqHz, 10_Hz);
  EXPECT_EQ(LastFieldArguments().at(0), harness::ControlArgument{0.0});
  EXPECT_EQ(kept.GetControlInfo().size(), 3u);
}

// Whatever the runtime answers comes back unchanged, and the slot still holds
// the request that was sent.
TEST_F(ControlRequestTest, RuntimeStatusIsReturnedUnchanged) {
  harness::SetControlStatus(kHash, kvor::zephrin::StatusCode::RxTimeout);
  PositionVoltage request{3_tr};
  EXPECT_EQ(request.SendRequest(kBus, kHash, slot), kvor::zephrin::StatusCode::RxTimeout);
  EXPECT_EQ(slot->ToString(), request.ToString());
  harness::SetControlStatus(kHash, kvor::zephrin::StatusCode::CanMessageStale);
  EXPECT_EQ(EmptyControl{}.SendRequest(kBus, kHash, slot), kvor::zephrin::StatusCode::CanMessageStale);
}

// Values print with the stream's default formatting in both text forms:
// whole numbers without a point, tiny and huge values in exponent form,
// flags as digits.
TEST(ControlRequestText, ValuesUseDefaultStreamFormatting) {
  struct Case {
    double volts;
    const char* printed;
  } cases[] = {{12.0, "12"}, {1e-7, "1e-07"}, {-0.5, "-0.5"}, {123456789.0, "1.23457e+08"}, {1.0 / 3, "0.333333"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printed);
    VoltageOut request{units::voltage::volt_t{c.volts}};
    EXPECT_EQ(request.GetControlInfo().at("Output"), c.printed);
    EXPECT_NE(request.ToString().find(std::string{"    Output: "} + c.printed + " Volts\n"), std::string::npos);
  }
  EXPECT_EQ(NeutralOut{}.ToString(), "Control: NeutralOut\n    UseTimesync: 0\n");
  EXPECT_EQ(NeutralOut{true}.GetControlInfo(),
            (std::map<std::string, std::string>{{"Name", "NeutralOut"}, {"UseTimesync", "1"}}));
  EXPECT_NE(VelocityVoltage{}.WithAcceleration(2.5_tps_sq).ToString().find(
                "    Acceleration: 2.5 rotations per second\u00b2\n"),
            std::string::npos);
}

// Default-constructed requests drive nothing, use FOC, keep every override
// off, use slot 0 and repeat at 100 Hz.
TEST_F(ControlRequestTest, DefaultsAreNeutralAndRepeatAt100Hz) {
  PositionVoltage{}.SendRequest(kBus, kHash, slot);
  EXPECT_EQ(LastFieldArguments(), (std::vector<harness::ControlArgument>{100.0, 0.0, 0.0, true, 0.0, 0, false,
                                                                         false, false, false, false}));
  TorqueCurrentFOC{}.SendRequest(kBus, kHash, slot);
  EXPECT_EQ(LastFieldArguments(),
            (std::vector<harness::ControlArgument>{100.0, 0.0, 1.0, 0.0, false, false, false, false, false}));
  EXPECT_EQ(Diff_TorqueCurrentFOC_Velocity{}.UpdateFreqHz, 100_Hz);
}
