#pragma once

// The runtime's signal logger. It owns the user-signal buffer, the current
// log file and the background writer thread that cuts log time into slices
// of one flush period (~100 ms) and, once the clock has passed a slice,
// collects the bus frames of that slice from the FrameSource (by default
// the signal store's simulated bus) and the user samples written in it, and
// writes them as one chunk. It hears of new devices through the device
// registry's listener (automatic logging starts with the first one). Owned by
// the Runtime; Shutdown (or the destructor) completes and closes the log.
// Start and Stop are serialised; user-signal writes only touch the buffer.
// Every public call is thread-safe.
//
// What a log holds depends on the runtime's time alone, never on when the
// writer thread runs: slices end at times that follow from the start time,
// the flush period and the times it was changed; a frame or user sample
// goes into the slice of its time. On the manual clock the same program
// therefore writes the same records into the same chunks every time (only
// the file name and the calendar start time differ). A harness flush
// (AwaitWritten) ends a slice where it is called.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>

#include "logging/FrameSource.hpp"
#include "logging/UserSignalBuffer.hpp"

namespace kvor::zephrin::runtime {
class Clock;
class ReportLog;
namespace devices {
class DeviceRegistry;
}
namespace signals {
class SignalStore;
}
}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::runtime::logging {

class LoggerService {
 public:
  LoggerService(Clock& clock, devices::DeviceRegistry& devices, signals::SignalStore& signals, ReportLog& reports);
  ~LoggerService();
  LoggerService(const LoggerService&) = delete;
  LoggerService& operator=(const LoggerService&) = delete;

  /// Longest stretch of log time between two chunks by default, seconds.
  static constexpr double kDefaultFlushPeriod = 0.1;
  /// Shortest wall time between two syncs of the file to storage, seconds.
  static constexpr double kSyncPeriod = 1.0;
  /// How far behind the clock a running writer stops: frames at the current
  /// instant wait for the next chunk, seconds (twice the clock's tolerance).
  static constexpr double kOpenInstant = 2e-9;
  /// Folder logs go to until SetPath changes it.
  static constexpr const char* kDefaultPath = "./logs";

  /// See CANComm_SetLoggerPath.
  [[nodiscard]] int32_t SetPath(std::string_view path) ZEPHRIN_EXCLUDES(controlMutex_);
  /// See CANComm_StartLogger.
  [[nodiscard]] int32_t Start() ZEPHRIN_EXCLUDES(controlMutex_, stateMutex_);
  /// See CANComm_StopLogger.
  int32_t Stop() ZEPHRIN_EXCLUDES(controlMutex_, stateMutex_);
  /// See CANComm_SetLoggerFlushPeriod.
  [[nodiscard]] int32_t SetFlushPeriod(double seconds) ZEPHRIN_EXCLUDES(stateMutex_);
  bool IsRunning() const { return running_.load(std::memory_order_acquire); }

  /// See CANComm_LogUserSignal; `type` is a platform::UserDataType value.
  [[nodiscard]] int32_t LogUserSignal(std::string_view name, std::string_view units, uint8_t type, const uint8_t* data,
                                      uint8_t size, double latencySeconds);

  /// See LoggerManager::EnableAutoLogging.
  [[nodiscard]] int32_t EnableAutoLogging(bool enable);
  /// Called whenever the program creates a device; the first call starts
  /// logging when automatic logging is on. Cheap after the first call.
  void OnDeviceCreated();
  /// Completes and closes the running log and refuses to start another:
  /// the runtime is going away.
  void Shutdown() ZEPHRIN_EXCLUDES(controlMutex_, stateMutex_);

  /// Replaces the source of bus frames; null restores the default, the
  /// signal store's simulated bus.
  void SetFrameSource(std::shared_ptr<FrameSource> source) ZEPHRIN_EXCLUDES(sourceMutex_);

  /// The file being written, or empty when not logging.
  std::string CurrentFile() const ZEPHRIN_EXCLUDES(controlMutex_);
  /// The file most recently started (running or stopped), or empty.
  std::string LastFile() const ZEPHRIN_EXCLUDES(controlMutex_);
  /// User samples dropped in the current or last log.
  uint64_t DroppedSamples() const;
  /// Ring size for the next log, in samples.
  void SetBufferCapacity(std::size_t samples) ZEPHRIN_EXCLUDES(controlMutex_);
  /// Blocks until the writer has written everything before the current
  /// runtime instant (returns at once when not logging).
  void AwaitWritten() ZEPHRIN_EXCLUDES(stateMutex_);


 private:
  int32_t StopWriter() ZEPHRIN_EXCLUDES(controlMutex_, stateMutex_);
  void WriterLoop(double startTime, double period) ZEPHRIN_EXCLUDES(stateMutex_);
  void WriteSlice(double after, double upTo, bool last) ZEPHRIN_EXCLUDES(sourceMutex_);

  Clock& clock_;
  devices::DeviceRegistry& devices_;
  signals::SignalStore& signals_;
  ReportLog& reports_;
  int clockListener_ = 0;
  int deviceListener_ = 0;

  // Serialises Start, Stop and the settings they read; taken before
  // stateMutex_.
  mutable Mutex controlMutex_ ZEPHRIN_ACQUIRED_BEFORE(stateMutex_);
  std::string path_ ZEPHRIN_GUARDED_BY(controlMutex_) = kDefaultPath;
  std::string currentFile_ ZEPHRIN_GUARDED_BY(controlMutex_);
  std::string lastFile_ ZEPHRIN_GUARDED_BY(controlMutex_);
  std::size_t capacity_ ZEPHRIN_GUARDED_BY(controlMutex_) = UserSignalBuffer::kDefaultCapacity;
  std::thread writer_ ZEPHRIN_GUARDED_BY(controlMutex_);
  bool shutDown_ ZEPHRIN_GUARDED_BY(controlMutex_) = false;

  mutable Mutex sourceMutex_;
  std::shared_ptr<FrameSource> source_ ZEPHRIN_GUARDED_BY(sourceMutex_);

  std::atomic<bool> running_{false};
  std::atomic<bool> autoLogging_{false};
  std::atomic<bool> deviceSeen_{false};

  UserSignalBuffer buffer_;

  // The writer thread's hand-shake: stop and flush requests, flush period
  // changes and progress.
  mutable Mutex stateMutex_;
  std::condition_variable stateCv_;
  bool stopRequested_ ZEPHRIN_GUARDED_BY(stateMutex_) = true;  // no writer runs, or it is asked to stop
  double flushUpTo_ ZEPHRIN_GUARDED_BY(stateMutex_) = 0.0;     // AwaitWritten asks for a slice to end here
  double flushPeriod_ ZEPHRIN_GUARDED_BY(stateMutex_) = kDefaultFlushPeriod;  // for the next log
  // (runtime time, period), for the writer.
  std::vector<std::pair<double, double>> periodChanges_ ZEPHRIN_GUARDED_BY(stateMutex_);
  double writtenUpTo_ ZEPHRIN_GUARDED_BY(stateMutex_) = 0.0;

  // Writer-thread state (see LoggerService.cpp).
  struct WriterState;
  std::unique_ptr<WriterState> writerState_;
};

}  // namespace kvor::zephrin::runtime::logging
