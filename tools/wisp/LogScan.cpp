#include "LogScan.hpp"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "wisp/Status.hpp"
#include "wisp/WispChunkReader.hpp"

namespace wisp_tool {

using namespace kvor::zephrin::runtime::wisp;

namespace {

uint64_t DeviceKey(uint32_t deviceHash, uint16_t signalId) { return (uint64_t{deviceHash} << 16) | signalId; }

std::string UserKey(const UserSignalDefinition& d) { return d.name + '\0' + static_cast<char>(d.type); }

}  // namespace

// What one chunk added to the catalogue, so that a chunk passing a bound can
// be taken back whole.
struct LogScan::Admission {
  std::vector<uint32_t> devices;
  std::vector<uint16_t> definitions;
  std::vector<uint16_t> userDefinitions;
  std::vector<uint64_t> deviceSignals;
  std::vector<uint16_t> userSignals;
  std::vector<std::string> userNames;
  std::size_t signals = 0;
  std::size_t nameBytes = 0;
};

const char* LogScan::ExportType(uint8_t userType) {
  static const char* const kTypes[] = {"raw",    "boolean",   "int64",   "float",   "double",
                                       "string", "boolean[]", "int64[]", "float[]", "double[]"};
  return userType < std::size(kTypes) ? kTypes[userType] : "raw";
}

int32_t LogScan::DeviceSignal(uint32_t deviceHash, uint16_t signalId) const {
  const auto found = deviceSignals_.find(DeviceKey(deviceHash, signalId));
  return found != deviceSignals_.end() ? found->second : -1;
}

int32_t LogScan::UserSignal(uint16_t definition) const {
  const auto found = userSignals_.find(definition);
  return found != userSignals_.end() ? found->second : -1;
}

const UserSignalDefinition* LogScan::UserDefinition(uint16_t definition) const {
  const auto found = userDefinitions_.find(definition);
  return found != userDefinitions_.end() ? &found->second : nullptr;
}

bool LogScan::Admit(const WispChunk& chunk) {
  Admission added;
  added.signals = signals_.size();
  added.nameBytes = nameBytes_;
  auto withinBounds = [&] { return signals_.size() <= kMaxSignals && nameBytes_ <= kMaxNameBytes; };
  auto newSignal = [&](std::string baseName) {
    nameBytes_ += baseName.size();
    baseNames_.push_back(std::move(baseName));
    signals_.emplace_back();
    return static_cast<int32_t>(signals_.size() - 1);
  };

  // The first definition of a device or signal holds; a log repeats none.
  for (const DeviceInfo& d : chunk.devices) {
    if (devices_.try_emplace(d.deviceHash, d).second) {
      added.devices.push_back(d.deviceHash);
      nameBytes_ += d.model.size() + d.bus.size();
    }
  }
  for (const SignalDefinition& d : chunk.signals) {
    if (definitions_.try_emplace(d.signalId, d).second) {
      added.definitions.push_back(d.signalId);
      nameBytes_ += d.name.size() + d.units.size();
    }
  }
  for (const UserSignalDefinition& d : chunk.userSignals) {
    if (userDefinitions_.try_emplace(d.index, d).second) {
      added.userDefinitions.push_back(d.index);
      nameBytes_ += d.name.size() + d.units.size();
    }
  }
  uint64_t lastKey = UINT64_MAX;
  for (const Frame& f : chunk.frames) {
    const uint64_t key = DeviceKey(f.deviceHash, f.signalId);
    if (key == lastKey || !withinBounds()) continue;
    lastKey = key;
    if (deviceSignals_.contains(key)) continue;
    const auto definition = definitions_.find(f.signalId);
    const bool named = definition != definitions_.end() && !definition->second.name.empty();
    const int32_t index = newSignal(named ? definition->second.name : std::to_string(f.signalId));
    ScannedSignal& s = signals_[static_cast<std::size_t>(index)];
    s.type = "double";
    s.units = definition != definitions_.end() ? definition->second.units : "";
    s.deviceHash = f.deviceHash;
    s.signalId = f.signalId;
    deviceSignals_.emplace(key, index);
    added.deviceSignals.push_back(key);
  }
  for (const UserSample& sample : chunk.userSamples) {
    if (!withinBounds() || userSignals_.contains(sample.definition)) continue;
    const auto definition = userDefinitions_.find(sample.definition);
    if (definition == userDefinitions_.end()) continue;
    const UserSignalDefinition& d = definition->second;
    auto [named, inserted] = userNames_.try_emplace(UserKey(d), -1);
    if (inserted) {
      named->second = newSignal(d.name);
      ScannedSignal& s = signals_[static_cast<std::size_t>(named->second)];
      s.user = true;
      s.type = ExportType(d.type);
      s.units = d.units;
      added.userNames.push_back(named->first);
    }
    userSignals_.emplace(sample.definition, named->second);
    added.userSignals.push_back(sample.definition);
  }
  if (withinBounds()) return true;

  for (uint32_t key : added.devices) devices_.erase(key);
  for (uint16_t key : added.definitions) definitions_.erase(key);
  for (uint16_t key : added.userDefinitions) userDefinitions_.erase(key);
  for (uint64_t key : added.deviceSignals) deviceSignals_.erase(key);
  for (uint16_t key : added.userSignals) userSignals_.erase(key);
  for (const std::string& key : added.userNames) userNames_.erase(key);
  signals_.resize(added.signals);
  baseNames_.resize(added.signals);
  nameBytes_ = added.nameBytes;
  return false;
}

void LogScan::Tally(const WispChunk& chunk) {
  auto note = [this](ScannedSignal& s, double time) {
    if (s.samples++ == 0) s.firstTime = s.lastTime = time;
    s.firstTime = std::min(s.firstTime, time);
    s.lastTime = std::max(s.lastTime, time);
    s.gaps.Add(time);
  };
  for (const DroppedSamples& d : chunk.dropped) dropped_ += d.count;
  if (chunk.hasTime) {
    firstTime_ = std::min(firstTime_, chunk.firstTime);
    lastTime_ = std::max(lastTime_, chunk.lastTime);
  }
  if (detail_ == Detail::kNames) {
    for (const UserSample& sample : chunk.userSamples) undefined_ += UserSignal(sample.definition) < 0 ? 1 : 0;
    return;
  }
  uint64_t lastKey = UINT64_MAX;
  ScannedSignal* last = nullptr;
  for (const Frame& f : chunk.frames) {
    const uint64_t key = DeviceKey(f.deviceHash, f.signalId);
    if (key != lastKey) {
      lastKey = key;
      last = &signals_[static_cast<std::size_t>(deviceSignals_.at(key))];
    }
    note(*last, f.value.systemTime);
  }
  for (const UserSample& sample : chunk.userSamples) {
    const int32_t index = UserSignal(sample.definition);
    if (index < 0) {
      ++undefined_;
      continue;
    }
    note(signals_[static_cast<std::size_t>(index)], sample.time);
  }
}

void LogScan::ResolveNames() {
  // Signal names a device uses more than once, and user names with several types.
  std::map<std::pair<uint32_t, std::string>, int> perDevice;
  std::map<std::string, int> perUserName;
  for (std::size_t i = 0; i < signals_.size(); ++i) {
    if (signals_[i].user) {
      ++perUserName[baseNames_[i]];
    } else {
      ++perDevice[{signals_[i].deviceHash, baseNames_[i]}];
    }
  }
  std::set<std::string> taken;
  for (std::size_t i = 0; i < signals_.size(); ++i) {
    ScannedSignal& s = signals_[i];
    const std::string& base = baseNames_[i];
    if (s.user) {
      s.name = "/user/" + base;
      if (perUserName[base] > 1) s.name += " (" + s.type + ")";
    } else {
      const auto device = devices_.find(s.deviceHash);
      if (device != devices_.end()) {
        const DeviceInfo& d = device->second;
        s.name = "/" + d.bus + "/" + d.model + " " + std::to_string(d.deviceId) + "/" + base;
      } else {
        char hash[16];
        std::snprintf(hash, sizeof hash, "%08x", s.deviceHash);
        s.name = std::string("/device ") + hash + "/" + base;
      }
      if (perDevice[{s.deviceHash, base}] > 1)
        s.name += " [" + (s.units.empty() ? std::to_string(s.signalId) : s.units) + "]";
    }
    // Two signals may still meet under one name (a log naming two devices
    // alike); the later one gets a number.
    if (!taken.insert(s.name).second) {
      for (int n = 2;; ++n) {
        const std::string numbered = s.name + " (" + std::to_string(n) + ")";
        if (taken.insert(numbered).second) {
          s.name = numbered;
          break;
        }
      }
    }
  }
}

void LogScan::NameAsRead() {
  // Naming is redone whole each time a chunk brings new signals: cheap for
  // real logs, whose signals all come in their first chunks, and bounded
  // for a log that adds one signal per chunk, which would make it quadratic.
  constexpr uint64_t kMostNamingWork = 1u << 22;
  if (signals_.size() == named_ || namingWork_ + signals_.size() > kMostNamingWork) return;
  namingWork_ += signals_.size();
  named_ = signals_.size();
  ResolveNames();
}

int32_t LogScan::Run(const std::string& path, const std::function<void(uint64_t, uint64_t)>& progress,
                     const std::function<void(const WispChunk&)>& visit) {
  WispChunkReader reader;
  reader.Open(path);
  header_ = reader.Header();
  report_ = reader.Report();
  if (report_.status != kOK) return report_.status;
  firstTime_ = lastTime_ = header_.startTime;

  WispChunk chunk;
  std::string bound;
  while (reader.Next(chunk)) {
    if (!Admit(chunk)) {
      bound = "more than " + std::to_string(kMaxSignals) + " signals or " + std::to_string(kMaxNameBytes >> 20) +
              " MiB of names from the chunk at byte " + std::to_string(chunk.offset) + " on";
      break;
    }
    Tally(chunk);
    if (visit) {
      NameAsRead();
      visit(chunk);
    }
    report_ = reader.Report();
    if (progress) progress(report_.intactBytes, report_.fileBytes);
  }
  if (bound.empty()) {
    report_ = reader.Report();
  } else {
    report_.damage = bound;
  }
  ResolveNames();
  return report_.status;
}

ReadReport LogScan::ReadAgain(const std::string& path,
                              const std::function<void(const WispChunk&, const ReadReport&)>& each) const {
  WispChunkReader reader;
  reader.Open(path);
  WispChunk chunk;
  uint32_t chunks = 0;
  while (chunks < report_.chunks && reader.Next(chunk)) {
    ++chunks;
    each(chunk, reader.Report());
  }
  return chunks < report_.chunks ? reader.Report() : report_;
}

}  // namespace wisp_tool
