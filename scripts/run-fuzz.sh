#!/usr/bin/env bash
# Builds the libFuzzer targets of the runtime's parsers of outside data (the
# .wisp readers, the config text parser and the tune-file reader) with clang
# and runs each for a short while, starting from the committed seed corpus
# (fuzz/corpus/, made by the fuzz-seeds tool from real runs; the tunes by
# tools/music/write_tune.py). The .wisp format library is built
# by CMake with fuzzing instrumentation and linked as it is everywhere else.
# Usage:
#   scripts/run-fuzz.sh [seconds per target]        (default 20)
# Needs clang++ with libFuzzer, zlib and zstd. Exits non-zero when the fuzzer
# finds a crash or an input makes a target pass its memory limit; the input
# is left in build-fuzz/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
out="$root/build-fuzz"
if ! command -v clang++ >/dev/null; then
  echo "run-fuzz: clang++ not found; skipping" >&2
  exit 0
fi
instrument="-fsanitize=fuzzer-no-link,address,undefined -O1 -g"
cmake -S "$root" -B "$out/cmake" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$instrument" -DZEPHRIN_BUILD_TESTS=OFF -DZEPHRIN_BUILD_BENCHMARKS=OFF \
  -DZEPHRIN_BUILD_EXAMPLES=OFF -DZEPHRIN_BUILD_TOOLS=OFF >/dev/null
cmake --build "$out/cmake" --target zephrin_wisp >/dev/null

flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I"$root/runtime/include")
clang++ "${flags[@]}" -I"$out/cmake/runtime/src/wisp/include" "$root/fuzz/wisp_reader_fuzz.cpp" \
  "$out/cmake/lib/libzephrin_wisp.a" -lz -lzstd -o "$out/wisp_reader_fuzz"
clang++ "${flags[@]}" -I"$root/runtime/src" "$root/fuzz/config_text_fuzz.cpp" "$root/runtime/src/configs/ConfigText.cpp" \
  -o "$out/config_text_fuzz"
clang++ "${flags[@]}" -I"$root/runtime/src" "$root/fuzz/tune_file_fuzz.cpp" "$root/runtime/src/music/TuneFile.cpp" \
  -o "$out/tune_file_fuzz"

# The fuzzers add what they find to working copies of the corpus.
for target in wisp_reader config_text tune_file; do
  mkdir -p "$out/corpus/$target"
  cp -n "$root/fuzz/corpus/$target"/* "$out/corpus/$target/"
done

# The memory limit enforces the readers' documented bounds: for inputs of at
# most 32 KiB a whole-log read holds at most 72 MiB of records and a chunk
# read 16 MiB of payload and 32 MiB of records. 512 MiB leaves room for
# vector growth and the sanitizers' own memory (quarantine capped at 64 MiB)
# yet fails at once on a reader that lets a small file unfold into
# gigabytes.
export ASAN_OPTIONS=quarantine_size_mb=64
cd "$out"
./wisp_reader_fuzz -max_total_time="$seconds" -max_len=32768 -rss_limit_mb=512 corpus/wisp_reader
./config_text_fuzz -max_total_time="$seconds" -max_len=1024 -rss_limit_mb=512 corpus/config_text
./tune_file_fuzz -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=512 corpus/tune_file
