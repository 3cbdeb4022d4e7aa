// wisp: inspects, checks, exports and compares .wisp signal logs.
//
//   wisp info FILE                     summary: format, time span, devices,
//                                      signals, user signals, damage
//   wisp dump FILE [--signal NAME] [--csv]
//                                      every frame and user sample, time-ordered
//   wisp check FILE                    integrity report: chunks, time span,
//                                      samples and gaps per signal, damage
//   wisp export FILE [-o OUT] [--format wpilog|csv] [--signals GLOB]...
//               [--from T] [--to T]    the signals as a .wpilog (or CSV) for
//                                      other log viewers
//   wisp diff A B [--signals GLOB]... [--tolerance X]
//                                      the two logs compared record by record
//
// Exit status: info and dump give 0 when the log was readable (a damaged
// tail is reported on standard error) and 1 when it was not; export gives 0
// when it wrote samples and 1 when the log was unreadable, nothing was
// selected (the file is then not written) or the output could not be
// written; check gives 0 for an intact log, 1 for a damaged one and 2 for a
// file that is not a log; diff gives 0 for identical logs, 1 for different
// ones and 2 when either file is not a log. A usage error gives 2.
// Whatever file it is handed, wisp ends with one of these statuses and a
// message, never with a crash.

#include <CLI/CLI.hpp>
#include <cmath>
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "LogCheck.hpp"
#include "LogDiff.hpp"
#include "LogDump.hpp"
#include "LogSummary.hpp"
#include "Progress.hpp"
#include "WispExport.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispReader.hpp"

namespace {

using namespace kvor::zephrin::runtime::wisp;

constexpr int kUsageError = 2;

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
      std::cerr << "wisp: " << path << " is not a readable .wisp log: " << log.report.refusal << "\n";
      return false;
  }
}

// The subcommands and the arguments the command line gives them. CLI11
// writes into the fields, so the object stays where Declare found it.
struct Commands {
  CLI::App* info = nullptr;
  std::string infoFile;
  CLI::App* dump = nullptr;
  std::string dumpFile;
  wisp_tool::DumpOptions dumpOptions;
  CLI::App* check = nullptr;
  std::string checkFile;
  CLI::App* exporter = nullptr;
  std::string exportFile;
  wisp_tool::ExportOptions exportOptions;
  CLI::App* diff = nullptr;
  std::string diffFiles[2];
  wisp_tool::DiffOptions diffOptions;
};

// Declares the five subcommands and their options on `app`, bound to the
// fields of `c`.
void Declare(CLI::App& app, Commands& c) {
  app.require_subcommand(1);

  c.info = app.add_subcommand("info", "Summary of a log: format, time span, devices, signals, damage");
  c.info->add_option("FILE", c.infoFile, "the .wisp log")->required();

  c.dump = app.add_subcommand("dump", "Every frame and user sample of a log, in time order");
  c.dump->add_option("FILE", c.dumpFile, "the .wisp log")->required();
  c.dump->add_option("--signal", c.dumpOptions.signal, "only this device signal or user signal (by name)");
  c.dump->add_flag("--csv", c.dumpOptions.csv, "comma-separated values with a header row");

  c.check = app.add_subcommand("check",
                               "Integrity of a log: chunks, time span, samples and gaps per signal, damage (exit 0 "
                               "intact, 1 damaged, 2 not a log)");
  c.check->add_option("FILE", c.checkFile, "the .wisp log")->required();

  c.exporter = app.add_subcommand("export", "Writes the log's signals as a .wpilog (or CSV) file");
  c.exporter->add_option("FILE", c.exportFile, "the .wisp log")->required();
  c.exporter->add_option("-o,--output", c.exportOptions.output,
                         "output file (default: the log's name with .wpilog or .csv)");
  c.exporter->add_option("--format", c.exportOptions.format, "wpilog (default) or csv")
      ->check(CLI::IsMember({"wpilog", "csv"}));
  c.exporter->add_option("--signals", c.exportOptions.globs,
                         "only signals whose exported name matches this glob, such as '/user/*' or '*/Velocity' "
                         "(repeatable)");
  c.exporter->add_option("--from", c.exportOptions.from, "only samples at or after this log time, seconds");
  c.exporter->add_option("--to", c.exportOptions.to, "only samples at or before this log time, seconds");

  c.diff = app.add_subcommand("diff",
                              "Compares two logs record by record (exit 0 identical, 1 different, 2 not a log)");
  c.diff->add_option("A", c.diffFiles[0], "the first .wisp log")->required();
  c.diff->add_option("B", c.diffFiles[1], "the second .wisp log")->required();
  c.diff->add_option("--signals", c.diffOptions.globs,
                     "only signals whose exported name (as `wisp export` names them) matches this glob (repeatable)");
  c.diff->add_option("--tolerance", c.diffOptions.tolerance,
                     "largest difference between two values that counts as equal (default 0: exactly equal)")
      ->check(CLI::NonNegativeNumber);
}

// Runs the subcommand the command line chose; returns the exit status.
int RunChosen(Commands& c) {
  if (*c.check) return wisp_tool::LogCheck::Run(c.checkFile, std::cout, std::cerr, wisp_tool::Progress::ToTerminal());
  if (*c.diff) {
    if (!std::isfinite(c.diffOptions.tolerance)) {
      std::cerr << "wisp: --tolerance must be a finite number at or above 0\n";
      return kUsageError;
    }
    c.diffOptions.progress = wisp_tool::Progress::ToTerminal();
    return wisp_tool::LogDiff(c.diffOptions).Run(c.diffFiles[0], c.diffFiles[1], std::cout, std::cerr);
  }
  if (*c.exporter) {
    const wisp_tool::ExportOptions& options = c.exportOptions;
    if (std::isnan(options.from) || std::isnan(options.to) || options.from > options.to) {
      std::cerr << "wisp: --from must be a time at or before --to\n";
      return kUsageError;
    }
    c.exportOptions.progress = wisp_tool::Progress::ToTerminal();
    return wisp_tool::WispExport(c.exportOptions).Run(c.exportFile, std::cout, std::cerr);
  }

  WispLog log;
  if (*c.info) {
    if (!Load(c.infoFile, log)) return 1;
    wisp_tool::PrintSummary(c.infoFile, log, std::cout);
    return 0;
  }
  if (!Load(c.dumpFile, log)) return 1;
  wisp_tool::DumpRows(log, c.dumpOptions, std::cout);
  if (log.report.Damaged()) {
    std::cerr << "wisp: " << c.dumpFile << " is damaged (" << log.report.damage << "); rows end at t = "
              << log.lastTime << " s\n";
  }
  return 0;
}

int Run(int argc, char** argv) {
  CLI::App app{"Inspects, checks, exports and compares .wisp signal logs."};
  Commands commands;
  Declare(app, commands);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : kUsageError;
  }
  return RunChosen(commands);
}

}  // namespace

int main(int argc, char** argv) {
  // A tool handed an arbitrary file must end with a status and a message.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "wisp: out of memory\n";
  } catch (const std::exception& e) {
    std::cerr << "wisp: " << e.what() << "\n";
  }
  return 1;
}
