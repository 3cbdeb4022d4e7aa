#pragma once

// The three walks over a configuration group's fields. Each group lists its
// fields once, in a VisitFields(group, visitor) function that calls
// visitor(configId, "Name", field[, " unit"]) per field; these visitors turn
// that list into Serialize (one runtime serialize call per field),
// Deserialize (one runtime deserialize call per field) and ToString.
// Internal to the library.

#include <kvor/zephrin/StatusCodes.hpp>

#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

#include <units.h>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs::internal {

/// Appends the runtime's text for one value to `out` (nothing when the
/// runtime cannot serialise it).
void AppendDouble(std::ostringstream& out, int configId, double value);
void AppendInt(std::ostringstream& out, int configId, int value);
/// Reads one value from `text` into `value`, which keeps its value when the
/// text has none for `configId`.
void ReadDouble(std::string_view text, int configId, double& value);
void ReadInt(std::string_view text, int configId, int& value);

template <class T>
inline constexpr bool kIsUnit = units::traits::is_unit_t<T>::value;

/// Serialises every visited field, in order.
class FieldWriter {
 public:
  template <class T>
  void operator()(int configId, std::string_view, const T& field, std::string_view = {}) {
    if constexpr (std::is_same_v<T, double>) {
      AppendDouble(out_, configId, field);
    } else if constexpr (kIsUnit<T>) {
      AppendDouble(out_, configId, field.value());
    } else if constexpr (std::is_same_v<T, bool>) {
      AppendInt(out_, configId, field ? 1 : 0);
    } else if constexpr (std::is_same_v<T, int>) {
      AppendInt(out_, configId, field);
    } else {
      AppendInt(out_, configId, field.value);  // a value enumeration
    }
  }
  std::string Text() const { return out_.str(); }

 private:
  std::ostringstream out_;
};

/// Reads every visited field from one text, pre-loaded with its current value.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_{text} {}
  template <class T>
  void operator()(int configId, std::string_view, T& field, std::string_view = {}) {
    if constexpr (std::is_same_v<T, double>) {
      ReadDouble(text_, configId, field);
    } else if constexpr (kIsUnit<T>) {
      double value = field.value();
      ReadDouble(text_, configId, value);
      field = T{value};
    } else if constexpr (std::is_same_v<T, bool>) {
      int value = field ? 1 : 0;
      ReadInt(text_, configId, value);
      field = value != 0;
    } else if constexpr (std::is_same_v<T, int>) {
      ReadInt(text_, configId, field);
    } else {
      ReadInt(text_, configId, field.value);
    }
  }

 private:
  std::string_view text_;
};

/// Prints "Config Group: <header>" and one "    Name: value unit" line per field.
class FieldPrinter {
 public:
  explicit FieldPrinter(std::string_view header) { out_ << "Config Group: " << header << '\n'; }
  template <class T>
  void operator()(int, std::string_view name, const T& field, std::string_view unit = {}) {
    out_ << "    " << name << ": ";
    if constexpr (kIsUnit<T>) {
      out_ << field.value();
    } else if constexpr (std::is_same_v<T, bool>) {
      out_ << (field ? "true" : "false");
    } else if constexpr (std::is_arithmetic_v<T>) {
      out_ << field;
    } else {
      out_ << field.ToString();
    }
    out_ << unit << '\n';
  }
  std::string Text() const { return out_.str(); }

 private:
  std::ostringstream out_;
};

}  // namespace kvor::zephrin6::configs::internal

/// Defines Serialize, ToString and Deserialize of `Class` from the
/// VisitFields function of its source file.
#define KVOR_CONFIG_GROUP_METHODS(Class, header)                          \
  std::string Class::Serialize() const {                                  \
    internal::FieldWriter writer;                                         \
    VisitFields(*this, writer);                                           \
    return writer.Text();                                                 \
  }                                                                       \
  std::string Class::ToString() const {                                   \
    internal::FieldPrinter printer{header};                               \
    VisitFields(*this, printer);                                          \
    return printer.Text();                                                \
  }                                                                       \
  kvor::zephrin::StatusCode Class::Deserialize(const std::string& text) { \
    internal::FieldReader reader{text};                                   \
    VisitFields(*this, reader);                                           \
    return kvor::zephrin::StatusCode::OK;                                 \
  }
