#pragma once

// What an export of a log must hold, worked out from the log as our own
// reader reads it, with the naming and encoding rules spelled out here
// again by hand: device signals as doubles named /<bus>/<model> <id>/<signal>
// (with " [<units>]" when the device has several signals of that name), user
// signals as /user/<name> with their own type (and " (<type>)" when the name
// comes with several types), times in whole microseconds of log time.

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "wisp/WispLog.hpp"

namespace zephrin_test {

struct ExpectedEntry {
  std::string type;
  std::string units;  ///< of the first sample
  std::vector<uint64_t> times;
  std::vector<std::vector<uint8_t>> payloads;
};

inline uint64_t Microseconds(double seconds) { return static_cast<uint64_t>(std::llround(seconds * 1e6)); }

/// The entries an export of `log` holds, keyed by name; `keep(name, time)`
/// selects samples.
template <class Keep>
std::map<std::string, ExpectedEntry> ExpectedEntries(const kvor::zephrin::runtime::wisp::WispLog& log, Keep keep) {
  using namespace kvor::zephrin::runtime::wisp;
  static const char* const kTypes[] = {"raw",    "boolean",   "int64",   "float",   "double",
                                       "string", "boolean[]", "int64[]", "float[]", "double[]"};
  std::map<uint32_t, const DeviceInfo*> devices;
  for (const auto& d : log.devices) devices[d.deviceHash] = &d;
  std::map<uint16_t, const SignalDefinition*> definitions;
  for (const auto& s : log.signals) definitions[s.signalId] = &s;
  std::map<uint16_t, const UserSignalDefinition*> users;
  for (const auto& u : log.userSignals) users[u.index] = &u;

  std::map<std::pair<uint32_t, std::string>, std::set<uint16_t>> idsByName;
  for (const Frame& f : log.frames) idsByName[{f.deviceHash, definitions.at(f.signalId)->name}].insert(f.signalId);
  std::map<std::string, std::set<uint8_t>> typesByName;
  for (const UserSample& s : log.userSamples)
    typesByName[users.at(s.definition)->name].insert(users.at(s.definition)->type);

  std::map<std::string, ExpectedEntry> entries;
  auto add = [&](const std::string& name, const std::string& type, const std::string& units, double time,
                 const uint8_t* bytes, std::size_t size) {
    if (!keep(name, time)) return;
    ExpectedEntry& e = entries[name];
    if (e.times.empty()) {
      e.type = type;
      e.units = units;
    }
    e.times.push_back(Microseconds(time));
    e.payloads.emplace_back(bytes, bytes + size);
  };
  for (const Frame& f : log.frames) {
    const DeviceInfo& d = *devices.at(f.deviceHash);
    const SignalDefinition& s = *definitions.at(f.signalId);
    std::string name = "/" + d.bus + "/" + d.model + " " + std::to_string(d.deviceId) + "/" + s.name;
    if (idsByName[{f.deviceHash, s.name}].size() > 1) name += " [" + s.units + "]";
    add(name, "double", s.units, f.value.systemTime, reinterpret_cast<const uint8_t*>(&f.value.value), 8);
  }
  for (const UserSample& s : log.userSamples) {
    const UserSignalDefinition& u = *users.at(s.definition);
    std::string name = "/user/" + u.name;
    if (typesByName[u.name].size() > 1) name += std::string(" (") + kTypes[u.type] + ")";
    add(name, kTypes[u.type], u.units, s.time, s.payload.data(), s.size);
  }
  return entries;
}

}  // namespace zephrin_test
