#pragma once

// `wisp dump`: every frame and user sample of a log as one row each, in time
// order (frames by the time the runtime received them), as aligned text or
// as CSV.

#include <ostream>
#include <string>

#include "wisp/WispLog.hpp"

namespace wisp_tool {

struct DumpOptions {
  std::string signal;  ///< only rows of this signal or user-signal name; empty for all
  bool csv = false;
};

/// Writes the rows of `log` to `out`; returns the number of rows written.
std::size_t DumpRows(const kvor::zephrin::runtime::wisp::WispLog& log, const DumpOptions& options,
                     std::ostream& out);

}  // namespace wisp_tool
