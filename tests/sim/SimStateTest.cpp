// Simulation states: what each setter hands the runtime's simulator, the sign
// and edge rules, and the story of a physics input coming back through the
// device's own signals.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/Zephrin6.hpp>

#include "support/RuntimeFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::sim::ChassisReference;
using namespace kvor::zephrin6::hardware::core;
using namespace kvor::zephrin6::sim;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;

constexpr int32_t kRapaxQType = 5;
constexpr int32_t kAngulonType = 6;
constexpr int32_t kAuklet2Type = 7;
constexpr int32_t kRapaxWType = 8;

class SimStateTest : public zephrin_test::RuntimeTest {};

// One setter: the input it feeds, the number the caller passes, and whether
// the orientation may negate it.
struct SetterCase {
  const char* input;
  double argument;
  bool isSigned;
  std::function<StatusCode(double)> call;
};

// Runs every setter under three orientations and checks what the simulator
// received: -1 negates exactly the signed inputs, any other value (named or
// not) passes everything unchanged.
void CheckSetters(int32_t type, int32_t id, ChassisReference& orientation, const std::vector<SetterCase>& cases) {
  for (int stored : {0, -1, 7}) {
    orientation = static_cast<ChassisReference>(stored);
    for (const SetterCase& c : cases) {
      SCOPED_TRACE(std::string(c.input) + " with orientation " + std::to_string(stored));
      ASSERT_EQ(c.call(c.argument), StatusCode::OK);
      const double expected = (stored == -1 && c.isSigned) ? -c.argument : c.argument;
      EXPECT_EQ(harness::SimPhysicsInput(type, id, c.input), expected);
    }
  }
}

// The two motor controllers share their motor operations; the rapax w's
// MotorOrientation plays the rapax q's Orientation and leaves its sensor alone.
TEST_F(SimStateTest, MotorOrientationNegatesExactlyTheSignedQuantities) {
  CoreRapaxQ q(1);
  CoreRapaxW w(2);
  auto motorCases = [](auto& state) {
    return std::vector<SetterCase>{
        {"SupplyVoltage", 12.5, false, [&](double v) { return state.SetSupplyVoltage(units::voltage::volt_t{v}); }},
        {"ForwardLimit", 1.0, false, [&](double) { return state.SetForwardLimit(true); }},
        {"ReverseLimit", 0.0, false, [&](double) { return state.SetReverseLimit(false); }},
        {"RawRotorPosition", 2.25, true, [&](double v) { return state.SetRawRotorPosition(units::angle::turn_t{v}); }},
        {"AddRotorPosition", 0.5, true, [&](double v) { return state.AddRotorPosition(units::angle::turn_t{v}); }},
        {"RotorVelocity", 10.0, true,
         [&](double v) { return state.SetRotorVelocity(units::angular_velocity::turns_per_second_t{v}); }},
        {"RotorAcceleration", 3.0, true,
         [&](double v) { return state.SetRotorAcceleration(units::angular_acceleration::turns_per_second_squared_t{v}); }},
    };
  };
  RapaxQSimState& qState = q.GetSimState();
  CheckSetters(kRapaxQType, 1, qState.Orientation, motorCases(qState));
  RapaxWSimState& wState = w.GetSimState();
  wState.SensorOrientation = ChassisReference::Clockwise_Positive;  // must not matter here
  CheckSetters(kRapaxWType, 2, wState.MotorOrientation, motorCases(wState));

  // Outputs: voltage and torque current follow the orientation, supply current never does.
  for (int32_t type : {kRapaxQType, kRapaxWType}) {
    harness::SetSimPhysicsValue(type, type == kRapaxQType ? 1 : 2, "MotorVoltage", 12.0);
    harness::SetSimPhysicsValue(type, type == kRapaxQType ? 1 : 2, "TorqueCurrent", 30.0);
    harness::SetSimPhysicsValue(type, type == kRapaxQType ? 1 : 2, "SupplyCurrent", 4.0);
  }
  qState.Orientation = ChassisReference::Clockwise_Positive;
  wState.MotorOrientation = ChassisReference::CounterClockwise_Positive;
  EXPECT_EQ(qState.GetMotorVoltage(), -12_V);
  EXPECT_EQ(qState.GetTorqueCurrent(), -30_A);
  EXPECT_EQ(qState.GetSupplyCurrent(), 4_A);
  EXPECT_EQ(wState.GetMotorVoltage(), 12_V);
  EXPECT_EQ(wState.GetTorqueCurrent(), 30_A);
  EXPECT_EQ(wState.GetSupplyCurrent(), 4_A);
}

