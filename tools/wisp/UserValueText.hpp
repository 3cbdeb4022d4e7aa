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

/// The decoded payload: numbers exactly (17 significant digits), arrays
/// space-separated, strings as written, raw bytes in hex.
std::string UserValueText(uint8_t type, const kvor::zephrin::runtime::wisp::UserSample& sample);
/// The same for a payload of any length.
std::string UserValueText(uint8_t type, std::span<const uint8_t> payload);

/// `model id ("bus")`, the way the library names devices.
std::string DeviceText(const kvor::zephrin::runtime::wisp::DeviceInfo& device);

/// A double with enough digits to read back the same value.
std::string ExactNumber(double value);

/// `text` as one CSV field: quoted, with quotes doubled, when it holds a
/// comma, a quote or a line break.
std::string CsvField(const std::string& text);

}  // namespace wisp_tool
