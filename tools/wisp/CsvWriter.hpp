#pragma once

// `wisp export --format csv`: the same samples as the .wpilog export, one
// row each (time in seconds with microsecond resolution, entry name, value,
// units), for spreadsheets and scripts. Arrays are written space-separated,
// booleans as true/false, raw bytes in hex, numbers with enough digits to
// read back the same value. Owns its output file; not thread-safe.

#include <cstdio>
#include <string>
#include <vector>

#include "BufferedFile.hpp"
#include "ExportSink.hpp"

namespace wisp_tool {

class CsvWriter final : public ExportSink {
 public:
  /// Takes ownership of `file` and writes the header row.
  explicit CsvWriter(std::FILE* file);

  void StartEntry(uint32_t entry, const std::string& name, const std::string& type, const std::string& units,
                  uint64_t timeUs) override;
  void SetUnits(uint32_t entry, const std::string& units, uint64_t timeUs) override;
  void Append(uint32_t entry, uint64_t timeUs, std::span<const uint8_t> payload) override;
  bool Close(std::string& error) override;

 private:
  struct Entry {
    std::string name;  // already quoted for CSV
    std::string units;
    uint8_t userType = 0;  // the user data type whose text form the values take
  };

  BufferedFile out_;
  std::vector<Entry> entries_;
  std::string row_;
};

}  // namespace wisp_tool
