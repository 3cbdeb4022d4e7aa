#pragma once

// StatusCode is the result of every fallible operation of the library and of
// the device runtime behind it: 0 is success, a positive value a warning (the
// operation produced a result but something deserves attention), a negative
// value an error. It is a plain value holding one signed 32-bit integer; pass
// and return it by value. It converts implicitly to and from int so that the
// named values compare directly (`status == StatusCode::RxTimeout`). Name and
// description lookups are pure functions of the value: they return static
// text, allocate nothing, never fail and are safe from any thread.
//
// An operation whose failure leaves undone what the caller goes on to rely on
// returns its status [[nodiscard]]: configuration applies, refreshes and
// device actions, reads and waits of several signals, update-frequency
// requests, logging and replay. Control sends (SetControl) and simulation
// inputs are not marked: a robot loop sends again every cycle, a failed send
// is reported by the device, and the status is there for callers that act on
// it. Code that drops a marked status on purpose says why in a
// static_cast<void>.

#include <cstdint>
#include <ostream>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin {

class ZEPHRIN6_API StatusCode {
 public:
  /// Every named status value. Values not listed here (including the gaps
  /// inside the ranges, such as -122 or -1701) are valid StatusCodes without
  /// a name.
  enum Value : int32_t {
#define KVOR_STATUS_CODE(value, name, description) name = value,
#include <kvor/zephrin/platform/StatusCodes.def>
#undef KVOR_STATUS_CODE
  };

  /// A status no operation has assigned yet.
  constexpr StatusCode() noexcept : value_{StatusCodeNotInitialized} {}
  constexpr StatusCode(int32_t value) noexcept : value_{value} {}  // NOLINT: implicit by design

  constexpr operator int32_t() const noexcept { return value_; }  // NOLINT: implicit by design
  constexpr int32_t value() const noexcept { return value_; }

  /// True for 0 only.
  constexpr bool IsOK() const noexcept { return value_ == 0; }
  /// True for positive values.
  constexpr bool IsWarning() const noexcept { return value_ > 0; }
  /// True for negative values.
  constexpr bool IsError() const noexcept { return value_ < 0; }

  /// The enumerator name as static text, or "Could not find name for
  /// StatusCode" for a value that has none.
  const char* GetName() const noexcept;
  /// The description users see in reports, as static text, or "Could not find
  /// description for StatusCode" for a value that has none.
  const char* GetDescription() const noexcept;

 private:
  int32_t value_;
};

/// Streams the name followed by the value in parentheses, e.g. "RxTimeout (-1003)".
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, StatusCode status);

}  // namespace kvor::zephrin
