#pragma once

// Wrappers gathers the small device-level runtime calls that several parts of
// the library share, as static functions: it holds no state and is safe to
// call from any thread. The device hash computed here is the key under which
// the runtime knows a device; every signal key and control call of the device
// carries it.

#include <kvor/zephrin/StatusCodes.hpp>

#include <cstdint>
#include <string>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::networking {

class ZEPHRIN6_API Wrappers {
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

  /// Writes config text to a device through the runtime's set-configs call,
  /// blocking for at most `timeoutSeconds` (seconds).
  /// @param network    the device's bus name.
  /// @param deviceHash the device's hash (CompileDeviceHash).
  /// @param values     the config text.
  /// @param firstFlag, actionFlag passed to the runtime unchanged (actionFlag
  ///                   marks one-shot actions rather than settings).
  /// @return the runtime's status, e.g. -10032 TimeoutCannotBeZero or -1003 RxTimeout.
  [[nodiscard]] static kvor::zephrin::StatusCode Device_SetConfigValues(const char* network, int deviceHash,
                                                                        double timeoutSeconds,
                                                                        const std::string& values, bool firstFlag,
                                                                        bool actionFlag);
  /// Reads a device's config text through the runtime's get-configs call,
  /// blocking for at most `timeoutSeconds` (seconds). When the runtime hands
  /// out a text, it replaces `values` and is released; otherwise `values` is
  /// left as it was.
  /// @return the runtime's status.
  [[nodiscard]] static kvor::zephrin::StatusCode Device_GetConfigValues(const char* network, int deviceHash,
                                                                        double timeoutSeconds, std::string& values);
};

}  // namespace kvor::zephrin6::networking
