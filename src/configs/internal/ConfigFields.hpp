#pragma once

// The one walk over a configuration group's fields. Each group's source lists
// its fields once, as a constexpr tuple of Field records (config ID, printed
// label, member, printed unit); SerializeFields, DeserializeFields and
// PrintFields turn that list into the group's Serialize, Deserialize and
// ToString, so the three can never disagree on order, IDs or labels. The
// lists are generated from tools/configs/configs.txt. Internal to the library.

#include <kvor/zephrin/StatusCodes.hpp>

#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include <units.h>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs::internal {

/// One field of `Group`: the config ID it is stored under, the label ToString
/// prints, the member that holds it and the unit text printed after the value
/// (with its leading space, "" for none).
template <class Group, class T>
struct Field {
  int configId;
  const char* name;
  T Group::*member;
  const char* unit = "";
};
template <class Group, class T>
Field(int, const char*, T Group::*, const char* = "") -> Field<Group, T>;

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

// How each kind of field crosses the config text: doubles and quantities (in
// their fixed unit) as doubles; ints, bools and value enumerations (their
// number) as ints.
template <class T>
void AppendValue(std::ostringstream& out, int configId, const T& field) {
  if constexpr (std::is_same_v<T, double>) {
    AppendDouble(out, configId, field);
  } else if constexpr (kIsUnit<T>) {
    AppendDouble(out, configId, field.value());
  } else if constexpr (std::is_same_v<T, bool>) {
    AppendInt(out, configId, field ? 1 : 0);
  } else if constexpr (std::is_same_v<T, int>) {
    AppendInt(out, configId, field);
  } else {
    AppendInt(out, configId, field.value);
  }
}

// Pre-loads the variable with the field's value, so an absent ID leaves the
// field as it was.
template <class T>
void ReadValue(std::string_view text, int configId, T& field) {
  if constexpr (std::is_same_v<T, double>) {
    ReadDouble(text, configId, field);
  } else if constexpr (kIsUnit<T>) {
    double value = field.value();
    ReadDouble(text, configId, value);
    field = T{value};
  } else if constexpr (std::is_same_v<T, bool>) {
    int value = field ? 1 : 0;
    ReadInt(text, configId, value);
    field = value != 0;
  } else if constexpr (std::is_same_v<T, int>) {
    ReadInt(text, configId, field);
  } else {
    ReadInt(text, configId, field.value);
  }
}

template <class T>
void PrintValue(std::ostringstream& out, const T& field) {
  if constexpr (kIsUnit<T>) {
    out << field.value();
  } else if constexpr (std::is_same_v<T, bool>) {
    out << (field ? "true" : "false");
  } else if constexpr (std::is_arithmetic_v<T>) {
    out << field;
  } else {
    out << field.ToString();
  }
}

/// The runtime's text of every field of `group`, in the order of `fields`.
template <class Group, class Fields>
std::string SerializeFields(const Group& group, const Fields& fields) {
  std::ostringstream out;
  std::apply([&](const auto&... f) { (AppendValue(out, f.configId, group.*f.member), ...); }, fields);
  return out.str();
}

/// Reads every field of `fields` present in `text` into `group`; the others
/// keep their values. Returns OK: a missing or unreadable value is not an error.
template <class Group, class Fields>
kvor::zephrin::StatusCode DeserializeFields(std::string_view text, Group& group, const Fields& fields) {
  std::apply([&](const auto&... f) { (ReadValue(text, f.configId, group.*f.member), ...); }, fields);
  return kvor::zephrin::StatusCode::OK;
}

/// "Config Group: <header>" and one "    Name: value unit" line per field.
template <class Group, class Fields>
std::string PrintFields(std::string_view header, const Group& group, const Fields& fields) {
  std::ostringstream out;
  out << "Config Group: " << header << '\n';
  auto line = [&](const auto& f) {
    out << "    " << f.name << ": ";
    PrintValue(out, group.*f.member);
    out << f.unit << '\n';
  };
  std::apply([&](const auto&... f) { (line(f), ...); }, fields);
  return out.str();
}

}  // namespace kvor::zephrin6::configs::internal
