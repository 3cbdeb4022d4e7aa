#pragma once

// Control entry points of the device runtime: one function per control mode.
// Each takes the device's CAN bus name, its 32-bit hash, the rate in hertz at
// which the runtime repeats the request, then the request's fields in field
// order (quantities as raw doubles in the units named below, flags as bools,
// the gain slot as an int). Every function returns an int status (0 OK) and
// is thread-safe.

#include <cstdint>

extern "C" {

/// Sends the empty control (commands nothing).
/// @param network      CAN bus name. @param deviceHash device hash.
/// @param updateFreqHz repeat rate, hertz (the library always passes 0).
int c_kvor_zephrin6_RequestControlEmpty(const char* network, std::uint32_t deviceHash, double updateFreqHz);

}  // extern "C"
