#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/Auklet2Configuration.hpp>
#include <kvor/zephrin6/configs/DistixConfiguration.hpp>
#include <kvor/zephrin6/configs/PortisConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxWConfiguration.hpp>
#include <kvor/zephrin6/configs/SlotConfigs.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <set>
#include <stdexcept>

using namespace kvor::zephrin6::configs;
using kvor::zephrin6::signals::InvertedValue;
using kvor::zephrin6::signals::NeutralModeValue;

namespace {

// Gives every value of a config text a different, non-default value: doubles
// move by a distinct amount, 0 and 1 swap (so booleans flip) and other ints
// grow by one. The result is the text of a group whose every field differs
// from the default.
std::string Mutate(const std::string& text) {
  static const std::regex piece(R"((\d+):([di])=([^;]*);)");
  std::string out;
  int n = 0;
  for (std::sregex_iterator it(text.begin(), text.end(), piece), end; it != end; ++it, ++n) {
    const std::smatch& m = *it;
    std::string value;
    if (m[2] == "d") {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%g", std::stod(m[3]) + 1.25 + n);
      value = buffer;
    } else {
      int v = std::stoi(m[3]);
      value = std::to_string(v == 0 ? 1 : v == 1 ? 0 : v + 1);
    }
    out += m[1].str() + ":" + m[2].str() + "=" + value + ";";
  }
  return out;
}

std::set<int> Ids(const std::string& text) {
  static const std::regex piece(R"((\d+):[di]=[^;]*;)");
  std::set<int> ids;
  for (std::sregex_iterator it(text.begin(), text.end(), piece), end; it != end; ++it) ids.insert(std::stoi((*it)[1]));
  return ids;
}

struct RoundTrip {
  std::string mutated;     // non-default text
  std::string reread;      // the same text after Deserialize and Serialize
  std::string afterEmpty;  // after a further Deserialize("")
  size_t fields;           // pieces in the default text
  size_t distinctIds;
};

template <class Group>
RoundTrip RunRoundTrip() {
  Group group;
  std::string defaults = group.Serialize();
  RoundTrip r;
  r.mutated = Mutate(defaults);
  EXPECT_EQ(group.Deserialize(r.mutated), kvor::zephrin::StatusCode::OK);
  r.reread = group.Serialize();
  group.Deserialize("");
  r.afterEmpty = group.Serialize();
  r.fields = std::count(defaults.begin(), defaults.end(), ';');
  r.distinctIds = Ids(defaults).size();
  return r;
}

}  // namespace

