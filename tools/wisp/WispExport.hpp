#pragma once

// `wisp export`: writes every device signal and user signal of a .wisp log
// as a .wpilog (or CSV) file that robot teams' log viewers open. Device
// signals become double entries, user signals keep their type; each entry
// carries its units; timestamps are the log's own time in microseconds, so
// our log lines up with a team's other logs.
//
// The log is read once, chunk by chunk: the samples are written chunk after
// chunk, in time order within each chunk, under the names the LogScan gives
// from what it has read so far. Names are decided from the whole log, so
// when a later chunk changes the name of an entry already written (a second
// signal of a device under the same base name) or what the globs pick, that
// output is dropped and the log read a second time under the final names.
// Memory stays at one chunk plus the signal table whatever the log's length. A damaged log exports everything
// before the damage and says where it stopped; an export that would hold
// nothing (a glob that picks no signal, a time window that misses the log,
// a log without an intact chunk) says why and writes no file. The output is
// written into a partial file beside its final name and renamed into place
// once complete (see PartialFile), so a failed export never leaves a
// half-written file under that name, and the log itself is never
// overwritten. Not thread-safe.

#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace wisp_tool {

struct ExportOptions {
  std::string output;              ///< empty: the log's path with the format's extension
  std::string format = "wpilog";   ///< "wpilog" or "csv"
  std::vector<std::string> globs;  ///< only signals whose exported name matches one; empty for all
  double from = -std::numeric_limits<double>::infinity();  ///< only samples at or after, seconds
  double to = std::numeric_limits<double>::infinity();     ///< only samples at or before, seconds
  bool progress = false;                                   ///< show progress on standard error
};

class WispExport {
 public:
  explicit WispExport(ExportOptions options) : options_(std::move(options)) {}

  /// Exports the log at `input`, telling what was written on `out` and
  /// problems on `err`. Returns the exit status: 0 when exported (a damaged
  /// log: everything before the damage, with a note on `err`), 1 when the log
  /// could not be read, nothing was selected or the output not written
  /// (nothing is left under the output's name then).
  int Run(const std::string& input, std::ostream& out, std::ostream& err) const;

 private:
  ExportOptions options_;
};

}  // namespace wisp_tool
