#!/usr/bin/env bash
# Builds the sanitizer presets and runs, under AddressSanitizer and
# ThreadSanitizer, the suites of the parts that own memory across threads:
# the runtime services, signal cache and control path, configurators, the
# log writer, the music engine's playback thread, the simulated firmware
# and the swerve drivetrain with its odometry thread. Only those test executables are built (the
# pure-math suites gain nothing from a sanitizer run and cost minutes; the
# swerve suite runs for its drivetrain).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
areas=${ZEPHRIN_SANITIZER_AREAS:-"core controls signals hardware configs runtime logging integration music firmware swerve"}
for preset in asan tsan; do
  cmake --preset "$preset" >/dev/null
  targets=()
  labels=()
  for area in $areas; do
    if [ -d "tests/$area" ]; then
      targets+=("${area}_tests")
      labels+=("$area")
    fi
  done
  [ ${#targets[@]} -eq 0 ] && continue
  cmake --build --preset "$preset" --target "${targets[@]}"
  label_regex=$(IFS='|'; echo "^(${labels[*]})\$")
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ASAN_OPTIONS="detect_leaks=1" \
    ctest --preset "$preset" -L "$label_regex"
done