// The encoder negates its position and velocity but not its supply or magnet
// health; the IMU has no orientation and passes degrees unchanged.
TEST_F(SimStateTest, SensorsNegateOnlyWhereTheyHaveAnOrientation) {
  CoreAngulon encoder(4);
  AngulonSimState& state = encoder.GetSimState();
  CheckSetters(kAngulonType, 4, state.Orientation,
               {
                   {"SupplyVoltage", 5.0, false, [&](double v) { return state.SetSupplyVoltage(units::voltage::volt_t{v}); }},
                   {"RawPosition", 0.75, true, [&](double v) { return state.SetRawPosition(units::angle::turn_t{v}); }},
                   {"AddPosition", 0.125, true, [&](double v) { return state.AddPosition(units::angle::turn_t{v}); }},
                   {"Velocity", 2.0, true,
                    [&](double v) { return state.SetVelocity(units::angular_velocity::turns_per_second_t{v}); }},
                   {"MagnetHealth", 2.0, false,
                    [&](double) { return state.SetMagnetHealth(kvor::zephrin6::signals::MagnetHealthValue::Bad); }},
               });

  CoreAuklet2 imu(5);
  Auklet2SimState& imuState = imu.GetSimState();
  EXPECT_EQ(imuState.SetRawYaw(-87.5_deg), StatusCode::OK);
  EXPECT_EQ(harness::SimPhysicsInput(kAuklet2Type, 5, "RawYaw"), -87.5);
  EXPECT_EQ(imuState.SetAngularVelocityZ(units::angular_velocity::degrees_per_second_t{-30}), StatusCode::OK);
  EXPECT_EQ(harness::SimPhysicsInput(kAuklet2Type, 5, "AngularVelocityZ"), -30.0);
}

// Quadrature inputs cross as edges, scaled by the resolution read at each
// call; pulse-width inputs are never scaled; only SensorOrientation negates them.
TEST_F(SimStateTest, QuadratureInputsAreScaledToEdges) {
  CoreRapaxW motor(6);
  RapaxWSimState& state = motor.GetSimState();
  auto sent = [](const char* input) { return harness::SimPhysicsInput(kRapaxWType, 6, input); };

  EXPECT_EQ(state.QuadratureEdgesPerRotation, 4096);
  state.SetRawQuadraturePosition(0.5_tr);
  EXPECT_EQ(sent("RawQuadraturePosition"), 2048.0);
  state.SetPulseWidthPosition(0.5_tr);
  EXPECT_EQ(sent("PulseWidthPosition"), 0.5);

  state.MotorOrientation = ChassisReference::Clockwise_Positive;
  state.SetQuadratureVelocity(units::angular_velocity::turns_per_second_t{2});
  EXPECT_EQ(sent("QuadratureVelocity"), 8192.0);

  state.MotorOrientation = ChassisReference::CounterClockwise_Positive;
  state.SensorOrientation = ChassisReference::Clockwise_Positive;
  state.SetRawQuadraturePosition(0.5_tr);
  EXPECT_EQ(sent("RawQuadraturePosition"), -2048.0);
  state.SetPulseWidthVelocity(units::angular_velocity::turns_per_second_t{1.5});
  EXPECT_EQ(sent("PulseWidthVelocity"), -1.5);

  state.QuadratureEdgesPerRotation = 1000;
  state.AddQuadraturePosition(0.25_tr);
  EXPECT_EQ(sent("AddQuadraturePosition"), -250.0);
  state.SetQuadratureAcceleration(units::angular_acceleration::turns_per_second_squared_t{-2});
  EXPECT_EQ(sent("QuadratureAcceleration"), 2000.0);
}

