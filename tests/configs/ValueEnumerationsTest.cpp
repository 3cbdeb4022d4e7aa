#include <kvor/zephrin6/signals/ControlModeValue.hpp>
#include <kvor/zephrin6/signals/DifferentialSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/GravityTypeValue.hpp>
#include <kvor/zephrin6/signals/InvertedValue.hpp>
#include <kvor/zephrin6/signals/MagnetHealthValue.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/signals/S1StateValue.hpp>

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using namespace kvor::zephrin6::signals;

namespace {
template <class V>
std::string Streamed(V v) {
  std::ostringstream os;
  os << v;
  return os.str();
}
}  // namespace

// Text and serialised forms, including numbers that name no enumerator, which
// a device may still report.
TEST(ValueEnumerations, TextAndSerialisedForms) {
  struct Row {
    std::string text, serialized, expectedText, expectedSerialized;
  };
  const Row rows[] = {
      {InvertedValue{1}.ToString(), InvertedValue{1}.Serialize(), "Clockwise_Positive", "u_1"},
      {InvertedValue{2}.ToString(), InvertedValue{2}.Serialize(), "Invalid Value", "u_2"},
      {NeutralModeValue{NeutralModeValue::Brake}.ToString(), NeutralModeValue{1}.Serialize(), "Brake", "u_1"},
      {GravityTypeValue{0}.ToString(), GravityTypeValue{0}.Serialize(), "Elevator_Static", "u_0"},
      {DifferentialSensorSourceValue{5}.ToString(), DifferentialSensorSourceValue{5}.Serialize(), "RemoteAngulon",
       "u_5"},
      {DifferentialSensorSourceValue{6}.ToString(), DifferentialSensorSourceValue{6}.Serialize(), "Invalid Value",
       "u_6"},
      {DifferentialSensorSourceValue{-1}.ToString(), DifferentialSensorSourceValue{-3}.Serialize(), "Invalid Value",
       "u_-3"},
      {Streamed(MagnetHealthValue{MagnetHealthValue::Missing}), "", "Missing", ""},
      {Streamed(S1StateValue{-7}), "", "Invalid Value", ""},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].text, rows[i].expectedText);
    EXPECT_EQ(rows[i].serialized, rows[i].expectedSerialized);
  }
}

// Control modes name every request distinctly, so a printed mode is never
// ambiguous and no number was left without a name.
TEST(ValueEnumerations, ControlModesHaveDistinctNames) {
  std::set<std::string> names;
  for (int v = ControlModeValue::DisabledOutput; v <= ControlModeValue::UnsupportedFeature; ++v) {
    std::string name = ControlModeValue{v}.ToString();
    EXPECT_NE(name, "Invalid Value") << v;
    EXPECT_TRUE(names.insert(name).second) << name;
  }
}

// Values compare by number, with named constants and plain ints alike.
TEST(ValueEnumerations, EqualityByNumber) {
  NeutralModeValue mode = NeutralModeValue::Brake;
  EXPECT_EQ(mode, NeutralModeValue::Brake);
  EXPECT_NE(mode, NeutralModeValue{NeutralModeValue::Coast});
  EXPECT_EQ(InvertedValue{}, InvertedValue::CounterClockwise_Positive);
}
