#!/usr/bin/env bash
# Builds both libraries with clang's thread-safety analysis (preset tsa:
# -Wthread-safety on top of the project's -Werror), so that a field read
# without the mutex that guards it, a call of a function that needs a lock
# without holding it, or a function that takes a lock its caller already
# holds fails the build. First it checks that the analysis is really on: a
# small program with one wrong lock must fail to compile, and the same
# program with the lock right must compile. Clang's other warnings count as
# errors too, except its advice against & on booleans: the geometry's
# finiteness checks use it on purpose, to check every value without a branch.
# Needs clang++ (installed by scripts/install-deps.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

check() {
  clang++ -std=c++20 -fsyntax-only -Wthread-safety -Werror -I"$root/runtime/include" -x c++ - "$@"
}
program='
#include <kvor/zephrin/Mutex.hpp>
struct Counter {
  kvor::zephrin::Mutex mutex;
  int count ZEPHRIN_GUARDED_BY(mutex) = 0;
  void Add() {
    LOCK
    ++count;
  }
};
'
if ! sed 's/LOCK/kvor::zephrin::LockGuard lock(mutex);/' <<<"$program" | check; then
  echo "check-thread-safety: a correctly locked program does not compile" >&2
  exit 1
fi
if sed 's/LOCK//' <<<"$program" | check 2>/dev/null; then
  echo "check-thread-safety: a field written without its mutex compiled; the analysis is off" >&2
  exit 1
fi

cmake --preset tsa >/dev/null
cmake --build --preset tsa
echo "thread-safety analysis: both libraries pass"
