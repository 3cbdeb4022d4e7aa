#!/usr/bin/env bash
# Builds the libFuzzer targets of the runtime's parsers of outside data (the
# .wisp reader, the config text parser and the tune-file reader) with clang (outside CMake: they
# need -fsanitize=fuzzer) and runs each for a short while. The log reader
# starts from a few valid logs written by the runtime's own writer, the tune
# reader from files written by tools/music/write_tune.py. Usage:
#   scripts/run-fuzz.sh [seconds per target]        (default 20)
# Needs clang++ with libFuzzer, zlib and zstd. Exits non-zero when the fuzzer
# finds a crash; the crashing input is left in build-fuzz/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
out="$root/build-fuzz"
mkdir -p "$out/corpus"
if ! command -v clang++ >/dev/null; then
  echo "run-fuzz: clang++ not found; skipping" >&2
  exit 0
fi
sources=("$root"/runtime/src/wisp/*.cpp)
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I"$root/runtime/src" -I"$root/runtime/include")
clang++ "${flags[@]}" "$root/fuzz/wisp_reader_fuzz.cpp" "${sources[@]}" -lz -lzstd -o "$out/wisp_reader_fuzz"

# Seeds: small logs from the writer, so the fuzzer starts past the header
# and CRC checks.
cat > "$out/make_seeds.cpp" <<'CPP'
#include "wisp/ChunkBuilder.hpp"
#include "wisp/WispFileWriter.hpp"
#include <string>
using namespace kvor::zephrin::runtime::wisp;
int main(int, char** argv) {
  for (int variant = 0; variant < 3; ++variant) {
    WispFileWriter writer;
    writer.Open(std::string(argv[1]) + "/seed" + std::to_string(variant) + ".wisp", 1.0, 0,
                variant == 2 ? Compression::None : Compression::Zstd);
    ChunkBuilder chunk;
    for (int c = 0; c <= variant; ++c) {
      chunk.Clear();
      chunk.AddDevice({0x42, 1, "rapax q", "drivebus"});
      chunk.AddSignalDefinition({2045, "Velocity", "turns/s"});
      chunk.AddUserSignalDefinition({0, 4, "x", "m"});
      UserSample sample{0, 8, 1.0 + c, {}};
      chunk.AddUserSample(sample);
      for (int i = 0; i < 4; ++i) chunk.AddFrame({0x42, 2045, {double(i), 1.0 + c + i * 0.01, 1.0, 0.0, 0, 2045}});
      chunk.AddDropped(1.0, 3);
      writer.WriteChunk(chunk);
    }
    chunk.Clear();
    chunk.AddEnd(9.0);
    writer.WriteChunk(chunk);
  }
}
CPP
clang++ -std=c++20 -O1 -I"$root/runtime/src" -I"$root/runtime/include" "$out/make_seeds.cpp" "${sources[@]}" -lz -lzstd \
  -o "$out/make_seeds"
"$out/make_seeds" "$out/corpus"

clang++ "${flags[@]}" "$root/fuzz/config_text_fuzz.cpp" "$root/runtime/src/configs/ConfigText.cpp" \
  -o "$out/config_text_fuzz"
mkdir -p "$out/config-corpus"
printf '2155:i=1;2159:d=0.04;' > "$out/config-corpus/seed0"
printf '1016:d=2.5;junk;2216:d=0;' > "$out/config-corpus/seed1"

clang++ "${flags[@]}" "$root/fuzz/tune_file_fuzz.cpp" "$root/runtime/src/music/TuneFile.cpp" \
  -o "$out/tune_file_fuzz"
mkdir -p "$out/tune-corpus"
python3 "$root/tools/music/write_tune.py" "$root/tools/music/scale.notes" "$out/tune-corpus/scale.ztune"
printf '0 0 0.5 A4\n0 0.5 0.25 440.5\n' | python3 "$root/tools/music/write_tune.py" - "$out/tune-corpus/one.ztune"

cd "$out"
./wisp_reader_fuzz -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=1024 corpus
./config_text_fuzz -max_total_time="$seconds" -max_len=512 -rss_limit_mb=1024 config-corpus
./tune_file_fuzz -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=1024 tune-corpus
