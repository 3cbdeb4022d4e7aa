// `wisp export` as a team uses it, checked by reading every export back with
// an independent reader of the output format.

#include <fcntl.h>
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <kvor/zephrin/platform/SignalIds.hpp>
#include <set>

#include "tools/ExpectedEntries.hpp"
#include "tools/ToolsFixture.hpp"
#include "tools/WpilogReader.hpp"
#include "wisp/ChunkBuilder.hpp"
#include "wisp/WispFileWriter.hpp"
#include "wisp/WispReader.hpp"

namespace {

using namespace zephrin_test;
using kvor::zephrin::runtime::wisp::ChunkBuilder;
using kvor::zephrin::runtime::wisp::SignalDefinition;
using kvor::zephrin::runtime::wisp::WispFileWriter;
using kvor::zephrin::runtime::wisp::WispReader;
namespace ids = kvor::zephrin::signal_ids::rapax_q;

// The device of the crafted logs.
constexpr uint32_t kDevice = 0x51;

class WispExportTest : public ToolsTest {
 protected:
  // Opens a crafted log at `path` and starts its first chunk with a rapax q
  // (ID 4 on drivebus, kDevice) and `signals`.
  static void StartLog(const std::string& path, std::initializer_list<SignalDefinition> signals,
                       WispFileWriter& writer, ChunkBuilder& chunk) {
    ASSERT_TRUE(writer.Open(path, 0.0, 1765000000));
    ASSERT_TRUE(chunk.AddDevice({kDevice, 4, "rapax q", "drivebus"}));
    for (const SignalDefinition& signal : signals) ASSERT_TRUE(chunk.AddSignalDefinition(signal));
  }

