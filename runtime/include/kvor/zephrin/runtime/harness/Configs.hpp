#pragma once

// Harness view of the runtime's config service: what a device stores, what
// config calls it received, and injected failures of its next config calls.
// Devices are named by their hash (c_kvor_zephrin6_encode_device, or
// DeviceIdentifier's hash). For tests, examples and tools only; the product
// never includes this header. Thread-safe.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// One config call a device received.
struct ZEPHRIN_RUNTIME_API ConfigCall {
  bool isSet = false;         ///< set_configs (true) or get_configs (false)
  std::string text;           ///< text sent (set) or handed out (get)
  double timeoutSeconds = 0;  ///< timeout as passed, seconds
  bool firstFlag = false;     ///< as passed (set only)
  bool actionFlag = false;    ///< as passed (set only)
  int status = 0;             ///< status the call returned
};

/// The device's stored config text, one piece per stored ID in ascending order.
ZEPHRIN_RUNTIME_API std::string StoredConfigText(uint32_t deviceHash);
/// The stored value of one config ID, if the device stores it.
ZEPHRIN_RUNTIME_API std::optional<double> StoredConfigValue(uint32_t deviceHash, int configId);
/// The device's config calls since the last Reset, oldest first (the last 256).
ZEPHRIN_RUNTIME_API std::vector<ConfigCall> ConfigCalls(uint32_t deviceHash);
/// Makes the device's next `count` config calls (set or get) return `status`
/// at once; a count of 0 removes the injection.
ZEPHRIN_RUNTIME_API void FailNextConfigCalls(uint32_t deviceHash, int count, int status);

}  // namespace kvor::zephrin::runtime::harness
