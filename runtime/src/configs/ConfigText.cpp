#include "configs/ConfigText.hpp"

#include <charconv>
#include <cmath>
#include <limits>

namespace kvor::zephrin::runtime::configs {
namespace {

// Parses a whole decimal field; false unless every character was consumed.
template <class T>
bool ParseAll(std::string_view field, T& out) {
  if (field.empty()) return false;
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, out);
  return ec == std::errc{} && ptr == end;
}

// Parses one piece without its terminator. The grammar is checked exactly so
// that a damaged piece is rejected rather than read as something else.
bool ParsePiece(std::string_view body, ConfigPiece& piece) {
  size_t colon = body.find(':');
  if (colon == std::string_view::npos || colon + 3 > body.size() || body[colon + 2] != '=') return false;
  std::string_view id = body.substr(0, colon);
  if (id.size() > 5 || (id.size() > 1 && id[0] == '0') || id.find_first_not_of("0123456789") != id.npos) return false;
  if (!ParseAll(id, piece.id) || piece.id > kMaxConfigId) return false;
  std::string_view value = body.substr(colon + 3);
  switch (body[colon + 1]) {
    case 'i': {
      if (value.size() > 1 && (value[value[0] == '-' ? 1 : 0] == '0')) return false;  // no leading zeros
      if (!ParseAll(value, piece.asInteger)) return false;
      if (piece.asInteger < std::numeric_limits<int32_t>::min() ||
          piece.asInteger > std::numeric_limits<int32_t>::max())
        return false;
      piece.isInteger = true;
      piece.asDouble = static_cast<double>(piece.asInteger);
      return true;
    }
    case 'd':
      piece.isInteger = false;
      return ParseAll(value, piece.asDouble);
    default:
      return false;
  }
}

}  // namespace

std::string FormatDouble(int id, double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::to_string(id) + ":d=" + std::string(buffer, result.ptr) + ";";
}

std::string FormatInt(int id, int value) { return std::to_string(id) + ":i=" + std::to_string(value) + ";"; }

int ForEachPiece(std::string_view text, const std::function<void(const ConfigPiece&)>& onPiece) {
  int malformed = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(';', pos);
    if (end == std::string_view::npos) {
      ++malformed;  // a truncated last piece
      break;
    }
    ConfigPiece piece;
    if (ParsePiece(text.substr(pos, end - pos), piece)) {
      piece.text = text.substr(pos, end + 1 - pos);
      onPiece(piece);
    } else {
      ++malformed;
    }
    pos = end + 1;
  }
  return malformed;
}

std::optional<ConfigPiece> FindLast(std::string_view text, int id) {
  std::optional<ConfigPiece> found;
  ForEachPiece(text, [&](const ConfigPiece& piece) {
    if (piece.id == id) found = piece;
  });
  return found;
}

}  // namespace kvor::zephrin::runtime::configs
