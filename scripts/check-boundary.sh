#!/usr/bin/env bash
# The library may reach the device runtime only through its platform calls:
# every symbol the library leaves undefined must come from the C and C++
# runtimes or be one of those calls. Any other runtime symbol means the
# library started using runtime internals, and another runtime could no
# longer stand in for ours. The rigid-body engine of the simulated field
# (Box2D, whose symbols all start with b2) is a library of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lib="$root/build/lib/libKVOR_Zephrin6_Replay.so"
unexpected=$(nm -D --undefined-only "$lib" | awk '{print $2}' |
  grep -v -E '@(GLIBC|GLIBCXX|CXXABI|GCC)_|^_ITM_|^__gmon_start__$|^_Jv_' | c++filt |
  grep -v -E '^c_kvor_zephrin|^kvor::zephrin::platform::|^kvor::zephrin::unmanaged::|^kvor::zephrin::runtime::SetThreadSchedPriority|^kvor::zephrin6::utils::GetCurrentTimeSeconds\(\)$|^((vtable|typeinfo|typeinfo name) for )?b2[A-Z_]' || true)
if [ -n "$unexpected" ]; then
  echo "libKVOR_Zephrin6_Replay.so uses symbols beyond the runtime's platform calls:" >&2
  echo "$unexpected" >&2
  exit 1
fi
echo "library boundary: only platform calls and the C/C++ runtimes"
