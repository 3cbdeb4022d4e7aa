#include "wisp/WispReader.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>

#include <kvor/zephrin6/core/WispReplay.hpp>

#include "logging/LoggingFixture.hpp"
#include "support/CraftedLogs.hpp"
#include "wisp/ChunkBuilder.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispChunkReader.hpp"
#include "wisp/WispFileWriter.hpp"
#include "wisp/internal/ByteSource.hpp"

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
      if (c == 0) {
        EXPECT_TRUE(chunk.AddDevice({0xABCD, 3, "rapax q", "drivebus"}));
      }
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
  ASSERT_TRUE(chunk.AddSignalDefinition({7, "Velocity", "turns/s"}));
  ASSERT_TRUE(chunk.AddDevice({0x1234, 5, "auklet 2", "chassis"}));
  chunk.AddFrame({0x1234, 7, {-1.25, 2.6, 2.599, 2.598, -1003, 9}});
  ASSERT_TRUE(chunk.AddUserSignalDefinition({0, 4, "arm/angle", "deg"}));
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
  EXPECT_EQ(log.devices[0].bus, "chassis");
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

namespace {

using kvor::zephrin::runtime::wisp::internal::ByteSource;

// A medium that fails once `good` bytes have been read.
class FailingSource final : public ByteSource {
 public:
  FailingSource(std::vector<uint8_t> bytes, std::size_t good) : bytes_(std::move(bytes)), good_(good) {}
  uint64_t Size() const override { return bytes_.size(); }
  uint64_t Position() const override { return at_; }
  bool Read(std::size_t size, std::span<const uint8_t>& out, std::string& error) override {
    if (at_ + size > good_) {
      error = "Input/output error";
      return false;
    }
    out = std::span<const uint8_t>(bytes_).subspan(at_, std::min(size, bytes_.size() - at_));
    at_ += out.size();
    return true;
  }
  bool Seek(uint64_t position) override {
    at_ = static_cast<std::size_t>(std::min<uint64_t>(position, bytes_.size()));
    return true;
  }

 private:
  std::vector<uint8_t> bytes_;
  std::size_t good_;
  std::size_t at_ = 0;
};

uint64_t HeldBytes(const WispLog& log) {
  return log.frames.size() * sizeof(Frame) + log.userSamples.size() * sizeof(UserSample);
}

}  // namespace

// Directories and devices are refused at once with the documented status
// (a directory used to throw from the stream, /dev/zero to be read without
// end), and replay turns that into its documented exception.
TEST_F(WispReaderTest, NonRegularFilesAreRefusedWithTheDocumentedError) {
  std::filesystem::create_directories(folder_);
  for (const std::string& path : {folder_.string(), std::string("/dev/zero"), std::string("/dev/null")}) {
    SCOPED_TRACE(path);
    const WispLog log = WispReader::ReadFile(path);
    EXPECT_EQ(log.report.status, kInvalidFile);
    EXPECT_FALSE(log.report.refusal.empty());
    try {
      static_cast<void>(kvor::zephrin6::WispReplay::LoadFile(path.c_str()));  // throws
      ADD_FAILURE() << "loading did not throw";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Could not open or read the given file.");
    }
  }
}

// A read error of the medium in a chunk ends the read there like damage,
// keeping every chunk before it; in the header it refuses the file.
TEST_F(WispReaderTest, ReadErrorsOfTheMediumEndTheReadKeepingWhatCameBefore) {
  std::vector<uint64_t> ends;
  const std::vector<uint8_t> bytes = MakeLog(3, &ends);

  WispChunkReader reader;
  ASSERT_EQ(reader.Open(std::make_unique<FailingSource>(bytes, ends[1] + 10)), kOK);
  WispChunk chunk;
  int chunks = 0;
  while (reader.Next(chunk)) ++chunks;
  EXPECT_EQ(chunks, 2);
  EXPECT_EQ(reader.Report().intactBytes, ends[1]);
  EXPECT_NE(reader.Report().damage.find("Input/output error"), std::string::npos) << reader.Report().damage;

  EXPECT_EQ(reader.Open(std::make_unique<FailingSource>(bytes, 20)), kInvalidFile);
  EXPECT_NE(reader.Report().refusal.find("read error"), std::string::npos);
  EXPECT_FALSE(reader.Next(chunk));
}

