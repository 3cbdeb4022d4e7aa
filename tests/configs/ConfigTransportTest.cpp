#include <kvor/zephrin/platform/Configs.hpp>
#include <kvor/zephrin/platform/Signals.hpp>

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <limits>
#include <string>
#include <thread>

#include "support/RuntimeFixture.hpp"

namespace harness = kvor::zephrin::runtime::harness;

namespace {

std::string SerializeDouble(int id, double value) {
  char* text = nullptr;
  EXPECT_EQ(c_kvor_zephrin6_serialize_double(id, value, &text), 0);
  std::string result = text ? text : "";
  std::free(text);
  return result;
}

std::string SerializeInt(int id, int value) {
  char* text = nullptr;
  EXPECT_EQ(c_kvor_zephrin6_serialize_int(id, value, &text), 0);
  std::string result = text ? text : "";
  std::free(text);
  return result;
}

// Reads `id` from `text` starting from `current`; returns the status.
int ReadDouble(const std::string& text, int id, double& current) {
  return c_kvor_zephrin6_deserialize_double(id, text.data(), static_cast<uint32_t>(text.size()), &current);
}

// A registered device: the config service answers only for devices the
// program announced.
class ConfigTransport : public zephrin_test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    c_kvor_zephrin6_encode_device(1, "rapax q", "", &kDevice);
  }
  uint32_t kDevice = 0;
};

}  // namespace

// Doubles survive the text exactly, including values with no short decimal
// form, extremes and infinities.
TEST(ConfigText, DoublesRoundTripExactly) {
  const double values[] = {0.0,
                           -0.0,
                           0.1,
                           1.0 / 3.0,
                           -2.5,
                           1e-300,
                           5e-324,
                           1.7976931348623157e308,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (double v : values) {
    SCOPED_TRACE(v);
    double back = 42.0;
    ASSERT_EQ(ReadDouble(SerializeDouble(2159, v), 2159, back), 0);
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0);
  }
  double nan = 0;
  ASSERT_EQ(ReadDouble(SerializeDouble(7, std::nan("")), 7, nan), 0);
  EXPECT_TRUE(std::isnan(nan));
}

// Damaged pieces are skipped as a whole and never read as another value; in
// a concatenation the last valid piece of an ID wins.
TEST(ConfigText, StrictParsingOfDamagedAndConcatenatedTexts) {
  const std::string good = SerializeDouble(2159, 0.04);
  struct Row {
    std::string text;
    int status;
    double expected;
  };
  const Row rows[] = {
      {good, 0, 0.04},
      {good + SerializeDouble(2159, 0.5), 0, 0.5},  // later piece wins
      {SerializeDouble(2158, 3) + good + SerializeInt(2164, 1), 0, 0.04},
      {good.substr(0, good.size() - 2), -10004, 9.0},           // truncated: "2159:d=0.0"
      {"2159:d=0.04x;", -10004, 9.0},                           // trailing garbage
      {"x2159:d=0.04;", -10004, 9.0},                           // leading garbage
      {"02159:d=0.04;", -10004, 9.0},                           // leading zero in ID
      {"2159:q=0.04;", -10004, 9.0},                            // unknown kind
      {"2159:d=;", -10004, 9.0},                                // empty value
      {"2159:d= 1;", -10004, 9.0},                              // whitespace
      {"2159:d=0.04" + SerializeDouble(2159, 7), -10004, 9.0},  // missing terminator swallows the next piece
      {"garbage;" + good + "2159:d=1", 0, 0.04},                // valid piece between damaged ones
      {"2159:i=2;", 0, 2.0},                                    // integers read as doubles
      {"", -10004, 9.0},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].text);
    double value = 9.0;
    EXPECT_EQ(ReadDouble(rows[i].text, 2159, value), rows[i].status);
    EXPECT_EQ(value, rows[i].expected);
  }
}

// Cutting a concatenated text anywhere (a short read, a lost packet) never
// yields a wrong value: every ID reads back its own value or nothing.
TEST(ConfigText, TruncationNeverYieldsAWrongValue) {
  const std::pair<int, double> values[] = {{2159, 0.04}, {2164, 1.0 / 3.0}, {2165, -1e-7}, {1, 12345.0}, {22, 0.5}};
  std::string text;
  for (auto [id, v] : values) text += SerializeDouble(id, v);
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    std::string prefix = text.substr(0, cut);
    for (auto [id, v] : values) {
      double read = -99.0;
      int status = ReadDouble(prefix, id, read);
      if (status == 0) {
        EXPECT_EQ(read, v) << "cut at " << cut << " id " << id;
      } else {
        EXPECT_EQ(read, -99.0) << "cut at " << cut << " id " << id;
      }
    }
  }
}

