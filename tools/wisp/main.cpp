// wisp: inspects .wisp signal logs.
//
//   wisp info FILE                     summary: format, time span, devices,
//                                      signals, user signals, damage
//   wisp dump FILE [--signal NAME] [--csv]
//                                      every frame and user sample, time-ordered
//
// Exit status: 0 when the log was readable (a damaged tail is reported on
// standard error), 1 when it was not, 2 for a usage error.

#include <CLI/CLI.hpp>

#include <iostream>

#include "LogDump.hpp"
#include "LogSummary.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispReader.hpp"

namespace {

using namespace kvor::zephrin::runtime::wisp;

// Reads `path`; prints why when it cannot be used.
bool Load(const std::string& path, WispLog& log) {
  log = WispReader::ReadFile(path);
  switch (log.report.status) {
    case kOK:
      return true;
    case kWispLogTooNew:
      std::cerr << "wisp: " << path << " was written in a newer log format (version " << log.header.formatVersion
                << ") than this tool reads (" << kFormatVersion << ")\n";
      return false;
    case kWispLogTooOld:
      std::cerr << "wisp: " << path << " uses log format " << log.header.formatVersion
                << ", older than this tool reads\n";
      return false;
    default:
      std::cerr << "wisp: " << path << " is missing or not a .wisp log\n";
      return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Inspects .wisp signal logs."};
  app.require_subcommand(1);

  std::string infoFile;
  auto* info = app.add_subcommand("info", "Summary of a log: format, time span, devices, signals, damage");
  info->add_option("FILE", infoFile, "the .wisp log")->required();

  std::string dumpFile;
  wisp_tool::DumpOptions options;
  auto* dump = app.add_subcommand("dump", "Every frame and user sample of a log, in time order");
  dump->add_option("FILE", dumpFile, "the .wisp log")->required();
  dump->add_option("--signal", options.signal, "only this device signal or user signal (by name)");
  dump->add_flag("--csv", options.csv, "comma-separated values with a header row");

  CLI11_PARSE(app, argc, argv);

  WispLog log;
  if (*info) {
    if (!Load(infoFile, log)) return 1;
    wisp_tool::PrintSummary(infoFile, log, std::cout);
    return 0;
  }
  if (!Load(dumpFile, log)) return 1;
  wisp_tool::DumpRows(log, options, std::cout);
  if (log.report.Damaged()) {
    std::cerr << "wisp: " << dumpFile << " is damaged (" << log.report.damage << "); rows end at t = "
              << log.lastTime << " s\n";
  }
  return 0;
}
