#include "CsvWriter.hpp"

#include "LogScan.hpp"
#include "UserValueText.hpp"

namespace wisp_tool {

CsvWriter::CsvWriter(std::FILE* file) : out_(file) { out_.Write("time,name,value,units\n"); }

void CsvWriter::StartEntry(uint32_t entry, const std::string& name, const std::string& type, const std::string& units,
                           uint64_t) {
  if (entries_.size() <= entry) entries_.resize(entry + 1);
  // The export's type texts name user data types; a type of no user data
  // type stays raw bytes.
  uint8_t userType = 0;
  for (uint8_t t = 0; t < 10; ++t) {
    if (type == LogScan::ExportType(t)) userType = t;
  }
  entries_[entry] = {CsvField(name), CsvField(units), userType};
}

void CsvWriter::SetUnits(uint32_t entry, const std::string& units, uint64_t) {
  if (entry < entries_.size()) entries_[entry].units = CsvField(units);
}

void CsvWriter::Append(uint32_t entry, uint64_t timeUs, std::span<const uint8_t> payload) {
  if (entry >= entries_.size()) return;
  const Entry& e = entries_[entry];
  char time[32];
  std::snprintf(time, sizeof time, "%llu.%06llu,", static_cast<unsigned long long>(timeUs / 1000000),
                static_cast<unsigned long long>(timeUs % 1000000));
  row_ = time;
  row_ += e.name;
  row_ += ',';
  row_ += CsvField(UserValueText(e.userType, payload));
  row_ += ',';
  row_ += e.units;
  row_ += '\n';
  out_.Write(row_);
}

bool CsvWriter::Close(std::string& error) { return out_.Close(error); }

}  // namespace wisp_tool
