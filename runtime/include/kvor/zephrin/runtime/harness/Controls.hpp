#pragma once

// Harness view of the control calls the runtime received. Every control entry
// point records its call per device hash: the function name and every
// argument in order (bus name, device hash, update frequency, then the
// request's fields). The runtime keeps the last 64 calls of each device. A
// test can also make a device's control calls return a chosen status. For
// tests, examples and tools only; the product never includes this header.
// All functions are thread-safe.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// One argument of a control call, with the type it had in the call: the bus
/// name (text), the device hash (unsigned), quantities and update frequency
/// (double), flags (bool) and the gain slot (int).
using ControlArgument = std::variant<std::string, std::uint32_t, double, bool, int>;

/// One received control call.
struct ZEPHRIN_RUNTIME_API ControlCall {
  /// The entry point's name, e.g. "c_kvor_zephrin6_RequestControlVoltageOut".
  std::string function;
  /// Every argument in call order, starting with the bus name and the hash.
  std::vector<ControlArgument> arguments;
};

/// The recorded calls of one device (at most the last 64), oldest first.
ZEPHRIN_RUNTIME_API std::vector<ControlCall> ControlCalls(std::uint32_t deviceHash);
/// The last recorded call of one device, or nothing when it received none.
ZEPHRIN_RUNTIME_API std::optional<ControlCall> LastControlCall(std::uint32_t deviceHash);
/// How many control calls one device received since the last clear,
/// including those no longer kept.
ZEPHRIN_RUNTIME_API std::size_t ControlCallCount(std::uint32_t deviceHash);
/// Forgets every recorded call of every device (Reset does this too).
ZEPHRIN_RUNTIME_API void ClearControlCalls();

/// Makes every later control call of `deviceHash` return `status` (0 restores
/// success). Reset restores success for all devices.
ZEPHRIN_RUNTIME_API void SetControlStatus(std::uint32_t deviceHash, int status);

/// A one-line text of a call, e.g.
/// `c_kvor_zephrin6_RequestControlVoltageOut("can0", 0x1234abcd, 100, 6, true, ...)`.
ZEPHRIN_RUNTIME_API std::string ToString(const ControlCall& call);

}  // namespace kvor::zephrin::runtime::harness
