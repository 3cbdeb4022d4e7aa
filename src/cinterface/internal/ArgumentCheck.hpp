#pragma once

// ArgumentCheck screens the plain arguments of one C interface call before
// they reach the drivetrain: an int that stands for a two-valued enumeration
// (request type, closed-loop output, motor type, neutral mode) must be 0 or
// 1, and a double must be finite. A C or JVM caller can pass any int, and a
// cast would turn 7 into an enumerator the module ignores, so the motors
// would silently get nothing; a NaN would be zeroed deep in the module. The
// call is refused instead, with one InvalidParamValue report naming the
// function, the first refused argument and its value.
//
// Use: chain the checks, then ask Passed(), which reports when something was
// refused. Nothing is allocated unless a report is made, so the check costs
// a few comparisons on the success path. One object per call, on the
// caller's stack; not shared between threads.

#include <cstddef>

namespace kvor::zephrin6::cinterface {

class ArgumentCheck {
 public:
  /// Checks for a call of `function` (a string literal, e.g. __func__).
  explicit ArgumentCheck(const char* function) noexcept : function_(function) {}
  ArgumentCheck(const ArgumentCheck&) = delete;
  ArgumentCheck& operator=(const ArgumentCheck&) = delete;

  /// Refuses `value` of the two-valued enumeration `name` unless it is 0 or 1.
  ArgumentCheck& Binary(const char* name, int value) noexcept;
  /// Refuses `value` unless it is finite.
  ArgumentCheck& Finite(const char* name, double value) noexcept;
  /// Refuses the array `name` unless its first `count` entries are finite.
  /// A null array has none.
  ArgumentCheck& Finite(const char* name, const double* values, std::size_t count) noexcept;
  /// Refuses when `fits` is false, with `what` as the whole reason (a
  /// literal, e.g. "no module constants").
  ArgumentCheck& Require(bool fits, const char* what) noexcept;

  /// Whether every argument passed. When one did not, reports it once
  /// (InvalidParamValue, location "<function> (<reason>)").
  [[nodiscard]] bool Passed() const;

 private:
  enum class Kind { None, Binary, Finite, Entry, Reason };
  void RefuseFirst(Kind kind, const char* name, double value, std::size_t index) noexcept;

  const char* function_;
  Kind kind_ = Kind::None;
  const char* name_ = nullptr;
  double value_ = 0.0;
  std::size_t index_ = 0;
};

/// Reports a refused call of `function`: InvalidParamValue from location
/// "<function> (<why>)".
void ReportRefusedCall(const char* function, const char* why);

}  // namespace kvor::zephrin6::cinterface
