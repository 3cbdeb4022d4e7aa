// Which signals of a simulated device the firmware hands to the signal store
// at each 1 ms step: those with a frame in the step, and only when changed.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
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

}  // namespace
