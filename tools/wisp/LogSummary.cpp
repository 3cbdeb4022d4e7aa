#include "LogSummary.hpp"

#include <ctime>
#include <iomanip>
#include <map>
#include <set>

#include "UserValueText.hpp"

namespace wisp_tool {

using namespace kvor::zephrin::runtime::wisp;

namespace {

std::string CalendarTime(int64_t seconds) {
  const std::time_t when = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&when, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
  return text;
}

}  // namespace

void PrintSummary(const std::string& path, const WispLog& log, std::ostream& out) {
  const ReadReport& report = log.report;
  out << std::fixed << std::setprecision(3);
  out << "file:          " << path << "\n";
  out << "format:        version " << log.header.formatVersion << ", "
      << (log.header.compression == Compression::Zstd ? "zstd" : "uncompressed") << ", written by "
      << log.header.runtimeVersion << "\n";
  out << "started:       " << CalendarTime(log.header.wallClockStart) << "\n";
  out << "log time:      " << log.firstTime << " s to " << log.lastTime << " s (" << log.lastTime - log.firstTime
      << " s)\n";
  out << "readable:      " << report.intactBytes << " of " << report.fileBytes << " bytes, " << report.chunks
      << " chunks";
  if (report.Damaged()) {
    out << "; DAMAGED: " << report.damage << ", replay ends at t = " << log.lastTime << " s\n";
  } else {
    out << (report.cleanEnd ? ", stopped cleanly\n" : ", no clean stop (the writer was interrupted)\n");
  }

  std::map<uint32_t, std::map<uint16_t, std::size_t>> framesByDevice;
  for (const Frame& f : log.frames) ++framesByDevice[f.deviceHash][f.signalId];
  std::map<uint16_t, const SignalDefinition*> signalNames;
  for (const auto& s : log.signals) signalNames[s.signalId] = &s;
  std::map<uint16_t, const UserSignalDefinition*> userDefinitions;
  for (const UserSignalDefinition& u : log.userSignals) userDefinitions.try_emplace(u.index, &u);
  std::map<uint16_t, std::size_t> samplesByDefinition;
  std::size_t userSamples = 0;
  for (const UserSample& s : log.userSamples) {
    if (!userDefinitions.contains(s.definition)) continue;  // of no signal: `wisp check` counts them apart
    ++samplesByDefinition[s.definition];
    ++userSamples;
  }

  // Signals counted as `wisp check` and `wisp export` see them: each signal
  // of each device that sent frames, and each user signal (name and type)
  // with samples.
  std::size_t deviceSignals = 0;
  for (const auto& [hash, signals] : framesByDevice) deviceSignals += signals.size();
  std::set<std::pair<std::string, uint8_t>> userSignals;
  for (const auto& [index, count] : samplesByDefinition) {
    userSignals.emplace(userDefinitions[index]->name, userDefinitions[index]->type);
  }
  out << "signals:       " << deviceSignals + userSignals.size() << " with " << log.frames.size() + userSamples
      << " samples: " << deviceSignals << " of devices, " << userSignals.size() << " user signals\n";

  out << "devices:       " << log.devices.size() << "\n";
  for (const DeviceInfo& device : log.devices) {
    const auto& signals = framesByDevice[device.deviceHash];
    std::size_t frames = 0;
    for (const auto& [id, count] : signals) frames += count;
    out << "  " << DeviceText(device) << "  " << signals.size() << " signals, " << frames << " frames\n";
  }
  out << "signal IDs:    " << log.signals.size() << " named\n";
  for (const auto& [id, definition] : signalNames) {
    out << "  " << id << " " << definition->name;
    if (!definition->units.empty()) out << " [" << definition->units << "]";
    out << "\n";
  }

  out << "user signals:  " << log.userSignals.size() << " definitions\n";
  for (const UserSignalDefinition& u : log.userSignals) {
    out << "  " << u.name << "  " << UserTypeName(u.type);
    if (!u.units.empty()) out << " [" << u.units << "]";
    out << "  " << samplesByDefinition[u.index] << " samples\n";
  }
  out << "dropped user samples: " << log.droppedSamples << "\n";
}

}  // namespace wisp_tool
