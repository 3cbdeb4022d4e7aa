#pragma once

// `wisp info`: a readable summary of one log (format and writer, time span,
// devices with their signals, user signals, dropped samples, and how much of
// a damaged file could be read).

#include <ostream>
#include <string>

#include "wisp/WispLog.hpp"

namespace wisp_tool {

/// Prints the summary of `log`, read from `path`, to `out`.
void PrintSummary(const std::string& path, const kvor::zephrin::runtime::wisp::WispLog& log, std::ostream& out);

}  // namespace wisp_tool
