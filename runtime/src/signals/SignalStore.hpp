#pragma once

// The runtime's signal store: the frames of every device signal, keyed by the
// 64-bit signal key (device hash low, signal ID high).
//
// In simulation nothing runs per signal: a present device publishes each of
// its catalogue signals at the signal's applied update frequency on the
// runtime clock, frame k at k / frequency, so the latest frame is derived from
// the clock when it is read. A frame carries the value the signal had at the
// frame's own time: every change of a simulated value, frequency or reported
// ID opens a new segment of the signal's timeline, and a frame takes the
// segment it falls in. A value set between two frames therefore shows from the
// next frame on, live and in a log alike, and the log writer, which collects
// the frames of the last ~100 ms at once, records each with the value it was
// sent with. Segments are forgotten once neither the latest frame nor the log
// writer can still need them, so the timeline stays a few entries long.
//
// Frames carry the signal's simulated value (0 unless set; the device's
// compliancy number for "Compliancy"). A simulated value is always a
// finite number: a value that is not (simulated physics run away on absurd
// but finite inputs) is ignored, and the signal keeps the one it had. The
// simulated firmware sets the values of the devices it simulates in batches,
// one per device and 1 ms step.
// The harness may take a key over, either by publishing samples into it or by
// holding a simulated value the firmware then leaves alone; a replay sample
// source, while installed, replaces simulation for every key.
//
// Owned by the Runtime, built over its clock, device registry and bus
// registry. Thread-safe; the read path allocates nothing for groups of up to
// 64 keys. Waiting reads block on the store's condition variable through the
// clock's WaitUntil, so the manual clock ends them deterministically.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/platform/Signals.hpp>

#include "devices/DeviceRegistry.hpp"

