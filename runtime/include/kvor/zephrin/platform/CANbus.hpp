#pragma once

// Bus queries of the device runtime: what kind of CAN bus a name refers to and
// how healthy that bus currently is. A bus is named by the same text devices
// carry as their network: "" is the controller's own classic CAN bus, every
// other name is a CAN FD bus. Both calls are thread-safe, never
// block and allocate nothing.

#include <cstdint>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::platform::can {

/// Network type of a classic CAN bus (8-byte frames, no synchronised reads).
inline constexpr int32_t kNetworkTypeClassicCan = 1;
/// Network type of a CAN FD bus (64-byte frames, several signals can be
/// sampled together).
inline constexpr int32_t kNetworkTypeCanFd = 2;

/// The network type of the bus named `network` (kNetworkTypeClassicCan or
/// kNetworkTypeCanFd), or -10001 InvalidNetwork when no such bus is attached
/// or `network` is null.
ZEPHRIN_RUNTIME_API int32_t CANbus_GetNetworkType(const char* network);

/// Current health of the bus named `network`. On success writes the bus
/// utilisation (fraction of bus time in use, 0 to 1), the number of times the
/// controller went bus-off, the number of times its transmit buffer was full,
/// and the receive and transmit error counters, and sets `status` to 0. For an
/// absent bus (or a null name) nothing but `status` is written, which becomes
/// -10001 InvalidNetwork. `printErrors` is accepted for callers that want the
/// runtime to print failures; this runtime has nothing to print and ignores it.
ZEPHRIN_RUNTIME_API void CANbus_GetStatus(float& busUtilization, uint32_t& busOffCount, uint32_t& txFullCount,
                      uint32_t& receiveErrorCount, uint32_t& transmitErrorCount, int32_t& status,
                      const char* network, bool printErrors);

}  // namespace kvor::zephrin::platform::can
