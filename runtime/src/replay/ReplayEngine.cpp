#include "replay/ReplayEngine.hpp"

#include <chrono>
#include <cmath>
#include <cstring>

#include <kvor/zephrin/platform/Reporting.hpp>

#include "core/Clock.hpp"
#include "core/ResetRegistry.hpp"
#include "replay/StoreBinding.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispReader.hpp"

namespace kvor::zephrin::runtime::replay {
namespace {
const bool kRegistered = (RegisterReset([] { ReplayEngine::Instance().Close(); }), true);

std::string DamageWarning(const wisp::WispLog& log) {
  return "The replayed log is damaged (" + log.report.damage + "): replaying the " +
         std::to_string(log.report.intactBytes) + " of " + std::to_string(log.report.fileBytes) +
         " bytes before it, up to t = " + std::to_string(log.lastTime) + " s.";
}
}  // namespace

ReplayEngine& ReplayEngine::Instance() {
  static ReplayEngine engine;
  return engine;
}

int32_t ReplayEngine::Load(const char* path) {
  if (path == nullptr) return wisp::kInvalidFile;
  std::lock_guard load(loadMutex_);
  if (IsLoaded()) return wisp::kMultipleReplayNotSupported;

  wisp::WispLog log = wisp::WispReader::ReadFile(path);
  if (log.report.status != wisp::kOK) return log.report.status;
  if (log.report.Damaged()) {
    const std::string warning = DamageWarning(log);
    c_kvor_zephrin_report_error(0, wisp::kGeneralWarning, 0, warning.c_str(), path, "");
  }
  auto index = std::make_shared<const ReplayIndex>(std::move(log));
  // The manual clock is frozen unless a test moves it: the replay then takes
  // its wall reference from the harness as well, never from real time.
  clock_.Reset(index->StartTime(), index->EndTime(), Clock::Instance().IsManual());
  {
    std::lock_guard lock(mutex_);
    index_ = index;
  }
  BindSignalStore(index);
  Clock::Instance().SetTimeSource([this] { return clock_.Now(); });
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::Close() {
  std::lock_guard load(loadMutex_);
  if (!IsLoaded()) return wisp::kOK;
  Clock::Instance().SetTimeSource({});
  UnbindSignalStore();
  {
    std::lock_guard lock(mutex_);
    index_.reset();
  }
  TimeChanged();
  return wisp::kOK;
}

bool ReplayEngine::IsLoaded() const {
  std::lock_guard lock(mutex_);
  return index_ != nullptr;
}

std::shared_ptr<const ReplayIndex> ReplayEngine::Index() const {
  std::lock_guard lock(mutex_);
  return index_;
}

void ReplayEngine::TimeChanged() {
  {
    std::lock_guard lock(mutex_);
    runningCv_.notify_all();
  }
  Clock::Instance().NotifyTimeChanged();
}

int32_t ReplayEngine::Play() {
  if (!IsLoaded()) return wisp::kNoFile;
  clock_.Play();
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::Pause() {
  if (!IsLoaded()) return wisp::kNoFile;
  clock_.Pause();
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::Stop() {
  if (!IsLoaded()) return wisp::kNoFile;
  clock_.Rewind();
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::SetSpeed(double speed) {
  if (!IsLoaded()) return wisp::kNoFile;
  if (!(speed > 0.0) || !std::isfinite(speed)) return wisp::kInvalidParamValue;
  clock_.SetSpeed(speed);
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::Step(double seconds) {
  if (!IsLoaded()) return wisp::kNoFile;
  if (!(seconds >= 0.0) || !std::isfinite(seconds)) return wisp::kInvalidParamValue;
  if (!clock_.Step(seconds)) return wisp::kCannotStepWhileUnpaused;
  TimeChanged();
  return wisp::kOK;
}

void ReplayEngine::AdvanceManualWall(double seconds) {
  clock_.AdvanceManualWall(seconds);
  TimeChanged();
}

bool ReplayEngine::WaitUntilRunning(uint16_t timeoutMs) {
  std::unique_lock lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (index_ != nullptr && !clock_.IsRunning()) {
    if (runningCv_.wait_until(lock, deadline) == std::cv_status::timeout) break;
  }
  return index_ == nullptr || clock_.IsRunning();
}

int32_t ReplayEngine::GetUserSignal(std::string_view name, std::string* units, uint8_t& type, uint8_t* data,
                                    uint8_t& size, double& timestamp) const {
  const auto index = Index();
  if (!index) return wisp::kNoFile;
  const auto read = index->LatestUser(name, clock_.Now());
  if (read.status != wisp::kOK) return read.status;
  if (units != nullptr) *units = read.definition->units;
  type = read.definition->type;
  size = read.sample->size;
  if (data != nullptr) std::memcpy(data, read.sample->payload.data(), read.sample->size);
  timestamp = read.sample->time;
  return wisp::kOK;
}

}  // namespace kvor::zephrin::runtime::replay