// Story: a physics model moves a motor, an encoder and an IMU, and the
// program reads the motion back through the devices' signals, with its own
// re-zeroing kept across later moves.
TEST_F(SimStateTest, PhysicsInputsComeBackThroughTheDevicesSignals) {
  CoreRapaxQ motor(1, "drive");
  CoreAngulon encoder(2, "drive");
  CoreAuklet2 imu(3, "drive");
  CoreDistix range(4, "drive");
  CorePortis inputs(5, "drive");
  auto& motorSim = motor.GetSimState();
  motorSim.Orientation = ChassisReference::Clockwise_Positive;

  motorSim.SetSupplyVoltage(12.5_V);
  motorSim.SetRawRotorPosition(2_tr);
  motorSim.SetRotorVelocity(units::angular_velocity::turns_per_second_t{10});
  motorSim.SetForwardLimit(true);
  encoder.GetSimState().SetRawPosition(1.75_tr);
  imu.GetSimState().SetRawYaw(30_deg);
  imu.GetSimState().SetRoll(-4_deg);
  range.GetSimState().SetDistance(0.35_m);
  inputs.GetSimState().SetSupplyVoltage(4.9_V);
  harness::AdvanceTime(0.3);

  EXPECT_EQ(motor.GetSupplyVoltage().GetValue(), 12.5_V);
  EXPECT_EQ(motor.GetRotorPosition().GetValue(), -2_tr);  // mounted clockwise
  EXPECT_EQ(motor.GetPosition().GetValue(), -2_tr);
  EXPECT_EQ(motor.GetVelocity().GetValue().value(), -10.0);
  EXPECT_EQ(motor.GetForwardLimit().GetValue(), kvor::zephrin6::signals::ForwardLimitValue::Closed);
  EXPECT_EQ(encoder.GetPositionSinceBoot().GetValue(), 1.75_tr);
  EXPECT_EQ(encoder.GetAbsolutePosition().GetValue(), -0.25_tr);
  EXPECT_EQ(imu.GetYaw().GetValue(), 30_deg);
  EXPECT_EQ(imu.GetRoll().GetValue(), -4_deg);
  EXPECT_EQ(range.GetDistance().GetValue(), 0.35_m);
  EXPECT_EQ(inputs.GetSupplyVoltage().GetValue(), 4.9_V);

  // The program re-zeroes; later moves shift from there, the raw signals do not care.
  ASSERT_EQ(motor.SetPosition(0_tr), StatusCode::OK);
  ASSERT_EQ(imu.GetConfigurator().SetYaw(0_deg), StatusCode::OK);
  motorSim.AddRotorPosition(0.5_tr);
  imu.GetSimState().AddYaw(10_deg);
  encoder.GetSimState().AddPosition(0.5_tr);
  harness::AdvanceTime(0.02);
  EXPECT_EQ(motor.GetPosition().GetValue(), -0.5_tr);
  EXPECT_EQ(motor.GetRotorPosition().GetValue(), -2.5_tr);
  EXPECT_EQ(imu.GetYaw().GetValue(), 10_deg);
  EXPECT_EQ(encoder.GetPosition().GetValue(), 2.25_tr);
  EXPECT_EQ(encoder.GetAbsolutePosition().GetValue(), 0.25_tr);
}

// What a simulated motor drives follows its last request from the firmware's
// next step on: open-loop outputs scale with the supply the physics model
// gives, a torque-current request drives its current, neutral drives nothing.
TEST_F(SimStateTest, MotorOutputsFollowTheLastControlRequest) {
  CoreRapaxQ motor(1);
  RapaxQSimState& sim = motor.GetSimState();
  using namespace kvor::zephrin6::controls;
  // Without current limits the applied voltage is what was asked for at any speed.
  kvor::zephrin6::configs::CurrentLimitsConfigs limits;
  limits.StatorCurrentLimitEnable = false;
  limits.SupplyCurrentLimitEnable = false;
  ASSERT_EQ(motor.GetConfigurator().Apply(limits), StatusCode::OK);
  auto step = [] { harness::AdvanceTime(0.001); };

  EXPECT_EQ(sim.GetMotorVoltage(), 0_V);
  motor.SetControl(DutyCycleOut{0.5});
  EXPECT_EQ(sim.GetMotorVoltage(), 0_V);
  step();
  EXPECT_EQ(sim.GetMotorVoltage(), 6_V);  // 12 V until the model says otherwise
  sim.SetSupplyVoltage(10_V);
  step();
  EXPECT_EQ(sim.GetMotorVoltage(), 5_V);
  motor.SetControl(VoltageOut{-14_V});
  step();
  EXPECT_EQ(sim.GetMotorVoltage(), -10_V);  // cannot exceed the supply
  sim.Orientation = ChassisReference::Clockwise_Positive;
  EXPECT_EQ(sim.GetMotorVoltage(), 10_V);
  motor.SetControl(TorqueCurrentFOC{20_A});
  step();
  EXPECT_NEAR(sim.GetTorqueCurrent().value(), -20.0, 1e-9);
  motor.SetControl(NeutralOut{});
  step();
  EXPECT_EQ(sim.GetTorqueCurrent(), 0_A);
  EXPECT_EQ(sim.GetLastStatusCode(), StatusCode::OK);
}

