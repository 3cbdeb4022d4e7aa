#!/usr/bin/env bash
# Soaks the swerve odometry thread on the real clock: a simulated
# four-module drivetrain on a CAN FD bus samples at 250 Hz for about a
# minute (or the number of seconds given), then the run must show a sample
# count within 1 % of the expected one and no failed sample. Prints the
# averaged and the worst sample period. Not part of the test suites: it
# takes real time and wants a quiet machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
cmake --preset default >/dev/null
cmake --build --preset default --target odometry_soak >/dev/null
./build/bin/odometry_soak "$seconds"
