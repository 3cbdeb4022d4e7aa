#pragma once

// DeviceIdentifier names one device: its bus, its model text, its ID on the
// bus and the 32-bit hash under which the runtime knows it. It is a plain,
// copyable and movable value; every signal of a device carries a copy, so
// pass it by const reference or copy it freely. Reading it from several
// threads is safe; it never changes after construction.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::hardware {

class ZEPHRIN6_API DeviceIdentifier {
 public:
  /// The identifier of no device: empty bus and model, ID 0, hash 0. Error
  /// signals carry it.
  DeviceIdentifier() = default;

  /// Identifies device `deviceId` of `model` on bus `network` and computes its
  /// hash through the runtime (Wrappers::CompileDeviceHash), which also
  /// registers the device there.
  DeviceIdentifier(int deviceId, std::string model, std::string network);

  /// The name of the CAN bus the device is on, as the user passed it.
  const std::string& GetNetwork() const noexcept { return network_; }
  /// The model text, e.g. "rapax q".
  const std::string& GetModel() const noexcept { return model_; }
  /// The device's ID on its bus.
  int GetDeviceID() const noexcept { return deviceId_; }
  /// The runtime's 32-bit key of the device.
  uint32_t GetDeviceHash() const noexcept { return deviceHash_; }

  /// The device text of every report: the model, a space, the ID in decimal,
  /// a space, then the bus name in double quotes inside parentheses, e.g.
  /// `rapax q 3 ("drive")` or `rapax q 0 ("")`.
  std::string ToString() const;

 private:
  std::string network_;
  std::string model_;
  int deviceId_ = 0;
  uint32_t deviceHash_ = 0;
};

/// Writes ToString() to `os`.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const DeviceIdentifier& id);

}  // namespace kvor::zephrin6::hardware