// Refused inputs change nothing and say why; a record outliving the
// runtime's device answers SimDeviceNotFound instead of failing.
TEST_F(SimStateTest, RefusedInputsReportTheirStatus) {
  CoreRapaxQ motor(1);
  RapaxQSimState copy = motor.GetSimState();
  EXPECT_EQ(&motor.GetSimState(), &motor.GetSimState());

  copy.SetSupplyVoltage(11_V);
  EXPECT_EQ(copy.SetSupplyVoltage(units::voltage::volt_t{std::numeric_limits<double>::quiet_NaN()}),
            StatusCode::InvalidParamValue);
  EXPECT_EQ(copy.GetLastStatusCode(), StatusCode::InvalidParamValue);
  EXPECT_EQ(copy.SetRotorVelocity(units::angular_velocity::turns_per_second_t{INFINITY}),
            StatusCode::InvalidParamValue);
  harness::AdvanceTime(0.3);
  EXPECT_EQ(motor.GetSupplyVoltage().GetValue(), 11_V);
  EXPECT_EQ(motor.GetVelocity().GetValue().value(), 0.0);

  harness::Reset();  // the runtime forgets the device; the record does not know
  harness::SetReportEcho(false);
  EXPECT_EQ(copy.SetSupplyVoltage(12_V), StatusCode::SimDeviceNotFound);
  EXPECT_EQ(copy.GetLastStatusCode(), StatusCode::SimDeviceNotFound);
  EXPECT_EQ(copy.GetMotorVoltage(), 0_V);
}

