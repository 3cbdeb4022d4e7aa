#include "LogCheck.hpp"

#include <algorithm>
#include <iomanip>

#include "LogScan.hpp"
#include "Progress.hpp"
#include "wisp/Status.hpp"

namespace wisp_tool {

using namespace kvor::zephrin::runtime::wisp;

int LogCheck::Run(const std::string& path, std::ostream& out, std::ostream& err, bool showProgress) {
  Progress progress("checking", showProgress);
  LogScan scan;
  const int32_t status = scan.Run(path, [&](uint64_t done, uint64_t total) { progress.Update(done, total); });
  progress.Finish();
  const ReadReport& report = scan.Report();
  if (status != kOK) {
    err << "wisp: " << path << " is not a readable .wisp log: " << report.refusal << "\n";
    return kNotALog;
  }

  uint64_t samples = 0, gaps = 0;
  std::size_t width = 0;
  for (const ScannedSignal& s : scan.Signals()) {
    samples += s.samples;
    gaps += s.gaps.Gaps();
    width = std::max(width, s.name.size());
  }
  width = std::min<std::size_t>(width, 64);

  out << std::fixed << std::setprecision(3);
  out << "file:       " << path << "\n";
  out << "format:     version " << scan.Header().formatVersion << ", "
      << (scan.Header().compression == Compression::Zstd ? "zstd" : "uncompressed") << ", written by "
      << scan.Header().runtimeVersion << "\n";
  out << "chunks:     " << report.chunks << " intact, " << report.intactBytes << " of " << report.fileBytes
      << " bytes\n";
  out << "time span:  " << scan.FirstTime() << " s to " << scan.LastTime() << " s ("
      << scan.LastTime() - scan.FirstTime() << " s)\n";
  out << "end:        "
      << (report.cleanEnd ? "stopped cleanly" : "no clean stop (the program ended or was killed while logging)")
      << "\n";
  if (report.Damaged()) {
    out << "damage:     starts at byte " << report.intactBytes << ": " << report.damage << "; "
        << report.fileBytes - report.intactBytes << " bytes from there on were not read\n";
  } else {
    out << "damage:     none\n";
  }
  out << "dropped:    " << scan.Dropped() << " user samples (the logger's buffer was full)\n";
  if (scan.Undefined() > 0) out << "undefined:  " << scan.Undefined() << " user samples of no defined signal\n";
  out << "signals:    " << scan.Signals().size() << " with " << samples << " samples; " << gaps << " gaps longer than "
      << std::setprecision(0) << GapTracker::kGapPeriods << std::setprecision(3) << " frame periods\n";
  for (const ScannedSignal& s : scan.Signals()) {
    out << "  " << std::left << std::setw(static_cast<int>(width)) << s.name << std::right << "  " << std::setw(9)
        << s.samples << " samples, " << s.firstTime << " s to " << s.lastTime << " s";
    if (s.gaps.Gaps() > 0) {
      out << ", " << s.gaps.Gaps() << (s.gaps.Gaps() == 1 ? " gap" : " gaps") << ", longest " << s.gaps.LongestGap()
          << " s from t = " << s.gaps.LongestGapStart() << " s";
    }
    out << "\n";
  }
  return report.Damaged() ? kDamaged : kIntact;
}

}  // namespace wisp_tool
