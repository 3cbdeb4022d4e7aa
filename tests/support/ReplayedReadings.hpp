#pragma once

// Checks a recorded run against its log: the log is replayed in a fresh
// runtime that never simulated the device, and one signal of a new device
// object must read back, at each time it was read live, the value read then.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>

namespace zephrin_test {

/// Replays `file` and expects `(device.*getter)()` of the device (`deviceId`
/// on `bus`) to read each (time, value) of `seen` with status OK.
template <class Device, class Signal>
void ExpectReplayedReadings(const std::string& file, int deviceId, const std::string& bus,
                            Signal& (Device::*getter)(bool), const std::vector<std::pair<double, double>>& seen) {
  namespace harness = kvor::zephrin::runtime::harness;
  using kvor::zephrin6::WispReplay;
  harness::Reset();
  harness::SetReportEcho(false);
  harness::UseManualClock(100.0);
  ASSERT_EQ(WispReplay::LoadFile(file.c_str()), kvor::zephrin::StatusCode::OK);
  Device replayed(deviceId, bus);
  for (const auto& [time, value] : seen) {
    SCOPED_TRACE(time);
    ASSERT_EQ(WispReplay::StepTimingImpl(time - kvor::zephrin6::utils::GetCurrentTimeSeconds()),
              kvor::zephrin::StatusCode::OK);
    auto& signal = (replayed.*getter)(true);
    EXPECT_EQ(signal.GetStatus(), kvor::zephrin::StatusCode::OK);
    EXPECT_EQ(signal.GetValue().value(), value);
  }
  EXPECT_EQ(WispReplay::CloseFile(), kvor::zephrin::StatusCode::OK);
}

}  // namespace zephrin_test