// Each input is finite, but a move adds to a position the simulator keeps:
// a move that would carry it past the largest double is refused with
// InvalidParamValue and reported, and every signal keeps the position of the
// moves before it. A set position that would shift a re-zeroed signal past
// the largest double is refused the same way.
TEST_F(SimStateTest, MovesThatWouldOverflowAPositionAreRefused) {
  constexpr double kHuge = 1e308;
  CoreRapaxQ q(1);
  CoreRapaxW w(2);
  CoreAngulon encoder(3);
  CoreAuklet2 imu(4);
  kvor::zephrin6::configs::ExternalFeedbackConfigs quadrature;
  quadrature.ExternalFeedbackSensorSource = kvor::zephrin6::signals::ExternalFeedbackSensorSourceValue::Quadrature;
  ASSERT_EQ(w.GetConfigurator().Apply(quadrature), StatusCode::OK);
  struct Case {
    const char* input;
    std::function<StatusCode(double)> move;
    std::function<double()> reading;
  };
  const Case cases[] = {
      {"AddRotorPosition", [&](double v) { return q.GetSimState().AddRotorPosition(units::angle::turn_t{v}); },
       [&] { return q.GetRotorPosition().GetValue().value(); }},
      {"AddQuadraturePosition",
       // The state scales turns to edges, so this moves the edge count by kHuge.
       [&](double v) { return w.GetSimState().AddQuadraturePosition(units::angle::turn_t{v / 4096.0}); },
       // Its Position counts the edges once the device uses them.
       [&] { return w.GetPosition().GetValue().value() * 4096.0; }},
      {"AddPosition", [&](double v) { return encoder.GetSimState().AddPosition(units::angle::turn_t{v}); },
       [&] { return encoder.GetPositionSinceBoot().GetValue().value(); }},
      {"AddYaw", [&](double v) { return imu.GetSimState().AddYaw(units::angle::degree_t{v}); },
       [&] { return imu.GetYaw().GetValue().value(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    harness::ClearReports();
    ASSERT_EQ(c.move(kHuge), StatusCode::OK);
    EXPECT_EQ(c.move(kHuge), StatusCode::InvalidParamValue);
    EXPECT_EQ(c.move(-kHuge), StatusCode::OK);  // back to where it was
    EXPECT_EQ(c.move(-kHuge), StatusCode::OK);
    EXPECT_EQ(c.move(-kHuge), StatusCode::InvalidParamValue);
    harness::AdvanceTime(0.3);
    EXPECT_EQ(c.reading(), -kHuge);
    const auto reports = harness::Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].code, StatusCode::InvalidParamValue);
    EXPECT_NE(reports[0].details.find(c.input), std::string::npos) << reports[0].details;
  }
  EXPECT_EQ(q.GetPosition().GetValue().value(), -kHuge);
  EXPECT_EQ(imu.GetSimState().GetLastStatusCode(), StatusCode::InvalidParamValue);

  // The encoder's Position was re-zeroed far away; moving its shaft across
  // the whole range would shift that signal past the largest double.
  ASSERT_EQ(encoder.GetConfigurator().SetPosition(units::angle::turn_t{kHuge}), StatusCode::OK);
  harness::AdvanceTime(0.3);
  EXPECT_EQ(encoder.GetSimState().SetRawPosition(units::angle::turn_t{kHuge}), StatusCode::InvalidParamValue);
  harness::AdvanceTime(0.3);
  EXPECT_EQ(encoder.GetPosition().GetValue().value(), kHuge);
  EXPECT_EQ(encoder.GetPositionSinceBoot().GetValue().value(), -kHuge);
}

// An encoder input reaches every object of the encoder's model and ID at
// once: when it would carry the signal one of them re-zeroed past the
// largest double, it is refused for all of them, and none moves.
TEST_F(SimStateTest, AnInputRefusedForOneObjectOfADeviceMovesNone) {
  constexpr double kHuge = 1e308;
  CoreAngulon left(3, "left");
  CoreAngulon right(3, "right");
  ASSERT_EQ(left.GetSimState().SetRawPosition(units::angle::turn_t{0.25}), StatusCode::OK);
  ASSERT_EQ(right.GetConfigurator().SetPosition(units::angle::turn_t{kHuge}), StatusCode::OK);
  harness::AdvanceTime(0.3);

  EXPECT_EQ(left.GetSimState().SetRawPosition(units::angle::turn_t{kHuge}), StatusCode::InvalidParamValue);
  harness::AdvanceTime(0.3);
  for (CoreAngulon* encoder : {&left, &right}) {
    EXPECT_EQ(encoder->GetPositionSinceBoot().GetValue().value(), 0.25);
    EXPECT_EQ(encoder->GetAbsolutePosition().GetValue().value(), 0.25);
  }
  EXPECT_EQ(left.GetPosition().GetValue().value(), 0.25);
  EXPECT_EQ(right.GetPosition().GetValue().value(), kHuge);

  // A move both can take still reaches both, each keeping its own offset.
  EXPECT_EQ(left.GetSimState().SetRawPosition(units::angle::turn_t{0.5}), StatusCode::OK);
  harness::AdvanceTime(0.3);
  EXPECT_EQ(left.GetPosition().GetValue().value(), 0.5);
  EXPECT_EQ(right.GetPositionSinceBoot().GetValue().value(), 0.5);
  EXPECT_EQ(right.GetAbsolutePosition().GetValue().value(), -0.5);  // wrapped into [-0.5, 0.5)
}

// An encoder's inputs of one call reach its signals in order, each all or
// nothing: one that would carry the signal the program re-zeroed past the
// largest double moves none, and the inputs after it move on from where
// those before it left the shaft.
TEST_F(SimStateTest, AnEncodersInputsOfOneCallMoveItInOrder) {
  namespace platform = kvor::zephrin::platform;
  using platform::DeviceType;
  constexpr double kHuge = 1e308;
  CoreAngulon encoder(3);
  ASSERT_EQ(encoder.GetConfigurator().SetPosition(units::angle::turn_t{kHuge}), StatusCode::OK);
  harness::AdvanceTime(0.3);
  harness::ClearReports();
  const int32_t raw = platform::SimPhysicsInputIndex(DeviceType::Angulon, "RawPosition");
  const int32_t add = platform::SimPhysicsInputIndex(DeviceType::Angulon, "AddPosition");
  const int32_t velocity = platform::SimPhysicsInputIndex(DeviceType::Angulon, "Velocity");
  const platform::SimInputValue inputs[] = {{raw, 0.25}, {raw, kHuge}, {velocity, 2.0}, {add, 0.25}};
  EXPECT_EQ(platform::SimSetPhysicsInputsAt(DeviceType::Angulon, 3, inputs), StatusCode::InvalidParamValue);
  EXPECT_EQ(encoder.GetSimState().GetLastStatusCode(), StatusCode::OK);  // that of the last input
  harness::AdvanceTime(0.3);
  EXPECT_EQ(encoder.GetPositionSinceBoot().GetValue().value(), 0.5);
  EXPECT_EQ(encoder.GetAbsolutePosition().GetValue().value(), -0.5);
  EXPECT_EQ(encoder.GetVelocity().GetValue().value(), 2.0);
  EXPECT_EQ(encoder.GetPosition().GetValue().value(), kHuge);  // moved by 0.5, within its rounding
  ASSERT_EQ(harness::Reports().size(), 1u);
  EXPECT_NE(harness::Reports()[0].details.find("RawPosition"), std::string::npos);
}

// The encoders of one batch reach the signal store together, yet each
// ends as it would alone: a refusal in one (the store's, or a value that is
// not finite) leaves the encoders before and after it as they are given, and
// an encoder listed twice moves on from where its first entry left it.
TEST_F(SimStateTest, EachEncoderOfABatchEndsAsItWouldAlone) {
  namespace platform = kvor::zephrin::platform;
  using platform::DeviceType;
  constexpr double kHuge = 1e308;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  CoreAngulon first(1);
  CoreAngulon farOff(2);
  CoreAngulon last(3);
  CoreRapaxQ motor(4);
  ASSERT_EQ(farOff.GetConfigurator().SetPosition(units::angle::turn_t{kHuge}), StatusCode::OK);
  harness::AdvanceTime(0.3);
  harness::ClearReports();
  const int32_t raw = platform::SimPhysicsInputIndex(DeviceType::Angulon, "RawPosition");
  const int32_t add = platform::SimPhysicsInputIndex(DeviceType::Angulon, "AddPosition");
  const int32_t velocity = platform::SimPhysicsInputIndex(DeviceType::Angulon, "Velocity");
  const int32_t rotor = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "RawRotorPosition");
  auto step = [&](std::vector<std::vector<platform::SimInputValue>>& inputs) {
    const DeviceType types[] = {DeviceType::Angulon, DeviceType::RapaxQ, DeviceType::Angulon, DeviceType::Angulon,
                                DeviceType::Angulon, DeviceType::Angulon};
    const int32_t ids[] = {1, 4, 2, 3, 9, 1};
    std::vector<platform::SimDeviceInputs> devices;
    for (std::size_t d = 0; d < inputs.size(); ++d) devices.push_back({types[d], ids[d], inputs[d]});
    platform::SimSetDevicesPhysicsInputs(devices);
    harness::AdvanceTime(0.3);
    std::vector<int32_t> statuses;
    for (const platform::SimDeviceInputs& d : devices) statuses.push_back(d.status);
    return statuses;
  };
  const int32_t ok = 0;
  const int32_t refused = static_cast<int32_t>(StatusCode::InvalidParamValue);
  const int32_t notFound = static_cast<int32_t>(StatusCode::SimDeviceNotFound);

  // The store refuses the middle encoder's second input; the one after it is
  // staged again from there, and the last encoder and unknown device follow.
  std::vector<std::vector<platform::SimInputValue>> inputs = {
      {{raw, 0.25}, {velocity, 1.0}}, {{rotor, 2.0}}, {{raw, 0.25}, {raw, kHuge}, {add, 0.25}},
      {{raw, 0.125}},                 {{raw, 1.0}}};
  EXPECT_EQ(step(inputs), (std::vector<int32_t>{ok, ok, refused, ok, notFound}));
  EXPECT_EQ(first.GetPositionSinceBoot().GetValue().value(), 0.25);
  EXPECT_EQ(first.GetVelocity().GetValue().value(), 1.0);
  EXPECT_EQ(farOff.GetPositionSinceBoot().GetValue().value(), 0.5);
  EXPECT_EQ(farOff.GetSimState().GetLastStatusCode(), StatusCode::OK);  // that of its last input
  EXPECT_EQ(last.GetPositionSinceBoot().GetValue().value(), 0.125);
  EXPECT_EQ(harness::SimPhysicsInput(kRapaxQType, 4, "RawRotorPosition"), 2.0);
  ASSERT_EQ(harness::Reports().size(), 1u);
  EXPECT_NE(harness::Reports()[0].location.find(" 2 RawPosition"), std::string::npos) << harness::Reports()[0].location;

  // The same batch once all is taken again, then with a refusal on the
  // boundary between two encoders, and with a value that is not finite.
  inputs[2] = {{add, 0.25}};
  inputs[3] = {{raw, 0.375}};
  EXPECT_EQ(step(inputs), (std::vector<int32_t>{ok, ok, ok, ok, notFound}));
  EXPECT_EQ(farOff.GetPositionSinceBoot().GetValue().value(), 0.75);
  EXPECT_EQ(last.GetPositionSinceBoot().GetValue().value(), 0.375);
  inputs[2] = {{raw, kHuge}};
  inputs[3] = {{raw, 0.0625}};
  EXPECT_EQ(step(inputs), (std::vector<int32_t>{ok, ok, refused, ok, notFound}));
  EXPECT_EQ(farOff.GetPositionSinceBoot().GetValue().value(), 0.75);
  EXPECT_EQ(farOff.GetSimState().GetLastStatusCode(), StatusCode::InvalidParamValue);
  EXPECT_EQ(last.GetPositionSinceBoot().GetValue().value(), 0.0625);
  inputs[0] = {{raw, 0.5}, {velocity, nan}};
  inputs[2] = {{add, 0.25}, {raw, kHuge}};
  EXPECT_EQ(step(inputs), (std::vector<int32_t>{refused, ok, refused, ok, notFound}));
  EXPECT_EQ(first.GetPositionSinceBoot().GetValue().value(), 0.5);
  EXPECT_EQ(first.GetVelocity().GetValue().value(), 1.0);
  EXPECT_EQ(farOff.GetPositionSinceBoot().GetValue().value(), 1.0);
  ASSERT_EQ(harness::Reports().size(), 4u);  // in the order of the batch
  EXPECT_NE(harness::Reports()[2].location.find(" 1 Velocity"), std::string::npos);
  EXPECT_NE(harness::Reports()[3].location.find(" 2 RawPosition"), std::string::npos);

  // The first encoder twice in one batch: its second move starts where the
  // first left it. An encoder with no inputs keeps its last error.
  inputs = {{{add, 0.25}}, {{rotor, 2.0}}, {}, {{raw, 0.0}}, {{raw, 1.0}}, {{add, 0.125}}};
  EXPECT_EQ(step(inputs), (std::vector<int32_t>{ok, ok, ok, ok, notFound, ok}));
  EXPECT_EQ(first.GetPositionSinceBoot().GetValue().value(), 0.875);
  EXPECT_EQ(farOff.GetSimState().GetLastStatusCode(), StatusCode::InvalidParamValue);
  inputs[0] = {{velocity, nan}};
  EXPECT_EQ(step(inputs), (std::vector<int32_t>{refused, ok, ok, ok, notFound, ok}));
  EXPECT_EQ(first.GetPositionSinceBoot().GetValue().value(), 1.0);
  EXPECT_EQ(first.GetSimState().GetLastStatusCode(), StatusCode::OK);  // its second entry's
}

