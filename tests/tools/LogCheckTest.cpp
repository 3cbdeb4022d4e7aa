// `wisp check`: the verdict in its exit status and the report a team reads.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "tools/ToolsFixture.hpp"
#include "wisp/ChunkBuilder.hpp"
#include "wisp/WispFileWriter.hpp"

namespace {

using namespace zephrin_test;
using namespace kvor::zephrin::runtime::wisp;
namespace ids = kvor::zephrin::signal_ids::rapax_q;

class LogCheckTest : public ToolsTest {};

// The line of the report that names `signal`.
std::string LineOf(const std::string& report, const std::string& signal) {
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    if (line.find(signal + " ") != std::string::npos) return line;
  }
  return "(no line for " + signal + ")";
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// 0 for an intact log, 1 for a damaged one with where the damage starts, 2
// for anything that is not a log, with the reason.
TEST_F(LogCheckTest, ExitStatusTellsIntactDamagedAndNotALog) {
  const std::string torn = Scratch("torn.wisp");
  std::filesystem::copy_file(Recorded(), torn);
  std::filesystem::resize_file(torn, std::filesystem::file_size(torn) - 100);

  std::ifstream in(Recorded(), std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto flipped = bytes;
  flipped[flipped.size() / 2] ^= 0x10;
  WriteBytes(Scratch("flipped.wisp"), flipped);
  auto newer = bytes;
  newer[8] = 0x7f;
  WriteBytes(Scratch("newer.wisp"), newer);
  std::mt19937 random(11);
  std::vector<uint8_t> noise(5000);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  WriteBytes(Scratch("noise.wisp"), noise);
  WriteBytes(Scratch("empty.wisp"), {});

  struct Case {
    const char* what;
    std::string path;
    int status;
    const char* says;  // in the report, or in the message for a file that is no log
  } cases[] = {
      {"intact log", Recorded(), 0, "damage:     none"},
      {"torn last chunk", torn, 1, "damage:     starts at byte"},
      {"flipped byte", Scratch("flipped.wisp"), 1, "CRC mismatch"},
      {"directory", folder_.string(), 2, "is a directory"},
      {"endless device", "/dev/zero", 2, "not a regular file"},
      {"random bytes", Scratch("noise.wisp"), 2, "not a .wisp log"},
      {"empty file", Scratch("empty.wisp"), 2, "empty file"},
      {"missing file", Scratch("missing.wisp"), 2, "No such file"},
      {"newer format", Scratch("newer.wisp"), 2, "newer log format"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ToolResult run = Wisp({"check", c.path});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE((c.status == 2 ? run.err : run.out).find(c.says), std::string::npos) << run.out << run.err;
  }
}

// A signal is reported with a gap where its interval exceeds three frame
// periods; jitter and slow signals are not gaps.
TEST_F(LogCheckTest, GapsLongerThanThreeFramePeriodsAreCountedPerSignal) {
  const std::string path = Scratch("gaps.wisp");
  WispFileWriter writer;
  ASSERT_TRUE(writer.Open(path, 1.0, 1765000000));
  ChunkBuilder chunk;
  ASSERT_TRUE(chunk.AddDevice({0x51, 4, "rapax q", "drivebus"}));
  ASSERT_TRUE(chunk.AddSignalDefinition({ids::kVelocity, "Velocity", "turns/s"}));
  ASSERT_TRUE(chunk.AddSignalDefinition({ids::kPosition, "Position", "turns"}));
  ASSERT_TRUE(chunk.AddSignalDefinition({ids::kResetFlags, "ResetFlags", ""}));
  ASSERT_TRUE(chunk.AddUserSignalDefinition({0, 4, "arm/angle", "deg"}));
  auto frame = [&](uint16_t id, double t) { chunk.AddFrame({0x51, id, {t, t, t, 0.0, 0, id}}); };
  for (int i = 0; i <= 200; ++i) {
    const double t = 1.0 + i * 0.01;
    if (t <= 2.0 || t >= 2.1 - 1e-9) frame(ids::kVelocity, t);  // 100 Hz, 0.1 s missing after 2 s
    frame(ids::kPosition, t + (i % 2 == 0 ? 0.002 : -0.002));     // 100 Hz with jitter
    if (i % 25 == 0) frame(ids::kResetFlags, t);                  // 4 Hz
    if (i % 2 == 0 && (t < 1.5 || t >= 2.0 - 1e-9)) {  // 50 Hz, 0.5 s missing after 1.48 s
      UserSample s{0, 8, t, {}};
      std::memcpy(s.payload.data(), &t, 8);
      chunk.AddUserSample(s);
    }
  }
  ASSERT_TRUE(writer.WriteChunk(chunk));
  writer.Close();

  const ToolResult run = Wisp({"check", path});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("2 gaps longer than 3 frame periods"), std::string::npos) << run.out;
  EXPECT_NE(LineOf(run.out, "/drivebus/rapax q 4/Velocity").find("1 gap, longest 0.100 s from t = 2.000 s"),
            std::string::npos)
      << run.out;
  EXPECT_NE(LineOf(run.out, "/user/arm/angle").find("1 gap, longest 0.520 s from t = 1.480 s"), std::string::npos)
      << run.out;
  EXPECT_EQ(LineOf(run.out, "/drivebus/rapax q 4/Position").find("gap"), std::string::npos) << run.out;
  EXPECT_EQ(LineOf(run.out, "/drivebus/rapax q 4/ResetFlags").find("gap"), std::string::npos) << run.out;
  EXPECT_NE(LineOf(run.out, "/drivebus/rapax q 4/ResetFlags").find("9 samples"), std::string::npos) << run.out;
}

// `wisp info` and `wisp check` give one log the same time span (from the
// logger's start to the last record) and the same signal and sample counts
// (each signal of each device with frames, each user signal with samples);
// they used to disagree on both.
TEST_F(LogCheckTest, InfoAndCheckAgreeOnTimeSpanAndSignals) {
  const std::string torn = Scratch("torn.wisp");
  std::filesystem::copy_file(Recorded(), torn);
  std::filesystem::resize_file(torn, std::filesystem::file_size(torn) * 2 / 3);
  // The value after `label` on the line that starts with it.
  auto after = [](const std::string& report, const std::string& label) {
    const auto at = report.find("\n" + label);
    if (at == std::string::npos) return std::string("(no ") + label + ")";
    const auto from = report.find_first_not_of(' ', at + 1 + label.size());
    return report.substr(from, report.find('\n', from) - from);
  };
  for (const std::string& log : {Recorded(), torn}) {
    SCOPED_TRACE(log);
    const ToolResult info = Wisp({"info", log});
    const ToolResult check = Wisp({"check", log});
    ASSERT_EQ(info.status, 0) << info.err;
    const std::string span = after(info.out, "log time:");
    EXPECT_EQ(span.substr(0, 6), "1.000 ") << span;
    EXPECT_EQ(after(check.out, "time span:"), span);
    // "N with M samples" leads both lines.
    const std::string signals = after(check.out, "signals:");
    const std::string counts = signals.substr(0, signals.find(';'));
    EXPECT_EQ(after(info.out, "signals:").substr(0, counts.size()), counts) << info.out;
  }
}

}  // namespace
