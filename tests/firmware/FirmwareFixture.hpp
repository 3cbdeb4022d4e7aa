#pragma once

// Base of the firmware stories: a fresh runtime on the manual clock, and a
// way to run the simulation a millisecond (one firmware step) at a time with
// the test's own physics in between.

#include <cmath>
#include <functional>

#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/Zephrin6.hpp>

#include "support/RuntimeFixture.hpp"

namespace zephrin_test {

class FirmwareTest : public RuntimeTest {
 protected:
  static constexpr double kStep = 0.001;

  /// Runs `seconds` of simulated time one firmware step at a time, calling
  /// `eachStep` before every step (a physics model reading the outputs of the
  /// last step and giving the inputs of the next).
  static void Run(double seconds, const std::function<void()>& eachStep = {}) {
    const int steps = static_cast<int>(std::lround(seconds / kStep));
    for (int i = 0; i < steps; ++i) {
      if (eachStep) eachStep();
      kvor::zephrin::runtime::harness::AdvanceTime(kStep);
    }
  }

  /// Applies `configs` to `device` and expects the apply to succeed.
  template <class Device, class Configs>
  static void Configure(Device& device, const Configs& configs) {
    ASSERT_EQ(device.GetConfigurator().Apply(configs), kvor::zephrin::StatusCode::OK);
  }
};

}  // namespace zephrin_test
