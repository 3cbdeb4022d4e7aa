#pragma once

// Reads whole .wisp logs written by any runtime whose format version this
// one supports, for the replay engine and the tools that need every record
// at once (WispChunkReader walks a log chunk by chunk instead). Reading never
// trusts the file: it takes the chunks WispChunkReader accepts, up to the
// first one that is truncated, corrupted, malformed or over a bound, keeping
// everything before it (the report says where and why). The records it
// holds are bounded by the file's size: at most kLogRecordBytesBase plus
// kLogRecordBytesPerFileByte per byte of the file (a chunk that would pass
// the bound ends the read as damage). Stateless and thread-safe.

#include <cstdint>
#include <span>
#include <string>

#include "wisp/WispLog.hpp"

namespace kvor::zephrin::runtime::wisp {

class WispReader {
 public:
  /// Reads a whole log from memory. A header that is not a .wisp header gives
  /// report.status InvalidFile; a format newer than this runtime's
  /// WispLogTooNew, older than it reads WispLogTooOld. Never throws for bad
  /// input (only std::bad_alloc).
  static WispLog Read(std::span<const uint8_t> bytes);

  /// Reads the log at `path`; a missing or unreadable file, a directory, a
  /// device or anything else that is not a regular file gives InvalidFile
  /// (report.refusal says why), and a read error of the medium ends the read
  /// like damage. Never throws for bad input (only std::bad_alloc).
  static WispLog ReadFile(const std::string& path);
};

}  // namespace kvor::zephrin::runtime::wisp
