// Golden texts written out by hand from the documented config IDs, field
// orders, labels, units and enumerations. The groups, their walks and the
// tests in ConfigMembersTest all come from one table, so only rows like these
// catch a mistake in the table itself: a swapped ID, a wrong unit text, a
// renumbered enumerator.

#include <kvor/zephrin6/configs/DifferentialSensorsConfigs.hpp>
#include <kvor/zephrin6/configs/MotorOutputConfigs.hpp>
#include <kvor/zephrin6/configs/Slot0Configs.hpp>
#include <kvor/zephrin6/configs/Slot1Configs.hpp>
#include <kvor/zephrin6/configs/Slot2Configs.hpp>
#include <kvor/zephrin6/configs/SlotConfigs.hpp>
#include <kvor/zephrin6/signals/DifferentialSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/GravityTypeValue.hpp>
#include <kvor/zephrin6/signals/InvertedValue.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/signals/StaticFeedforwardSignValue.hpp>

#include <gtest/gtest.h>

#include <string>

using namespace kvor::zephrin6::configs;
using namespace kvor::zephrin6::signals;

namespace {

// Nine distinct gains, so a slot field under another field's ID shows.
template <class Slot>
Slot NumberedGains() {
  Slot slot;
  slot.WithkP(1).WithkI(2).WithkD(3).WithkS(4).WithkV(5).WithkA(6).WithkG(7);
  slot.WithGravityType(GravityTypeValue::Arm_Cosine).WithStaticFeedforwardSign(StaticFeedforwardSignValue::UseClosedLoopSign);
  return slot;
}

MotorOutputConfigs SomeMotorOutput() {
  MotorOutputConfigs output;
  output.WithInverted(InvertedValue::Clockwise_Positive)
      .WithNeutralMode(NeutralModeValue::Brake)
      .WithDutyCycleNeutralDeadband(0.04)
      .WithPeakForwardDutyCycle(0.9)
      .WithPeakReverseDutyCycle(-0.8)
      .WithControlTimesyncFreqHz(100);
  return output;
}

}  // namespace

// Each field goes out under its own config ID, in field order; enumerations
// and IDs as ints, everything else as doubles.
TEST(ConfigGoldenTexts, SerialisedTexts) {
  DifferentialSensorsConfigs sensors;
  sensors.WithDifferentialSensorSource(DifferentialSensorSourceValue::RemoteAngulon)
      .WithDifferentialRapaxQSensorID(3)
      .WithDifferentialRemoteSensorID(7);
  const std::string slot0Text = "2131:d=1;2132:d=2;2133:d=3;2134:d=4;2135:d=5;2136:d=6;2137:d=7;2138:i=1;2366:i=1;";
  const std::string slot1Text = "2139:d=1;2140:d=2;2141:d=3;2142:d=4;2143:d=5;2144:d=6;2145:d=7;2146:i=1;2367:i=1;";
  const std::string slot2Text = "2147:d=1;2148:d=2;2149:d=3;2150:d=4;2151:d=5;2152:d=6;2153:d=7;2154:i=1;2368:i=1;";
  struct Row {
    const char* name;
    std::string text, expected;
  };
  const Row rows[] = {
      {"MotorOutput", SomeMotorOutput().Serialize(),
       "2155:i=1;2158:i=1;2159:d=0.04;2164:d=0.9;2165:d=-0.8;2419:d=100;"},
      {"DifferentialSensors", sensors.Serialize(), "2260:i=5;2261:i=3;2262:i=7;"},
      {"Slot0", NumberedGains<Slot0Configs>().Serialize(), slot0Text},
      {"Slot1", NumberedGains<Slot1Configs>().Serialize(), slot1Text},
      {"Slot2", NumberedGains<Slot2Configs>().Serialize(), slot2Text},
      {"Slot with SlotNumber 1", NumberedGains<SlotConfigs>().WithSlotNumber(1).Serialize(), slot1Text},
      {"Slot with SlotNumber 2", NumberedGains<SlotConfigs>().WithSlotNumber(2).Serialize(), slot2Text},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.text, row.expected);
  }
}

