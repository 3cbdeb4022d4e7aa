// What stands between a request and the motor: followers taking their
// leader's output, hardware and software limits, and the current limits of
// the motor model.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Sim.hpp>

#include <cmath>

#include "firmware/FirmwareFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using namespace kvor::zephrin6::configs;
using namespace kvor::zephrin6::controls;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
using kvor::zephrin6::signals::InvertedValue;
using kvor::zephrin6::signals::NeutralModeValue;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;
namespace ids = kvor::zephrin::signal_ids::rapax_q;

class OutputStageTest : public zephrin_test::FirmwareTest {};

// A follower applies its leader's output: turning with the leader it takes
// the leader's sense of positive (so it reports what the leader reports) and
// drives its own motor the way the leader drives its; opposing it, it drives
// its motor the other way, still reporting the leader's values. The
// follower's own inversion does not matter.
TEST_F(OutputStageTest, FollowerMirrorsOrOpposesItsLeader) {
  struct Case {
    bool leaderInverted;
    bool followerInverted;
    bool oppose;
  };
  const Case cases[] = {{false, false, false}, {false, true, false}, {true, false, false},
                        {false, false, true},  {true, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "leader inverted " << c.leaderInverted << ", follower inverted "
                                    << c.followerInverted << ", oppose " << c.oppose);
    harness::Reset();
    harness::UseManualClock(1.0);
    CoreRapaxQ leader(1, "can"), follower(2, "can");
    Configure(leader, MotorOutputConfigs{}.WithInverted(c.leaderInverted ? InvertedValue::Clockwise_Positive
                                                                        : InvertedValue::CounterClockwise_Positive));
    Configure(follower, MotorOutputConfigs{}.WithInverted(c.followerInverted ? InvertedValue::Clockwise_Positive
                                                                            : InvertedValue::CounterClockwise_Positive));
    ASSERT_EQ(follower.SetControl(Follower{1}.WithOpposeLeaderDirection(c.oppose)), StatusCode::OK);
    ASSERT_EQ(leader.SetControl(VoltageOut{3_V}), StatusCode::OK);
    harness::AdvanceTime(0.5);

    const double leaderVolts = leader.GetSimState().GetMotorVoltage().value();
    EXPECT_EQ(std::abs(leaderVolts), 3.0);
    EXPECT_EQ(follower.GetSimState().GetMotorVoltage().value(), c.oppose ? -leaderVolts : leaderVolts);
    EXPECT_EQ(follower.GetMotorVoltage().GetValue(), leader.GetMotorVoltage().GetValue());
    EXPECT_EQ(follower.GetVelocity().GetValue(), leader.GetVelocity().GetValue());
    EXPECT_GT(follower.GetVelocity().GetValue().value(), 1.0);
    EXPECT_EQ(follower.GetAppliedRotorPolarity().GetValue().value,
              (c.leaderInverted != c.oppose) ? 1 : 0);  // PositiveIsClockwise
    EXPECT_EQ(follower.GetControlMode().GetValue().value, 25);  // Follower
  }
}

