#include "wisp/WispReader.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "logging/LoggingFixture.hpp"
#include "wisp/ChunkBuilder.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispFileWriter.hpp"

namespace {

using namespace kvor::zephrin::runtime::wisp;
using zephrin_test::ReadBytes;
using zephrin_test::WriteBytes;

class WispReaderTest : public zephrin_test::LoggingTest {
 protected:
  // Writes a log of `chunks` chunks, chunk c holding frames c*10 .. c*10+9
  // of one signal, and returns its bytes; chunkEnds receives the file
  // offset after each chunk.
  std::vector<uint8_t> MakeLog(int chunks, std::vector<uint64_t>* chunkEnds = nullptr) {
    const std::string path = Scratch("made.wisp");
    std::filesystem::create_directories(folder_);
    WispFileWriter writer;
    EXPECT_TRUE(writer.Open(path, 5.0, 1700000000));
    ChunkBuilder chunk;
    for (int c = 0; c < chunks; ++c) {
      chunk.Clear();
      if (c == 0) chunk.AddDevice({0xABCD, 3, "rapax q", "drivebus"});
      for (int i = 0; i < 10; ++i) {
        Frame f{0xABCD, 7, {}};
        f.value = {double(c * 10 + i), 5.0 + (c * 10 + i) * 0.01, 5.001, 0.0, 0, 7};
        chunk.AddFrame(f);
      }
      EXPECT_TRUE(writer.WriteChunk(chunk));
      if (chunkEnds) chunkEnds->push_back(writer.BytesWritten());
    }
    writer.Close();
    return ReadBytes(path);
  }
};

// Every record kind comes back field for field, including user payloads.
TEST_F(WispReaderTest, ReadsBackEveryRecordKindExactly) {
  const std::string path = Scratch("all.wisp");
  std::filesystem::create_directories(folder_);
  WispFileWriter writer;
  ASSERT_TRUE(writer.Open(path, 2.5, 1700000000));
  ChunkBuilder chunk;
  chunk.AddSignalDefinition({7, "Velocity", "turns/s"});
  chunk.AddDevice({0x1234, 5, "auklet 2", "rio"});
  chunk.AddFrame({0x1234, 7, {-1.25, 2.6, 2.599, 2.598, -1003, 9}});
  chunk.AddUserSignalDefinition({0, 4, "arm/angle", "deg"});
  UserSample sample{0, 3, 2.55, {}};
  sample.payload = {1, 2, 3};
  chunk.AddUserSample(sample);
  chunk.AddDropped(2.7, 42);
  chunk.AddEnd(2.8);
  ASSERT_TRUE(writer.WriteChunk(chunk));
  writer.Close();

  const WispLog log = WispReader::ReadFile(path);
  ASSERT_EQ(log.report.status, kOK);
  EXPECT_FALSE(log.report.Damaged());
  EXPECT_TRUE(log.report.cleanEnd);
  EXPECT_EQ(log.header.formatVersion, kFormatVersion);
  EXPECT_EQ(log.header.runtimeVersion, kRuntimeVersionText);
  EXPECT_EQ(log.header.startTime, 2.5);
  EXPECT_EQ(log.header.wallClockStart, 1700000000);
  ASSERT_EQ(log.signals.size(), 1u);
  EXPECT_EQ(log.signals[0].name, "Velocity");
  EXPECT_EQ(log.signals[0].units, "turns/s");
  ASSERT_EQ(log.devices.size(), 1u);
  EXPECT_EQ(log.devices[0].model, "auklet 2");
  EXPECT_EQ(log.devices[0].bus, "rio");
  EXPECT_EQ(log.devices[0].deviceId, 5);
  ASSERT_EQ(log.frames.size(), 1u);
  const FrameValue& v = log.frames[0].value;
  EXPECT_EQ(log.frames[0].Key(), (uint64_t{7} << 32) | 0x1234);
  EXPECT_EQ(v.value, -1.25);
  EXPECT_EQ(v.systemTime, 2.6);
  EXPECT_EQ(v.bustrelTime, 2.599);
  EXPECT_EQ(v.deviceTime, 2.598);
  EXPECT_EQ(v.status, -1003);
  EXPECT_EQ(v.reportedId, 9);
  ASSERT_EQ(log.userSamples.size(), 1u);
  EXPECT_EQ(log.userSamples[0].size, 3);
  EXPECT_EQ(log.userSamples[0].payload[2], 3);
  EXPECT_EQ(log.userSamples[0].time, 2.55);
  EXPECT_EQ(log.userSignals.at(0).name, "arm/angle");
  EXPECT_EQ(log.droppedSamples, 42u);
  EXPECT_EQ(log.firstTime, 2.5);
  EXPECT_EQ(log.lastTime, 2.8);
}

// Input that is not a readable log is refused with the status naming why.
TEST_F(WispReaderTest, RefusesUnreadableInputWithTheNamedStatus) {
  const std::vector<uint8_t> good = MakeLog(1);
  std::mt19937 random(7);
  std::vector<uint8_t> noise(4096);
  for (auto& b : noise) b = static_cast<uint8_t>(random());

  auto withVersion = [&](uint16_t version) {
    auto bytes = good;
    std::memcpy(bytes.data() + 8, &version, 2);
    return bytes;
  };
  auto headerFlipped = good;
  headerFlipped[20] ^= 0x40;  // inside the runtime version text

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t status;
  } cases[] = {
      {"empty file", {}, kInvalidFile},
      {"random bytes", noise, kInvalidFile},
      {"half a magic", {good.begin(), good.begin() + 4}, kInvalidFile},
      {"newer format", withVersion(kFormatVersion + 1), kWispLogTooNew},
      {"older format", withVersion(kOldestReadableVersion - 1), kWispLogTooOld},
      {"damaged header", headerFlipped, kInvalidFile},
      {"header cut short", {good.begin(), good.begin() + 30}, kInvalidFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const WispLog log = WispReader::Read(c.bytes);
    EXPECT_EQ(log.report.status, c.status);
    EXPECT_TRUE(log.frames.empty());
  }
  EXPECT_EQ(WispReader::ReadFile(Scratch("missing.wisp")).report.status, kInvalidFile);
}

// A log cut anywhere inside its last two chunks (as a killed process leaves
// it) reads every chunk before the cut and nothing of the cut one.
TEST_F(WispReaderTest, TruncatedTailKeepsEveryIntactChunk) {
  std::vector<uint64_t> ends;
  const std::vector<uint8_t> bytes = MakeLog(4, &ends);
  for (uint64_t cut = ends[1]; cut < bytes.size(); ++cut) {
    SCOPED_TRACE("cut at byte " + std::to_string(cut));
    const WispLog log = WispReader::Read(std::span(bytes.data(), cut));
    ASSERT_EQ(log.report.status, kOK);
    const auto intactChunks = static_cast<uint32_t>(std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin());
    EXPECT_EQ(log.report.chunks, intactChunks);
    EXPECT_EQ(log.report.intactBytes, ends[intactChunks - 1]);
    EXPECT_EQ(log.report.Damaged(), cut != ends[intactChunks - 1]);
    ASSERT_EQ(log.frames.size(), intactChunks * 10u);
    EXPECT_EQ(log.frames.back().value.value, intactChunks * 10.0 - 1);
  }
}

// Any single flipped byte inside a chunk is caught; the read ends before it.
TEST_F(WispReaderTest, FlippedByteInsideAChunkEndsTheReadBeforeIt) {
  std::vector<uint64_t> ends;
  const std::vector<uint8_t> bytes = MakeLog(3, &ends);
  for (uint64_t at = ends[0]; at < ends[1]; ++at) {
    SCOPED_TRACE("flipped byte " + std::to_string(at));
    auto damaged = bytes;
    damaged[at] ^= 0x01;
    const WispLog log = WispReader::Read(damaged);
    ASSERT_EQ(log.report.status, kOK);
    EXPECT_EQ(log.report.chunks, 1u);
    EXPECT_TRUE(log.report.Damaged());
    EXPECT_EQ(log.frames.size(), 10u);
  }
}

}  // namespace
