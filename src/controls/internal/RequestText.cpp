#include "controls/internal/RequestText.hpp"

namespace kvor::zephrin6::controls::internal {

TextWriter::TextWriter(std::string_view className) { out_ << "Control: " << className << '\n'; }

void TextWriter::Add(std::string_view field, double value, std::string_view unit) {
  out_ << "    " << field << ": " << value << unit << '\n';
}

void TextWriter::Add(std::string_view field, bool value) { out_ << "    " << field << ": " << value << '\n'; }

void TextWriter::Add(std::string_view field, int value) { out_ << "    " << field << ": " << value << '\n'; }

InfoWriter::InfoWriter(const std::string& requestName) { info_.emplace("Name", requestName); }

template <class T>
void InfoWriter::Store(std::string_view field, T value) {
  value_.str({});
  value_ << value;
  info_.insert_or_assign(std::string{field}, value_.str());
}

void InfoWriter::Add(std::string_view field, double value, std::string_view /*unit*/) { Store(field, value); }
void InfoWriter::Add(std::string_view field, bool value) { Store(field, value); }
void InfoWriter::Add(std::string_view field, int value) { Store(field, value); }

namespace {

// Appends the member's field lines, dropping its "Control: " line.
void AppendMemberFields(std::string& text, const std::string& memberText) {
  std::size_t begin = memberText.find('\n');
  if (begin == std::string::npos) return;
  ++begin;
  while (begin < memberText.size()) {
    std::size_t end = memberText.find('\n', begin);
    end = end == std::string::npos ? memberText.size() : end + 1;
    text.append("    ").append(memberText, begin, end - begin);
    begin = end;
  }
}

}  // namespace

std::string CompoundText(std::string_view className, const std::string& averageText,
                         const std::string& differentialText) {
  std::string text = "Control: ";
  text.append(className).append("\n    AverageRequest:\n");
  AppendMemberFields(text, averageText);
  text.append("    DifferentialRequest:\n");
  AppendMemberFields(text, differentialText);
  return text;
}

}  // namespace kvor::zephrin6::controls::internal
