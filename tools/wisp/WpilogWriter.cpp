#include "WpilogWriter.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace wisp_tool {
namespace {

constexpr uint8_t kStartEntry = 0;
constexpr uint8_t kSetMetadata = 2;

// Bytes needed for `value` in a field of 1 to `most` bytes.
unsigned Width(uint64_t value, unsigned most) {
  const auto bytes = static_cast<unsigned>(std::bit_width(value) + 7) / 8;
  return std::clamp(bytes, 1u, most);
}

// Writes the low `width` bytes of `value`, least significant first. All
// eight are stored (the caller reserves room for them); the record's next
// field overwrites those past `width`.
uint8_t* PutLittleEndian(uint8_t* at, uint64_t value, unsigned width) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(at, &value, sizeof value);
  } else {
    for (unsigned i = 0; i < sizeof value; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
  }
  return at + width;
}

// Most bytes a record's header takes, with the slack of PutLittleEndian's
// whole-word stores.
constexpr std::size_t kMostRecordHeader = 1 + 4 + 4 + 8 + 8;

void PutU32(std::string& to, uint32_t value) {
  char bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  to.append(bytes, 4);
}

// Appends a text with its 4-byte length; false when it does not fit the field.
bool PutText(std::string& to, const std::string& text) {
  if (text.size() > std::numeric_limits<uint32_t>::max()) return false;
  PutU32(to, static_cast<uint32_t>(text.size()));
  to += text;
  return true;
}

}  // namespace

WpilogWriter::WpilogWriter(std::FILE* file, const std::string& headerText) : out_(file) {
  const std::string text = headerText.substr(0, std::numeric_limits<uint32_t>::max());
  std::string header = "WPILOG";
  header += '\x00';  // version 1.0, minor byte first
  header += '\x01';
  PutU32(header, static_cast<uint32_t>(text.size()));
  header += text;
  out_.Write(header);
}

std::string WpilogWriter::UnitsMetadata(const std::string& units) {
  std::string json = "{\"units\":\"";
  for (unsigned char c : units) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      json += escaped;
    } else {
      json += static_cast<char>(c);
    }
  }
  return json + "\"}";
}

void WpilogWriter::Record(uint32_t entry, uint64_t timeUs, std::span<const uint8_t> payload) {
  if (payload.size() > std::numeric_limits<uint32_t>::max()) {
    tooLong_ = true;
    return;
  }
  const auto size = static_cast<uint32_t>(payload.size());
  const unsigned idWidth = Width(entry, 4);
  const unsigned sizeWidth = Width(size, 4);
  const unsigned timeWidth = Width(timeUs, 8);
  uint8_t* at = out_.Reserve(kMostRecordHeader + payload.size());
  uint8_t* const start = at;
  *at++ = static_cast<uint8_t>((idWidth - 1) | ((sizeWidth - 1) << 2) | ((timeWidth - 1) << 4));
  at = PutLittleEndian(at, entry, idWidth);
  at = PutLittleEndian(at, size, sizeWidth);
  at = PutLittleEndian(at, timeUs, timeWidth);
  // A device signal's double, most of an export, is copied without a call.
  if (payload.size() == sizeof(double)) {
    std::memcpy(at, payload.data(), sizeof(double));
  } else if (!payload.empty()) {
    std::memcpy(at, payload.data(), payload.size());
  }
  out_.Commit(static_cast<std::size_t>(at - start) + payload.size());
}

void WpilogWriter::StartEntry(uint32_t entry, const std::string& name, const std::string& type,
                              const std::string& units, uint64_t timeUs) {
  control_.assign(1, static_cast<char>(kStartEntry));
  PutU32(control_, entry);
  if (!PutText(control_, name) || !PutText(control_, type) || !PutText(control_, UnitsMetadata(units))) {
    tooLong_ = true;
    return;
  }
  Record(0, timeUs, std::span(reinterpret_cast<const uint8_t*>(control_.data()), control_.size()));
}

void WpilogWriter::SetUnits(uint32_t entry, const std::string& units, uint64_t timeUs) {
  control_.assign(1, static_cast<char>(kSetMetadata));
  PutU32(control_, entry);
  if (!PutText(control_, UnitsMetadata(units))) {
    tooLong_ = true;
    return;
  }
  Record(0, timeUs, std::span(reinterpret_cast<const uint8_t*>(control_.data()), control_.size()));
}

void WpilogWriter::Append(uint32_t entry, uint64_t timeUs, std::span<const uint8_t> payload) {
  Record(entry, timeUs, payload);
}

bool WpilogWriter::Close(std::string& error) {
  const bool written = out_.Close(error);
  if (written && tooLong_) error = "a name or value too long for the format";
  return written && !tooLong_;
}

}  // namespace wisp_tool
