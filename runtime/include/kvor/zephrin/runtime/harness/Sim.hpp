#pragma once

// Harness view of the runtime's simulator: which devices were announced, the
// physics inputs they were given, and the physics outputs they report. For
// tests, examples and tools; the product never includes this header. Reset()
// forgets every simulated device.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// One simulated device, as announced through SimCreate.
struct ZEPHRIN_RUNTIME_API SimDevice {
  int32_t deviceType = 0;  ///< 5 rapax q, 6 angulon, 7 auklet 2, 8 rapax w, 9 distix, 10 portis
  int32_t deviceId = 0;
  friend bool operator==(const SimDevice&, const SimDevice&) = default;
};

/// Every simulated device created since the last Reset, in creation order.
ZEPHRIN_RUNTIME_API std::vector<SimDevice> SimDevices();

/// The last value given to physics input `name` of a device, or nothing when
/// the input was never set or the device does not exist.
ZEPHRIN_RUNTIME_API std::optional<double> SimPhysicsInput(int32_t deviceType, int32_t deviceId, std::string_view name);

/// Sets what physics output `name` of a device reads from now on, in place of
/// what the simulation derives from its control requests. Has no effect on a
/// device never created.
ZEPHRIN_RUNTIME_API void SetSimPhysicsValue(int32_t deviceType, int32_t deviceId, std::string_view name, double value);

}  // namespace kvor::zephrin::runtime::harness
