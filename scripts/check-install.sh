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
