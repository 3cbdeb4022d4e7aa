#pragma once

// Keeps every report the runtime received (for the harness) and prints each one
// to standard error as a short block: kind and code, description, location and
// the call stack. Thread-safe.

#include <mutex>
#include <string>
#include <vector>

#include <kvor/zephrin/runtime/harness/Reports.hpp>

namespace kvor::zephrin::runtime {

class ReportLog {
 public:
  static ReportLog& Instance();

  void Add(bool isError, int code, std::string details, std::string location, std::string callStack);
  std::vector<harness::Report> Snapshot() const;
  void Clear();
  void SetEcho(bool echo);

 private:
  ReportLog() = default;
  mutable std::mutex mutex_;
  std::vector<harness::Report> reports_;
  bool echo_ = true;
};

}  // namespace kvor::zephrin::runtime
