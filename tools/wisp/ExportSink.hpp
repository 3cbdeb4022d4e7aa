#pragma once

// Where `wisp export` puts what it reads: one entry per exported signal,
// started before its first sample, then the samples in time order. The
// sample payloads are already in the output's encoding (a double's 8 bytes,
// a boolean's one byte 0 or 1, a string's characters, arrays element after
// element), named by the entry's type text ("double", "int64", "boolean[]",
// ...). Implementations own their output file; not thread-safe.

#include <cstdint>
#include <span>
#include <string>

namespace wisp_tool {

class ExportSink {
 public:
  virtual ~ExportSink() = default;

  /// Starts entry `entry` (1, 2, ... in order of first use) named `name`, of
  /// type `type`, with its units text, at `timeUs` (microseconds of log time).
  virtual void StartEntry(uint32_t entry, const std::string& name, const std::string& type, const std::string& units,
                          uint64_t timeUs) = 0;
  /// The units of a started entry change from `timeUs` on.
  virtual void SetUnits(uint32_t entry, const std::string& units, uint64_t timeUs) = 0;
  /// One sample of a started entry.
  virtual void Append(uint32_t entry, uint64_t timeUs, std::span<const uint8_t> payload) = 0;
  /// Writes what is left and closes the output. Returns false with the reason
  /// in `error` when any part of the output could not be written.
  virtual bool Close(std::string& error) = 0;
};

}  // namespace wisp_tool
