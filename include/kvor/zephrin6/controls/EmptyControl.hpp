#pragma once

// EmptyControl is the request that commands nothing: it is the initial last
// control of every device and what a device falls back to when it refuses to
// send a program's request. It has no fields. A copyable value, not
// thread-safe; pass it like any other request.

#include <kvor/zephrin6/controls/ControlRequest.hpp>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::controls {

class ZEPHRIN6_API EmptyControl : public ControlRequest {
 public:
  /// An empty control named "EmptyControl".
  EmptyControl() : ControlRequest{"EmptyControl"} {}

  /// Stores a copy in `req` (same rule as every request) and calls the
  /// runtime's empty-control entry point with an update frequency of 0 Hz.
  /// @return the runtime's status, unchanged.
  kvor::zephrin::StatusCode SendRequest(const char* network, std::uint32_t deviceHash,
                                        std::shared_ptr<ControlRequest>& req) const override;
  /// Only the entry "Name".
  std::map<std::string, std::string> GetControlInfo() const override;
  /// The single line "class: EmptyControl".
  std::string ToString() const override;
};

}  // namespace kvor::zephrin6::controls
