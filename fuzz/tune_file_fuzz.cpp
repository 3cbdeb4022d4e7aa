// libFuzzer target for the music engine's tune-file reader: any bytes must
// parse without a crash, an out-of-bounds read or an allocation beyond what
// the input's own length allows, and whatever is accepted must keep the
// promises players rely on (tracks in time order, tones not overlapping,
// frequencies in range, the length covering every tone).

#include <cstdint>
#include <cstdlib>
#include <span>

#include "music/TuneFile.hpp"

using kvor::zephrin::runtime::music::ParseTune;
using kvor::zephrin::runtime::music::Tune;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Tune tune;
  if (ParseTune(std::span<const uint8_t>(data, size), tune) != 0) {
    if (!tune.tracks.empty()) std::abort();  // a refused file must leave the output alone
    return 0;
  }
  if (tune.tracks.empty() || tune.tracks.size() > kvor::zephrin::runtime::music::kMaxTracks) std::abort();
  size_t tones = 0;
  for (const auto& track : tune.tracks) {
    uint64_t previousEnd = 0;
    for (const auto& tone : track) {
      if (tone.startMs < previousEnd || tone.durationMs == 0) std::abort();
      if (!(tone.hz > 0.0 && tone.hz <= 20000.0)) std::abort();
      if (tone.EndMs() > tune.lengthMs) std::abort();
      previousEnd = tone.EndMs();
      ++tones;
    }
  }
  if (16 + 4 * tune.tracks.size() + 12 * tones != size) std::abort();
  return 0;
}
