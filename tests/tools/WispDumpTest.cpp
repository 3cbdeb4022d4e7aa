// `wisp dump` as a newcomer uses it: signals under the names the other
// commands print, picked by those names or globs, a table with a header.

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "tools/ExpectedEntries.hpp"
#include "tools/ToolsFixture.hpp"
#include "wisp/WispReader.hpp"

namespace {

using namespace zephrin_test;
using kvor::zephrin::runtime::wisp::WispReader;

class WispDumpTest : public ToolsTest {
 protected:
  // Rows per signal name and the time column of each, from a CSV dump.
  struct CsvDump {
    std::string header;
    std::map<std::string, std::vector<std::string>> times;
  };
  static CsvDump ParseCsv(const std::string& text) {
    CsvDump dump;
    std::istringstream in(text);
    std::getline(in, dump.header);
    std::string line;
    while (std::getline(in, line)) {
      const auto comma = line.find(',');
      dump.times[line.substr(comma + 1, line.find(',', comma + 1) - comma - 1)].push_back(line.substr(0, comma));
    }
    return dump;
  }

  template <class Keep>
  static std::map<std::string, ExpectedEntry> Expected(Keep keep) {
    return ExpectedEntries(WispReader::ReadFile(Recorded()),
                           [&](const std::string& name, double) { return keep(name); });
  }
};

std::string MicrosecondText(uint64_t us) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu.%06llu", static_cast<unsigned long long>(us / 1000000),
                static_cast<unsigned long long>(us % 1000000));
  return text;
}

// Every sample is one row under the name `wisp export` gives its signal,
// at its time to the microsecond; the table has a header and shows arrays
// in brackets and numbers in their shortest exact form.
TEST_F(WispDumpTest, RowsCarryExportNamesMicrosecondTimesAndBracketedArrays) {
  const ToolResult csv = Wisp({"dump", Recorded(), "--csv"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  const CsvDump dump = ParseCsv(csv.out);
  EXPECT_EQ(dump.header, "time,name,value,units,status,reported_id,bustrel_time,device_time");
  const auto expected = Expected([](const std::string&) { return true; });
  ASSERT_EQ(dump.times.size(), expected.size());
  for (const auto& [name, entry] : expected) {
    SCOPED_TRACE(name);
    const auto found = dump.times.find(name);
    ASSERT_NE(found, dump.times.end());
    ASSERT_EQ(found->second.size(), entry.times.size());
    for (std::size_t i = 0; i < entry.times.size(); ++i) EXPECT_EQ(found->second[i], MicrosecondText(entry.times[i]));
  }

  const ToolResult table = Wisp({"dump", Recorded()});
  ASSERT_EQ(table.status, 0) << table.err;
  std::istringstream lines(table.out);
  std::string header;
  std::getline(lines, header);
  for (const char* column : {"time (s)", "signal", "value", "units", "status", "bus time (s)", "device time (s)"}) {
    EXPECT_NE(header.find(column), std::string::npos) << column;
  }
  std::size_t rows = 0;
  for (std::string line; std::getline(lines, line);) ++rows;
  std::size_t samples = 0;
  for (const auto& [name, entry] : expected) samples += entry.times.size();
  EXPECT_EQ(rows, samples);
  // The fourth samples of drive/pose, modules/angle (floats) and faults.
  for (const char* value :
       {"  [0.30000000000000004, 0.6000000000000001, 0.003]  ", "  [1.5, -0.75]  ", "  [1, 1, 0]  "}) {
    EXPECT_NE(table.out.find(value), std::string::npos) << value;
  }
}

// --signal takes the names check and export print, globs on them, a bare
// signal name for every device, and repeats; a name that matches nothing
// fails with the closest names instead of printing nothing.
TEST_F(WispDumpTest, SignalTakesPrintedNamesGlobsAndBareNames) {
  const auto all = Expected([](const std::string&) { return true; });
  std::string bracketed;
  for (const auto& [name, entry] : all) {
    if (name.find(" [") != std::string::npos) bracketed = name;
  }
  ASSERT_FALSE(bracketed.empty());
  auto glob = [](const char* pattern) {
    return [pattern](const std::string& name) { return ::fnmatch(pattern, name.c_str(), 0) == 0; };
  };
  const struct {
    std::vector<std::string> patterns;
    std::function<bool(const std::string&)> picks;
  } cases[] = {
      {{"/drivebus/rapax q 2/Position"}, [](const std::string& n) { return n == "/drivebus/rapax q 2/Position"; }},
      {{"/user/*"}, glob("/user/*")},
      {{"Position"}, glob("*/Position")},
      {{bracketed}, [&](const std::string& n) { return n == bracketed; }},
      {{"/user/mode", "/user/gain*"},
       [](const std::string& n) { return n == "/user/mode" || n.starts_with("/user/gain"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.patterns.front());
    std::vector<std::string> arguments{"dump", Recorded(), "--csv"};
    for (const std::string& p : c.patterns) arguments.insert(arguments.end(), {"--signal", p});
    const ToolResult run = Wisp(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    std::set<std::string> got, want;
    for (const auto& [name, times] : ParseCsv(run.out).times) got.insert(name);
    for (const auto& [name, entry] : all) {
      if (c.picks(name)) want.insert(name);
    }
    EXPECT_FALSE(want.empty());
    EXPECT_EQ(got, want);
  }

  const ToolResult wrongCase = Wisp({"dump", Recorded(), "--signal", "/drivebus/rapax q 2/position"});
  EXPECT_EQ(wrongCase.status, 1);
  EXPECT_EQ(wrongCase.out, "");
  EXPECT_NE(wrongCase.err.find("matches no signal"), std::string::npos) << wrongCase.err;
  EXPECT_NE(wrongCase.err.find("    /drivebus/rapax q 2/Position\n"), std::string::npos) << wrongCase.err;
}

}  // namespace
