// Decoding a recorded control call into the request a simulated motor
// controller acts on. The firmware decodes each call straight into the
// request it keeps, so a decode must write every field a call determines and
// must leave the kept request alone when it refuses the call.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "firmware/ControlCommand.hpp"

namespace {

using kvor::zephrin::runtime::RecordedArg;
using kvor::zephrin::runtime::firmware::ControlCommand;
using kvor::zephrin::runtime::firmware::DecodeControl;
using kvor::zephrin::runtime::firmware::Loop;

constexpr const char* kDifferential = "c_kvor_zephrin6_RequestControlDifferentialPositionVoltage";
constexpr const char* kPlain = "c_kvor_zephrin6_RequestControlPositionVoltage";

// DifferentialPositionVoltage: update rate, AveragePosition, DifferentialPosition,
// EnableFOC, AverageSlot, DifferentialSlot, four flags, UseTimesync.
std::vector<RecordedArg> DifferentialCall(double average, double difference, int slot) {
  return {100.0, average, difference, true, 1, slot, false, false, false, false, false};
}
// PositionVoltage: update rate, Position, Velocity, EnableFOC, FeedForward,
// Slot, four flags, UseTimesync.
std::vector<RecordedArg> PlainCall(double position, double feedForward) {
  return {50.0, position, 0.0, true, feedForward, 0, false, true, false, false, false};
}

TEST(ControlCommandTest, EachCallWritesWhatItDeterminesOverTheRequestBefore) {
  ControlCommand kept;
  ASSERT_TRUE(DecodeControl(kDifferential, DifferentialCall(0.5, 0.25, 2), kept));
  EXPECT_EQ(kept.average.loop, Loop::Position);
  EXPECT_EQ(kept.average.position, 0.5);
  EXPECT_EQ(kept.average.slot, 1);
  EXPECT_EQ(kept.difference.loop, Loop::Position);
  EXPECT_EQ(kept.difference.position, 0.25);
  EXPECT_EQ(kept.difference.slot, 2);

  // A plain request after it has no difference axis: nothing of the
  // differential request's difference stays.
  ASSERT_TRUE(DecodeControl(kPlain, PlainCall(3.0, 0.75), kept));
  EXPECT_EQ(kept.updateHz, 50.0);
  EXPECT_EQ(kept.average.position, 3.0);
  EXPECT_EQ(kept.average.feedForward, 0.75);
  EXPECT_EQ(kept.average.slot, 0);
  EXPECT_TRUE(kept.limitForward);
  EXPECT_EQ(kept.difference.loop, Loop::None);
  EXPECT_EQ(kept.difference.position, 0.0);
  EXPECT_EQ(kept.difference.slot, 0);

  // Refused calls change nothing: a number that is not finite, a function
  // the firmware does not know, no arguments.
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(DecodeControl(kDifferential, DifferentialCall(1.0, bad, 1), kept));
  }
  EXPECT_FALSE(DecodeControl("c_kvor_zephrin6_RequestControlNoSuchRequest", PlainCall(9.0, 0.0), kept));
  EXPECT_FALSE(DecodeControl(kPlain, {}, kept));
  EXPECT_EQ(kept.updateHz, 50.0);
  EXPECT_EQ(kept.average.position, 3.0);
  EXPECT_EQ(kept.difference.loop, Loop::None);
  EXPECT_EQ(kept.difference.position, 0.0);
}

// A call cut short of its request's fields (a program built against an
// older entry point) takes the fields it has; every one it lacks reads as
// absent, whichever request was decoded before.
TEST(ControlCommandTest, ACallShortOfItsFieldsReadsTheMissingOnesAsAbsent) {
  ControlCommand kept;
  ASSERT_TRUE(DecodeControl(kPlain, PlainCall(3.0, 0.75), kept));
  ASSERT_TRUE(kept.enableFoc);
  const std::vector<RecordedArg> full = PlainCall(4.0, 0.5);
  for (size_t count = 1; count <= 5; ++count) {
    SCOPED_TRACE(count);
    ASSERT_TRUE(DecodeControl(kPlain, {full.data(), count}, kept));
    EXPECT_EQ(kept.updateHz, 50.0);
    EXPECT_EQ(kept.average.position, count > 1 ? 4.0 : 0.0);
    EXPECT_EQ(kept.enableFoc, count > 3);
    EXPECT_EQ(kept.average.feedForward, count > 4 ? 0.5 : 0.0);
    EXPECT_EQ(kept.average.slot, 0);
    EXPECT_FALSE(kept.limitForward);
    EXPECT_EQ(kept.maxAbsDutyCycle, 1.0);
  }
}

}  // namespace