// A batch handed over step after step keeps reaching the signals it moves:
// an object of the encoder built between two steps is moved with the others
// from the next step on, each signal taking its own value.
TEST_F(SimStateTest, AnEncoderObjectBuiltBetweenBatchesIsMovedWithTheOthers) {
  namespace platform = kvor::zephrin::platform;
  using platform::DeviceType;
  CoreAngulon left(3, "left");
  const int32_t raw = platform::SimPhysicsInputIndex(DeviceType::Angulon, "RawPosition");
  const int32_t velocity = platform::SimPhysicsInputIndex(DeviceType::Angulon, "Velocity");
  auto step = [&](double position, double speed) {
    const platform::SimInputValue inputs[] = {{raw, position}, {velocity, speed}};
    platform::SimDeviceInputs devices[] = {{DeviceType::Angulon, 3, inputs}};
    platform::SimSetDevicesPhysicsInputs(devices);
    harness::AdvanceTime(0.3);
    return static_cast<StatusCode>(devices[0].status);
  };
  EXPECT_EQ(step(0.25, 1.0), StatusCode::OK);
  EXPECT_EQ(step(0.125, 2.0), StatusCode::OK);
  CoreAngulon right(3, "right");
  EXPECT_EQ(step(0.375, 3.0), StatusCode::OK);
  EXPECT_EQ(step(0.4375, 4.0), StatusCode::OK);
  for (CoreAngulon* encoder : {&left, &right}) {
    EXPECT_EQ(encoder->GetPositionSinceBoot().GetValue().value(), 0.4375);
    EXPECT_EQ(encoder->GetAbsolutePosition().GetValue().value(), 0.4375);
    EXPECT_EQ(encoder->GetVelocity().GetValue().value(), 4.0);
    EXPECT_EQ(encoder->GetUnfilteredVelocity().GetValue().value(), 4.0);
  }
  // Position moves by the differences: the later object's by those since it was built.
  EXPECT_EQ(left.GetPosition().GetValue().value(), 0.4375);
  EXPECT_EQ(right.GetPosition().GetValue().value(), 0.3125);
}

