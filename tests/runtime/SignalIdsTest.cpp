// Golden rows for the generated signal-ID header. The header comes from the
// same table as the device getters and the runtime's catalogue, so only IDs
// copied by hand from the documented catalogue can catch a wrong row in that
// table; this is the one file where signal numbers are written out on purpose.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <cstdint>

namespace {

namespace ids = kvor::zephrin::signal_ids;

// A few documented IDs of every model: ordinary signals, the further IDs of
// mode-dependent ones, fault pairs, and the signals far from their neighbours.
TEST(SignalIds, MatchTheDocumentedCatalogue) {
  struct Row {
    const char* name;
    uint16_t named;
    uint16_t documented;
  } rows[] = {
      {"rapax q Version", ids::rapax_q::kVersion, 737},
      {"rapax q Velocity", ids::rapax_q::kVelocity, 2045},
      {"rapax q Position", ids::rapax_q::kPosition, 2046},
      {"rapax q ClosedLoopOutput", ids::rapax_q::kClosedLoopOutput, 2078},
      {"rapax q ClosedLoopOutput, voltage", ids::rapax_q::kClosedLoopOutput_Voltage, 2079},
      {"rapax q ClosedLoopOutput, torque current", ids::rapax_q::kClosedLoopOutput_TorqueCurrent, 2080},
      {"rapax q ClosedLoopReference, velocity", ids::rapax_q::kClosedLoopReference_Velocity, 2066},
      {"rapax q DifferentialOutput, voltage", ids::rapax_q::kDifferentialOutput_Voltage, 2089},
      {"rapax q Fault_Hardware", ids::rapax_q::kFault_Hardware, 10001},
      {"rapax q StickyFault_Hardware", ids::rapax_q::kStickyFault_Hardware, 10002},
      {"rapax w Position", ids::rapax_w::kPosition, 2046},
      {"rapax w FiveVRailVoltage", ids::rapax_w::kFiveVRailVoltage, 2849},
      {"rapax w StickyFault_MotorTempSensorTooHot", ids::rapax_w::kStickyFault_MotorTempSensorTooHot, 10116},
      {"angulon Position", ids::angulon::kPosition, 2207},
      {"angulon AbsolutePosition", ids::angulon::kAbsolutePosition, 2208},
      {"angulon PositionSinceBoot", ids::angulon::kPositionSinceBoot, 2211},
      {"auklet 2 Yaw", ids::auklet2::kYaw, 973},
      {"auklet 2 AccelerationX", ids::auklet2::kAccelerationX, 994},
      {"auklet 2 Fault_Hardware", ids::auklet2::kFault_Hardware, 10001},
      {"distix Distance", ids::distix::kDistance, 2392},
      {"portis PWM2Velocity", ids::portis::kPWM2Velocity, 2847},
      {"portis QuadratureVelocity", ids::portis::kQuadratureVelocity, 2857},
      {"portis Fault_5V", ids::portis::kFault_5V, 10118},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.named, row.documented);
  }
}

}  // namespace
