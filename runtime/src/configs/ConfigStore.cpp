#include "configs/ConfigStore.hpp"

#include <cmath>

#include "catalogue/SignalCatalogue.hpp"
#include "configs/ConfigText.hpp"
#include "configs/FactoryDefaults.hpp"
#include "core/Clock.hpp"
#include "core/Status.hpp"
#include "devices/DeviceRegistry.hpp"
#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::configs {
namespace {

// How many calls per device the harness can look back on; older ones are
// dropped so a long-running program does not grow without bound.
constexpr size_t kMaxRecordedCalls = 256;

enum class Effect { SetSignal, ClearSignal, ClearAllSticky };

struct Action {
  int id;
  Effect effect;
  uint16_t signal;
};

constexpr Action kActions[] = {
#define KVOR_CONFIG_ACTION(symbol, id, effect, sig) {id, Effect::effect, sig},
#include <kvor/zephrin/platform/ConfigIds.def>
};

const Action* FindAction(int id) {
  for (const Action& action : kActions) {
    if (action.id == id) return &action;
  }
  return nullptr;
}

}  // namespace

ConfigStore::ConfigStore(Clock& clock, const devices::DeviceRegistry& devices, signals::SignalStore& signals)
    : clock_(clock), devices_(devices), signals_(signals) {
  // Waits for an absent device end when the runtime clock passes their
  // deadline, so manual time changes must wake them.
  clockListener_ = clock_.AddWaiterListener([this] {
    LockGuard lock(mutex_);
    clock_.WakeWaiters(timeChanged_);
  });
}

ConfigStore::~ConfigStore() { clock_.RemoveListener(clockListener_); }

// A device answers config calls when the program announced it (by encoding
// its key) and the harness has not made it absent.
bool ConfigStore::IsDevicePresent(uint32_t deviceHash) const {
  devices::DeviceRecord record;
  return devices_.Find(deviceHash, record) && record.present;
}

// Only signals the device's model publishes are touched, so a clear of every
// sticky fault does not invent signals the device does not have.
void ConfigStore::SetDeviceSignal(uint32_t deviceHash, uint16_t signalId, double value) {
  devices::DeviceRecord record;
  if (!devices_.Find(deviceHash, record)) return;
  const catalogue::CatalogueEntry* entry = catalogue::FindSignal(signalId);
  if (entry == nullptr || !catalogue::ModelPublishes(*entry, record.modelMask)) return;
  signals_.SetSimulatedValue(deviceHash, signalId, value);
}

int ConfigStore::Admit(UniqueLock& lock, uint32_t deviceHash, double timeoutSeconds) {
  if (timeoutSeconds == 0.0) return kTimeoutCannotBeZero;
  if (!(timeoutSeconds > 0.0) || !std::isfinite(timeoutSeconds)) return kInvalidParamValue;
  if (auto it = injections_.find(deviceHash); it != injections_.end()) {
    int status = it->second.status;
    if (--it->second.remaining <= 0) injections_.erase(it);
    return status;
  }
  bool present =
      clock_.WaitUntil(lock, timeChanged_, clock_.Now() + timeoutSeconds, [&] { return IsDevicePresent(deviceHash); });
  return present ? kOK : kRxTimeout;
}

int ConfigStore::ApplyActions(uint32_t deviceHash, std::string_view text) {
  bool unknown = false;
  int malformed = ForEachPiece(text, [&](const ConfigPiece& piece) {
    const Action* action = FindAction(piece.id);
    if (action == nullptr) {
      unknown = true;
      return;
    }
    switch (action->effect) {
      case Effect::SetSignal:
        SetDeviceSignal(deviceHash, action->signal, piece.asDouble);
        break;
      case Effect::ClearSignal:
        SetDeviceSignal(deviceHash, action->signal, 0.0);
        break;
      case Effect::ClearAllSticky:
        for (const Action& each : kActions) {
          if (each.effect == Effect::ClearSignal) SetDeviceSignal(deviceHash, each.signal, 0.0);
        }
        SetDeviceSignal(deviceHash, action->signal, 0.0);
        break;
    }
    if (hooks_.action) hooks_.action(deviceHash, piece.id, piece.asDouble);
  });
  return (malformed > 0 || unknown) ? kInvalidParamValue : kOK;
}

int ConfigStore::Set(uint32_t deviceHash, double timeoutSeconds, std::string_view text, bool firstFlag,
                     bool actionFlag) {
  UniqueLock lock(mutex_);
  int status = Admit(lock, deviceHash, timeoutSeconds);
  if (status == kOK) {
    if (actionFlag) {
      status = ApplyActions(deviceHash, text);
    } else {
      auto& values = stored_[deviceHash];
      int malformed = ForEachPiece(text, [&](const ConfigPiece& piece) { values[piece.id] = std::string(piece.text); });
      if (malformed > 0) status = kInvalidParamValue;
      if (hooks_.settingsChanged) hooks_.settingsChanged(deviceHash, JoinWithFactory(deviceHash));
    }
  }
  Record(deviceHash, {true, std::string(text), timeoutSeconds, firstFlag, actionFlag, status});
  return status;
}

int ConfigStore::Get(uint32_t deviceHash, double timeoutSeconds, std::string& text) {
  UniqueLock lock(mutex_);
  int status = Admit(lock, deviceHash, timeoutSeconds);
  // A device never configured answers with its factory settings.
  text = status == kOK ? JoinWithFactory(deviceHash) : std::string();
  Record(deviceHash, {false, text, timeoutSeconds, false, false, status});
  return status;
}

std::string ConfigStore::JoinStored(uint32_t deviceHash) const {
  std::string text;
  if (auto it = stored_.find(deviceHash); it != stored_.end()) {
    for (const auto& [id, piece] : it->second) text += piece;
  }
  return text;
}

std::string ConfigStore::JoinWithFactory(uint32_t deviceHash) const {
  devices::DeviceRecord record;
  if (!devices_.Find(deviceHash, record)) return JoinStored(deviceHash);
  const std::map<int, std::string>& factory = FactoryPieces(record.model);
  auto it = stored_.find(deviceHash);
  if (it == stored_.end() || it->second.empty()) {
    std::string text;
    for (const auto& [id, piece] : factory) text += piece;
    return text;
  }
  // Both maps ascend by ID: merge them, the stored piece winning.
  std::string text;
  auto f = factory.begin();
  for (const auto& [id, piece] : it->second) {
    for (; f != factory.end() && f->first < id; ++f) text += f->second;
    if (f != factory.end() && f->first == id) ++f;
    text += piece;
  }
  for (; f != factory.end(); ++f) text += f->second;
  return text;
}

void ConfigStore::Record(uint32_t deviceHash, RecordedConfigCall call) {
  auto& calls = calls_[deviceHash];
  if (calls.size() >= kMaxRecordedCalls) calls.erase(calls.begin());
  calls.push_back(std::move(call));
}

std::string ConfigStore::StoredText(uint32_t deviceHash) const {
  LockGuard lock(mutex_);
  return JoinStored(deviceHash);
}

void ConfigStore::InjectFailures(uint32_t deviceHash, int count, int status) {
  LockGuard lock(mutex_);
  if (count <= 0) {
    injections_.erase(deviceHash);
  } else {
    injections_[deviceHash] = {count, status};
  }
}

std::vector<RecordedConfigCall> ConfigStore::Calls(uint32_t deviceHash) const {
  LockGuard lock(mutex_);
  auto it = calls_.find(deviceHash);
  return it == calls_.end() ? std::vector<RecordedConfigCall>{} : it->second;
}

}  // namespace kvor::zephrin::runtime::configs
