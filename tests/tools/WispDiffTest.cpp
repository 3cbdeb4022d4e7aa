// `wisp diff`: the verdict in its exit status, the first differences and a
// count per signal, on copies of the suite's log rewritten with other chunks
// and a few records changed.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>

#include "tools/ToolsFixture.hpp"
#include "wisp/ChunkBuilder.hpp"
#include "wisp/WispFileWriter.hpp"
#include "wisp/WispReader.hpp"

namespace {

using namespace zephrin_test;
using namespace kvor::zephrin::runtime::wisp;

class WispDiffTest : public ToolsTest {
 protected:
  // Writes the records of `log` again at `path`, every record of a slice of
  // `chunkSeconds` of log time into one chunk, after `edit` had its way
  // with them.
  static void Rewrite(const std::string& path, WispLog log, double chunkSeconds,
                      const std::function<void(WispLog&)>& edit = {}) {
    if (edit) edit(log);
    WispFileWriter writer;
    ASSERT_TRUE(writer.Open(path, log.header.startTime, log.header.wallClockStart));
    ChunkBuilder chunk;
    for (const auto& d : log.devices) ASSERT_TRUE(chunk.AddDevice(d));
    for (const auto& d : log.signals) ASSERT_TRUE(chunk.AddSignalDefinition(d));
    for (const auto& d : log.userSignals) ASSERT_TRUE(chunk.AddUserSignalDefinition(d));
    for (double from = log.firstTime; from <= log.lastTime; from += chunkSeconds) {
      const double to = from + chunkSeconds;
      for (const auto& f : log.frames) {
        if (f.value.systemTime >= from && f.value.systemTime < to) chunk.AddFrame(f);
      }
      for (const auto& s : log.userSamples) {
        if (s.time >= from && s.time < to) chunk.AddUserSample(s);
      }
      ASSERT_TRUE(writer.WriteChunk(chunk));
      chunk.Clear();
    }
    writer.Close();
  }
};

// The same records cut into other chunks are identical; a changed value, a
// missing frame and a changed user sample are shown with their signal, time
// and both values, and counted per signal.
TEST_F(WispDiffTest, ShowsTheFirstDifferencesAndCountsThemPerSignal) {
  const WispLog log = WispReader::ReadFile(Recorded());
  const std::string same = Scratch("same.wisp"), changed = Scratch("changed.wisp");
  Rewrite(same, log, 0.33);

  // The position frames of rapax q 2 and the loop counter's sample at 1.5 s.
  uint32_t hash = 0;
  for (const auto& d : log.devices) {
    if (d.deviceId == 2 && d.model == "rapax q") hash = d.deviceHash;
  }
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < log.frames.size(); ++i) {
    const auto& f = log.frames[i];
    if (f.deviceHash == hash && f.signalId == kvor::zephrin::signal_ids::rapax_q::kPosition) positions.push_back(i);
  }
  ASSERT_GE(positions.size(), 10u);
  uint16_t loop = 0;
  for (const auto& u : log.userSignals) {
    if (u.name == "loop/count") loop = u.index;
  }
  auto line = [](double time, double a, const char* b) {
    char text[128];
    std::snprintf(text, sizeof text, "/drivebus/rapax q 2/Position  t = %.6f s: %.17g | %s\n", time, a, b);
    return std::string(text);
  };
  const Frame& moved = log.frames[positions[3]];
  const Frame& missing = log.frames[positions[7]];
  char movedTo[32];
  std::snprintf(movedTo, sizeof movedTo, "%.17g", moved.value.value + 0.25);
  const std::string movedLine = line(moved.value.systemTime, moved.value.value, movedTo);
  const std::string missingLine = line(missing.value.systemTime, missing.value.value, "(none)");
  Rewrite(changed, log, 0.1, [&](WispLog& l) {
    l.frames[positions[3]].value.value += 0.25;
    l.frames.erase(l.frames.begin() + static_cast<std::ptrdiff_t>(positions[7]));
    for (auto& s : l.userSamples) {
      if (s.definition == loop && std::abs(s.time - 1.5) < 0.005) {
        const int64_t value = 4242;
        std::memcpy(s.payload.data(), &value, sizeof value);
      }
    }
  });

  ToolResult run = Wisp({"diff", Recorded(), same});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("identical: "), std::string::npos) << run.out;

  run = Wisp({"diff", Recorded(), changed});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.out.find(movedLine), std::string::npos) << movedLine << run.out;
  EXPECT_NE(run.out.find(missingLine), std::string::npos) << missingLine << run.out;
  EXPECT_NE(run.out.find("/user/loop/count  t = 1.500000 s: 25 | 4242\n"), std::string::npos) << run.out;
  const std::string compared = std::to_string(positions.size() - 1);
  EXPECT_NE(run.out.find("/drivebus/rapax q 2/Position  1 of " + compared + " differ, 1 only in A\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("/user/loop/count  1 of 50 differ\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("different: 2 of "), std::string::npos) << run.out;

  // A tolerance passes the moved value, not the missing frame; signals
  // left out by a glob are not compared.
  run = Wisp({"diff", Recorded(), changed, "--tolerance", "0.5"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("/drivebus/rapax q 2/Position  0 of " + compared + " differ, 1 only in A\n"),
            std::string::npos)
      << run.out;
  run = Wisp({"diff", Recorded(), changed, "--signals", "/drivebus/rapax q 1/*", "--signals", "/user/mode"});
  EXPECT_EQ(run.status, 0) << run.out;

  // Integers are compared as integers: neighbours past 2^53, equal as
  // doubles, differ.
  uint16_t tags = 0;
  for (const auto& u : log.userSignals) {
    if (u.name == "vision/tags") tags = u.index;
  }
  auto withTag = [&](int64_t tag) {
    return [=](WispLog& l) {
      for (auto& s : l.userSamples) {
        if (s.definition == tags && std::abs(s.time - 1.5) < 0.005) std::memcpy(s.payload.data(), &tag, sizeof tag);
      }
    };
  };
  Rewrite(Scratch("tag.wisp"), log, 0.1, withTag(int64_t{1} << 60));
  Rewrite(Scratch("next.wisp"), log, 0.1, withTag((int64_t{1} << 60) + 1));
  run = Wisp({"diff", Scratch("tag.wisp"), Scratch("next.wisp"), "--tolerance", "0.5"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("/user/vision/tags  1 of 50 differ\n"), std::string::npos) << run.out;
}

// Anything that is not a log on either side gives 2 with the reason, as does
// a glob that picks no signal of either log.
TEST_F(WispDiffTest, NotALogOrNothingSelectedGivesTwo) {
  std::ofstream(Scratch("text.wisp")) << "not a log at all";
  struct Case {
    std::vector<std::string> arguments;
    const char* says;
  } cases[] = {
      {{"diff", Recorded(), Scratch("text.wisp")}, "is not a readable .wisp log"},
      {{"diff", Scratch("missing.wisp"), Recorded()}, "No such file"},
      {{"diff", Recorded(), Recorded(), "--signals", "/user/lop/*"}, "/user/loop/count\n"},
      {{"diff", Recorded(), Recorded(), "--tolerance", "nan"}, "--tolerance"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments[1] + " " + c.arguments[2]);
    const ToolResult run = Wisp(c.arguments);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
}

}  // namespace