// Limits stop motion in their direction only: a software limit at its
// threshold, a closed limit switch unless the request ignores it, and the
// request's own limit flags. Each case drives forward (from rest) and then
// backward, with the motor braking in neutral.
TEST_F(OutputStageTest, LimitsStopMotionInTheirDirection) {
  struct Case {
    const char* name;
    bool softLimit;
    bool switchClosed;
    bool ignoreSwitch;
    bool limitFlag;
    bool forwardMoves;
    kvor::zephrin6::StatusSignal<bool>& (CoreRapaxQ::*fault)(bool);  // null: none
  };
  const Case cases[] = {
      {"software limit at 2 turns", true, false, false, false, false, &CoreRapaxQ::GetFault_ForwardSoftLimit},
      {"forward switch closed", false, true, false, false, false, &CoreRapaxQ::GetFault_ForwardHardLimit},
      {"switch ignored by the request", false, true, true, false, true, &CoreRapaxQ::GetFault_ForwardHardLimit},
      {"request forbids forward motion", false, false, false, true, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    harness::Reset();
    harness::UseManualClock(1.0);
    CoreRapaxQ motor(5, "can");
    Configure(motor, MotorOutputConfigs{}.WithNeutralMode(NeutralModeValue::Brake));
    if (c.softLimit) {
      SoftwareLimitSwitchConfigs soft;
      soft.ForwardSoftLimitEnable = true;
      soft.ForwardSoftLimitThreshold = 2_tr;
      Configure(motor, soft);
    }
    motor.GetSimState().SetForwardLimit(c.switchClosed);
    const auto forward = DutyCycleOut{0.2}.WithIgnoreHardwareLimits(c.ignoreSwitch).WithLimitForwardMotion(c.limitFlag);
    ASSERT_EQ(motor.SetControl(forward), StatusCode::OK);
    harness::AdvanceTime(1.0);
    const double reached = motor.GetPosition().GetValue().value();
    if (c.forwardMoves) {
      EXPECT_GT(reached, 5.0);
    } else if (c.softLimit) {
      EXPECT_GT(reached, 2.0);  // stops at the threshold, coming to rest just past it
      EXPECT_LT(reached, 2.2);
      EXPECT_NEAR(motor.GetVelocity().GetValue().value(), 0.0, 1e-6);
    } else {
      EXPECT_EQ(reached, 0.0);
      EXPECT_EQ(motor.GetSimState().GetMotorVoltage().value(), 0.0);
    }
    if (c.fault != nullptr) {
      EXPECT_TRUE((motor.*c.fault)(true).GetValue());
    }
    EXPECT_EQ(motor.GetForwardLimit().GetValue().value, c.switchClosed ? 1 : 0);

    ASSERT_EQ(motor.SetControl(DutyCycleOut{-0.2}), StatusCode::OK);
    harness::AdvanceTime(0.5);
    EXPECT_LT(motor.GetPosition().GetValue().value(), reached - 1.0);
  }
}

// Whether a switch re-zeroes the position is worked out when the settings
// change, so each configuration must hold from the next switch closing:
// turned on for one switch, moved to the other, and turned off again.
TEST_F(OutputStageTest, EachSwitchConfigurationDecidesTheNextAutoset) {
  harness::Reset();
  harness::UseManualClock(1.0);
  CoreRapaxQ motor(5, "can");
  ASSERT_EQ(motor.SetControl(DutyCycleOut{0.0}), StatusCode::OK);
  // Closes one switch for a loop, then opens it again: the position it leaves.
  auto closeAndOpen = [&motor](bool forward) {
    auto& sim = motor.GetSimState();
    EXPECT_EQ(forward ? sim.SetForwardLimit(true) : sim.SetReverseLimit(true), StatusCode::OK);
    harness::AdvanceTime(0.020);
    EXPECT_EQ(forward ? sim.SetForwardLimit(false) : sim.SetReverseLimit(false), StatusCode::OK);
    harness::AdvanceTime(0.020);
    return motor.GetPosition().GetValue().value();
  };
  EXPECT_EQ(closeAndOpen(true), 0.0);
  HardwareLimitSwitchConfigs limits;
  limits.ForwardLimitAutosetPositionEnable = true;
  limits.ForwardLimitAutosetPositionValue = 3_tr;
  Configure(motor, limits);
  EXPECT_EQ(closeAndOpen(false), 0.0);
  EXPECT_EQ(closeAndOpen(true), 3.0);
  limits.ForwardLimitAutosetPositionEnable = false;
  limits.ReverseLimitAutosetPositionEnable = true;
  limits.ReverseLimitAutosetPositionValue = -1_tr;
  Configure(motor, limits);
  EXPECT_EQ(closeAndOpen(true), 3.0);
  EXPECT_EQ(closeAndOpen(false), -1.0);
  Configure(motor, HardwareLimitSwitchConfigs{});
  EXPECT_EQ(closeAndOpen(false), -1.0);
  EXPECT_EQ(closeAndOpen(true), -1.0);
}

// A supply below the brownout voltage or a disabled robot leaves the bridge
// coasting, from the step after the change until the step after it ends,
// each whatever the other does.
TEST_F(OutputStageTest, SupplyBrownoutOrDisabledRobotCoastsTheBridge) {
  using kvor::zephrin::platform::DeviceType;
  CoreRapaxQ motor(6, "can");
  auto& bridge = motor.GetBridgeOutput();
  auto& volts = motor.GetMotorVoltage();
  ASSERT_EQ(bridge.SetUpdateFrequency(1000_Hz), StatusCode::OK);  // a frame every step
  ASSERT_EQ(volts.SetUpdateFrequency(1000_Hz), StatusCode::OK);
  ASSERT_EQ(motor.SetControl(DutyCycleOut{0.3}), StatusCode::OK);
  auto setSupply = [&](double v) {
    ASSERT_EQ(motor.GetSimState().SetSupplyVoltage(units::voltage::volt_t{v}), StatusCode::OK);
  };
  auto setEnabled = [&](bool on) {
    ASSERT_EQ(kvor::zephrin::platform::SimSetPhysicsInput(DeviceType::RapaxQ, 6, "DeviceEnable", on ? 1.0 : 0.0), 0);
  };
  auto expectDriving = [&](bool driving) {
    Run(0.003);
    EXPECT_EQ(bridge.Refresh().GetValue().value, driving ? 3 : 0);  // FieldOriented, Coast
    EXPECT_EQ(volts.Refresh().GetValue().value() != 0.0, driving);
  };
  expectDriving(true);
  setSupply(5.0);
  expectDriving(false);
  setSupply(12.0);
  expectDriving(true);
  setEnabled(false);
  expectDriving(false);
  setSupply(11.0);
  expectDriving(false);
  setSupply(5.0);
  setEnabled(true);
  expectDriving(false);
  setSupply(12.0);
  expectDriving(true);
}

// The stator current limit caps the current at the limit, whatever the
// voltage asked for, and says so; the supply current limit caps the current
// drawn from the battery. A rotor the physics model holds still takes the
// full stall current without them (12 V / R = the stall current).
TEST_F(OutputStageTest, CurrentLimitsCapTheCurrents) {
  struct Case {
    const char* name;
    bool statorOn;
    bool supplyOn;
    double stator, supply;  // amperes
    uint16_t faultId;
  };
  const Case cases[] = {{"stator limit", true, false, 40.0, 0.0, ids::kFault_StatorCurrLimit},
                        {"supply limit", false, true, 0.0, 30.0, ids::kFault_SupplyCurrLimit},
                        {"no limit", false, false, 0.0, 0.0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    harness::Reset();
    harness::UseManualClock(1.0);
    CoreRapaxQ motor(6, "can");
    CurrentLimitsConfigs limits;
    limits.StatorCurrentLimitEnable = c.statorOn;
    limits.StatorCurrentLimit = units::current::ampere_t{c.stator};
    limits.SupplyCurrentLimitEnable = c.supplyOn;
    limits.SupplyCurrentLimit = units::current::ampere_t{c.supply};
    limits.SupplyCurrentLowerLimit = units::current::ampere_t{c.supply};
    Configure(motor, limits);
    motor.GetSimState().SetRotorVelocity(0_tps);  // stalled
    ASSERT_EQ(motor.SetControl(VoltageOut{12_V}), StatusCode::OK);
    harness::AdvanceTime(0.3);  // past the next frame of the 4 Hz fault signals

    const double stall = motor.GetMotorStallCurrent().GetValue().value();
    const double stator = motor.GetStatorCurrent().GetValue().value();
    const double supply = motor.GetSupplyCurrent().GetValue().value();
    if (c.statorOn) {
      EXPECT_NEAR(stator, c.stator, 1e-9);
    } else if (c.supplyOn) {
      EXPECT_NEAR(supply, c.supply, 1e-9);
      EXPECT_LT(stator, stall);
    } else {
      EXPECT_NEAR(stator, stall, 1e-9);
    }
    EXPECT_EQ(motor.GetTorqueCurrent().GetValue().value(), stator);
    EXPECT_NEAR(motor.GetSimState().GetTorqueCurrent().value(), stator, 1e-9);
    EXPECT_EQ(motor.GetFault_StatorCurrLimit().GetValue(), c.faultId == ids::kFault_StatorCurrLimit);
    EXPECT_EQ(motor.GetFault_SupplyCurrLimit().GetValue(), c.faultId == ids::kFault_SupplyCurrLimit);
  }
}

// What a spinning bare rotor does when its output goes neutral: it keeps
// turning when the bridge lets it coast (nothing else brakes it), and stops
// when the windings are shorted, by the neutral mode, the request's brake
// override or the static brake.
TEST_F(OutputStageTest, NeutralOutputCoastsOrBrakesAsConfigured) {
  struct Case {
    const char* name;
    bool brakeMode;
    int request;  // 0 NeutralOut, 1 VoltageOut 0 V with the brake override, 2 CoastOut, 3 StaticBrake
    bool stops;
    int bridge;  // BridgeOutput
  };
  const Case cases[] = {{"neutral, coast mode", false, 0, false, 0},
                        {"neutral, brake mode", true, 0, true, 1},
                        {"zero volts with the brake override", false, 1, true, 1},
                        {"coast whatever the mode", true, 2, false, 0},
                        {"static brake", false, 3, true, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    harness::Reset();
    harness::UseManualClock(1.0);
    CoreRapaxQ motor(7, "can");
    Configure(motor, MotorOutputConfigs{}.WithNeutralMode(c.brakeMode ? NeutralModeValue::Brake : NeutralModeValue::Coast));
    ASSERT_EQ(motor.SetControl(VoltageOut{6_V}), StatusCode::OK);
    harness::AdvanceTime(0.5);
    const double spinning = motor.GetVelocity().GetValue().value();
    ASSERT_GT(spinning, 40.0);
    StatusCode sent = StatusCode::OK;
    switch (c.request) {
      case 0: sent = motor.SetControl(NeutralOut{}); break;
      case 1: sent = motor.SetControl(VoltageOut{0_V}.WithOverrideBrakeDurNeutral(true)); break;
      case 2: sent = motor.SetControl(CoastOut{}); break;
      default: sent = motor.SetControl(StaticBrake{}); break;
    }
    ASSERT_EQ(sent, StatusCode::OK);
    harness::AdvanceTime(0.5);
    if (c.stops) {
      EXPECT_NEAR(motor.GetVelocity().GetValue().value(), 0.0, 1e-3);
    } else {
      EXPECT_EQ(motor.GetVelocity().GetValue().value(), spinning);
    }
    EXPECT_EQ(motor.GetBridgeOutput().GetValue().value, c.bridge);
    EXPECT_EQ(motor.GetSimState().GetMotorVoltage().value(), 0.0);
  }
}

// A request carrying a number that is not finite is refused with
// InvalidParamValue and changes nothing on the device.
TEST_F(OutputStageTest, RequestWithANumberNotFiniteIsRefused) {
  CoreRapaxQ motor(8, "can");
  ASSERT_EQ(motor.SetControl(VoltageOut{2_V}), StatusCode::OK);
  harness::AdvanceTime(0.1);
  EXPECT_EQ(motor.SetControl(VoltageOut{units::voltage::volt_t{std::nan("")}}), StatusCode::InvalidParamValue);
  EXPECT_EQ(motor.SetControl(PositionVoltage{units::angle::turn_t{INFINITY}}), StatusCode::InvalidParamValue);
  harness::AdvanceTime(0.1);
  EXPECT_EQ(motor.GetSimState().GetMotorVoltage().value(), 2.0);
  EXPECT_EQ(motor.GetControlMode().GetValue().value, 11);  // still VoltageOut
}

// Of several requests sent between two steps the newest one the device
// accepted acts; a later refused one does not displace it.
TEST_F(OutputStageTest, NewestAcceptedRequestBetweenStepsActs) {
  CoreRapaxQ motor(9, "can");
  ASSERT_EQ(motor.SetControl(VoltageOut{1_V}), StatusCode::OK);
  ASSERT_EQ(motor.SetControl(VoltageOut{3_V}), StatusCode::OK);
  EXPECT_EQ(motor.SetControl(VoltageOut{units::voltage::volt_t{std::nan("")}}), StatusCode::InvalidParamValue);
  harness::AdvanceTime(0.1);
  EXPECT_EQ(motor.GetSimState().GetMotorVoltage().value(), 3.0);
}

// The output stage's limits on an open-loop output, applied to what the
// motor gets: peak duty cycles and voltages clip it, the neutral deadband
// turns a small duty cycle into neutral, and an open-loop ramp lets it rise
// at full scale per ramp period. Currents are unlimited so that the motor
// gets exactly the voltage the stage applies.
TEST_F(OutputStageTest, PeaksDeadbandAndRampsShapeTheOutput) {
  struct Case {
    const char* name;
    MotorOutputConfigs output;
    VoltageConfigs voltage;
    OpenLoopRampsConfigs ramps;
    bool dutyCycle;
    double request;
    double after;  // seconds
    double volts;  // applied then
  };
  MotorOutputConfigs peak;
  peak.PeakForwardDutyCycle = 0.5;
  MotorOutputConfigs deadband;
  deadband.DutyCycleNeutralDeadband = 0.1;
  VoltageConfigs peakVolts;
  peakVolts.PeakReverseVoltage = -8_V;
  OpenLoopRampsConfigs ramp;
  ramp.DutyCycleOpenLoopRampPeriod = 0.5_s;
  const Case cases[] = {
      {"peak forward duty cycle", peak, {}, {}, true, 0.8, 0.01, 6.0},
      {"inside the neutral deadband", deadband, {}, {}, true, 0.05, 0.01, 0.0},
      {"outside the neutral deadband", deadband, {}, {}, true, 0.15, 0.01, 1.8},
      {"peak reverse voltage", {}, peakVolts, {}, false, -10.0, 0.01, -8.0},
      {"duty cycle ramp, halfway", {}, {}, ramp, true, 1.0, 0.25, 6.0},
      {"duty cycle ramp, done", {}, {}, ramp, true, 1.0, 0.6, 12.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    harness::Reset();
    harness::UseManualClock(1.0);
    CoreRapaxQ motor(9, "can");
    CurrentLimitsConfigs unlimited;
    unlimited.StatorCurrentLimitEnable = false;
    unlimited.SupplyCurrentLimitEnable = false;
    Configure(motor, unlimited);
    Configure(motor, c.output);
    Configure(motor, c.voltage);
    Configure(motor, c.ramps);
    const StatusCode sent = c.dutyCycle ? motor.SetControl(DutyCycleOut{c.request})
                                        : motor.SetControl(VoltageOut{units::voltage::volt_t{c.request}});
    ASSERT_EQ(sent, StatusCode::OK);
    harness::AdvanceTime(c.after);
    EXPECT_NEAR(motor.GetSimState().GetMotorVoltage().value(), c.volts, 1e-9);
  }
}

// A position loop with continuous wrap takes the short way round a rotation
// (from 0.1 to 0.9 is -0.2); without it the long way.
TEST_F(OutputStageTest, ContinuousWrapTakesTheShortWayRound) {
  for (bool wrap : {true, false}) {
    SCOPED_TRACE(wrap);
    harness::Reset();
    harness::UseManualClock(1.0);
    CoreRapaxQ motor(10, "can");
    Configure(motor, Slot0Configs{}.WithkP(24).WithkD(0.5));
    ClosedLoopGeneralConfigs general;
    general.ContinuousWrap = wrap;
    Configure(motor, general);
    ASSERT_EQ(motor.SetPosition(0.1_tr), StatusCode::OK);
    ASSERT_EQ(motor.SetControl(PositionVoltage{0.9_tr}), StatusCode::OK);
    harness::AdvanceTime(1.0);
    EXPECT_NEAR(motor.GetPosition().GetValue().value(), wrap ? -0.1 : 0.9, 1e-3);
  }
}

// A setting out of its range or not a number never reaches the device: it
// keeps what it had (here a gear ratio of 2 survives a ratio of 0, a
// negative one and one that is not a number).
TEST_F(OutputStageTest, UnusableSettingsKeepThePreviousOnes) {
  CoreRapaxQ motor(11, "can");
  motor.GetSimState().SetRawRotorPosition(4_tr);
  Configure(motor, FeedbackConfigs{}.WithSensorToMechanismRatio(2.0));
  for (double ratio : {0.0, -3.0, std::nan("")}) {
    SCOPED_TRACE(ratio);
    Configure(motor, FeedbackConfigs{}.WithSensorToMechanismRatio(ratio));
    harness::AdvanceTime(0.02);
    EXPECT_EQ(motor.GetPosition().GetValue().value(), 2.0);
  }
}

}  // namespace