// The chunk reader hands out the log chunk by chunk, each starting where the
// previous one ended, with the same records a whole read gives.
TEST_F(WispReaderTest, ChunkReaderWalksTheLogChunkByChunk) {
  std::vector<uint64_t> ends;
  const std::vector<uint8_t> bytes = MakeLog(4, &ends);
  const WispLog whole = WispReader::Read(bytes);

  WispChunkReader reader;
  ASSERT_EQ(reader.Open(bytes), kOK);
  WispChunk chunk;
  std::vector<Frame> frames;
  uint64_t previousEnd = reader.Report().intactBytes;
  for (std::size_t c = 0; reader.Next(chunk); ++c) {
    SCOPED_TRACE("chunk " + std::to_string(c));
    EXPECT_EQ(chunk.offset, previousEnd);
    EXPECT_EQ(chunk.endOffset, ends.at(c));
    previousEnd = chunk.endOffset;
    frames.insert(frames.end(), chunk.frames.begin(), chunk.frames.end());
  }
  EXPECT_FALSE(reader.Report().Damaged());
  EXPECT_EQ(reader.Report().chunks, 4u);
  ASSERT_EQ(frames.size(), whole.frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i].value.value, whole.frames[i].value.value);
}

// Small crafted files whose chunks unfold into huge records (one of 18 KB
// used to take 1.4 GB) are read only up to the bound they pass, with the
// reason, and the reader never holds more than its documented bound.
TEST_F(WispReaderTest, CraftedLogsCannotMakeTheReaderHoldMoreThanItsBound) {
  std::filesystem::create_directories(folder_);
  struct Case {
    const char* what;
    int chunks;
    std::function<void(ChunkBuilder&)> fill;
    const char* reason;
    uint32_t fewestChunks, mostChunks;  // accepted before the bound
  } cases[] = {
      {"chunks claiming 64 MiB of user samples", 4,
       [](ChunkBuilder& c) { zephrin_test::FillWithUserSamples(c, 64u << 20); }, "a chunk may hold", 0, 0},
      {"a chunk of user samples taking 90 MiB once read", 2,
       [](ChunkBuilder& c) { zephrin_test::FillWithUserSamples(c, kMaxChunkPayload); }, "of records a chunk may hold",
       0, 0},
      {"chunks of frames past the budget for the file's size", 12,
       [](ChunkBuilder& c) { zephrin_test::FillWithFrames(c, kMaxChunkPayload); }, "the most this reader holds", 1, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = Scratch("crafted.wisp");
    const uint64_t size = zephrin_test::WriteCraftedLog(path, c.chunks, c.fill);
    EXPECT_LT(size, 128u << 10);
    const WispLog log = WispReader::ReadFile(path);
    ASSERT_EQ(log.report.status, kOK);
    EXPECT_NE(log.report.damage.find(c.reason), std::string::npos) << log.report.damage;
    EXPECT_GE(log.report.chunks, c.fewestChunks);
    EXPECT_LE(log.report.chunks, c.mostChunks);
    EXPECT_LE(HeldBytes(log), kLogRecordBytesBase + kLogRecordBytesPerFileByte * size);
  }
}

// The frame count read from the chunk headers alone matches what the chunks
// hold, leaves the reader where it was, and stops where the headers stop:
// a reader that sizes its frame array with it reads the same log.
TEST_F(WispReaderTest, FramesAheadCountsFromTheHeadersWithoutMovingTheReader) {
  std::vector<uint64_t> ends;
  const std::vector<uint8_t> bytes = MakeLog(4, &ends);

  WispChunkReader reader;
  ASSERT_EQ(reader.Open(bytes), kOK);
  EXPECT_EQ(reader.FramesAhead(), 40u);
  EXPECT_EQ(reader.FramesAhead(), 40u);
  WispChunk chunk;
  ASSERT_TRUE(reader.Next(chunk));
  EXPECT_EQ(chunk.frames.front().value.value, 0.0);
  EXPECT_EQ(reader.FramesAhead(), 30u);
  ASSERT_TRUE(reader.Next(chunk));
  EXPECT_EQ(chunk.frames.front().value.value, 10.0);

  // A log cut inside its third chunk: only the first two headers count, and
  // the read still ends at the cut as damage, with both chunks kept.
  const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(ends[1] + 40));
  ASSERT_EQ(reader.Open(cut), kOK);
  EXPECT_EQ(reader.FramesAhead(), 20u);
  const WispLog log = WispReader::Read(cut);
  EXPECT_EQ(log.frames.size(), 20u);
  EXPECT_TRUE(log.report.Damaged());
  EXPECT_EQ(log.report.intactBytes, ends[1]);

  // A header claiming far more records than its payload has room for counts
  // only what the payload could hold; the chunk itself is then refused.
  std::vector<uint8_t> lying = bytes;
  const std::size_t countAt = static_cast<std::size_t>(ends[0]) + 4 + 4 + 4;  // magic, stored and raw sizes
  const uint32_t claimed = 1u << 30;
  std::memcpy(lying.data() + countAt, &claimed, sizeof claimed);
  ASSERT_EQ(reader.Open(lying), kOK);
  const uint64_t ahead = reader.FramesAhead();
  EXPECT_LE(ahead, 40u + (kMaxChunkPayload / kFrameRecordBytes));
  EXPECT_EQ(WispReader::Read(lying).frames.size(), 10u);
}
