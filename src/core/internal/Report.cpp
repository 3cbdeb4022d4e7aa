#include "core/internal/Report.hpp"

#include <kvor/zephrin/platform/Reporting.hpp>

namespace kvor::zephrin6::internal {

void ReportStatus(kvor::zephrin::StatusCode code, std::string_view location, int stackDepth) {
  // +1 skips this helper's own frame so that depth 1 names the caller's caller,
  // as at a direct call of the runtime's stack trace.
  std::string stack = kvor::zephrin::platform::GetStackTrace(stackDepth + 1);
  std::string where(location);
  c_kvor_zephrin_report_error(code.IsError() ? 1 : 0, code.value(), 0, code.GetDescription(), where.c_str(),
                              stack.c_str());
}

void ReportMessage(bool isError, std::string_view message, std::string_view location, int stackDepth) {
  std::string stack = kvor::zephrin::platform::GetStackTrace(stackDepth + 1);
  std::string text(message);
  std::string where(location);
  c_kvor_zephrin_report_error(isError ? 1 : 0, 0, 0, text.c_str(), where.c_str(), stack.c_str());
}

namespace {
std::string Join(std::string_view a, std::string_view b, std::string_view c = {}) {
  std::string out;
  out.reserve(a.size() + b.size() + c.size());
  out.append(a).append(b).append(c);
  return out;
}
}  // namespace

std::string StatusSignalLocation(std::string_view deviceText, std::string_view signalName) {
  return Join(deviceText, " Status Signal ", signalName);
}
std::string ControlRequestLocation(std::string_view deviceText, std::string_view requestName) {
  return Join(deviceText, " Control Request ", requestName);
}
std::string ApplyConfigLocation(std::string_view deviceText) { return Join(deviceText, " Apply Config"); }
std::string RefreshConfigLocation(std::string_view deviceText) { return Join(deviceText, " Refresh Config"); }
std::string ConfigLocation(std::string_view deviceText) { return Join(deviceText, " Config"); }

}  // namespace kvor::zephrin6::internal
