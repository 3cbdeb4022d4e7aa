#pragma once

// Base fixture for tests that touch the device runtime: every test starts from
// a fresh runtime on the manual clock with report printing silenced (reports
// are still captured for assertions).

#include <gtest/gtest.h>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

namespace zephrin_test {

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace harness = kvor::zephrin::runtime::harness;
    harness::Reset();
    harness::SetReportEcho(false);
    harness::UseManualClock(1.0);
  }
  void TearDown() override { kvor::zephrin::runtime::harness::Reset(); }
};

}  // namespace zephrin_test