namespace kvor::zephrin::runtime {
class BusRegistry;
class Clock;
}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::runtime::signals {

class ReplaySampleSource;

class SignalStore {
  struct KeyState;  // what the store keeps of a key (below)

 public:
  using SignalMeasurement = kvor::zephrin::platform::SignalMeasurement;

  SignalStore(Clock& clock, const devices::DeviceRegistry& devices, const BusRegistry& buses);
  ~SignalStore();
  SignalStore(const SignalStore&) = delete;
  SignalStore& operator=(const SignalStore&) = delete;

  // ---- Program-facing operations (behind the C entry points) ----

  /// Fills one record per key; see c_kvor_zephrin6_get_signal for the
  /// contract. Returns a status value.
  [[nodiscard]] int Read(std::span<const uint64_t> keys, SignalMeasurement* records, std::string_view network,
                         bool waitForUpdate, double timeoutSeconds);

  /// Applies an update frequency (0 stops the signal; others are limited to
  /// 4..1000 Hz) and marks it as chosen by the program. Returns a status.
  [[nodiscard]] int SetFrequency(std::string_view network, uint32_t deviceHash, uint16_t signalId, double hz);
  /// The applied frequency of a signal, hertz.
  double AppliedFrequency(uint32_t deviceHash, uint16_t signalId) const;
  /// Sets every signal of a device the program did not choose a frequency
  /// for to `hz`. Returns a status.
  [[nodiscard]] int OptimizeFrequencies(std::string_view network, uint32_t deviceHash, double hz);
  /// Returns every signal of a device to its catalogue default. Returns a status.
  [[nodiscard]] int ResetFrequencies(std::string_view network, uint32_t deviceHash);

  // ---- Hooks for other runtime services ----

  /// (a) Sets the value a device signal carries in simulation from now on
  /// (config actions such as set-position, simulated physics). A non-zero
  /// `reportedId` makes the frames carry that ID instead of the signal's own
  /// (a mode-dependent signal in another control mode).
  void SetSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value, uint16_t reportedId = 0) {
    SetSimulatedValue(deviceHash, signalId, value, reportedId, false);
  }
  /// The value a device signal carries in simulation (0 until set), so that
  /// a simulated physics input can move a signal by a difference and keep
  /// an offset the program set (set-position actions).
  double SimulatedValue(uint32_t deviceHash, uint16_t signalId) const;

  /// One value of a batch: a signal, its value and the ID it is reported
  /// under (0: its own).
  struct ValueUpdate {
    uint16_t signalId = 0;
    double value = 0.0;
    uint16_t reportedId = 0;
  };
  /// One signal a simulated sensor's physics input moves: set to `value`,
  /// or, `byDifference`, moved by `value` from what it carries, so that an
  /// offset the program set (set-position actions) survives.
  struct SensorValue {
    uint16_t signalId = 0;
    double value = 0.0;
    bool byDifference = false;
  };
  /// (a) for the few signals the physics inputs of a simulated sensor move
  /// every step, on each of the device objects `deviceHashes`, every one set
  /// as SetSimulatedValue sets it, all under one lock. Input i moves the
  /// next `counts[i]` of `values`, all or nothing, the inputs in order; the
  /// first input whose signal moved by a difference would not stay finite
  /// changes nothing and ends the call. Returns how many inputs were set.
  [[nodiscard]] size_t SetSensorInputsNow(std::span<const uint32_t> deviceHashes, std::span<const SensorValue> values,
                                          std::span<const uint8_t> counts);
  /// The inputs of one sensor in a batch of SetSensorInputsNow: its device
  /// objects and how many values each of its inputs moves.
  struct SensorInputs {
    std::span<const uint32_t> deviceHashes;
    std::span<const uint8_t> counts;
  };
  /// The states of the keys a batch of SetSensorInputsNow moves, kept for a
  /// caller that hands over the same batch every step, so that a step finds
  /// its keys without looking them up. The caller clears it whenever its
  /// batch moves other keys (other sensors, inputs or device objects); a
  /// store that did not fill it starts it afresh. A key nothing has set yet
  /// stays absent until it is set.
  class SensorStates {
   public:
    void Clear() {
      states_.clear();
      flat_ = false;
    }

   private:
    friend class SignalStore;
    struct Kept {
      uint64_t key = 0;
      KeyState* state = nullptr;  // null until found
    };
    uint64_t store_ = 0;       // the serial number of the store that filled it
    std::vector<Kept> states_;  // per signal moved on each device object, in the order the store moves them
    // Set once a batch was taken whole with every state found, one device
    // object per sensor and no key twice: states_[i] is then the key of the
    // batch's value i, and no value moves what another one checks, so a
    // step checks and moves them in one pass each (MoveFlat). `inputs_` is
    // how many inputs the batch has.
    bool flat_ = false;
    size_t inputs_ = 0;
  };
  /// SetSensorInputsNow for several sensors in order, under one lock and at
  /// one reading of the clock (a physics step's sensors): the inputs of
  /// `sensors[i]` move the values after those of the sensors before it. The
  /// first input refused changes nothing and ends the call, whichever sensor
  /// it belongs to. Returns how many inputs, counted over all of them, were
  /// set. `kept`, when given, keeps the states of the keys moved.
  [[nodiscard]] size_t SetSensorInputsNow(std::span<const SensorInputs> sensors, std::span<const SensorValue> values,
                                          SensorStates* kept = nullptr);
  /// (a') Sets several simulated values of one device, each holding from
  /// `atSeconds` on (the time of the firmware step that computed them, which
  /// may lie a step ahead of the clock until the clock reaches it). Keys the
  /// harness holds (HoldSimulatedValue, Publish) keep their value. One lock
  /// for the whole batch; allocates only for keys seen for the first time.
  void SetSimulatedValues(uint32_t deviceHash, std::span<const ValueUpdate> values, double atSeconds);
  /// SetSimulatedValues for several devices in order, under one lock (a
  /// firmware step's values of every device): device `deviceHashes[i]`
  /// takes the next `counts[i]` of `values` (no more than are left).
  void SetSimulatedValues(std::span<const uint32_t> deviceHashes, std::span<const size_t> counts,
                          std::span<const ValueUpdate> values, double atSeconds);
  /// The values a newly simulated device has carried since before anyone
  /// looked: every frame so far of a key nothing set yet carries its value;
  /// other keys take it from now on. Held and published keys keep theirs.
  void SetInitialValues(uint32_t deviceHash, std::span<const ValueUpdate> values);
  /// Changes with every change of the frame schedule (a frequency set,
  /// optimised or reset, a key released, a replay source installed), so that
  /// the firmware knows when to ask for applied frequencies again. Lock-free.
  uint64_t ScheduleVersion() const { return scheduleVersion_.load(std::memory_order_acquire); }
  /// Whether a replay sample source replaces simulation. Lock-free.
  bool ReplayInstalled() const { return replayInstalled_.load(std::memory_order_acquire); }

  /// One frame of the simulated bus, as the log writer records it. The texts
  /// are valid during the visit only.
  struct BusFrame {
    uint64_t key;
    std::string_view bus;
    std::string_view model;
    int deviceId;
    SignalMeasurement measurement;
  };
  /// (b) Visits every frame the simulated bus carried with a time in
  /// (fromSeconds, toSeconds]: each signal of each present device at its
  /// applied frequency from the device's registration on, with the value it
  /// had at that frame's time (stopped signals carry none), plus the samples
  /// the harness published in that interval. Frames come grouped by signal,
  /// devices in the order of their hashes, ascending in time within a
  /// signal, so the same run lists the same frames alike. Nothing is visited
  /// while a replay source is installed. The visitor runs without the
  /// store's lock and may read from the store.
  void ForEachFrame(double fromSeconds, double toSeconds, const std::function<void(const BusFrame&)>& visit) const;

  /// (c) Tells the store that frames up to `seconds` have been recorded and
  /// will not be asked for again, so older history may go; +infinity (the
  /// default) when nobody records. The log writer moves it as it writes.
  void SetRecordedUpTo(double seconds);

  /// (d) Installs the replay sample source that replaces simulation, or
  /// removes it with null. Waiting readers re-plan at once.
  void SetReplaySource(std::shared_ptr<const ReplaySampleSource> source);

  // ---- Harness operations ----

  /// Makes `sample` the latest frame of a key until the next Publish or
  /// Release; simulation no longer feeds that key. Wakes waiting readers.
  void Publish(uint32_t deviceHash, uint16_t signalId, const SignalMeasurement& sample);
  /// Sets a simulated value and holds it: the firmware simulation no longer
  /// changes the key until Release (a test standing in for physics).
  void HoldSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value);
  /// Returns a published or held key to simulation.
  void Release(uint32_t deviceHash, uint16_t signalId);
  /// Wakes waiting readers after a device's presence or compliancy changed.
  void DevicesChanged();

 private:
  static constexpr double kNoTime = -std::numeric_limits<double>::infinity();

  /// One stretch of a signal's timeline with constant frequency, value and
  /// reported ID. It lasts until the next segment's start.
  /// (Ordered so that it packs into 32 bytes: a key kept for the log writer
  /// holds one per change of its value.)
  struct Segment {
    double start = kNoTime;
    double hz = 0;
    double value = 0;
    uint16_t reportedId = 0;  // 0: the signal's own ID
    bool hasValue = false;    // else the signal's default (0, or the compliancy number)
  };
  /// What the store keeps per key once anything about it differs from the
  /// defaults (a frequency, a simulated value, a published sample).
  struct KeyState {
    std::vector<Segment> segments;  // ascending by start, never empty; the last one is current
    bool hzChosen = false;          // set by the program, kept by Optimize
    bool published = false;
    bool held = false;  // the harness holds the simulated value
    uint64_t publishSeq = 0;
    SignalMeasurement sample{};
    std::vector<SignalMeasurement> publishedSince;  // published samples the log writer has yet to collect
    // The index of the current segment's first frame, for the start and
    // frequency it was worked out for: a value set every step asks for it
    // once per step, and the segment changes only every few.
    double firstFrameStart = std::numeric_limits<double>::quiet_NaN();
    double firstFrameHz = 0;
    double firstFrame = 0;

    const Segment& Current() const { return segments.back(); }
  };
  /// The simulated value a key carries now (0 until set).
  static double CarriedValue(const KeyState& state) {
    return state.Current().hasValue ? state.Current().value : 0.0;
  }
  /// Identity of the latest frame of a key; a later frame compares newer.
  struct FrameId {
    uint64_t seq;
    double time;
    bool NewerThan(const FrameId& other) const { return seq > other.seq || time > other.time; }
  };
  /// The latest frame of a timeline at a time: its time and segment.
  struct LatestFrame {
    double time = kNoTime;
    const Segment* segment = nullptr;
  };

  void SetSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value, uint16_t reportedId, bool hold);
  /// SimulatedValue once the lock is held.
  double SimulatedValueAt(uint64_t key) const ZEPHRIN_REQUIRES(mutex_);
  /// SetSimulatedValue's work once the lock is held and the key's state
  /// found, at the clock's time `now`.
  void SetSimulatedValueAt(KeyState& state, double value, uint16_t reportedId, bool hold, double now)
      ZEPHRIN_REQUIRES(mutex_);
  /// SetSimulatedValueAt for the changes AmendValue leaves to Amend (a
  /// first value starts an unlisted signal publishing).
  void AmendSimulatedValue(KeyState& state, double value, uint16_t reportedId, double now) ZEPHRIN_REQUIRES(mutex_);
  /// Sets the sensor value `v` on `state`, whose carried value a move by a
  /// difference was found to keep finite (SetSensorInputsNow).
  [[gnu::always_inline]] inline void MoveSensorValue(KeyState& state, const SensorValue& v, double now)
      ZEPHRIN_REQUIRES(mutex_);
  /// SetSensorInputsNow for a batch whose kept states are flat: false,
  /// changing nothing, when a move by a difference would not stay finite
  /// (the general pass then finds which input ends the call).
  bool MoveFlat(const SensorStates& kept, std::span<const SensorInputs> sensors, std::span<const SensorValue> values,
                double now) ZEPHRIN_REQUIRES(mutex_);
  /// Whether the batch SetSensorInputsNow has just taken whole can be moved
  /// flat from now on (SensorStates::flat_).
  static bool Flattens(const SensorStates& kept, std::span<const SensorInputs> sensors,
                       std::span<const SensorValue> values);
  /// Amend for a change of the value alone, dated at or after the current
  /// segment's start: the simulation's values of every step. Does what Amend
  /// does with the current segment's first frame and a frame test or two
  /// instead of the general search, and returns false, changing nothing,
  /// for any other change (reported ID, a first value, a stopped signal, a
  /// change dated before the current segment), which Amend then makes.
  /// Inlined into its two callers, which call it for every value.
  ///
  /// A caller that amends many keys at one `now` may pass the same `frames`
  /// to each: keys on one schedule then share the index of the first frame
  /// at or after `now` instead of rounding it again (a device's signals of
  /// one frame come together, on one schedule).
  struct FirstNewFrame {
    double hz = 0.0;  // the frequency `index` is for; 0 (no key amended here sends at it) when none is
    double index = 0.0;
  };
  [[gnu::always_inline]] inline bool AmendValue(KeyState& state, double value, uint16_t reportedId, double now,
                                                double present, FirstNewFrame* frames = nullptr)
      ZEPHRIN_REQUIRES(mutex_);
  /// The index of the first frame of a key's current segment.
  static double FirstFrameOfCurrent(KeyState& state);

  /// The device last looked up by one pass over a group of keys: a program
  /// reads a few signals of each device in a row, and the lookup and the bus
  /// name's comparison serve the whole run. Valid while the pass holds the
  /// registry's mutex.
  struct DeviceRun {
    explicit DeviceRun(std::string_view onNetwork) : network(onNetwork) {}
    std::string_view network;
    bool known = false;
    uint32_t hash = 0;
    const devices::DeviceRecord* device = nullptr;  // present on `network`, else null
    int bus = -1;  // the index in busNames_ of the bus `network` was found to name, once found
    /// The frame indices the pass worked out last, so that the next key on
    /// the same schedule takes them as they are: the keys of a group nearly
    /// always share their frequency, and the simulation moves them all at
    /// the same instants, so their current segments start alike.
    /// Nothing is worked out at first: only a sending segment (hz > 0) is
    /// looked up, and its frequency never matches the 0 of either pair.
    struct FrameMemo {
      double now = std::numeric_limits<double>::quiet_NaN();
      double hz = 0;
      double last = 0;      // the last frame at or before `now` at `hz`
      double lastTime = 0;  // its time
      double start = std::numeric_limits<double>::quiet_NaN();
      double startHz = 0;
      double first = 0;  // the first frame at or after `start` at `startHz`
    } frames;
  };
  /// The device of `key` if it is present on the run's network, else null.
  const devices::DeviceRecord* DeviceOnBus(uint64_t key, DeviceRun& run) const
      ZEPHRIN_REQUIRES(mutex_, devices_.RecordsMutex());
  /// A device reads have looked up: its record and the index of its bus in
  /// busNames_ (-1 when that list is full).
  struct SeenDevice {
    uint32_t hash = 0;
    int bus = -1;
    const devices::DeviceRecord* record = nullptr;  // null: an empty slot
  };
  /// The registry's record of `hash` (null in an empty result when there is
  /// none), remembered in seenDevices_.
  const SeenDevice& SeenDeviceOf(uint32_t hash) const ZEPHRIN_REQUIRES(mutex_, devices_.RecordsMutex());
  /// The index of a bus name in busNames_, added when new and there is room; else -1.
  int BusIndex(std::string_view bus) const ZEPHRIN_REQUIRES(mutex_, devices_.RecordsMutex());
  FrameId Sample(uint64_t key, DeviceRun& run, double now, SignalMeasurement* out) const
      ZEPHRIN_REQUIRES(mutex_, devices_.RecordsMutex());
  [[nodiscard, gnu::flatten]] int FillAll(std::span<const uint64_t> keys, SignalMeasurement* records, std::string_view network, double now,
              FrameId* frames) const ZEPHRIN_REQUIRES(mutex_);
  bool AllNewer(std::span<const uint64_t> keys, std::string_view network, double now, const FrameId* start) const
      ZEPHRIN_REQUIRES(mutex_);
  double NextEvent(std::span<const uint64_t> keys, std::string_view network, double now) const
      ZEPHRIN_REQUIRES(mutex_);
  double DefaultHz(uint16_t signalId, uint32_t modelMask) const;
  /// The state of a key, or null while nothing about it differs from the
  /// defaults. The keys found last are remembered in found_, so that the
  /// ones the simulation sets every step skip the hash table's search.
  const KeyState* FindState(uint64_t key) const ZEPHRIN_REQUIRES(mutex_) {
    const FoundState& slot = found_[FoundSlot(key)];
    if (slot.key == key && slot.state != nullptr) return slot.state;
    return FindStateInMap(key);
  }
  /// FindState for a key found_ does not hold: the hash table's search,
  /// whose result takes the key's slot.
  const KeyState* FindStateInMap(uint64_t key) const ZEPHRIN_REQUIRES(mutex_);
  KeyState* FindState(uint64_t key) ZEPHRIN_REQUIRES(mutex_) {
    return const_cast<KeyState*>(static_cast<const SignalStore*>(this)->FindState(key));
  }
  static constexpr int kFoundBits = 10;
  /// A multiplicative hash: the keys of one device differ in their high bits only.
  static size_t FoundSlot(uint64_t key) {
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kFoundBits));
  }
  KeyState& StateFor(uint64_t key, uint32_t modelMask) ZEPHRIN_REQUIRES(mutex_);
  /// StateFor with the device's model looked up in the device registry (under
  /// mutex_, as reads do) only when the key is new: the simulated values of
  /// existing keys change every step.
  KeyState& StateFor(uint64_t key) ZEPHRIN_REQUIRES(mutex_);
  /// Opens a segment at `now` that differs from the current one as `change`
  /// says (at the latest segment's start instead, when `now` comes before a
  /// segment the clock at `present` has reached), then forgets the segments
  /// that nobody reading from then on still needs. `present` is the clock's
  /// time read under mutex_.
  template <class Change>
  void Amend(KeyState& state, double now, Change change, double present) ZEPHRIN_REQUIRES(mutex_);
  template <class Change>
  void Amend(KeyState& state, double now, Change change) ZEPHRIN_REQUIRES(mutex_) {
    Amend(state, now, change, now);
  }
  /// Marks a change of the frame schedule.
  void ScheduleChanged() ZEPHRIN_REQUIRES(mutex_);
  void Trim(KeyState& state, double now) const ZEPHRIN_REQUIRES(mutex_);
  static LatestFrame FindLatest(const std::vector<Segment>& segments, double now);
  /// FindLatest for a read: the same frame, found from the current segment
  /// and the memo of the pass when it holds the latest frame (as it nearly
  /// always does), else by FindLatest.
  static LatestFrame LatestForRead(const std::vector<Segment>& segments, double now, DeviceRun::FrameMemo& memo);
  /// Index of the last frame segment `i` sends before the next segment
  /// takes over (+infinity for the current segment).
  static double LastIndexOf(std::span<const Segment> segments, size_t i);
  /// The part of a key's timeline that can send a frame in (fromSeconds,
  /// toSeconds], and sends the same frames there as the whole. A log writer that
  /// has fallen behind collects a window at a time, and copying the whole
  /// history for each would cost it time growing with the square of its lag.
  static std::span<const Segment> WindowSegments(const std::vector<Segment>& segments, double fromSeconds,
                                                 double toSeconds);
  static bool OnBus(const devices::DeviceRecord* device, std::string_view network);

  Clock& clock_;
  const devices::DeviceRegistry& devices_;
  const BusRegistry& buses_;
  int clockListener_ = 0;

  // Tells a store from any other, also one built where an earlier one was.
  const uint64_t serial_;
  mutable Mutex mutex_;
  std::condition_variable cv_;
  // The states SetSensorInputsNow finds for a caller that keeps none.
  SensorStates unkept_ ZEPHRIN_GUARDED_BY(mutex_);
  std::unordered_map<uint64_t, KeyState> states_ ZEPHRIN_GUARDED_BY(mutex_);
  // Keys are never erased from states_, and the map's elements keep their
  // address, so a state once found stays valid for the store's lifetime.
  // Direct-mapped by FoundSlot; an empty slot has no state.
  struct FoundState {
    uint64_t key = 0;
    const KeyState* state = nullptr;
  };
  mutable std::array<FoundState, size_t{1} << kFoundBits> found_ ZEPHRIN_GUARDED_BY(mutex_){};
  // The devices reads found, direct-mapped by hash. A record never moves nor
  // changes its bus once registered (only its presence and compliancy
  // change, and those are read from it each time), so a read finds it
  // without the registry's table and tells its bus by index, comparing the
  // bus names once per read rather than once per device.
  static constexpr int kSeenBits = 6;
  mutable std::array<SeenDevice, size_t{1} << kSeenBits> seenDevices_ ZEPHRIN_GUARDED_BY(mutex_){};
  // The distinct bus names of the devices seen: views of their records' own
  // texts, which last as long as the registry.
  static constexpr size_t kBusNames = 8;
  mutable std::array<std::string_view, kBusNames> busNames_ ZEPHRIN_GUARDED_BY(mutex_){};
  mutable size_t busNameCount_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
  std::shared_ptr<const ReplaySampleSource> replay_ ZEPHRIN_GUARDED_BY(mutex_);
  uint64_t nextSeq_ ZEPHRIN_GUARDED_BY(mutex_) = 1;
  double recordedUpTo_ ZEPHRIN_GUARDED_BY(mutex_) = std::numeric_limits<double>::infinity();
  // Bumped whenever the frame schedule changes (frequencies, replay source),
  // so that waiting readers recompute when to wake.
  uint64_t planGeneration_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
  std::atomic<uint64_t> scheduleVersion_{0};
  std::atomic<bool> replayInstalled_{false};
};

}  // namespace kvor::zephrin::runtime::signals
