#pragma once

// Writes the data-log format that robot teams' log viewers open (.wpilog):
// a file header, then one record per entry start, metadata change and
// sample, each with the narrowest field widths that hold its entry ID,
// payload size and timestamp. Metadata is JSON carrying the units
// ({"units":"V"}). Used by `wisp export` through ExportSink; owns its output
// file; not copyable; not thread-safe.

#include <cstdio>
#include <string>

#include "BufferedFile.hpp"
#include "ExportSink.hpp"

namespace wisp_tool {

class WpilogWriter final : public ExportSink {
 public:
  /// Takes ownership of `file` and writes the file header with `headerText`
  /// (free-form UTF-8, such as the tool's name and the source log's name).
  WpilogWriter(std::FILE* file, const std::string& headerText);

  void StartEntry(uint32_t entry, const std::string& name, const std::string& type, const std::string& units,
                  uint64_t timeUs) override;
  void SetUnits(uint32_t entry, const std::string& units, uint64_t timeUs) override;
  void Append(uint32_t entry, uint64_t timeUs, std::span<const uint8_t> payload) override;
  bool Close(std::string& error) override;

  /// `{"units":"<units>"}` with the units escaped as a JSON string.
  static std::string UnitsMetadata(const std::string& units);

 private:
  void Record(uint32_t entry, uint64_t timeUs, std::span<const uint8_t> payload);

  BufferedFile out_;
  std::string control_;  // payload of the control record being built
  bool tooLong_ = false;
};

}  // namespace wisp_tool
