#pragma once

// Helpers shared by every value enumeration: the lookup of an enumerator's
// name and the serialised form. Internal to the library.

#include <span>
#include <string>

namespace kvor::zephrin6::signals::internal {

/// One enumerator: its number and its text form.
struct ValueName {
  int value;
  const char* name;
};

/// The name of `value` in `table`, or "Invalid Value" when no row has it.
inline const char* NameOf(std::span<const ValueName> table, int value) {
  for (const ValueName& row : table) {
    if (row.value == value) return row.name;
  }
  return "Invalid Value";
}

/// "u_" followed by `value` in plain decimal.
inline std::string SerializeValue(int value) { return "u_" + std::to_string(value); }

}  // namespace kvor::zephrin6::signals::internal
