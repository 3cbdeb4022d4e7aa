#include "music/TuneFile.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace kvor::zephrin::runtime::music {
namespace {

constexpr int kOk = 0;
constexpr int kMusicFileNotFound = -1900;
constexpr int kMusicFileWrongSize = -1901;
constexpr int kMusicFileTooNew = -1902;
constexpr int kMusicFileInvalid = -1903;
constexpr int kMusicFileTooOld = -1905;

constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kToneBytes = 12;
constexpr uint16_t kVersion = 1;
constexpr uint32_t kMaxMilliHertz = 20'000'000;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

int ParseTune(std::span<const uint8_t> bytes, Tune& out) {
  if (bytes.size() < 4 || std::memcmp(bytes.data(), "ZTUN", 4) != 0) return kMusicFileInvalid;
  if (bytes.size() < kHeaderBytes) return kMusicFileWrongSize;
  const uint16_t version = U16(bytes.data() + 4);
  if (version < kVersion) return kMusicFileTooOld;
  if (version > kVersion) return kMusicFileTooNew;
  if (U32(bytes.data() + 12) != 0) return kMusicFileInvalid;
  const uint16_t trackCount = U16(bytes.data() + 6);
  if (trackCount == 0 || trackCount > kMaxTracks) return kMusicFileInvalid;
  // 64-bit arithmetic: a tone count near 2^32 must not wrap the expected length.
  const uint64_t toneCount = U32(bytes.data() + 8);
  const uint64_t expected = kHeaderBytes + 4ull * trackCount + kToneBytes * toneCount;
  if (bytes.size() > kMaxTuneBytes || expected != bytes.size()) return kMusicFileWrongSize;

  Tune tune;
  tune.tracks.resize(trackCount);
  const uint8_t* table = bytes.data() + kHeaderBytes;
  uint64_t listed = 0;
  for (uint16_t t = 0; t < trackCount; ++t) listed += U32(table + 4 * t);
  if (listed != toneCount) return kMusicFileInvalid;

  const uint8_t* record = table + 4 * trackCount;
  for (uint16_t t = 0; t < trackCount; ++t) {
    const uint32_t count = U32(table + 4 * t);
    std::vector<Tone>& track = tune.tracks[t];
    track.reserve(count);  // bounded: the counts add up to what the file length allows
    uint64_t previousEnd = 0;
    for (uint32_t i = 0; i < count; ++i, record += kToneBytes) {
      Tone tone{U32(record), U32(record + 4), 0.0};
      const uint32_t milliHertz = U32(record + 8);
      if (tone.durationMs == 0 || milliHertz == 0 || milliHertz > kMaxMilliHertz) return kMusicFileInvalid;
      if (tone.startMs < previousEnd) return kMusicFileInvalid;
      tone.hz = milliHertz / 1000.0;
      previousEnd = tone.EndMs();
      track.push_back(tone);
    }
    if (previousEnd > tune.lengthMs) tune.lengthMs = previousEnd;
  }
  out = std::move(tune);
  return kOk;
}

int LoadTune(const char* path, Tune& out) {
  if (path == nullptr) return kMusicFileNotFound;
  struct stat info {};
  if (::stat(path, &info) != 0) return kMusicFileNotFound;
  if (!S_ISREG(info.st_mode)) return kMusicFileInvalid;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), &std::fclose);
  if (!file) return kMusicFileNotFound;
  // Read one byte more than stat promised (at most the limit plus one), so
  // that an oversized file, or one that grew since, shows without holding
  // more than the limit.
  const auto size = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
  std::vector<uint8_t> bytes(std::min(size, kMaxTuneBytes) + 1);
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (std::ferror(file.get())) return kMusicFileInvalid;
  bytes.resize(got);
  if (got > kMaxTuneBytes) {
    // Still tell a file that is no tune at all from a large one.
    return std::memcmp(bytes.data(), "ZTUN", 4) == 0 ? kMusicFileWrongSize : kMusicFileInvalid;
  }
  return ParseTune(bytes, out);
}

}  // namespace kvor::zephrin::runtime::music