// Int reads accept only whole numbers in range, so a fractional or huge value
// stored under an int setting is never truncated into a wrong one.
TEST(ConfigText, IntReadsRejectInexactValues) {
  struct Row {
    std::string text;
    int status;
    int expected;
  };
  const Row rows[] = {
      {SerializeInt(1, -17), 0, -17}, {"1:d=3;", 0, 3},        {"1:d=3.5;", -1002, 5},
      {"1:i=2147483648;", -10004, 5}, {"1:d=1e10;", -1002, 5}, {"1:i=-0;", -10004, 5},
      {"65536:i=1;1:i=4;", 0, 4},  // an ID beyond 16 bits is malformed, the next piece still counts
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    int value = 5;
    EXPECT_EQ(c_kvor_zephrin6_deserialize_int(1, row.text.data(), row.text.size(), &value), row.status);
    EXPECT_EQ(value, row.expected);
  }
}

// The store merges each text into the device's values, hands out a text the
// caller frees (its values over the factory settings), and keeps actions out
// of the stored settings.
TEST_F(ConfigTransport, StoreMergesTextsAndKeepsActionsOut) {
  std::string first = SerializeInt(2158, 1) + SerializeDouble(2159, 0.04);
  std::string second = SerializeDouble(2159, 0.1) + SerializeDouble(2164, 0.8);
  ASSERT_EQ(c_kvor_zephrin6_set_configs(0, "", kDevice, 0.1, first.data(), first.size(), false, false, false), 0);
  ASSERT_EQ(c_kvor_zephrin6_set_configs(0, "", kDevice, 0.1, second.data(), second.size(), false, false, false), 0);
  std::string action = SerializeDouble(1016, 2.5);
  ASSERT_EQ(c_kvor_zephrin6_set_configs(0, "", kDevice, 0.1, action.data(), action.size(), false, true, false), 0);

  char* text = nullptr;
  ASSERT_EQ(c_kvor_zephrin6_get_configs(0, "", kDevice, 0.1, &text, false), 0);
  ASSERT_NE(text, nullptr);
  // The stored values, in ID order among the device's factory settings.
  EXPECT_NE(std::string(text).find("2155:i=0;2158:i=1;2159:d=0.1;2164:d=0.8;2165:d=-1;"), std::string::npos);
  c_kvor_zephrin6_free_memory(reinterpret_cast<void**>(&text));
  EXPECT_EQ(text, nullptr);

  EXPECT_EQ(harness::StoredConfigValue(kDevice, 2164), 0.8);
  EXPECT_EQ(harness::StoredConfigValue(kDevice, 1016), std::nullopt);
  auto calls = harness::ConfigCalls(kDevice);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_TRUE(calls[2].actionFlag);
  EXPECT_EQ(calls[2].text, "1016:d=2.5;");
  EXPECT_FALSE(calls[3].isSet);
}

// A zero timeout is refused before anything happens; injected failures hit
// exactly the next N calls; a malformed text is refused but its good pieces stay.
TEST_F(ConfigTransport, TimeoutsInjectionsAndMalformedTexts) {
  std::string text = SerializeInt(2158, 1);
  EXPECT_EQ(c_kvor_zephrin6_set_configs(0, "", kDevice, 0.0, text.data(), text.size(), false, false, false), -10032);
  char* out = nullptr;
  EXPECT_EQ(c_kvor_zephrin6_get_configs(0, "", kDevice, 0.0, &out, false), -10032);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(harness::StoredConfigText(kDevice), "");

  harness::FailNextConfigCalls(kDevice, 2, -1003);
  EXPECT_EQ(c_kvor_zephrin6_set_configs(0, "", kDevice, 0.1, text.data(), text.size(), false, false, false), -1003);
  EXPECT_EQ(c_kvor_zephrin6_get_configs(0, "", kDevice, 0.1, &out, false), -1003);
  EXPECT_EQ(c_kvor_zephrin6_set_configs(0, "", kDevice, 0.1, text.data(), text.size(), false, false, false), 0);

  std::string damaged = "2159:d=oops;" + SerializeDouble(2164, 0.5);
  EXPECT_EQ(c_kvor_zephrin6_set_configs(0, "", kDevice, 0.1, damaged.data(), damaged.size(), false, false, false),
            -1002);
  EXPECT_EQ(harness::StoredConfigText(kDevice), "2158:i=1;2164:d=0.5;");
}
