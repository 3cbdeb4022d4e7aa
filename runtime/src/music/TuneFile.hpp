#pragma once

// The reader of the music engine's tune files (format in FORMAT.md): checks a
// file completely and turns it into tracks of tones, or says why not with a
// music status code. Holds at most one file's bytes (1 MiB) while reading.
// Pure functions; thread-safe.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kvor::zephrin::runtime::music {

/// One tone of a track.
struct Tone {
  uint32_t startMs = 0;     ///< from the start of the music, milliseconds
  uint32_t durationMs = 0;  ///< at least 1 millisecond
  double hz = 0.0;          ///< frequency, hertz

  uint64_t EndMs() const { return uint64_t{startMs} + durationMs; }
};

/// A checked tune: every track in time order, tones never overlapping.
struct Tune {
  std::vector<std::vector<Tone>> tracks;
  uint64_t lengthMs = 0;  ///< the latest end of any tone
};

/// Largest file the reader accepts, bytes.
inline constexpr std::size_t kMaxTuneBytes = 1u << 20;
/// Largest track count the format allows.
inline constexpr uint16_t kMaxTracks = 64;

/// Checks `bytes` as a whole tune file and fills `out` (only on success).
/// @return 0, or MusicFileInvalid, MusicFileWrongSize, MusicFileTooOld,
///         MusicFileTooNew as FORMAT.md describes.
[[nodiscard]] int ParseTune(std::span<const uint8_t> bytes, Tune& out);

/// Reads and checks the tune file at `path` (null is refused with
/// MusicFileNotFound). @return 0; MusicFileNotFound; or ParseTune's status.
[[nodiscard]] int LoadTune(const char* path, Tune& out);

}  // namespace kvor::zephrin::runtime::music
