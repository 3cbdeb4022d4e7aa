// What the runtime keeps and prints of the reports it receives.

#include <gtest/gtest.h>

#include <string>

#include <kvor/zephrin/platform/Reporting.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "support/RuntimeFixture.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;

class ReportLogTest : public zephrin_test::RuntimeTest {
 protected:
  static void Report(int code, const char* location) {
    c_kvor_zephrin_report_error(code < 0, code, 0, "description", location, "\tat somewhere\n");
  }
  static int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
};

// The harness sees the last 1,000 reports, oldest first.
TEST_F(ReportLogTest, KeepsTheLastThousandReports) {
  for (int i = 0; i < 1500; ++i) Report(-1000 - i, "ring");
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1000u);
  EXPECT_EQ(reports.front().code, -1500);
  EXPECT_EQ(reports.back().code, -2499);
  harness::ClearReports();
  EXPECT_TRUE(harness::Reports().empty());
}

// An unplugged device fails every loop: the first report prints at once,
// the repeats stay quiet for a second of runtime time and the next print
// counts them; another location or code prints at once.
TEST_F(ReportLogTest, RepeatsPrintOncePerSecondWithACount) {
  harness::SetReportEcho(true);
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 50; ++i) {
    Report(-1003, "rapax q 3 (\"\") Status Signal Position");
    harness::AdvanceTime(0.01);
  }
  Report(-1003, "rapax q 4 (\"\") Status Signal Position");
  Report(-1002, "rapax q 3 (\"\") Status Signal Position");
  harness::AdvanceTime(0.5);
  Report(-1003, "rapax q 3 (\"\") Status Signal Position");
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Count(printed, "rapax q 3 (\"\")"), 3);  // first, the -1002, the one a second later
  EXPECT_EQ(Count(printed, "rapax q 4 (\"\")"), 1);
  EXPECT_EQ(Count(printed, "(49 more since last shown)"), 1);
  EXPECT_EQ(Count(printed, "\tat somewhere"), 4);  // every shown report with its stack
  EXPECT_EQ(harness::Reports().size(), 53u);        // the harness still sees every report
}

}  // namespace
