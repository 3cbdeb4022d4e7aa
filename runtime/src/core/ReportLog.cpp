#include "core/ReportLog.hpp"

#include <cstdio>

#include "core/ResetRegistry.hpp"

namespace kvor::zephrin::runtime {
namespace {
const bool kRegistered = (RegisterReset([] {
                            ReportLog::Instance().Clear();
                            ReportLog::Instance().SetEcho(true);
                          }),
                          true);
}  // namespace

ReportLog& ReportLog::Instance() {
  static ReportLog log;
  return log;
}

void ReportLog::Add(bool isError, int code, std::string details, std::string location, std::string callStack) {
  std::lock_guard lock(mutex_);
  if (echo_) {
    // One fprintf per block so that reports from two threads do not interleave.
    std::string block = std::string(isError ? "[zephrin] Error " : "[zephrin] Warning ") + std::to_string(code) +
                        ": " + details + "\n  at: " + location + "\n";
    if (!callStack.empty()) block += "  stack:\n" + callStack;
    std::fputs(block.c_str(), stderr);
  }
  reports_.push_back({isError, code, std::move(details), std::move(location), std::move(callStack)});
}

std::vector<harness::Report> ReportLog::Snapshot() const {
  std::lock_guard lock(mutex_);
  return reports_;
}

void ReportLog::Clear() {
  std::lock_guard lock(mutex_);
  reports_.clear();
}

void ReportLog::SetEcho(bool echo) {
  std::lock_guard lock(mutex_);
  echo_ = echo;
}

namespace harness {
std::vector<Report> Reports() { return ReportLog::Instance().Snapshot(); }
void ClearReports() { ReportLog::Instance().Clear(); }
void SetReportEcho(bool echo) { ReportLog::Instance().SetEcho(echo); }
}  // namespace harness

}  // namespace kvor::zephrin::runtime
