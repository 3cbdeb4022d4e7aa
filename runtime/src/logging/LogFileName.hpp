#pragma once

// Names new log files after the calendar time (UTC) they start at, so that
// logs sort by start time and never overwrite an earlier one. Stateless.

#include <ctime>
#include <string>

namespace kvor::zephrin::runtime::logging {

/// "<folder>/zephrin_YYYYMMDD_HHMMSS.wisp" for `when`; when that file exists,
/// "_2", "_3" ... is added before the extension until the name is free.
std::string NewLogFileName(const std::string& folder, std::time_t when);

}  // namespace kvor::zephrin::runtime::logging
