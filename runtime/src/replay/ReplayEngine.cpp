#include "replay/ReplayEngine.hpp"

#include <cmath>
#include <cstring>
#include <limits>

#include "core/Clock.hpp"
#include "core/ReportLog.hpp"
#include "signals/ReplaySampleSource.hpp"
#include "signals/SignalStore.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispReader.hpp"

namespace kvor::zephrin::runtime::replay {
namespace {

std::string DamageWarning(const wisp::WispLog& log) {
  return "The replayed log is damaged (" + log.report.damage + "): replaying the " +
         std::to_string(log.report.intactBytes) + " of " + std::to_string(log.report.fileBytes) +
         " bytes before it, up to t = " + std::to_string(log.lastTime) + " s.";
}

// Serves the store's reads from the loaded log. Called with the store's lock
// held: it only searches the immutable index and allocates nothing.
class IndexSampleSource final : public signals::ReplaySampleSource {
 public:
  explicit IndexSampleSource(std::shared_ptr<const ReplayIndex> index) : index_(std::move(index)) {}

  bool Latest(uint64_t key, double timeSeconds, platform::SignalMeasurement& out, double& sampleTime) const override {
    const wisp::FrameValue* frame = index_->Latest(key, timeSeconds);
    if (frame == nullptr) return false;
    out = platform::SignalMeasurement{};
    out.value = frame->value;
    out.reportedId = frame->reportedId;
    out.bustrelTime = frame->bustrelTime;
    out.systemTime = frame->systemTime;
    out.deviceTime = frame->deviceTime;
    out.status = frame->status;
    sampleTime = frame->systemTime;
    return true;
  }

  double NextSampleTime(uint64_t key, double timeSeconds) const override {
    double next = 0.0;
    return index_->NextAfter(key, timeSeconds, next) ? next : std::numeric_limits<double>::infinity();
  }

 private:
  std::shared_ptr<const ReplayIndex> index_;
};

}  // namespace

ReplayEngine::ReplayEngine(Clock& clock, signals::SignalStore& signals, ReportLog& reports)
    : clock_(clock), signals_(signals), reports_(reports), replayClock_(clock) {
  // ReplayIsRunning waits in wall time; on the manual clock only a time
  // change can end such a wait.
  clockListener_ = clock_.AddWaiterListener([this] {
    LockGuard lock(mutex_);
    clock_.WakeWaiters(runningCv_);
  });
}

ReplayEngine::~ReplayEngine() {
  Close();
  clock_.RemoveListener(clockListener_);
}

int32_t ReplayEngine::Load(const char* path) {
  if (path == nullptr) return wisp::kInvalidFile;
  LockGuard load(loadMutex_);
  if (IsLoaded()) return wisp::kMultipleReplayNotSupported;

  wisp::WispLog log = wisp::WispReader::ReadFile(path);
  if (log.report.status != wisp::kOK) return log.report.status;
  if (log.report.Damaged()) reports_.Add(false, wisp::kGeneralWarning, DamageWarning(log), path, "");
  auto index = std::make_shared<const ReplayIndex>(std::move(log));
  replayClock_.Reset(index->StartTime(), index->EndTime());
  {
    LockGuard lock(mutex_);
    index_ = index;
  }
  signals_.SetReplaySource(std::make_shared<IndexSampleSource>(index));
  clock_.SetTimeSource([this] { return replayClock_.Now(); });
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::Close() {
  LockGuard load(loadMutex_);
  if (!IsLoaded()) return wisp::kOK;
  clock_.SetTimeSource({});
  signals_.SetReplaySource(nullptr);
  {
    LockGuard lock(mutex_);
    index_.reset();
  }
  TimeChanged();
  return wisp::kOK;
}

bool ReplayEngine::IsLoaded() const {
  LockGuard lock(mutex_);
  return index_ != nullptr;
}

std::shared_ptr<const ReplayIndex> ReplayEngine::Index() const {
  LockGuard lock(mutex_);
  return index_;
}

void ReplayEngine::TimeChanged() {
  {
    LockGuard lock(mutex_);
    clock_.WakeWaiters(runningCv_);
  }
  clock_.NotifyTimeChanged();
}

int32_t ReplayEngine::Play() {
  if (!IsLoaded()) return wisp::kNoFile;
  replayClock_.Play();
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::Pause() {
  if (!IsLoaded()) return wisp::kNoFile;
  replayClock_.Pause();
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::Stop() {
  if (!IsLoaded()) return wisp::kNoFile;
  replayClock_.Rewind();
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::SetSpeed(double speed) {
  if (!IsLoaded()) return wisp::kNoFile;
  if (!(speed > 0.0) || !std::isfinite(speed)) return wisp::kInvalidParamValue;
  replayClock_.SetSpeed(speed);
  TimeChanged();
  return wisp::kOK;
}

int32_t ReplayEngine::Step(double seconds) {
  if (!IsLoaded()) return wisp::kNoFile;
  if (!(seconds >= 0.0) || !std::isfinite(seconds)) return wisp::kInvalidParamValue;
  if (!replayClock_.Step(seconds)) return wisp::kCannotStepWhileUnpaused;
  TimeChanged();
  return wisp::kOK;
}

bool ReplayEngine::WaitUntilRunning(uint16_t timeoutMs) {
  UniqueLock lock(mutex_);
  const double deadline = clock_.WallNow() + timeoutMs / 1000.0;
  clock_.WaitUntilWall(lock, runningCv_, deadline,
                       [&]() ZEPHRIN_REQUIRES(mutex_) { return index_ == nullptr || replayClock_.IsRunning(); });
  return index_ == nullptr || replayClock_.IsRunning();
}

int32_t ReplayEngine::GetUserSignal(std::string_view name, std::string* units, uint8_t& type, uint8_t* data,
                                    uint8_t& size, double& timestamp) const {
  const auto index = Index();
  if (!index) return wisp::kNoFile;
  const auto read = index->LatestUser(name, replayClock_.Now());
  if (read.status != wisp::kOK) return read.status;
  if (units != nullptr) *units = read.definition->units;
  type = read.definition->type;
  size = read.sample->size;
  if (data != nullptr) std::memcpy(data, read.sample->payload.data(), read.sample->size);
  timestamp = read.sample->time;
  return wisp::kOK;
}

}  // namespace kvor::zephrin::runtime::replay