// Header line, one "    Name: value unit" line per field in order, doubles
// in six significant digits, enumerations by name.
TEST(ConfigGoldenTexts, PrintedTexts) {
  Slot0Configs slot = NumberedGains<Slot0Configs>();
  slot.kP = 0.1234567;
  struct Row {
    const char* name;
    std::string text, expected;
  };
  const Row rows[] = {
      {"MotorOutput", SomeMotorOutput().ToString(),
       "Config Group: MotorOutput\n"
       "    Inverted: Clockwise_Positive\n"
       "    NeutralMode: Brake\n"
       "    DutyCycleNeutralDeadband: 0.04 fractional\n"
       "    PeakForwardDutyCycle: 0.9 fractional\n"
       "    PeakReverseDutyCycle: -0.8 fractional\n"
       "    ControlTimesyncFreqHz: 100 Hz\n"},
      {"DifferentialSensors", DifferentialSensorsConfigs{}.WithDifferentialSensorSource(6).ToString(),
       "Config Group: DifferentialSensors\n"
       "    DifferentialSensorSource: Invalid Value\n"
       "    DifferentialRapaxQSensorID: 0\n"
       "    DifferentialRemoteSensorID: 0\n"},
      {"Slot0", slot.ToString(),
       "Config Group: Slot0\n"
       "    kP: 0.123457\n"
       "    kI: 2\n"
       "    kD: 3\n"
       "    kS: 4\n"
       "    kV: 5\n"
       "    kA: 6\n"
       "    kG: 7\n"
       "    GravityType: Arm_Cosine\n"
       "    StaticFeedforwardSign: UseClosedLoopSign\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.text, row.expected);
  }
}

// The configuration enumerations, every number with its name, and the
// neighbours just outside each range.
TEST(ConfigGoldenTexts, EnumerationNamesAndNumbers) {
  struct Row {
    std::string text, serialized;
    const char *expectedText, *expectedSerialized;
  };
  auto row = [](const auto& v, const char* text, const char* serialized) {
    return Row{v.ToString(), v.Serialize(), text, serialized};
  };
  const Row rows[] = {
      row(NeutralModeValue{NeutralModeValue::Coast}, "Coast", "u_0"),
      row(NeutralModeValue{NeutralModeValue::Brake}, "Brake", "u_1"),
      row(NeutralModeValue{2}, "Invalid Value", "u_2"),
      row(InvertedValue{InvertedValue::CounterClockwise_Positive}, "CounterClockwise_Positive", "u_0"),
      row(InvertedValue{InvertedValue::Clockwise_Positive}, "Clockwise_Positive", "u_1"),
      row(InvertedValue{-1}, "Invalid Value", "u_-1"),
      row(GravityTypeValue{GravityTypeValue::Elevator_Static}, "Elevator_Static", "u_0"),
      row(GravityTypeValue{GravityTypeValue::Arm_Cosine}, "Arm_Cosine", "u_1"),
      row(StaticFeedforwardSignValue{StaticFeedforwardSignValue::UseVelocitySign}, "UseVelocitySign", "u_0"),
      row(StaticFeedforwardSignValue{StaticFeedforwardSignValue::UseClosedLoopSign}, "UseClosedLoopSign", "u_1"),
      row(DifferentialSensorSourceValue{DifferentialSensorSourceValue::Disabled}, "Disabled", "u_0"),
      row(DifferentialSensorSourceValue{DifferentialSensorSourceValue::RemoteRapaxQ_Diff}, "RemoteRapaxQ_Diff", "u_1"),
      row(DifferentialSensorSourceValue{DifferentialSensorSourceValue::RemoteAuklet2_Yaw}, "RemoteAuklet2_Yaw", "u_2"),
      row(DifferentialSensorSourceValue{DifferentialSensorSourceValue::RemoteAuklet2_Pitch}, "RemoteAuklet2_Pitch",
          "u_3"),
      row(DifferentialSensorSourceValue{DifferentialSensorSourceValue::RemoteAuklet2_Roll}, "RemoteAuklet2_Roll",
          "u_4"),
      row(DifferentialSensorSourceValue{DifferentialSensorSourceValue::RemoteAngulon}, "RemoteAngulon", "u_5"),
      row(DifferentialSensorSourceValue{6}, "Invalid Value", "u_6"),
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.expectedText);
    EXPECT_EQ(r.text, r.expectedText);
    EXPECT_EQ(r.serialized, r.expectedSerialized);
  }
}
