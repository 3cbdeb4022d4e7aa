#include "core/internal/Report.hpp"

#include <kvor/zephrin/platform/Reporting.hpp>

#include "support/RuntimeFixture.hpp"

namespace harness = kvor::zephrin::runtime::harness;
using kvor::zephrin::StatusCode;
using namespace kvor::zephrin6::internal;

namespace {
class Reporting : public zephrin_test::RuntimeTest {};
}  // namespace

// External linkage so that the stack trace can name them.
[[gnu::noinline]] void ReportFromHere() {
  ReportStatus(StatusCode::RxTimeout, "somewhere");
  asm volatile("");
}
[[gnu::noinline]] void CallsReportFromHere() {
  ReportFromHere();
  asm volatile("");  // keeps these frames from becoming tail calls
}

// Errors and warnings reach the runtime with the is-error flag from the sign,
// the code's description and the location text as given.
TEST_F(Reporting, FlagDescriptionAndLocationReachTheRuntime) {
  ReportStatus(StatusCode::RxTimeout, StatusSignalLocation("rapax q 3 (\"\")", "Position"));
  ReportStatus(StatusCode::FrequentConfigCalls, ConfigLocation("angulon 1 (\"drive\")"));
  ReportMessage(true, "free text", "pid");
  auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_TRUE(reports[0].isError);
  EXPECT_EQ(reports[0].code, -1003);
  EXPECT_EQ(reports[0].details, StatusCode(StatusCode::RxTimeout).GetDescription());
  EXPECT_EQ(reports[0].location, "rapax q 3 (\"\") Status Signal Position");
  EXPECT_FALSE(reports[1].isError);
  EXPECT_EQ(reports[1].code, 10002);
  EXPECT_EQ(reports[1].location, "angulon 1 (\"drive\") Config");
  EXPECT_TRUE(reports[2].isError);
  EXPECT_EQ(reports[2].code, 0);
  EXPECT_EQ(reports[2].details, "free text");
}

// The location builders of every report site.
TEST(ReportLocations, EveryCallSite) {
  EXPECT_EQ(ControlRequestLocation("d", "VoltageOut"), "d Control Request VoltageOut");
  EXPECT_EQ(ApplyConfigLocation("d"), "d Apply Config");
  EXPECT_EQ(RefreshConfigLocation("d"), "d Refresh Config");
}

// The stack trace is real and demangled: depth 1 from the reporting helper
// starts at the function that asked for the report's caller.
TEST_F(Reporting, StackTraceNamesTheCallers) {
  CallsReportFromHere();
  auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  const std::string& stack = reports[0].callStack;
  EXPECT_EQ(stack.rfind("\tat CallsReportFromHere()\n", 0), 0u) << stack;
  std::string direct = kvor::zephrin::platform::GetStackTrace(0);
  EXPECT_NE(direct.find("Reporting_StackTraceNamesTheCallers_Test::TestBody()"), std::string::npos) << direct;
}
