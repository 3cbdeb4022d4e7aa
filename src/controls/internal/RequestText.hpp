#pragma once

// The text forms every request shares. A request lists its fields once (in
// the order of the runtime's arguments) into one of these writers: TextWriter
// builds the ToString text, InfoWriter the GetControlInfo map. Values use the
// stream's default formatting, so 12 prints as 12, a ten-millionth as 1e-07
// and flags as 0 or 1, in both forms alike.

#include <map>
#include <sstream>
#include <string>
#include <string_view>

namespace kvor::zephrin6::controls::internal {

/// Builds "Control: <class>" and one "    <field>: <value><unit>" line per field.
class TextWriter {
 public:
  explicit TextWriter(std::string_view className);
  /// A quantity; `unit` is printed right after the value (it starts with a space).
  void Add(std::string_view field, double value, std::string_view unit);
  void Add(std::string_view field, bool value);
  void Add(std::string_view field, int value);
  /// The finished text.
  std::string Take() const { return out_.str(); }

 private:
  std::ostringstream out_;
};

/// Builds the map "Name" -> request name, field -> value text (no units).
class InfoWriter {
 public:
  explicit InfoWriter(const std::string& requestName);
  /// The unit is accepted for symmetry with TextWriter and left out.
  void Add(std::string_view field, double value, std::string_view unit);
  void Add(std::string_view field, bool value);
  void Add(std::string_view field, int value);
  /// The finished map.
  std::map<std::string, std::string> Take() { return std::move(info_); }

 private:
  template <class T>
  void Store(std::string_view field, T value);

  std::ostringstream value_;
  std::map<std::string, std::string> info_;
};

/// The ToString text of a compound: its "Control: " line, then each member's
/// field lines (taken from the member's own ToString, without its "Control: "
/// line) indented by four more spaces under "    AverageRequest:" and
/// "    DifferentialRequest:".
std::string CompoundText(std::string_view className, const std::string& averageText,
                         const std::string& differentialText);

}  // namespace kvor::zephrin6::controls::internal
