// Which signals of a simulated device the firmware hands to the signal store
// at each 1 ms step: those with a frame in the step, and only when changed.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "firmware/SignalFeed.hpp"
#include "support/StandaloneServices.hpp"

namespace {

namespace ids = kvor::zephrin::signal_ids;
using kvor::zephrin::runtime::firmware::SignalFeed;

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
  zephrin_test::StandaloneServices runtime;
  const uint32_t hash = runtime.devices.Register(3, "rapax q", "drive");
  const uint16_t rates[][2] = {{ids::rapax_q::kPosition, 1000},  {ids::rapax_q::kVelocity, 333},
                               {ids::rapax_q::kSupplyVoltage, 7}, {ids::rapax_q::kMotorVoltage, 250},
                               {ids::rapax_q::kDeviceTemp, 4}};
  for (const auto& [id, hz] : rates) ASSERT_EQ(runtime.signals.SetFrequency("drive", hash, id, hz), 0);
  SignalFeed feed(hash, "rapax q");
  feed.Reschedule(runtime.signals);

  std::vector<int> steps;
  for (int s = 1'000; s < 1'700; ++s) steps.push_back(s);
  steps.push_back(1'699);  // the same step again
  for (int s = 1'200; s < 1'500; ++s) steps.push_back(s);  // the clock went back

  double counter = 0.0;
  for (int step : steps) {
    const double t = step / 1000.0;
    const std::set<uint16_t> handed = Collected(feed, t, counter);
    for (const auto& [id, hz] : rates) {
      // A frame k / hz in [t, t + 1 ms), with the store's tolerance.
      const double first = std::ceil(t * hz - 1e-9);
      const bool due = first < (t + 0.001) * hz - 1e-9;
      EXPECT_EQ(handed.contains(id), due) << "signal " << id << " at " << hz << " Hz, step " << step;
    }
  }
}

}  // namespace
