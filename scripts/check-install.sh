#!/usr/bin/env bash
# Installs the default build into a scratch prefix and builds the out-of-tree
# consumer against it, then runs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(mktemp -d)
consumer_build=$(mktemp -d)
trap 'rm -rf "$prefix" "$consumer_build"' EXIT
cmake --install "$root/build" --prefix "$prefix" >/dev/null
cmake -S "$root/cmake/consumer" -B "$consumer_build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$consumer_build" >/dev/null
LD_LIBRARY_PATH="$prefix/lib" "$consumer_build/consumer"
# The JVM bindings (when built) load from the install with nothing but its
# library folder as java.library.path: the jar sits beside the libraries and
# the library finds the runtime next to itself.
if [ -f "$prefix/lib/zephrin6-swerve.jar" ]; then
  java -Djava.library.path="$prefix/lib" \
    -cp "$prefix/lib/zephrin6-swerve.jar:$root/build/lib/zephrin6-swerve-tests.jar" \
    com.kvor.zephrin6.swerve.jni.SwerveJNITest >/dev/null
  # SimClock's own library too, found beside the others.
  java -Djava.library.path="$prefix/lib" -Dzephrin6.work="$consumer_build/java-log" \
    -cp "$prefix/lib/zephrin6-swerve.jar:$root/build/lib/zephrin6-swerve-tests.jar" \
    com.kvor.zephrin6.SimLogReplayTest >/dev/null 2>&1
fi
# The Python package (when built) imports from the install with nothing but
# its site folder on the path: the module finds the libraries through its
# run path.
module=$(find "$prefix" -name '_zephrin6.*.so' | head -n 1)
if [ -n "$module" ]; then
  PYTHONPATH="$(dirname "$(dirname "$module")")" python3 -c \
    'import zephrin6; from zephrin6 import swerve; assert swerve.Pose2d(1.0, 2.0).x() == 1.0'
fi