  // Compares an export with what the log says it must hold.
  static void ExpectSameEntries(const WpilogFile& file, const std::map<std::string, ExpectedEntry>& expected) {
    ASSERT_EQ(file.error, "");
    std::set<std::string> names, expectedNames;
    for (const auto& [name, entry] : file.entries) names.insert(name);
    for (const auto& [name, entry] : expected) expectedNames.insert(name);
    EXPECT_EQ(names, expectedNames);
    for (const auto& [name, want] : expected) {
      SCOPED_TRACE(name);
      const auto found = file.entries.find(name);
      if (found == file.entries.end()) continue;
      const WpilogEntry& got = found->second;
      EXPECT_EQ(got.type, want.type);
      EXPECT_EQ(got.metadata, "{\"units\":\"" + want.units + "\"}");
      EXPECT_EQ(got.times.size(), want.times.size());
      EXPECT_EQ(got.times, want.times);
      EXPECT_EQ(got.payloads, want.payloads);
    }
  }
};

auto All() {
  return [](const std::string&, double) { return true; };
}

// Every device signal and user signal comes back under its name, with its
// type, units, every sample's value and its time in microseconds.
TEST_F(WispExportTest, WpilogHoldsEverySignalWithItsSamplesValuesAndTimes) {
  const std::string out = Scratch("all.wpilog");
  const ToolResult run = Wisp({"export", Recorded(), "-o", out});
  ASSERT_TRUE(run.exited);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");

  const auto log = WispReader::ReadFile(Recorded());
  const auto expected = ExpectedEntries(log, All());
  const WpilogFile file = ReadWpilog(out);
  EXPECT_EQ(file.version, 0x0100);
  ExpectSameEntries(file, expected);
  EXPECT_GT(expected.size(), 100u);

  // Names a viewer shows, written out by hand: the mode-dependent twins
  // carry their units, a name used once per device does not, and a user
  // signal whose type changed is two entries.
  for (const char* name :
       {"/drivebus/rapax q 1/ClosedLoopReference [turns]", "/drivebus/rapax q 2/ClosedLoopReference [turns/s]",
        "/drivebus/rapax q 1/SupplyVoltage", "/drivebus/angulon 3/SupplyVoltage", "/user/drive/pose",
        "/user/gain (double)", "/user/gain (int64)"}) {
    EXPECT_TRUE(file.entries.contains(name)) << name;
  }
  // The units that changed halfway are a metadata change of the same entry.
  EXPECT_EQ(file.entries.at("/user/arm/angle").metadataChanges, std::vector<std::string>{"{\"units\":\"rad\"}"});
}

// Globs pick signals by their exported name and --from/--to pick samples by
// log time; nothing else reaches the file.
TEST_F(WispExportTest, SignalGlobsAndTimeRangeSelectWhatIsWritten) {
  const auto log = WispReader::ReadFile(Recorded());
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    std::vector<std::string> globs;
    double from, to;
  } cases[] = {
      {"user signals", {"/user/*"}, -inf, inf},
      {"one signal of every device, and one user signal", {"*/Velocity", "/user/mode"}, -inf, inf},
      {"a time window", {}, 1.3, 1.6},
      {"a glob and a window", {"/drivebus/rapax q 2/*"}, 1.5, 1.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> arguments{"export", Recorded(), "-o", Scratch("some.wpilog")};
    for (const auto& glob : c.globs) {
      arguments.push_back("--signals");
      arguments.push_back(glob);
    }
    if (c.from != -inf) {
      arguments.insert(arguments.end(), {"--from", std::to_string(c.from), "--to", std::to_string(c.to)});
    }
    const ToolResult run = Wisp(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectSameEntries(ReadWpilog(Scratch("some.wpilog")),
                      ExpectedEntries(log, [&](const std::string& name, double time) {
                        bool named = c.globs.empty();
                        for (const auto& glob : c.globs) named = named || ::fnmatch(glob.c_str(), name.c_str(), 0) == 0;
                        return named && time >= c.from && time <= c.to;
                      }));
  }
}

// A log cut inside a chunk (a pulled battery) exports every sample before the
// damage and says where it stopped.
TEST_F(WispExportTest, DamagedLogExportsEverythingBeforeTheDamage) {
  const std::string torn = Scratch("torn.wisp");
  std::filesystem::copy_file(Recorded(), torn);
  std::filesystem::resize_file(torn, std::filesystem::file_size(torn) * 2 / 3);
  const auto log = WispReader::ReadFile(torn);
  ASSERT_TRUE(log.report.Damaged());

  const ToolResult run = Wisp({"export", torn});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("damaged"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("before byte " + std::to_string(log.report.intactBytes)), std::string::npos) << run.err;
  ExpectSameEntries(ReadWpilog(Scratch("torn.wpilog")), ExpectedEntries(log, All()));
}

// Names are decided from the whole log: a signal that first appears in a
// later chunk and shares its base name with one already exported (the twin
// of a mode-dependent signal) gives both their units, and every sample of
// the earlier one is still there under its final name.
TEST_F(WispExportTest, SignalLaterInTheLogRenamesOneAlreadySeen) {
  const std::string path = Scratch("twins.wisp");
  WispFileWriter writer;
  ChunkBuilder chunk;
  ASSERT_NO_FATAL_FAILURE(StartLog(
      path, {{ids::kClosedLoopReference, "ClosedLoopReference", "turns"}, {ids::kVelocity, "Velocity", "turns/s"}},
      writer, chunk));
  auto frame = [&](uint16_t id, double t) { chunk.AddFrame({kDevice, id, {t, t, t, 0.0, 0, id}}); };
  frame(ids::kClosedLoopReference, 1.0);
  frame(ids::kVelocity, 1.0);
  ASSERT_TRUE(writer.WriteChunk(chunk));
  chunk.Clear();
  ASSERT_TRUE(chunk.AddSignalDefinition({ids::kClosedLoopReference_Velocity, "ClosedLoopReference", "turns/s"}));
  frame(ids::kClosedLoopReference, 1.1);
  frame(ids::kClosedLoopReference_Velocity, 1.1);
  frame(ids::kVelocity, 1.1);
  ASSERT_TRUE(writer.WriteChunk(chunk));
  writer.Close();

  for (const std::vector<std::string>& globs : {std::vector<std::string>{}, {"--signals", "*/ClosedLoopReference*"}}) {
    std::vector<std::string> arguments{"export", path, "-o", Scratch("twins.wpilog")};
    arguments.insert(arguments.end(), globs.begin(), globs.end());
    const ToolResult run = Wisp(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    const WpilogFile file = ReadWpilog(Scratch("twins.wpilog"));
    ASSERT_EQ(file.error, "");
    std::set<std::string> names;
    for (const auto& [name, entry] : file.entries) names.insert(name);
    std::set<std::string> expected{"/drivebus/rapax q 4/ClosedLoopReference [turns]",
                                   "/drivebus/rapax q 4/ClosedLoopReference [turns/s]"};
    if (globs.empty()) expected.insert("/drivebus/rapax q 4/Velocity");
    EXPECT_EQ(names, expected);
    EXPECT_EQ(file.entries.at("/drivebus/rapax q 4/ClosedLoopReference [turns]").times,
              (std::vector<uint64_t>{1000000, 1100000}));
  }
}

// Times are whole microseconds rounded half away from zero, as std::round
// gives them, at the halves and next to them too; a time below -0.5 us or
// not a number has no place in the output and is left out with a note.
TEST_F(WispExportTest, SampleTimesRoundToTheNearestMicrosecond) {
  std::vector<double> times{-5e-7, -4.9e-7, 0.0, 4.999999e-7, 5e-7, 1.5e-6, 2.5e-6, 0.1234565, 7.0000005, 1e9 + 5e-7};
  for (double half = 0.5; half < 4096; half += 1.0) {
    times.push_back(half * 1e-6);
    times.push_back(std::nextafter(half, 0.0) * 1e-6);
    times.push_back(std::nextafter(half * 1e-6, 1.0));
  }
  times.push_back(std::numeric_limits<double>::quiet_NaN());
  const std::string path = Scratch("times.wisp");
  WispFileWriter writer;
  ChunkBuilder chunk;
  ASSERT_NO_FATAL_FAILURE(StartLog(path, {{ids::kVelocity, "Velocity", "turns/s"}}, writer, chunk));
  std::vector<uint64_t> expected;
  std::size_t leftOut = 0;
  for (double t : times) {
    chunk.AddFrame({kDevice, ids::kVelocity, {1.0, t, t, 0.0, 0, ids::kVelocity}});
    const double rounded = std::round(t * 1e6);
    if (rounded >= 0.0) {
      expected.push_back(static_cast<uint64_t>(rounded));
    } else {
      ++leftOut;
    }
  }
  ASSERT_TRUE(writer.WriteChunk(chunk));
  writer.Close();
  std::sort(expected.begin(), expected.end());

  const ToolResult run = Wisp({"export", path, "-o", Scratch("times.wpilog")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("left out " + std::to_string(leftOut) + " samples whose time"), std::string::npos) << run.err;
  const WpilogFile file = ReadWpilog(Scratch("times.wpilog"));
  ASSERT_EQ(file.error, "");
  EXPECT_EQ(file.entries.at("/drivebus/rapax q 4/Velocity").times, expected);
}

// The CSV export has one row per sample, under the same names.
TEST_F(WispExportTest, CsvHasOneRowPerSample) {
  const ToolResult run = Wisp({"export", Recorded(), "--format", "csv", "-o", Scratch("all.csv")});
  ASSERT_EQ(run.status, 0) << run.err;
  std::map<std::string, std::size_t> rows;
  std::ifstream in(Scratch("all.csv"));
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "time,name,value,units");
  while (std::getline(in, line)) {
    const auto name = line.find(',') + 1;
    ++rows[line.substr(name, line.find(',', name) - name)];
  }
  const auto expected = ExpectedEntries(WispReader::ReadFile(Recorded()), All());
  ASSERT_EQ(rows.size(), expected.size());
  for (const auto& [name, entry] : expected) EXPECT_EQ(rows[name], entry.times.size()) << name;
}

// An export never writes over its own log, and one that cannot be written
// leaves no file behind.
TEST_F(WispExportTest, FailedExportLeavesNoFileAndTheLogUntouched) {
  const std::string log = Scratch("own.wisp");
  std::filesystem::copy_file(Recorded(), log);
  const auto size = std::filesystem::file_size(log);

  ToolResult run = Wisp({"export", log, "-o", log});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("overwrite the log"), std::string::npos) << run.err;
  EXPECT_EQ(std::filesystem::file_size(log), size);

  run = Wisp({"export", log, "-o", Scratch("missing/folder/out.wpilog")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot create"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(Scratch("missing")));

  // Only a regular file is replaced by an export.
  run = Wisp({"export", log, "-o", "/dev/null"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

// An export that would hold nothing fails and says why, naming the glob
// that picked nothing and the signals it may have meant, and leaves no file
// (it used to succeed with "exported 0 signals" and a 38-byte file).
TEST_F(WispExportTest, ExportOfNothingFailsAndWritesNoFile) {
  const std::string firstChunkDamaged = Scratch("first.wisp");
  std::filesystem::copy_file(Recorded(), firstChunkDamaged);
  std::filesystem::resize_file(firstChunkDamaged, 100);  // the header and the start of the first chunk
  const auto damagedLog = WispReader::ReadFile(firstChunkDamaged);
  ASSERT_TRUE(damagedLog.report.Damaged());
  ASSERT_EQ(damagedLog.report.chunks, 0u);
  const auto header = damagedLog.report.intactBytes;

  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::vector<std::string> says;
  } cases[] = {
      {"a misspelt signal",
       {"--signals", "/drivebus/rapax q 1/Velocty"},
       {"'/drivebus/rapax q 1/Velocty' matches no signal", "/drivebus/rapax q 1/Velocity\n"}},
      {"one glob of two picking nothing",
       {"--signals", "/user/*", "--signals", "*/Velocty"},
       {"'*/Velocty' matches no signal", "/drivebus/angulon 3/Velocity\n"}},
      {"a window ending before the log", {"--to=-inf"}, {"no sample lies between", "spans 1.000 s to"}},
      {"a window after the log", {"--from", "50", "--to", "60"}, {"no sample lies between"}},
      {"a window between two samples of the signal",
       {"--signals", "/user/loop/count", "--from", "1.001", "--to", "1.002"},
       {"nothing to export", "was not written"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> arguments{"export", Recorded(), "-o", Scratch("none.wpilog")};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ToolResult run = Wisp(arguments);
    EXPECT_EQ(run.status, 1) << run.out;
    for (const auto& text : c.says) EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("exported"), std::string::npos) << run.out;
  }

  const ToolResult damaged = Wisp({"export", firstChunkDamaged, "-o", Scratch("none.wpilog")});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.err.find("holds no samples to export; it is damaged from byte " + std::to_string(header)),
            std::string::npos)
      << damaged.err;

  // Nothing was left behind, not even a partial file.
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"first.wisp", "tool.err", "tool.out"}));
}

// A killed export leaves OUT.partial-XXXXXX behind; the next export to OUT
// removes those that no running export holds, and nothing else.
TEST_F(WispExportTest, NextExportRemovesPartialFilesOfKilledExports) {
  const std::string out = Scratch("match.wpilog");
  auto touch = [](const std::string& path) { std::ofstream(path) << "half an export"; };
  touch(out + ".partial-a1B2c3");  // left by a killed export
  touch(out + ".partial-Zz9900");  // another one
  // An export still running holds its file locked.
  touch(out + ".partial-Run123");
  const int running = ::open((out + ".partial-Run123").c_str(), O_RDONLY);
  ASSERT_GE(running, 0);
  ASSERT_EQ(::flock(running, LOCK_EX), 0);
  // Names that only look alike are someone else's.
  touch(Scratch("other.wpilog.partial-a1B2c3"));
  touch(out + ".partial-a1B2c3.keep");
  touch(out + ".partial-a1-2c3");
  std::filesystem::create_symlink(out + ".partial-Zz9900", out + ".partial-Link00");

  const ToolResult run = Wisp({"export", Recorded(), "-o", out});
  ASSERT_EQ(run.status, 0) << run.err;
  ::close(running);

  std::set<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    const std::string name = entry.path().filename();
    if (name.find("partial") != std::string::npos) left.insert(name);
  }
  EXPECT_EQ(left, (std::set<std::string>{"match.wpilog.partial-Run123", "other.wpilog.partial-a1B2c3",
                                         "match.wpilog.partial-a1B2c3.keep", "match.wpilog.partial-a1-2c3",
                                         "match.wpilog.partial-Link00"}));
  EXPECT_TRUE(std::filesystem::is_regular_file(out));
}

}  // namespace
