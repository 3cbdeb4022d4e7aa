#include "LogDump.hpp"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "UserValueText.hpp"

namespace wisp_tool {

using namespace kvor::zephrin::runtime::wisp;

namespace {

struct Row {
  double time;
  const Frame* frame;       // a device frame, or
  const UserSample* user;   // a user sample
};

}  // namespace

std::size_t DumpRows(const WispLog& log, const DumpOptions& options, std::ostream& out) {
  std::unordered_map<uint32_t, std::string> devices;
  for (const auto& d : log.devices) devices[d.deviceHash] = DeviceText(d);
  std::unordered_map<uint16_t, const SignalDefinition*> signals;
  for (const auto& s : log.signals) signals[s.signalId] = &s;
  std::unordered_map<uint16_t, const UserSignalDefinition*> users;
  for (const auto& u : log.userSignals) users[u.index] = &u;

  auto signalName = [&](const Frame& f) {
    const auto found = signals.find(f.signalId);
    return found != signals.end() && !found->second->name.empty() ? found->second->name
                                                                   : std::to_string(f.signalId);
  };

  std::vector<Row> rows;
  rows.reserve(log.frames.size() + log.userSamples.size());
  for (const Frame& f : log.frames) {
    if (options.signal.empty() || signalName(f) == options.signal) rows.push_back({f.value.systemTime, &f, nullptr});
  }
  for (const UserSample& s : log.userSamples) {
    const auto found = users.find(s.definition);
    if (found == users.end()) continue;
    if (options.signal.empty() || found->second->name == options.signal) rows.push_back({s.time, nullptr, &s});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.time < b.time; });

  const char* separator = options.csv ? "," : "  ";
  if (options.csv) out << "time,source,signal,value,units,status,reported_id,bustrel_time,device_time\n";
  for (const Row& row : rows) {
    std::string fields[9];
    fields[0] = ExactNumber(row.time);
    if (row.frame != nullptr) {
      const Frame& f = *row.frame;
      const auto device = devices.find(f.deviceHash);
      const auto definition = signals.find(f.signalId);
      fields[1] = device != devices.end() ? device->second : "device " + std::to_string(f.deviceHash);
      fields[2] = signalName(f);
      fields[3] = ExactNumber(f.value.value);
      fields[4] = definition != signals.end() ? definition->second->units : "";
      fields[5] = std::to_string(f.value.status);
      fields[6] = std::to_string(f.value.reportedId);
      fields[7] = ExactNumber(f.value.bustrelTime);
      fields[8] = ExactNumber(f.value.deviceTime);
    } else {
      const UserSignalDefinition& u = *users.at(row.user->definition);
      fields[1] = "user";
      fields[2] = u.name;
      fields[3] = UserValueText(u.type, *row.user);
      fields[4] = u.units;
      fields[5] = "0";
    }
    for (int i = 0; i < 9; ++i) {
      if (i > 0) out << separator;
      out << (options.csv ? CsvField(fields[i]) : fields[i]);
    }
    out << '\n';
  }
  return rows.size();
}

}  // namespace wisp_tool
