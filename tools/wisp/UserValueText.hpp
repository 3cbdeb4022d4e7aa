#pragma once

// Text forms of what a .wisp log holds, shared by `wisp info`, `wisp dump`
// and the CSV export: user-signal type names, decoded user-signal payloads,
// device descriptions and CSV fields. Pure functions.

#include <cstdint>
#include <span>
#include <string>

#include "wisp/WispRecords.hpp"

namespace wisp_tool {

/// "Double", "IntegerArray" ... for a user data type number.
const char* UserTypeName(uint8_t type);

/// How array elements are written: "1 2 3" for a CSV cell, "[1, 2, 3]" in
/// a table whose columns are separated by spaces.
enum class ArrayText { Spaced, Bracketed };

/// The decoded payload: numbers exactly (see ExactNumber), arrays as
/// `arrays` says, strings as written, raw bytes in hex.
std::string UserValueText(uint8_t type, const kvor::zephrin::runtime::wisp::UserSample& sample,
                          ArrayText arrays = ArrayText::Spaced);
/// The same for a payload of any length.
std::string UserValueText(uint8_t type, std::span<const uint8_t> payload, ArrayText arrays = ArrayText::Spaced);

/// `model id ("bus")`, the way the library names devices.
std::string DeviceText(const kvor::zephrin::runtime::wisp::DeviceInfo& device);

/// A double in the fewest digits that read back the same value (0.1, not
/// 0.10000000000000001).
std::string ExactNumber(double value);

/// `text` as one CSV field: quoted, with quotes doubled, when it holds a
/// comma, a quote or a line break.
std::string CsvField(const std::string& text);

}  // namespace wisp_tool
