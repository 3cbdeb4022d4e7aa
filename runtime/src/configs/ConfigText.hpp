#pragma once

// The config text format of kvor/zephrin/platform/Configs.hpp: writing one
// piece and finding the last valid piece of an ID. Pure functions,
// thread-safe, no allocation beyond the returned strings.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kvor::zephrin::runtime::configs {

/// One parsed value: its ID, its kind and both readings of it.
struct ConfigPiece {
  int id = 0;
  bool isInteger = false;
  double asDouble = 0.0;
  int64_t asInteger = 0;  // valid when isInteger
  std::string_view text;  // the whole piece including its ';'
};

/// The highest config ID.
inline constexpr int kMaxConfigId = 0xFFFF;

/// "<id>:d=<shortest round-trip decimal>;".
std::string FormatDouble(int id, double value);
/// "<id>:i=<decimal>;".
std::string FormatInt(int id, int value);

/// Calls `onPiece` for every well-formed piece of `text` in order and returns
/// the number of malformed pieces skipped.
int ForEachPiece(std::string_view text, const std::function<void(const ConfigPiece&)>& onPiece);

/// The last well-formed piece of `id` in `text`, if any.
std::optional<ConfigPiece> FindLast(std::string_view text, int id);

}  // namespace kvor::zephrin::runtime::configs