// The simulator addresses a device by model and ID only: objects of that
// model and ID on any bus see its inputs (also one built later), and the
// newest request any of them sent drives its outputs. Inputs and outputs a
// device type does not have are refused without touching anything.
TEST_F(SimStateTest, OneSimulatedDeviceStandsForEveryObjectOfItsModelAndId) {
  namespace platform = kvor::zephrin::platform;
  CoreRapaxQ first(1, "left");
  CoreRapaxW otherModel(1, "left");
  first.GetSimState().SetSupplyVoltage(11_V);
  CoreRapaxQ second(1, "right");
  harness::AdvanceTime(0.3);
  EXPECT_EQ(second.GetSupplyVoltage().GetValue(), 11_V);
  EXPECT_EQ(otherModel.GetSupplyVoltage().GetValue(), 12_V);  // its own supply, 12 V until given

  first.SetControl(kvor::zephrin6::controls::VoltageOut{3_V});
  second.SetControl(kvor::zephrin6::controls::VoltageOut{-2_V});
  harness::AdvanceTime(0.001);  // the firmware's next step
  EXPECT_EQ(first.GetSimState().GetMotorVoltage(), -2_V);
  harness::SetSimPhysicsValue(kRapaxQType, 1, "MotorVoltage", 7.0);  // the harness overrides the model
  EXPECT_EQ(first.GetSimState().GetMotorVoltage(), 7_V);

  double value = -1.0;
  EXPECT_EQ(platform::SimSetPhysicsInput(platform::DeviceType::RapaxQ, 1, "Distance", 2.0),
            StatusCode::SimPhysicsTypeNotSupported);
  EXPECT_EQ(platform::SimSetPhysicsInput(platform::DeviceType::RapaxQ, 1, "RawQuadraturePosition", 2.0),
            StatusCode::SimPhysicsTypeNotSupported);  // a rapax w input
  EXPECT_EQ(harness::SimPhysicsInput(kRapaxQType, 1, "Distance"), std::nullopt);
  CoreAngulon encoder(2);
  EXPECT_EQ(platform::SimGetPhysicsValue(platform::DeviceType::Angulon, 2, "MotorVoltage", value),
            StatusCode::SimPhysicsTypeNotSupported);
  EXPECT_EQ(value, -1.0);
  EXPECT_EQ(encoder.GetSimState().GetLastStatusCode(), StatusCode::SimPhysicsTypeNotSupported);
}

}  // namespace
