// Where a simulated motor controller gets its mechanism position from: its
// rotor through the gear ratio, or a remote sensor (alone, fused with the
// rotor, or the rotor re-synchronised to it), and the difference sensor of a
// differential mechanism.

#include <gtest/gtest.h>

#include <cmath>

#include "firmware/FirmwareFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using namespace kvor::zephrin6::configs;
using namespace kvor::zephrin6::controls;
using kvor::zephrin6::hardware::core::CoreAngulon;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
using kvor::zephrin6::mechanisms::DifferentialMechanism;
using namespace units::literals;
using units::angle::turn_t;
using units::angular_velocity::turns_per_second_t;
namespace harness = kvor::zephrin::runtime::harness;

class FeedbackTest : public zephrin_test::FirmwareTest {};

// The rotor turns 3 rotations at 6 rotations per second and the encoder on
// the mechanism reads 0.4 rotations at 0.5 per second; with a rotor-to-sensor
// ratio of 4 and a sensor-to-mechanism ratio of 2 each source gives its own
// mechanism position and velocity. An encoder that is missing leaves the
// rotor in charge and raises the remote-sensor fault.
TEST_F(FeedbackTest, EachFeedbackSourceGivesItsMechanismPosition) {
  struct Case {
    const char* name;
    int source;  // FeedbackSensorSource
    bool encoderPresent;
    double position, velocity;
    bool fault;
  };
  const Case cases[] = {
      {"rotor", 0, true, 3.0 / 2, 6.0 / 2, false},
      {"remote angulon", 1, true, 0.4 / 2, 0.5 / 2, false},
      {"fused angulon: its position, the rotor's velocity", 5, true, 0.4 / 2, 6.0 / 4 / 2, false},
      {"synchronised rotor", 6, true, 0.4 / 2, 6.0 / 4 / 2, false},
      {"remote angulon missing", 1, false, 3.0 / 2, 6.0 / 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    harness::Reset();
    harness::UseManualClock(1.0);
    CoreRapaxQ motor(1, "can");
    CoreAngulon encoder(7, "can");
    if (!c.encoderPresent) harness::SetDevicePresent(encoder.GetDeviceHash(), false);
    FeedbackConfigs feedback;
    feedback.FeedbackSensorSource = c.source;
    feedback.FeedbackRemoteSensorID = 7;
    feedback.RotorToSensorRatio = 4.0;
    feedback.SensorToMechanismRatio = 2.0;
    Configure(motor, feedback);
    motor.GetSimState().SetRawRotorPosition(3_tr);
    motor.GetSimState().SetRotorVelocity(turns_per_second_t{6.0});
    encoder.GetSimState().SetRawPosition(0.4_tr);
    encoder.GetSimState().SetVelocity(turns_per_second_t{0.5});
    harness::AdvanceTime(0.3);
    EXPECT_NEAR(motor.GetPosition().GetValue().value(), c.position, 1e-12);
    EXPECT_NEAR(motor.GetVelocity().GetValue().value(), c.velocity, 1e-12);
    EXPECT_EQ(motor.GetRotorPosition().GetValue().value(), 3.0);
    EXPECT_EQ(motor.GetFault_RemoteSensorDataInvalid().GetValue(), c.fault);
  }
}

// A differential mechanism of two motors holds the difference of their
// positions at its target with the leader's difference loop while the
// average, driven open loop at 0 V, stays where it was: the leader turns half
// the difference one way and its follower half the other.
TEST_F(FeedbackTest, DifferentialMechanismHoldsItsDifference) {
  CoreRapaxQ leader(1, "can"), follower(2, "can");
  Configure(leader, Slot0Configs{}.WithkP(20).WithkD(0.4));
  DifferentialMechanism mechanism(leader, follower, false);
  mechanism.Periodic();
  ASSERT_EQ(mechanism.SetControl(VoltageOut{0_V}, PositionVoltage{0.25_tr}), StatusCode::OK);
  harness::AdvanceTime(1.5);
  EXPECT_NEAR(leader.GetDifferentialDifferencePosition().GetValue().value(), 0.25, 1e-3);
  EXPECT_NEAR(leader.GetDifferentialAveragePosition().GetValue().value(), 0.0, 1e-9);
  EXPECT_NEAR(leader.GetPosition().GetValue().value(), 0.125, 1e-3);
  EXPECT_NEAR(follower.GetPosition().GetValue().value(), -0.125, 1e-3);
  EXPECT_EQ(follower.GetControlMode().GetValue().value, 27);  // DifferentialFollower
  mechanism.Periodic();
  EXPECT_FALSE(mechanism.IsDisabled());
}

}  // namespace
