// Which signals of a simulated device the firmware hands to the signal store
// at each 1 ms step: those with a frame in the step, and only when changed.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "firmware/FirmwareFixture.hpp"
#include "firmware/SignalFeed.hpp"
#include "support/StandaloneServices.hpp"

namespace {

namespace ids = kvor::zephrin::signal_ids;
namespace harness = kvor::zephrin::runtime::harness;
using kvor::zephrin::StatusCode;
using kvor::zephrin::runtime::firmware::SignalFeed;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
using namespace kvor::zephrin6::configs;
using namespace kvor::zephrin6::controls;
using namespace units::literals;

// A device whose every signal has a value it never had before.
struct EverChanging {
  double& counter;
  void FillSlots(double*, uint16_t*) const {}
  double Signal(uint16_t, uint16_t&) const { return counter += 1.0; }
};

// The signals of `feed` handed over at the step starting at `t`.
std::set<uint16_t> Collected(SignalFeed& feed, double t, double& counter) {
  std::vector<SignalFeed::Value> batch;
  feed.Collect(t, 0.001, EverChanging{counter}, batch);
  std::set<uint16_t> ids;
  for (const SignalFeed::Value& v : batch) ids.insert(v.signalId);
  return ids;
}

// Steps forward, a step repeated, and steps from an earlier time (a clock
// set back) all hand over a signal exactly when one of its frames falls in
// the step, at rates that divide a millisecond and rates that do not.
TEST(SignalFeedTest, HandsOverEachSignalInTheStepsOfItsFrames) {
  std::vector<double> times;
  for (int s = 1'000; s < 1'700; ++s) times.push_back(s / 1000.0);
  times.push_back(1.699);  // the same step again
  for (int s = 1'200; s < 1'500; ++s) times.push_back(s / 1000.0);  // the clock went back
  // Steps off the millisecond grid, a little longer or shorter than one
  // apart, and a frame a hair after a step's end: steps between frames are
  // skipped without asking each group, which must never skip a due frame.
  for (int s = 0; s < 600; ++s) times.push_back(2.0 + s * 0.001 + 0.0004 * ((s * 7) % 3));
  times.push_back(2.9 - 1e-10);
  times.push_back(2.9);
  // Steps ending on a frame are skipped without asking each group too,
  // whatever the frame index: a minute in, a quarter of an hour in, and
  // four hours in, where the rounding of a frame's time outweighs the
  // store's tolerance.
  for (int s = 60'000; s < 60'300; ++s) times.push_back(s / 1000.0);
  for (int s = 900'000; s < 900'300; ++s) times.push_back(s / 1000.0);
  for (int s = 14'670'000; s < 14'670'300; ++s) times.push_back(s / 1000.0);
  // A step ending 2e-9 of a frame after a frame, just beyond the store's
  // tolerance, after a step that saw that frame ahead: the frame is due.
  // Then, late enough that an ulp of the time is a good part of the
  // tolerance, steps ending at each ulp around the first end that finds a
  // frame due, each after a step that saw that frame ahead (and a step back
  // in time between them, which makes every group look again).
  for (const double hz : {1000.0, 333.0, 250.0, 13.0, 7.0, 4.0}) {
    const double frame = std::ceil(3.5 * hz) / hz;
    times.push_back(frame - 0.005);
    times.push_back(frame - 0.001 + 2e-9 / hz);
    const double late = std::ceil(14'700.5 * hz) / hz;
    const double firstDueEnd = late + 1e-9 / hz;  // roughly
    for (int ulps = -8; ulps <= 8; ++ulps) {
      double end = firstDueEnd;
      for (int i = 0; i < std::abs(ulps); ++i) end = std::nextafter(end, ulps < 0 ? 0.0 : 1e9);
      double start = end - 0.001;  // made to end exactly at `end`
      while (start + 0.001 > end) start = std::nextafter(start, 0.0);
      while (start + 0.001 < end) start = std::nextafter(start, 1e9);
      times.push_back(1.0);
      times.push_back(late - 0.0025);
      times.push_back(start);
    }
  }

  // A schedule with a signal due at every step, and a sparse one whose
  // frames fall at every fraction of a millisecond.
  using Rates = std::vector<std::pair<uint16_t, uint16_t>>;
  const Rates schedules[] = {{{ids::rapax_q::kPosition, 1000},
                              {ids::rapax_q::kVelocity, 333},
                              {ids::rapax_q::kSupplyVoltage, 7},
                              {ids::rapax_q::kMotorVoltage, 250},
                              {ids::rapax_q::kDeviceTemp, 4}},
                             {{ids::rapax_q::kPosition, 13}, {ids::rapax_q::kVelocity, 7}, {ids::rapax_q::kDeviceTemp, 4}}};
  for (const Rates& rates : schedules) {
    SCOPED_TRACE(rates.size());
    zephrin_test::StandaloneServices runtime;
    const uint32_t hash = runtime.devices.Register(3, "rapax q", "drive");
    for (const auto& [id, hz] : rates) ASSERT_EQ(runtime.signals.SetFrequency("drive", hash, id, hz), 0);
    SignalFeed feed(hash, "rapax q");
    feed.Reschedule(runtime.signals);

    double counter = 0.0;
    for (double t : times) {
      const std::set<uint16_t> handed = Collected(feed, t, counter);
      for (const auto& [id, hz] : rates) {
        // A frame k / hz in [t, t + 1 ms), with the store's tolerance.
        const double first = std::ceil(t * hz - 1e-9);
        const bool due = first < (t + 0.001) * hz - 1e-9;
        EXPECT_EQ(handed.contains(id), due) << "signal " << id << " at " << hz << " Hz, step at " << t;
      }
    }
  }
}

// A device with three signals in slots, and every signal's value its ID
// plus a count the test moves on each step: a value handed under another
// signal's ID shows.
struct Numbered {
  static constexpr uint16_t kSlotted[] = {ids::rapax_q::kPosition, ids::rapax_q::kVelocity,
                                          ids::rapax_q::kMotorVoltage};
  static int SlotOf(uint16_t id) {
    for (int slot = 0; slot < 3; ++slot) {
      if (kSlotted[slot] == id) return slot;
    }
    return -1;
  }
  double count;
  void FillSlots(double* values, uint16_t*) const {
    for (int slot = 0; slot < 3; ++slot) values[slot] = kSlotted[slot] + count;
  }
  double Signal(uint16_t id, uint16_t&) const { return id + count; }
};

// One feed through schedules that move signals from one rate to another, add
// rates and stop signals: each step hands over exactly the signals with a
// frame in it, each with its own value, rate by rate in the order of each
// rate's first signal in the catalogue and in the catalogue's order within
// a rate; a first publication afterwards still comes in the catalogue's
// order.
TEST(SignalFeedTest, RegroupedSignalsKeepTheirValuesFramesAndOrder) {
  zephrin_test::StandaloneServices runtime;
  const uint32_t hash = runtime.devices.Register(3, "rapax q", "drive");
  SignalFeed feed(hash, "rapax q", &Numbered::SlotOf, 3);
  auto publishAll = [&feed] {
    std::vector<SignalFeed::Value> batch;
    feed.Invalidate();
    feed.CollectAll(Numbered{0.0}, batch);
    std::vector<uint16_t> order;
    for (const SignalFeed::Value& v : batch) order.push_back(v.signalId);
    return order;
  };
  const std::vector<uint16_t> catalogue = publishAll();

  using Rates = std::vector<std::pair<uint16_t, uint16_t>>;
  const Rates schedules[] = {
      {{ids::rapax_q::kPosition, 100}, {ids::rapax_q::kVelocity, 50}, {ids::rapax_q::kDeviceTemp, 250}},
      {{ids::rapax_q::kPosition, 50}, {ids::rapax_q::kVelocity, 100}, {ids::rapax_q::kMotorVoltage, 250},
       {ids::rapax_q::kSupplyVoltage, 0}},
      {{ids::rapax_q::kPosition, 0}, {ids::rapax_q::kMotorVoltage, 1000}, {ids::rapax_q::kSupplyVoltage, 333}}};
  double t = 1.0, count = 0.0;
  for (const Rates& rates : schedules) {
    SCOPED_TRACE(rates.size());
    for (const auto& [id, hz] : rates) ASSERT_EQ(runtime.signals.SetFrequency("drive", hash, id, hz), 0);
    feed.Reschedule(runtime.signals);
    std::vector<double> rateOf;
    for (uint16_t id : catalogue) rateOf.push_back(runtime.signals.AppliedFrequency(hash, id));
    std::vector<double> rateOrder;  // each rate once, in the order of its first signal
    for (double hz : rateOf) {
      if (hz > 0.0 && std::find(rateOrder.begin(), rateOrder.end(), hz) == rateOrder.end()) rateOrder.push_back(hz);
    }
    for (int step = 0; step < 100; ++step, t += 0.001) {
      count += 1.0;
      std::vector<uint16_t> expected;
      for (double hz : rateOrder) {
        const bool due = std::ceil(t * hz - 1e-9) < (t + 0.001) * hz - 1e-9;
        for (size_t k = 0; due && k < catalogue.size(); ++k) {
          if (rateOf[k] == hz) expected.push_back(catalogue[k]);
        }
      }
      std::vector<SignalFeed::Value> batch;
      feed.Collect(t, 0.001, Numbered{count}, batch);
      std::vector<uint16_t> handed;
      for (const SignalFeed::Value& v : batch) {
        handed.push_back(v.signalId);
        EXPECT_EQ(v.value, v.signalId + count) << "signal " << v.signalId << " at " << t;
      }
      ASSERT_EQ(handed, expected) << "step at " << t;
    }
  }
  EXPECT_EQ(publishAll(), catalogue);
}

// A motor's signals of one frame all describe the same state, whichever way
// the feed reads each of them: the loop's terms add up to its output, the
// duty cycle is the motor voltage over the supply, the mechanism is the
// rotor (ratio 1), and so on, at every frame of a run whose request,
// inversion and supply change between frames. Run with the default
// schedule, and with a few state signals sent fast (as odometry does),
// which the feed then asks for alone rather than with every slot.
class SignalsOfOneFrameAgree : public zephrin_test::FirmwareTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SignalsOfOneFrameAgree, WhicheverWayTheyAreRead) {
  const bool fast = GetParam();
  CoreRapaxQ motor(4, "can");
  if (fast) {
    for (const StatusCode applied : {motor.GetPosition().SetUpdateFrequency(250_Hz),
                                     motor.GetVelocity().SetUpdateFrequency(250_Hz),
                                     motor.GetRotorPosition().SetUpdateFrequency(250_Hz),
                                     motor.GetRotorVelocity().SetUpdateFrequency(250_Hz)}) {
      ASSERT_EQ(applied, StatusCode::OK);
    }
  }
  const double kP = 0.2, kI = 0.5, kV = 0.11;
  Configure(motor, Slot0Configs{}.WithkP(kP).WithkI(kI).WithkV(kV));
  Configure(motor, Slot1Configs{}.WithkP(2 * kP).WithkI(kI).WithkV(kV));
  double supply = 12.0;
  bool inverted = false;
  for (int frame = 0; frame < 60; ++frame) {
    SCOPED_TRACE(frame);
    const bool loop = frame < 20 || frame >= 40;
    const int slot = frame >= 40 ? 1 : 0;
    if (frame == 10) supply = 10.5;
    if (frame == 30) inverted = true;
    motor.GetSimState().SetSupplyVoltage(units::voltage::volt_t{supply});
    if (frame == 30) {
      Configure(motor, MotorOutputConfigs{}.WithInverted(kvor::zephrin6::signals::InvertedValue::Clockwise_Positive));
    }
    const StatusCode sent = loop ? motor.SetControl(VelocityVoltage{units::angular_velocity::turns_per_second_t{
                                                                        frame < 40 ? 20.0 : -8.0}}
                                                        .WithSlot(slot))
                                 : motor.SetControl(DutyCycleOut{0.3});
    ASSERT_EQ(sent, StatusCode::OK);
    harness::AdvanceTime(0.020);  // a frame of the 100 Hz signals and one of the 250 Hz ones end here

    const double error = motor.GetClosedLoopError().GetValue();
    const double p = motor.GetClosedLoopProportionalOutput().GetValue();
    const double i = motor.GetClosedLoopIntegratedOutput().GetValue();
    const double d = motor.GetClosedLoopDerivativeOutput().GetValue();
    const double ff = motor.GetClosedLoopFeedForward().GetValue();
    const double reference = motor.GetClosedLoopReference().GetValue();
    const double velocity = motor.GetVelocity().GetValue().value();
    EXPECT_EQ(motor.GetClosedLoopOutput().GetValue(), p + i + d + ff);
    EXPECT_EQ(p, (slot == 1 ? 2 * kP : kP) * error);
    EXPECT_EQ(ff, loop ? kV * reference : 0.0);
    EXPECT_EQ(error, loop ? reference - velocity : 0.0);
    EXPECT_EQ(motor.GetClosedLoopSlot().GetValue(), slot);
    EXPECT_EQ(motor.GetControlMode().GetValue().value, loop ? 13 : 4);  // VelocityVoltage, DutyCycleOut

    const double volts = motor.GetMotorVoltage().GetValue().value();
    EXPECT_NE(volts, 0.0);
    EXPECT_NEAR(motor.GetDutyCycle().GetValue() * supply, volts, 1e-12);
    EXPECT_EQ(motor.GetStatorCurrent().GetValue(), motor.GetTorqueCurrent().GetValue());
    EXPECT_EQ(motor.GetRotorVelocity().GetValue().value(), velocity);
    EXPECT_EQ(motor.GetRotorPosition().GetValue(), motor.GetPosition().GetValue());
    EXPECT_EQ(motor.GetDifferentialAveragePosition().GetValue(), motor.GetPosition().GetValue());
    EXPECT_EQ(motor.GetDifferentialAverageVelocity().GetValue().value(), velocity);
    EXPECT_EQ(motor.GetDifferentialDifferencePosition().GetValue().value(), 0.0);
    EXPECT_EQ(motor.GetAppliedRotorPolarity().GetValue().value, inverted ? 1 : 0);  // PositiveIsClockwise
    EXPECT_EQ(motor.GetBridgeOutput().GetValue().value, 3);                          // FieldOriented
    EXPECT_EQ(motor.GetDeviceEnable().GetValue().value, 1);                          // Enabled
    if (!fast) continue;

    // A frame of the fast signals alone: they moved on, together.
    const double position = motor.GetPosition().GetValue().value();
    harness::AdvanceTime(0.004);
    EXPECT_NE(motor.GetPosition().GetValue().value(), position);
    EXPECT_EQ(motor.GetRotorPosition().GetValue(), motor.GetPosition().GetValue());
    EXPECT_EQ(motor.GetRotorVelocity().GetValue(), motor.GetVelocity().GetValue());
    harness::AdvanceTime(0.016);  // back to the frames of both rates
  }
}

INSTANTIATE_TEST_SUITE_P(MotorSignalsTest, SignalsOfOneFrameAgree, ::testing::Bool());

}  // namespace
