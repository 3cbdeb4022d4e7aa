#pragma once

// The file an export writes before it is complete: `OUT.partial-XXXXXX`
// beside OUT, renamed over OUT once everything is written, so a failed or
// interrupted export never leaves a half-written file under OUT's name.
//
// An export holds an exclusive lock (flock) on its partial file for as long
// as it writes, and the kernel drops the lock when the process ends however
// it ends. A partial file of OUT that nobody holds locked is therefore a
// leftover of an export that was killed, and the next export to OUT removes
// it; one that a running export still writes stays. Not thread-safe.

#include <cstdio>
#include <string>

namespace wisp_tool {

/// Creates and locks a new partial file for `path`; its name goes to
/// `partial`. Null with errno set when it cannot be created.
std::FILE* CreatePartial(const std::string& path, std::string& partial);

/// Removes the partial files of `path` that no running export holds.
/// Returns how many were removed.
int RemoveStalePartials(const std::string& path);

}  // namespace wisp_tool
