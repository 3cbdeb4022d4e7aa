#pragma once

// The runtime's signal store: the latest frame of every device signal, keyed
// by the 64-bit signal key (device hash low, signal ID high).
//
// In simulation nothing runs per signal: a present device publishes each of
// its catalogue signals at the signal's applied update frequency on the
// runtime clock, frame k at k / frequency, so the latest frame is derived from
// the clock when it is read. A frame carries the signal's simulated value
// (0 unless set; the device's compliancy number for 2303 "Compliancy"). The
// harness may take a key over by publishing samples into it; a replay sample
// source, while installed, replaces simulation for every key.
//
// The store is a process-wide singleton that owns its state; it is
// thread-safe, and its read path allocates nothing for groups of up to 64
// keys. Waiting reads block on the store's condition variable through the
// clock's WaitUntil, so the manual clock ends them deterministically. Hooks
// for the other runtime services (simulated values, the frames the simulated
// bus carries, replay) are documented below.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <condition_variable>
#include <span>
#include <string_view>
#include <unordered_map>

#include <kvor/zephrin/platform/Signals.hpp>

namespace kvor::zephrin::runtime::devices {
class DeviceRegistry;
struct DeviceRecord;
}  // namespace kvor::zephrin::runtime::devices

namespace kvor::zephrin::runtime::signals {

class ReplaySampleSource;

class SignalStore {
 public:
  using SignalMeasurement = kvor::zephrin::platform::SignalMeasurement;

  static SignalStore& Instance();

  // ---- Program-facing operations (behind the C entry points) ----

  /// Fills one record per key; see c_kvor_zephrin6_get_signal for the
  /// contract. Returns a status value.
  int Read(std::span<const uint64_t> keys, SignalMeasurement* records, std::string_view network, bool waitForUpdate,
           double timeoutSeconds);

  /// Applies an update frequency (0 stops the signal; others are limited to
  /// 4..1000 Hz) and marks it as chosen by the program. Returns a status.
  int SetFrequency(std::string_view network, uint32_t deviceHash, uint16_t signalId, double hz);
  /// The applied frequency of a signal, hertz.
  double AppliedFrequency(uint32_t deviceHash, uint16_t signalId) const;
  /// Sets every signal of a device the program did not choose a frequency
  /// for to `hz`. Returns a status.
  int OptimizeFrequencies(std::string_view network, uint32_t deviceHash, double hz);
  /// Returns every signal of a device to its catalogue default. Returns a status.
  int ResetFrequencies(std::string_view network, uint32_t deviceHash);

  // ---- Hooks for other runtime services ----

  /// (a) Sets the value a device signal carries in simulation from now on
  /// (config actions such as set-position, simulated physics). A non-zero
  /// `reportedId` makes the frames carry that ID instead of the signal's own
  /// (a mode-dependent signal in another control mode).
  void SetSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value, uint16_t reportedId = 0);
  /// The value a device signal carries in simulation (0 until set), so that
  /// a simulated physics input can move a signal by a difference and keep
  /// an offset the program set (set-position actions).
  double SimulatedValue(uint32_t deviceHash, uint16_t signalId) const;

  /// One frame of the simulated bus, as the log writer records it. The texts
  /// are valid during the visit only.
  struct BusFrame {
    uint64_t key;
    std::string_view bus;
    std::string_view model;
    int deviceId;
    SignalMeasurement measurement;
  };
  /// (b) Visits every frame the simulated bus carries with a time in
  /// (fromSeconds, toSeconds]: each signal of each present device at its
  /// applied frequency (stopped signals carry none), plus the samples the
  /// harness published in that interval. Frames come grouped by signal,
  /// ascending in time within a signal. Nothing is visited while a replay
  /// source is installed. The visitor runs without the store's lock and may
  /// read from the store.
  void ForEachFrame(double fromSeconds, double toSeconds, const std::function<void(const BusFrame&)>& visit) const;

  /// (c) Installs the replay sample source that replaces simulation, or
  /// removes it with null. Waiting readers re-plan at once.
  void SetReplaySource(std::shared_ptr<const ReplaySampleSource> source);

  // ---- Harness operations ----

  /// Makes `sample` the latest frame of a key until the next Publish or
  /// Release; simulation no longer feeds that key. Wakes waiting readers.
  void Publish(uint32_t deviceHash, uint16_t signalId, const SignalMeasurement& sample);
  /// Returns a published key to simulation.
  void Release(uint32_t deviceHash, uint16_t signalId);
  /// Wakes waiting readers after a device's presence or compliancy changed.
  void DevicesChanged();
  /// Forgets every frequency, value and published sample and the replay source.
  void Reset();

 private:
  /// What the store keeps per key once anything about it differs from the
  /// defaults (a frequency, a simulated value, a published sample).
  struct KeyState {
    double hz = 0;                 // applied frequency
    bool hzChosen = false;         // set by the program, kept by Optimize
    double hzSince = -1e300;       // when `hz` was applied; its frames start there
    double lastFrameBefore = -1e300;  // latest frame under the previous frequency
    bool hasSimValue = false;
    double simValue = 0;
    uint16_t simReportedId = 0;
    bool published = false;
    uint64_t publishSeq = 0;
    SignalMeasurement sample{};
  };
  /// Identity of the latest frame of a key; a later frame compares newer.
  struct FrameId {
    uint64_t seq;
    double time;
    bool NewerThan(const FrameId& other) const { return seq > other.seq || time > other.time; }
  };

  SignalStore();

  // The helpers below run with mutex_ held; those taking a registry also
  // need the registry's lock held by the caller.
  FrameId Sample(uint64_t key, std::string_view network, double now, const devices::DeviceRegistry& registry,
                 SignalMeasurement* out) const;
  int FillAll(std::span<const uint64_t> keys, SignalMeasurement* records, std::string_view network, double now,
              FrameId* frames) const;
  bool AllNewer(std::span<const uint64_t> keys, std::string_view network, double now, const FrameId* start) const;
  double NextEvent(std::span<const uint64_t> keys, std::string_view network, double now) const;
  double DefaultHz(uint16_t signalId, uint32_t modelMask) const;
  KeyState& StateFor(uint64_t key, uint32_t modelMask);
  void ApplyFrequency(KeyState& state, double hz, double now);
  static bool OnBus(const devices::DeviceRecord* device, std::string_view network);

  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::unordered_map<uint64_t, KeyState> states_;
  std::shared_ptr<const ReplaySampleSource> replay_;
  uint64_t nextSeq_ = 1;
  // Bumped whenever the frame schedule changes (frequencies, replay source),
  // so that waiting readers recompute when to wake.
  uint64_t planGeneration_ = 0;
};

}  // namespace kvor::zephrin::runtime::signals
