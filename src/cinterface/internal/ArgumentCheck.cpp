#include "cinterface/internal/ArgumentCheck.hpp"

#include <kvor/zephrin/StatusCodes.hpp>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6::cinterface {

namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

void ArgumentCheck::RefuseFirst(Kind kind, const char* name, double value, std::size_t index) noexcept {
  if (kind_ != Kind::None) return;
  kind_ = kind;
  name_ = name;
  value_ = value;
  index_ = index;
}

ArgumentCheck& ArgumentCheck::Binary(const char* name, int value) noexcept {
  if (value != 0 && value != 1) RefuseFirst(Kind::Binary, name, value, 0);
  return *this;
}

ArgumentCheck& ArgumentCheck::Finite(const char* name, double value) noexcept {
  if (!std::isfinite(value)) RefuseFirst(Kind::Finite, name, value, 0);
  return *this;
}

ArgumentCheck& ArgumentCheck::Finite(const char* name, const double* values, std::size_t count) noexcept {
  if (values == nullptr) return *this;
  for (std::size_t i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) {
      RefuseFirst(Kind::Entry, name, values[i], i);
      break;
    }
  }
  return *this;
}

ArgumentCheck& ArgumentCheck::Require(bool fits, const char* what) noexcept {
  if (!fits) RefuseFirst(Kind::Reason, what, 0.0, 0);
  return *this;
}

bool ArgumentCheck::Passed() const {
  if (kind_ == Kind::None) return true;
  std::string why;
  switch (kind_) {
    case Kind::Binary:
      why = std::string(name_) + " " + std::to_string(static_cast<long long>(value_)) + " is neither 0 nor 1";
      break;
    case Kind::Finite:
      why = std::string(name_) + " is " + Number(value_);
      break;
    case Kind::Entry:
      why = std::string(name_) + "[" + std::to_string(index_) + "] is " + Number(value_);
      break;
    case Kind::Reason:
    case Kind::None:
      why = name_;
      break;
  }
  ReportRefusedCall(function_, why.c_str());
  return false;
}

void ReportRefusedCall(const char* function, const char* why) {
  kvor::zephrin6::internal::ReportStatus(kvor::zephrin::StatusCode::InvalidParamValue,
                                         std::string(function) + " (" + why + ")", 2);
}

}  // namespace kvor::zephrin6::cinterface
