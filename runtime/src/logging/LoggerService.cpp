#include "logging/LoggerService.hpp"

#include <algorithm>
#include <bitset>
#include <cassert>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <unordered_set>
#include <utility>
#include <vector>

#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/platform/Signals.hpp>

#include "core/Clock.hpp"
#include "core/ReportLog.hpp"
#include "devices/DeviceRegistry.hpp"
#include "logging/LogFileName.hpp"
#include "signals/SignalStore.hpp"
#include "logging/StoreFrameSource.hpp"
#include "wisp/ChunkBuilder.hpp"
#include "wisp/Status.hpp"
#include "wisp/WispFileWriter.hpp"

namespace kvor::zephrin::runtime::logging {

// Texts longer than a record can carry are refused where they come in (user
// signals here, devices by their registration), so the chunk builder never
// has to refuse a record of this writer.
static_assert(platform::can::kMaxUserSignalTextLength <= wisp::ChunkBuilder::kMaxText);
static_assert(platform::kMaxDeviceTextLength <= wisp::ChunkBuilder::kMaxText);

// Everything only the writer thread touches while a log is open.
struct LoggerService::WriterState {
  wisp::WispFileWriter file;
  std::string path;
  wisp::ChunkBuilder chunk;
  UserSignalBuffer::Batch batch;
  // Taken from the buffer, written at a time after the slices written so
  // far (the current instant): they go into the slice of their time.
  std::vector<UserSignalBuffer::WrittenDefinition> definitions;
  std::vector<UserSignalBuffer::WrittenSample> samples;
  uint64_t dropped = 0;
  // Flush period changes not yet reached, oldest first: (runtime time of
  // the change, new period), seconds.
  std::vector<std::pair<double, double>> periodChanges;
  std::unordered_set<uint32_t> devicesSeen;
  std::bitset<65536> signalsSeen;
  std::vector<uint16_t> newSignals;
  bool writeFailed = false;
  std::chrono::steady_clock::time_point lastSync{};
};

LoggerService::LoggerService(Clock& clock, devices::DeviceRegistry& devices, signals::SignalStore& signals,
                             ReportLog& reports)
    : clock_(clock),
      devices_(devices),
      signals_(signals),
      reports_(reports),
      source_(MakeStoreFrameSource(signals)),
      writerState_(std::make_unique<WriterState>()) {
  clockListener_ = clock_.AddWaiterListener([this] {
    LockGuard lock(stateMutex_);
    clock_.WakeWaiters(stateCv_);
  });
  deviceListener_ = devices_.AddRegistrationListener([this](const devices::DeviceRecord&) { OnDeviceCreated(); });
}

LoggerService::~LoggerService() {
  Shutdown();
  devices_.RemoveListener(deviceListener_);
  clock_.RemoveListener(clockListener_);
}

void LoggerService::Shutdown() {
  StopWriter();
  LockGuard lock(controlMutex_);
  shutDown_ = true;
}

int32_t LoggerService::SetPath(std::string_view path) {
  if (path.empty()) return wisp::kInvalidParamValue;
  LockGuard lock(controlMutex_);
  path_ = std::string(path);
  return wisp::kOK;
}

int32_t LoggerService::Start() {
  LockGuard lock(controlMutex_);
  if (running_.load()) return wisp::kOK;
  if (shutDown_) return wisp::kLoggerNotRunning;

  std::error_code error;
  std::filesystem::create_directories(path_, error);
  if (!std::filesystem::is_directory(path_, error)) return wisp::kDirectoryMissing;

  const double startTime = clock_.Now();
  const std::time_t calendarStart = std::time(nullptr);
  const std::string file = CreateLogFile(path_, calendarStart);
  WriterState& state = *writerState_;
  if (file.empty() || !state.file.Open(file, startTime, static_cast<int64_t>(calendarStart))) {
    return wisp::kInvalidFile;
  }
  state.path = file;
  state.chunk.Clear();
  state.definitions.clear();
  state.samples.clear();
  state.dropped = 0;
  state.periodChanges.clear();
  state.devicesSeen.clear();
  state.signalsSeen.reset();
  state.writeFailed = false;
  buffer_.Restart(capacity_);
  double period = 0.0;
  {
    LockGuard stateLock(stateMutex_);
    stopRequested_ = false;
    flushUpTo_ = -std::numeric_limits<double>::infinity();
    periodChanges_.clear();
    period = flushPeriod_;
    writtenUpTo_ = startTime;
  }
  // From now on the store keeps each signal's history until the writer has
  // collected it, so every frame is logged with the value of its own time.
  signals_.SetRecordedUpTo(startTime);
  currentFile_ = lastFile_ = file;
  running_.store(true, std::memory_order_release);
  writer_ = std::thread([this, startTime, period] { WriterLoop(startTime, period); });
  return wisp::kOK;
}

int32_t LoggerService::Stop() { return StopWriter(); }

int32_t LoggerService::SetFlushPeriod(double seconds) {
  if (!(seconds >= platform::can::kMinFlushPeriod && seconds <= platform::can::kMaxFlushPeriod)) {
    return wisp::kInvalidParamValue;
  }
  const double now = clock_.Now();
  LockGuard lock(stateMutex_);
  flushPeriod_ = seconds;
  // The running log takes the new period from this time on, wherever its
  // writer is: a writer waiting on the old, longer period picks it up now.
  if (!stopRequested_) {
    periodChanges_.emplace_back(now, seconds);
    clock_.WakeWaiters(stateCv_);
  }
  return wisp::kOK;
}

int32_t LoggerService::StopWriter() {
  LockGuard lock(controlMutex_);
  if (!running_.load()) return wisp::kOK;
  running_.store(false, std::memory_order_release);
  {
    LockGuard stateLock(stateMutex_);
    stopRequested_ = true;
  }
  clock_.WakeWaiters(stateCv_);
  writer_.join();
  signals_.SetRecordedUpTo(std::numeric_limits<double>::infinity());
  currentFile_.clear();
  return wisp::kOK;
}

int32_t LoggerService::LogUserSignal(std::string_view name, std::string_view units, uint8_t type,
                                     const uint8_t* data, uint8_t size, double latencySeconds) {
  if (!running_.load(std::memory_order_acquire)) return wisp::kLoggerNotRunning;
  if (size > platform::can::kMaxUserSignalPayload || name.size() > platform::can::kMaxUserSignalTextLength ||
      units.size() > platform::can::kMaxUserSignalTextLength) {
    return wisp::kInvalidSize;
  }
  if (name.empty() || (data == nullptr && size != 0) ||
      type > static_cast<uint8_t>(platform::UserDataType::DoubleArray) || !std::isfinite(latencySeconds)) {
    return wisp::kInvalidParamValue;
  }
  const double now = clock_.Now();
  return buffer_.Append(name, units, type, data, size, now - latencySeconds, now);
}

int32_t LoggerService::EnableAutoLogging(bool enable) {
  autoLogging_.store(enable);
  if (enable && deviceSeen_.load()) return Start();
  return wisp::kOK;
}

void LoggerService::OnDeviceCreated() {
  if (deviceSeen_.load(std::memory_order_acquire) || deviceSeen_.exchange(true)) return;
  if (!autoLogging_.load()) return;
  // No caller waits for this start's status, so a failure is reported here:
  // otherwise the program would run without a log and never hear of it.
  const int32_t status = Start();
  if (status != wisp::kOK) {
    std::string folder;
    {
      LockGuard lock(controlMutex_);
      folder = path_;
    }
    reports_.Add(true, status, "Automatic logging could not start; nothing is logged.", folder, "");
  }
}

void LoggerService::SetFrameSource(std::shared_ptr<FrameSource> source) {
  if (!source) source = MakeStoreFrameSource(signals_);
  LockGuard lock(sourceMutex_);
  source_ = std::move(source);
}

std::string LoggerService::CurrentFile() const {
  LockGuard lock(controlMutex_);
  return currentFile_;
}

std::string LoggerService::LastFile() const {
  LockGuard lock(controlMutex_);
  return lastFile_;
}

uint64_t LoggerService::DroppedSamples() const { return buffer_.TotalDropped(); }

void LoggerService::SetBufferCapacity(std::size_t samples) {
  LockGuard lock(controlMutex_);
  capacity_ = std::max<std::size_t>(samples, 1);
}

void LoggerService::AwaitWritten() {
  const double now = clock_.Now() - kOpenInstant;
  UniqueLock lock(stateMutex_);
  // The writer ends a chunk here rather than at its next boundary; it
  // publishes its progress and notifies after every wake-up.
  flushUpTo_ = std::max(flushUpTo_, now);
  clock_.WakeWaiters(stateCv_);
  lock.Wait(stateCv_, [&]() ZEPHRIN_REQUIRES(stateMutex_) { return !running_.load() || writtenUpTo_ >= now; });
}

void LoggerService::WriterLoop(double startTime, double period) {
  WriterState& state = *writerState_;
  double written = startTime;  // the end of the last slice written
  // Where the slice that starts at `written` ends: a flush period later, or
  // a new period after a change of period within it. Every end follows from
  // the start time and the changes' times alone, so the same run cuts its
  // log into the same chunks however late the writer wakes.
  auto sliceEnd = [&] {
    double end = written + period;
    for (const auto& [at, newPeriod] : state.periodChanges) {
      if (at > end) break;
      end = std::min(end, std::max(at, written) + newPeriod);
    }
    return end;
  };
  auto writeUpTo = [&](double upTo, bool last) {
    WriteSlice(written, upTo, last);
    written = upTo;
    auto& changes = state.periodChanges;
    while (!changes.empty() && changes.front().first <= upTo) {
      period = changes.front().second;
      changes.erase(changes.begin());
    }
  };

  for (;;) {
    bool stopping = false;
    double now = 0.0;
    double flushUpTo = 0.0;
    {
      UniqueLock lock(stateMutex_);
      clock_.WaitUntil(lock, stateCv_, sliceEnd() + kOpenInstant + Clock::kTolerance,
                       [&]() ZEPHRIN_REQUIRES(stateMutex_) {
                         return stopRequested_ || flushUpTo_ > written || !periodChanges_.empty();
                       });
      // The time first, then what was asked before it: a change of period
      // made before the clock reached `now` is in the list.
      now = clock_.Now();
      stopping = stopRequested_;
      flushUpTo = std::exchange(flushUpTo_, -std::numeric_limits<double>::infinity());
      state.periodChanges.insert(state.periodChanges.end(), periodChanges_.begin(), periodChanges_.end());
      periodChanges_.clear();
    }
    // Everything the program wrote up to now; each goes into the slice of
    // the time it was written.
    buffer_.TakeBatch(state.batch);
    for (const auto& d : state.batch.definitions) state.definitions.push_back(d);
    for (std::size_t i = 0; i < state.batch.count; ++i) state.samples.push_back(state.batch[i]);
    state.dropped += state.batch.dropped;

    // The current instant stays open until the clock moves on (or the log
    // stops): the program may still change a value at this very time, and
    // a frame sent now must carry that value, as a live read at this time
    // sees it.
    const double limit = stopping ? now : now - kOpenInstant;
    // The clock can go back when a replayed log is rewound under a running
    // logger; continue from the new time rather than writing nothing forever.
    written = std::min(written, limit);
    for (double end = sliceEnd(); end <= limit && !(stopping && end >= limit); end = sliceEnd()) {
      writeUpTo(end, false);
    }
    if (stopping) {
      writeUpTo(limit, true);
    } else if (std::min(flushUpTo, limit) > written) {
      writeUpTo(std::min(flushUpTo, limit), false);
    }
    signals_.SetRecordedUpTo(written);
    {
      LockGuard lock(stateMutex_);
      writtenUpTo_ = written;
    }
    clock_.WakeWaiters(stateCv_);
    if (stopping) break;
  }
  state.file.Close();
}

void LoggerService::WriteSlice(double after, double upTo, bool last) {
  WriterState& state = *writerState_;
  state.chunk.Clear();

  // The user samples and definitions written up to the slice's end, in
  // the order they were written; the last slice takes them all.
  auto upToEnd = [&](const auto& written) { return last || written.at <= upTo; };
  const auto definitions = std::find_if_not(state.definitions.begin(), state.definitions.end(), upToEnd);
  for (auto d = state.definitions.begin(); d != definitions; ++d) {
    [[maybe_unused]] const bool added = state.chunk.AddUserSignalDefinition(d->record);
    assert(added && "a user signal's name and units were checked against the record limit when it was written");
  }
  state.definitions.erase(state.definitions.begin(), definitions);
  const auto samples = std::find_if_not(state.samples.begin(), state.samples.end(), upToEnd);
  for (auto s = state.samples.begin(); s != samples; ++s) state.chunk.AddUserSample(s->record);
  state.samples.erase(state.samples.begin(), samples);
  if (state.dropped > 0) state.chunk.AddDropped(upTo, std::exchange(state.dropped, 0));

  std::shared_ptr<FrameSource> source;
  {
    LockGuard lock(sourceMutex_);
    source = source_;
  }
  if (source && upTo > after) {
    state.newSignals.clear();
    source->CollectFrames(after, upTo, [&](const BusFrame& bus) {
      if (state.devicesSeen.insert(bus.frame.deviceHash).second) {
        [[maybe_unused]] const bool added =
            state.chunk.AddDevice({bus.frame.deviceHash, bus.deviceId, std::string(bus.model), std::string(bus.bus)});
        assert(added && "a device whose model or bus name is over the record limit is never registered");
      }
      if (!state.signalsSeen.test(bus.frame.signalId)) {
        state.signalsSeen.set(bus.frame.signalId);
        state.newSignals.push_back(bus.frame.signalId);
      }
      state.chunk.AddFrame(bus.frame);
    });
    // Described after collecting, so that the source is never re-entered
    // from inside its own enumeration.
    for (uint16_t id : state.newSignals) {
      [[maybe_unused]] const bool added = state.chunk.AddSignalDefinition(source->Describe(id));
      assert(added && "signal names and units come from the catalogue, whose texts are short");
    }
  }
  if (last) state.chunk.AddEnd(upTo);

  const bool written = state.file.WriteChunk(state.chunk);
  const auto wallNow = std::chrono::steady_clock::now();
  if (written && wallNow - state.lastSync >= std::chrono::duration<double>(kSyncPeriod)) {
    // Best effort: the chunk has already reached the operating system, which
    // is all a killed process needs; a failed sync only widens what a power
    // cut could take.
    static_cast<void>(state.file.Sync());
    state.lastSync = wallNow;
  }
  if (!written && !state.writeFailed) {
    state.writeFailed = true;
    reports_.Add(true, wisp::kInvalidFile, "Could not write to the signal log; later samples are lost.",
                 state.path.c_str(), "");
  }
}

}  // namespace kvor::zephrin::runtime::logging
