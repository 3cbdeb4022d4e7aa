#pragma once

// Names new log files after the calendar time (UTC) they start at, so that
// logs sort by start time, and creates them exclusively, so that two
// programs starting a log in the same second never share one file. Stateless.

#include <ctime>
#include <string>

namespace kvor::zephrin::runtime::logging {

/// Creates an empty file "<folder>/zephrin_YYYYMMDD_HHMMSS.wisp" for `when`
/// that did not exist before (another program may be creating names in the
/// same folder at the same time); when the name is taken, "_2", "_3" ... is
/// added before the extension until a name can be created. Returns the name,
/// or empty when no file can be created in the folder.
std::string CreateLogFile(const std::string& folder, std::time_t when);

}  // namespace kvor::zephrin::runtime::logging
