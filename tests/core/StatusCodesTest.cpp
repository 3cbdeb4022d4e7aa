#include <kvor/zephrin/StatusCodes.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

using kvor::zephrin::StatusCode;

namespace {

constexpr const char* kNoName = "Could not find name for StatusCode";
constexpr const char* kNoDescription = "Could not find description for StatusCode";

// Every named value, taken from the same table the library is built from.
const std::set<int> kNamed = {
#define KVOR_STATUS_CODE(value, name, description) value,
#include <kvor/zephrin/platform/StatusCodes.def>
#undef KVOR_STATUS_CODE
};

}  // namespace

// Each named value resolves to its own name and a description; everything in
// between (the gaps inside the ranges) and beyond resolves to the fixed texts.
TEST(StatusCode, LookupsCoverWholeRangesAndGaps) {
  ASSERT_EQ(kNamed.size(), 176u);
  std::set<std::string> names;
  for (int v = -12000; v <= 12000; ++v) {
    SCOPED_TRACE(v);
    StatusCode code(v);
    if (kNamed.count(v)) {
      EXPECT_STRNE(code.GetName(), kNoName);
      EXPECT_STRNE(code.GetDescription(), kNoDescription);
      EXPECT_GT(std::strlen(code.GetDescription()), 0u);
      names.insert(code.GetName());
    } else {
      EXPECT_STREQ(code.GetName(), kNoName);
      EXPECT_STREQ(code.GetDescription(), kNoDescription);
    }
  }
  EXPECT_EQ(names.size(), 176u) << "names are unique";
  for (int v : {INT32_MIN, INT32_MIN + 1, -1701, -122, -136, -139, 12345, INT32_MAX}) {
    SCOPED_TRACE(v);
    EXPECT_STREQ(StatusCode(v).GetName(), kNoName);
    EXPECT_STREQ(StatusCode(v).GetDescription(), kNoDescription);
  }
}

// The names at the edges of each dense run, where an off-by-one table breaks.
TEST(StatusCode, NamesAtRangeEdges) {
  struct Row {
    int value;
    const char* name;
  } rows[] = {
      {0, "OK"},
      {1000, "CanMessageStale"},
      {10002, "FrequentConfigCalls"},
      {-1001, "TxFailed"},
      {-1011, "FirmwareNonFRC"},
      {-1100, "GeneralError"},
      {-1402, "MODULE_NOT_INIT_GET_ERROR"},
      {-1506, "GlimmetAnimSlotOutOfBounds"},
      {-1700, "FeatureRequiresHigherFirm"},
      {-1702, "ConfigFactoryDefaultRequiresHigherFirm"},
      {-2015, "kFirmwareInvalidResponse"},
      {-10000, "StatusCodeNotInitialized"},
      {-10041, "InvalidDeviceModel"},
      {-100, "TaskIsBusy"},
      {-145, "BustlCliError"},
      {-800, "AppIsTerminating"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_STREQ(StatusCode(row.value).GetName(), row.name);
  }
}

// The descriptions users meet in reports are fixed texts.
TEST(StatusCode, FixedDescriptions) {
  EXPECT_STREQ(StatusCode(0).GetDescription(), "No Error");
  EXPECT_STREQ(StatusCode(-10001).GetDescription(), "InvalidNetwork");
  EXPECT_STREQ(StatusCode(-10005).GetDescription(), "This is not supported");
  EXPECT_STREQ(StatusCode(-10015).GetDescription(), "Size is invalid.");
  EXPECT_STREQ(StatusCode(-1200).GetDescription(), "No new response to update signal.");
  EXPECT_STREQ(StatusCode(-10032).GetDescription(),
               "Blocking operations, such as configs, cannot have a timeout of 0. Pass in a non-zero timeout "
               "(typically 0.050+ seconds) for normal operation.");
  EXPECT_STREQ(StatusCode(-1008).GetDescription(),
               "Firmware Too Old.  Use Calibrix to field upgrade your KVOR CAN device firmware(FWPAK).  Then "
               "restart your robot application to clear this error.");
}

// The sign convention drives the report's is-error flag everywhere.
TEST(StatusCode, PredicatesFollowTheSign) {
  EXPECT_TRUE(StatusCode(StatusCode::OK).IsOK());
  EXPECT_FALSE(StatusCode(StatusCode::OK).IsError());
  EXPECT_TRUE(StatusCode(StatusCode::FrequentConfigCalls).IsWarning());
  EXPECT_TRUE(StatusCode(StatusCode::RxTimeout).IsError());
  EXPECT_FALSE(StatusCode(StatusCode::RxTimeout).IsWarning());
  EXPECT_EQ(StatusCode().value(), StatusCode::StatusCodeNotInitialized);
}
