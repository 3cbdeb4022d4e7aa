#include <kvor/zephrin6/controls/EmptyControl.hpp>

#include <gtest/gtest.h>

#include <kvor/zephrin/runtime/harness/Controls.hpp>

#include "support/RuntimeFixture.hpp"

namespace harness = kvor::zephrin::runtime::harness;
using kvor::zephrin6::controls::ControlRequest;
using kvor::zephrin6::controls::EmptyControl;

namespace {
class EmptyControlTest : public zephrin_test::RuntimeTest {};
}  // namespace

// The empty control describes itself with its one fixed line and only a name.
TEST(EmptyControl, DescribesItselfByNameOnly) {
  EmptyControl empty;
  EXPECT_EQ(empty.ToString(), "class: EmptyControl\n");
  EXPECT_EQ(empty.GetControlInfo(), (std::map<std::string, std::string>{{"Name", "EmptyControl"}}));
  EXPECT_EQ(empty.GetName(), "EmptyControl");
}

// Sending it reaches the empty entry point with 0 Hz and keeps a copy in the slot.
TEST_F(EmptyControlTest, SendsWithZeroFrequencyAndKeepsCopy) {
  EmptyControl empty;
  std::shared_ptr<ControlRequest> slot;
  EXPECT_EQ(empty.SendRequest("chassis", 42u, slot), 0);
  ASSERT_NE(slot, nullptr);
  EXPECT_NE(slot.get(), &empty);
  EXPECT_NE(dynamic_cast<EmptyControl*>(slot.get()), nullptr);
  auto call = harness::LastControlCall(42u);
  ASSERT_TRUE(call.has_value());
  EXPECT_EQ(call->function, "c_kvor_zephrin6_RequestControlEmpty");
  EXPECT_EQ(call->arguments,
            (std::vector<harness::ControlArgument>{std::string{"chassis"}, 42u, 0.0}));
}
