#pragma once

// Harness view of the error reports the runtime received through
// c_kvor_zephrin_report_error. For tests and tools only; the product never
// includes this header.

#include <string>
#include <vector>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// One call of c_kvor_zephrin_report_error, as received.
struct ZEPHRIN_RUNTIME_API Report {
  bool isError = false;
  int code = 0;
  std::string details;
  std::string location;
  std::string callStack;
};

/// Every report received since the last Reset or ClearReports, oldest first.
ZEPHRIN_RUNTIME_API std::vector<Report> Reports();
ZEPHRIN_RUNTIME_API void ClearReports();
/// Whether reports are also printed to standard error (default true).
ZEPHRIN_RUNTIME_API void SetReportEcho(bool echo);

}  // namespace kvor::zephrin::runtime::harness
