#pragma once

// Reads .wisp logs written by any runtime whose format version this one
// supports. Reading never trusts the file: every length is checked against
// what is left, every chunk against its CRC-32, and the first chunk that is
// truncated, corrupted or malformed ends the read, keeping everything before
// it (the report says where and why). Stateless and thread-safe.

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

  /// Reads the log at `path`; a missing or unreadable file gives InvalidFile.
  static WispLog ReadFile(const std::string& path);
};

}  // namespace kvor::zephrin::runtime::wisp
