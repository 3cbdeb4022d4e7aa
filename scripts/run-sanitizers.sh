#!/usr/bin/env bash
# Builds the sanitizer presets and runs the suites of the concurrent and
# memory-owning parts under them (labels are the tests/ folder names).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
labels=${ZEPHRIN_SANITIZER_LABELS:-"runtime|core"}
for preset in asan tsan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -L "$labels"
done