// Every group and whole-device configuration reads back exactly the
// non-default values it wrote, keeps them on an empty text, and uses a
// distinct config ID per field (a shared ID would make one field overwrite
// another on the device).
TEST(ConfigGroups, EveryGroupRoundTripsNonDefaultValues) {
  const std::pair<const char*, RoundTrip (*)()> groups[] = {
      {"MotorOutput", RunRoundTrip<MotorOutputConfigs>},
      {"DifferentialSensors", RunRoundTrip<DifferentialSensorsConfigs>},
      {"CurrentLimits", RunRoundTrip<CurrentLimitsConfigs>},
      {"Voltage", RunRoundTrip<VoltageConfigs>},
      {"TorqueCurrent", RunRoundTrip<TorqueCurrentConfigs>},
      {"Feedback", RunRoundTrip<FeedbackConfigs>},
      {"ExternalFeedback", RunRoundTrip<ExternalFeedbackConfigs>},
      {"DifferentialConstants", RunRoundTrip<DifferentialConstantsConfigs>},
      {"OpenLoopRamps", RunRoundTrip<OpenLoopRampsConfigs>},
      {"ClosedLoopRamps", RunRoundTrip<ClosedLoopRampsConfigs>},
      {"ClosedLoopGeneral", RunRoundTrip<ClosedLoopGeneralConfigs>},
      {"HardwareLimitSwitch", RunRoundTrip<HardwareLimitSwitchConfigs>},
      {"SoftwareLimitSwitch", RunRoundTrip<SoftwareLimitSwitchConfigs>},
      {"Kinetra", RunRoundTrip<KinetraConfigs>},
      {"Audio", RunRoundTrip<AudioConfigs>},
      {"Slot0", RunRoundTrip<Slot0Configs>},
      {"Slot1", RunRoundTrip<Slot1Configs>},
      {"Slot2", RunRoundTrip<Slot2Configs>},
      {"Slot", RunRoundTrip<SlotConfigs>},
      {"MagnetSensor", RunRoundTrip<MagnetSensorConfigs>},
      {"MountPose", RunRoundTrip<MountPoseConfigs>},
      {"GyroTrim", RunRoundTrip<GyroTrimConfigs>},
      {"Auklet2Features", RunRoundTrip<Auklet2FeaturesConfigs>},
      {"ProximityParams", RunRoundTrip<ProximityParamsConfigs>},
      {"FovParams", RunRoundTrip<FovParamsConfigs>},
      {"DigitalInputs", RunRoundTrip<DigitalInputsConfigs>},
      {"Quadrature", RunRoundTrip<QuadratureConfigs>},
      {"PulseWidth", RunRoundTrip<PulseWidthConfigs>},
      {"RapaxQConfiguration", RunRoundTrip<RapaxQConfiguration>},
      {"RapaxWConfiguration", RunRoundTrip<RapaxWConfiguration>},
      {"AngulonConfiguration", RunRoundTrip<AngulonConfiguration>},
      {"Auklet2Configuration", RunRoundTrip<Auklet2Configuration>},
      {"DistixConfiguration", RunRoundTrip<DistixConfiguration>},
      {"PortisConfiguration", RunRoundTrip<PortisConfiguration>},
  };
  for (const auto& [name, run] : groups) {
    SCOPED_TRACE(name);
    RoundTrip r = run();
    EXPECT_GT(r.fields, 0u);
    EXPECT_EQ(r.distinctIds, r.fields);
    EXPECT_EQ(r.reread, r.mutated);
    EXPECT_EQ(r.afterEmpty, r.mutated);
  }
}

// Printing: header line, labels, units and the text form of enumerations,
// also for numbers outside the enumeration.
TEST(ConfigGroups, PrintsHeaderLabelsUnitsAndEnumerations) {
  MotorOutputConfigs output;
  output.WithNeutralMode(NeutralModeValue::Brake).WithPeakForwardDutyCycle(1).WithInverted(2);
  std::string text = output.ToString();
  EXPECT_EQ(text.rfind("Config Group: MotorOutput\n", 0), 0u) << text;
  EXPECT_NE(text.find("\n    NeutralMode: Brake\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    PeakForwardDutyCycle: 1 fractional\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    Inverted: Invalid Value\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    ControlTimesyncFreqHz: 0 Hz\n"), std::string::npos) << text;

  EXPECT_EQ(Slot2Configs{}.ToString().rfind("Config Group: Slot2\n", 0), 0u);
  EXPECT_NE(Slot0Configs{}.WithkP(0.1234567).ToString().find("    kP: 0.123457\n"), std::string::npos);
  std::string limits = CurrentLimitsConfigs{}.ToString();
  EXPECT_NE(limits.find("    StatorCurrentLimit: 120 A\n"), std::string::npos) << limits;
  EXPECT_NE(limits.find("    StatorCurrentLimitEnable: true\n"), std::string::npos) << limits;
}

// The generic slot takes its IDs from SlotNumber; an invalid slot throws
// before any text is produced or read.
TEST(ConfigGroups, SlotConfigsFollowTheirSlotNumber) {
  Slot1Configs one;
  one.WithkP(3).WithGravityType(1);
  SlotConfigs generic = SlotConfigs::From(one);
  EXPECT_EQ(generic.SlotNumber, 1);
  std::set<int> expected = {2139, 2140, 2141, 2142, 2143, 2144, 2145, 2146, 2367};
  EXPECT_EQ(Ids(generic.Serialize()), expected);

  Slot2Configs two = Slot2Configs::From(generic);
  EXPECT_EQ(two.kP, 3);
  EXPECT_EQ(two.GravityType, 1);
  EXPECT_EQ(Ids(two.Serialize()).count(2147), 1u);

  generic.SlotNumber = 3;
  EXPECT_THROW(generic.Serialize(), std::out_of_range);
  EXPECT_THROW(generic.Deserialize("2131:d=1;"), std::out_of_range);
  EXPECT_EQ(generic.kP, 3);
}
