#pragma once

// Text forms of what a .wisp log holds, shared by `wisp info` and
// `wisp dump`: user-signal type names, decoded user-signal payloads and
// device descriptions. Pure functions.

#include <string>

#include "wisp/WispRecords.hpp"

namespace wisp_tool {

/// "Double", "IntegerArray" ... for a user data type number.
const char* UserTypeName(uint8_t type);

/// The decoded payload: numbers exactly (17 significant digits), arrays
/// space-separated, strings as written, raw bytes in hex.
std::string UserValueText(uint8_t type, const kvor::zephrin::runtime::wisp::UserSample& sample);

/// `model id ("bus")`, the way the library names devices.
std::string DeviceText(const kvor::zephrin::runtime::wisp::DeviceInfo& device);

/// A double with enough digits to read back the same value.
std::string ExactNumber(double value);

}  // namespace wisp_tool
