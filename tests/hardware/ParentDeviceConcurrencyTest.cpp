// Several threads using one device at once: getters creating and reading
// signals, control sends, and the firmware check running from both while the
// clock moves. Meant to run under ThreadSanitizer as well.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/controls/DutyCycleOut.hpp>
#include <kvor/zephrin6/controls/EmptyControl.hpp>

#include <array>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "signals/SignalTestDevice.hpp"
#include "support/RuntimeFixture.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace ids = kvor::zephrin::signal_ids::rapax_q;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::BaseStatusSignal;
using zephrin_test::SignalTestDevice;

class ParentDeviceConcurrencyTest : public zephrin_test::RuntimeTest {};

// Lookups from four threads agree on one object per ID, controls from two
// threads all go out, and the compatibility check (first failing, then
// passing once the device answers) runs safely from all of them.
TEST_F(ParentDeviceConcurrencyTest, LookupsAndControlsFromSeveralThreads) {
  uint32_t hash = 0;
  c_kvor_zephrin6_encode_device(7, "rapax q", "fd", &hash);
  harness::SetDevicePresent(hash, false);
  SignalTestDevice device{7, "fd"};

  constexpr int kRounds = 300;
  constexpr uint16_t kShared[] = {ids::kMotorVoltage,  ids::kDutyCycle,     ids::kTorqueCurrent,
                                  ids::kStatorCurrent, ids::kSupplyCurrent, ids::kSupplyVoltage};
  std::array<std::array<BaseStatusSignal*, std::size(kShared)>, 4> seen{};
  std::atomic<int> controlsSent{0};
  std::atomic<bool> go{false};

  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      // Each reader refreshes only signals no other thread refreshes.
      const uint16_t own = static_cast<uint16_t>(ids::kRotorVelocity + t);
      for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < std::size(kShared); ++i) {
          seen[t][i] = &device.LookupStatusSignal<double>(kShared[i], "Shared", true, false);
        }
        device.LookupStatusSignal<double>(own, "Own", true, true);
      }
    });
  }
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      kvor::zephrin6::controls::DutyCycleOut duty{units::dimensionless::scalar_t{0.1 * t}};
      kvor::zephrin6::controls::EmptyControl empty;
      for (int round = 0; round < kRounds; ++round) {
        const bool sendEmpty = (round % 3) == 0;
        StatusCode status = sendEmpty ? device.SetControlPrivate(empty) : device.SetControlPrivate(duty);
        if (status.IsOK()) controlsSent.fetch_add(1);
      }
    });
  }
  go.store(true);
  for (int step = 0; step < 40; ++step) {
    harness::AdvanceTime(0.125);
    if (step == 30) harness::SetDevicePresent(hash, true);
    std::this_thread::yield();
  }
  for (auto& thread : threads) thread.join();

  for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[t], seen[0]);
  EXPECT_EQ(controlsSent.load(), 2 * kRounds);
  EXPECT_EQ(harness::ControlCallCount(hash), static_cast<size_t>(2 * kRounds));
}

// A reader holding snapshots of the applied control while another thread
// keeps sending the same request type never sees one change under it.
TEST_F(ParentDeviceConcurrencyTest, AppliedControlSnapshotsStayFixedWhileSending) {
  using kvor::zephrin6::controls::DutyCycleOut;
  SignalTestDevice device{7, "fd"};
  std::atomic<bool> stop{false};
  std::atomic<int> sends{0};
  std::thread sender([&] {
    DutyCycleOut duty{units::dimensionless::scalar_t{0}};
    for (int i = 1; !stop.load(); ++i) {
      // Two fields that change together, so that a torn copy shows too.
      duty.Output = units::dimensionless::scalar_t{static_cast<double>(i)};
      duty.UseTimesync = i % 2 == 0;
      device.SetControlPrivate(duty);
      sends.store(i);
    }
  });
  int changed = 0;
  for (int snapshots = 0; snapshots < 200;) {
    const auto snapshot = device.GetAppliedControl();
    const auto* duty = dynamic_cast<const DutyCycleOut*>(snapshot.get());
    if (duty == nullptr) continue;
    const double output = duty->Output.value();
    const int sent = sends.load();
    while (sends.load() < sent + 2) std::this_thread::yield();  // two more sends of the same type
    if (duty->Output.value() != output || duty->UseTimesync != (std::lround(output) % 2 == 0)) ++changed;
    ++snapshots;
  }
  stop.store(true);
  sender.join();
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(harness::ControlCallCount(device.GetDeviceHash()), static_cast<size_t>(sends.load()));
}

}  // namespace
