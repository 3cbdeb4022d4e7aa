#pragma once

// Wrappers gathers the small device-level runtime calls that several parts of
// the library share, as static functions: it holds no state and is safe to
// call from any thread. The device hash computed here is the key under which
// the runtime knows a device; every signal key and control call of the device
// carries it.

#include <cstdint>
#include <string>

namespace kvor::zephrin6::networking {

class Wrappers {
 public:
  Wrappers() = delete;

  /// The runtime's 32-bit hash of a device (ID, model text, bus name). The
  /// runtime also registers the device on that bus. The runtime call's own
  /// status is ignored: the hash is the only result, and a given triple always
  /// yields the same hash.
  /// @param deviceId the device's ID on its bus.
  /// @param model    the model text, e.g. "rapax q".
  /// @param canbus   the bus name, e.g. "" or "drive".
  static uint32_t CompileDeviceHash(int deviceId, const std::string& model, const std::string& canbus);
};

}  // namespace kvor::zephrin6::networking
