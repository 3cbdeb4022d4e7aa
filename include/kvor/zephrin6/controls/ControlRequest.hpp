#pragma once

// ControlRequest is the interface of every control request: a small value
// object naming one control mode of a motor controller and carrying its
// setpoint and options. A program fills in a concrete request (VoltageOut,
// PositionVoltage, ...) and passes it by const reference to a device's
// SetControl; the device keeps its own shared copy of the last request sent,
// so the caller's object is never retained. Requests are plain values and not
// thread-safe: do not modify one while a device is sending it.

#include <kvor/zephrin/StatusCodes.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::controls {

class ZEPHRIN6_API ControlRequest {
 public:
  /// The request's class name, e.g. "VoltageOut". Set by the concrete
  /// request's constructor; reports and diagnostics use it to name the request.
  std::string name;

  /// Sends this request to one device. Stores a copy of this request in `req`
  /// (the device's last-control slot): nothing is copied when `req` already
  /// holds this very object, the stored object is assigned in place when it has
  /// the same concrete type and `req` is its only owner (no allocation), and
  /// otherwise `req` is replaced by a new shared copy, so that whoever still
  /// holds the old object never sees it change. Then hands every field to the
  /// runtime's entry point of this control mode.
  /// @param network    the device's CAN bus name, NUL-terminated.
  /// @param deviceHash the device's 32-bit hash.
  /// @param req        the device's last-control slot; must be guarded by the
  ///                   device's control lock for the duration of the call.
  /// @return the runtime's status, unchanged. Nothing is reported here.
  /// @throws std::bad_alloc when the copy cannot be allocated.
  virtual kvor::zephrin::StatusCode SendRequest(const char* network, std::uint32_t deviceHash,
                                                std::shared_ptr<ControlRequest>& req) const = 0;

  /// The request as a map from field name to value text (no units): "Name"
  /// maps to the request's name, every other key is a field name.
  virtual std::map<std::string, std::string> GetControlInfo() const = 0;

  virtual ~ControlRequest() = default;

  /// A multi-line description: "Control: <class name>", then one indented line
  /// per field with its value and unit. The update frequency is not printed.
  virtual std::string ToString() const = 0;

  /// The request's name (same as the `name` field).
  const std::string& GetName() const noexcept { return name; }

 protected:
  explicit ControlRequest(std::string requestName) : name{std::move(requestName)} {}
  // Copying is for the concrete requests only, so that a ControlRequest
  // reference is never sliced by accident.
  ControlRequest(const ControlRequest&) = default;
  ControlRequest(ControlRequest&&) = default;
  ControlRequest& operator=(const ControlRequest&) = default;
  ControlRequest& operator=(ControlRequest&&) = default;
};

}  // namespace kvor::zephrin6::controls
