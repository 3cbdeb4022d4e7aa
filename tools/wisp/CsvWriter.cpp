#include "CsvWriter.hpp"

#include <cstring>
#include <map>

#include "UserValueText.hpp"

namespace wisp_tool {
namespace {

// Quotes a CSV field when it needs it.
std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

template <class T>
void Numbers(std::string& to, std::span<const uint8_t> payload) {
  for (std::size_t at = 0; at + sizeof(T) <= payload.size(); at += sizeof(T)) {
    T value{};
    std::memcpy(&value, payload.data() + at, sizeof(T));
    if (at > 0) to += ' ';
    if constexpr (std::is_floating_point_v<T>) {
      to += ExactNumber(value);
    } else {
      to += std::to_string(value);
    }
  }
}

}  // namespace

CsvWriter::CsvWriter(std::FILE* file) : out_(file) { out_.Write("time,name,value,units\n"); }

void CsvWriter::StartEntry(uint32_t entry, const std::string& name, const std::string& type,
                           const std::string& units, uint64_t) {
  static const std::map<std::string, Kind> kKinds = {
      {"boolean", Kind::Boolean},         {"int64", Kind::Int64},           {"float", Kind::Float},
      {"double", Kind::Double},           {"string", Kind::String},         {"boolean[]", Kind::BooleanArray},
      {"int64[]", Kind::Int64Array},      {"float[]", Kind::FloatArray},    {"double[]", Kind::DoubleArray},
  };
  if (entries_.size() <= entry) entries_.resize(entry + 1);
  const auto kind = kKinds.find(type);
  entries_[entry] = {Field(name), Field(units), kind != kKinds.end() ? kind->second : Kind::Raw};
}

void CsvWriter::SetUnits(uint32_t entry, const std::string& units, uint64_t) {
  if (entry < entries_.size()) entries_[entry].units = Field(units);
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
  switch (e.kind) {
    case Kind::Boolean:
      row_ += !payload.empty() && payload[0] != 0 ? "true" : "false";
      break;
    case Kind::Int64:
    case Kind::Int64Array:
      Numbers<int64_t>(row_, payload);
      break;
    case Kind::Float:
    case Kind::FloatArray:
      Numbers<float>(row_, payload);
      break;
    case Kind::Double:
    case Kind::DoubleArray:
      Numbers<double>(row_, payload);
      break;
    case Kind::BooleanArray:
      Numbers<uint8_t>(row_, payload);
      break;
    case Kind::String:
      row_ += Field(std::string(reinterpret_cast<const char*>(payload.data()), payload.size()));
      break;
    case Kind::Raw:
      for (uint8_t byte : payload) {
        static const char kHex[] = "0123456789abcdef";
        row_ += kHex[byte >> 4];
        row_ += kHex[byte & 15];
      }
      break;
  }
  row_ += ',';
  row_ += e.units;
  row_ += '\n';
  out_.Write(row_);
}

bool CsvWriter::Close(std::string& error) { return out_.Close(error); }

}  // namespace wisp_tool
