#pragma once

// The simulated firmware of the runtime: one simulated motor controller per
// rapax q or rapax w device object and one simulated IMU per auklet 2, all
// stepped together at 1 kHz of simulated time while no log is loaded.
//
// How it is driven. On the manual clock the service is the clock's stepper:
// every move of the clock first computes each 1 ms step between the old and
// the new time, in order, so a test that advances 20 ms in one call or in
// twenty gets the same values, and the clock shows each step's time only once
// that step is computed. On the real clock a thread of the service computes
// the steps as wall time passes (at most a quarter second of catching up).
//
// What it listens to. Control calls wait in the control recorder, and each
// step (or a registration, or a question about outputs) takes the newest of
// every device first, so that sending costs the program no lock here. Config
// changes and actions (set position, set yaw, sticky-fault clears) from the
// config store, physics inputs from the simulator; each reaches the device
// objects it addresses and takes effect at the next step. Every step the
// devices hand the signals whose frames fall in it to the signal store
// (SignalFeed), with the reported ID of the active output kind for the
// mode-dependent ones, and the simulator reads their physics outputs here.
//
// Owned by the Runtime, built over the clock, device registry, signal store,
// config store, control recorder and bus registry, which outlive it. It
// hooks itself into them on construction; Shutdown stops its thread and its
// stepping, the destructor unhooks it. Thread-safe: one mutex serialises the devices; it
// is taken after the config store's lock and before the signal store's and
// the control recorder's.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>

#include "controls/ControlRecorder.hpp"
#include "firmware/SignalFeed.hpp"
#include "firmware/SimulatedImu.hpp"
#include "firmware/SimulatedMotor.hpp"

namespace kvor::zephrin::runtime {
class BusRegistry;
class Clock;
namespace configs {
class ConfigStore;
}
namespace devices {
class DeviceRegistry;
struct DeviceRecord;
}  // namespace devices
namespace signals {
class SignalStore;
}
}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::runtime::firmware {

class FirmwareService : private MotorSurroundings {
 public:
  FirmwareService(Clock& clock, devices::DeviceRegistry& devices, signals::SignalStore& signals,
                  configs::ConfigStore& configs, ControlRecorder& controls, const BusRegistry& buses);
  ~FirmwareService() override;
  FirmwareService(const FirmwareService&) = delete;
  FirmwareService& operator=(const FirmwareService&) = delete;

  /// Stops the stepping thread and the stepping on the manual clock.
  /// Control calls and configs still reach the devices. Idempotent.
  void Shutdown() ZEPHRIN_EXCLUDES(threadMutex_);

  /// Whether the firmware simulates devices of simulator type `deviceType`
  /// (5 rapax q, 7 auklet 2, 8 rapax w).
  static bool Simulates(int32_t deviceType);
  /// A physics input for the simulated device (type, ID): every device
  /// object of that model and ID, on any bus, takes it, and one created
  /// later starts from it. The simulator has checked the name and value.
  /// False, changing nothing, for a move ("Add...") that would carry the
  /// position of any of those devices (or the one kept for later ones)
  /// past the largest double.
  bool SetInput(int32_t deviceType, int32_t deviceId, sim::PhysicsInput input, double value)
      ZEPHRIN_EXCLUDES(mutex_);
  /// One input of SetInputs, and whether the devices took it.
  struct InputValue {
    sim::PhysicsInput input;
    double value;
    bool taken = false;
  };
  /// SetInput for each of `inputs` in order, setting its `taken`, under one
  /// lock: a physics model hands a device all its inputs of a step together,
  /// and no step falls between them.
  void SetInputs(int32_t deviceType, int32_t deviceId, std::span<InputValue> inputs) ZEPHRIN_EXCLUDES(mutex_);
  /// The inputs of one device for the SetInputs of several.
  struct DeviceInputs {
    int32_t deviceType;
    int32_t deviceId;
    std::span<InputValue> inputs;
  };
  /// SetInputs for each of `devices` in order, all under one lock: a
  /// physics model hands a whole mechanism its inputs of a step together.
  void SetInputs(std::span<const DeviceInputs> devices) ZEPHRIN_EXCLUDES(mutex_);
  /// SetInputs for a caller that hands over the same batch at every step
  /// and has checked that itself. `plan` is what the previous call set it
  /// to (0 at first, or whenever the batch names other devices or other
  /// inputs, in another order, than that call's): while it still holds, the
  /// inputs are set without checking them against the firmware's own plan
  /// again. Set to 0 when the batch cannot be set that way next time, which
  /// includes whenever an input of it was not taken.
  void SetInputs(std::span<const DeviceInputs> devices, uint64_t& plan) ZEPHRIN_EXCLUDES(mutex_);
  /// A physics output of the motor controller (type, ID): the device object
  /// that received the newest request answers. False when there is none,
  /// or when its output is not a finite number (physics run away on absurd
  /// inputs), leaving `value` alone.
  bool Output(int32_t deviceType, int32_t deviceId, std::string_view name, double& value)
      ZEPHRIN_EXCLUDES(mutex_);
  /// One output of Outputs: what Output takes, its value and its result.
  struct OutputRead {
    int32_t deviceType;
    int32_t deviceId;
    std::string_view name;
    double value = 0.0;  // left alone when `found` is false
    bool found = false;
  };
  /// Output for each of `reads`, all under one lock and from one state of
  /// the requests: a physics model reads every motor of a mechanism at once.
  void Outputs(std::span<OutputRead> reads) ZEPHRIN_EXCLUDES(mutex_);
  /// Outputs for a caller that reads the same devices at every step and has
  /// checked that itself: `plan` is what the previous call set it to (0 at
  /// first, or whenever the reads name other devices, or in another order,
  /// than that call's), which spares finding the motors that answer again.
  void Outputs(std::span<OutputRead> reads, uint64_t& plan) ZEPHRIN_EXCLUDES(mutex_);

  /// The fraction of `bus` time (0 to 1) that its present devices fill with
  /// their signal frames at the applied frequencies and the repeated control
  /// requests of the simulated motor controllers.
  double BusUtilization(std::string_view bus) const ZEPHRIN_EXCLUDES(mutex_);

 private:
  struct Motor {
    std::unique_ptr<SimulatedMotor> device;
    SignalFeed feed;
  };
  struct Imu {
    std::unique_ptr<SimulatedImu> device;
    SignalFeed feed;
  };
  /// The last value of each physics input of one simulated device (a move
  /// kept as the absolute input it leads to).
  struct Inputs {
    int32_t deviceType;
    int32_t deviceId;
    std::vector<std::pair<sim::PhysicsInput, double>> values;
  };

  // Hooks.
  void OnRegistered(const devices::DeviceRecord& record) ZEPHRIN_EXCLUDES(mutex_, threadMutex_);
  /// Hands the devices the control calls accepted since the last time.
  /// Inline: at nearly every step there is none. taken_ keeps the calls of
  /// the last take until the next, so that a take of as many calls finds
  /// them made already.
  void TakeControls() ZEPHRIN_REQUIRES(mutex_) {
    if (!controls_.AnyAccepted()) return;
    controls_.TakeAccepted(taken_);
    if (!taken_.empty()) ReceiveTaken();
  }
  /// Hands the devices the calls in taken_.
  void ReceiveTaken() ZEPHRIN_REQUIRES(mutex_);
  void OnSettings(uint32_t deviceHash, std::string_view text) ZEPHRIN_EXCLUDES(mutex_);
  void OnAction(uint32_t deviceHash, int configId, double value) ZEPHRIN_EXCLUDES(mutex_);
  void Advance(double from, double to) ZEPHRIN_EXCLUDES(mutex_);
  void RunRealTime() ZEPHRIN_EXCLUDES(mutex_, threadMutex_);

  void Step(int64_t tick) ZEPHRIN_REQUIRES(mutex_);
  // The parts of a step are inlined into it: with few devices their calls
  // would cost as much as a motor's work.
  /// Senses, controls, actuates, publishes and moves every motor of the step at `t`.
  [[gnu::always_inline]] inline void StepMotors(double t) ZEPHRIN_REQUIRES(mutex_);
  /// Adds the motor's signals due in the step at `t` to the step's batch,
  /// then moves its rotor through the step.
  [[gnu::always_inline]] inline void PublishAndMove(Motor& m, double t) ZEPHRIN_REQUIRES(mutex_);
  /// Records that the device's signals of the step are batch_'s values from
  /// `before` on, if there are any.
  [[gnu::always_inline]] inline void AddToBatch(uint32_t deviceHash, std::size_t before) ZEPHRIN_REQUIRES(mutex_);
  /// Hands every signal of every device to the store again, at the clock's time.
  void RepublishAll() ZEPHRIN_EXCLUDES(mutex_);
  Motor* MotorOf(uint32_t hash) ZEPHRIN_REQUIRES(mutex_);
  Imu* ImuOf(uint32_t hash) ZEPHRIN_REQUIRES(mutex_);
  /// Calls `visit` with every simulated device of (type, ID).
  template <class Visit>
  void ForEachDevice(int32_t deviceType, int32_t deviceId, Visit visit) ZEPHRIN_REQUIRES(mutex_);
  template <class Device>
  void ReplayInputs(int32_t deviceType, Device& device) ZEPHRIN_REQUIRES(mutex_);
  /// The inputs kept for (type, ID), or null while there are none.
  Inputs* KeptInputs(int32_t deviceType, int32_t deviceId) ZEPHRIN_REQUIRES(mutex_);
  /// Output once the lock is held and the requests are taken.
  bool OutputLocked(int32_t deviceType, int32_t deviceId, std::string_view name, double& value) const
      ZEPHRIN_REQUIRES(mutex_);
  /// SetInput with the lock held; `inputs` is KeptInputs(type, ID), which
  /// this sets when it keeps the first input of the device.
  bool SetInputLocked(Inputs*& inputs, int32_t deviceType, int32_t deviceId, sim::PhysicsInput input, double value)
      ZEPHRIN_REQUIRES(mutex_);
  /// SetInputLocked for each of `values` in order, setting its `taken`;
  /// `forEach(visit)` calls `visit` with every simulated device of (type, ID).
  template <class ForEach>
  void SetInputsLocked(Inputs*& inputs, int32_t deviceType, int32_t deviceId, std::span<InputValue> values,
                       ForEach forEach) ZEPHRIN_REQUIRES(mutex_);

  // A physics model hands over and reads the same devices at every step, so
  // the device objects a batch of inputs or reads reaches are found once and
  // kept for as long as the batch names the same devices and the firmware
  // has the same device objects. The firmware never drops a device object
  // (a device of another model at the same ID is another object), so their
  // counts tell whether the set changed.
  using DeviceCounts = std::pair<std::size_t, std::size_t>;  // motors, IMUs
  DeviceCounts CountDevices() const ZEPHRIN_REQUIRES(mutex_) { return {motors_.size(), imus_.size()}; }
  static constexpr std::size_t kNoneKept = std::numeric_limits<std::size_t>::max();
  /// What one device of a batch of SetInputs reaches: its device objects, a
  /// range of inputMotors_ or (for an IMU) inputImus_, and the index of its
  /// kept inputs in inputs_ once there are some.
  struct InputTarget {
    int32_t deviceType;
    int32_t deviceId;
    std::size_t first;
    std::size_t count;
    std::size_t kept;
    /// The inputs the device was last handed, each with the index of its
    /// kept value in inputs_[kept]: while a batch hands the same inputs in
    /// the same order, none of them a move, they are set where they were
    /// (SetPlannedInputs) instead of being searched for.
    std::vector<std::pair<sim::PhysicsInput, std::size_t>> plan;
  };
  /// Finds what each of `devices` reaches, unless the last batch named the
  /// same devices and no device object came since.
  void ResolveInputTargets(std::span<const DeviceInputs> devices) ZEPHRIN_REQUIRES(mutex_);
  /// Calls `visit` with every device object `target` reaches.
  template <class Visit>
  void ForEachTargetDevice(const InputTarget& target, int32_t deviceType, Visit visit) ZEPHRIN_REQUIRES(mutex_);
  /// Sets `values` as SetInputsLocked does when they are the inputs of
  /// `target`'s plan; false, changing nothing, when they are not. Inlined
  /// into SetInputs: at nearly every step it is all the work a device takes.
  [[gnu::always_inline]] inline bool SetPlannedInputs(InputTarget& target, int32_t deviceType, std::span<InputValue> values)
      ZEPHRIN_REQUIRES(mutex_);
  /// SetPlannedInputs once `values` are known to be the inputs of `target`'s plan.
  [[gnu::always_inline]] inline void SetPlanned(InputTarget& target, int32_t deviceType, std::span<InputValue> values)
      ZEPHRIN_REQUIRES(mutex_);
  /// Makes `values`, which SetInputsLocked has just set, `target`'s plan
  /// (none when one is a move or nothing was kept).
  void PlanInputs(InputTarget& target, std::span<const InputValue> values) ZEPHRIN_REQUIRES(mutex_);
  /// The motors one OutputRead may be answered by: a range of outputMotors_.
  struct OutputTarget {
    int32_t deviceType;
    int32_t deviceId;
    std::size_t first;
    std::size_t count;
  };
  /// Finds the motors each of `reads` may be answered by, unless the last
  /// reads named the same devices and no device object came since.
  void ResolveOutputTargets(std::span<const OutputRead> reads) ZEPHRIN_REQUIRES(mutex_);
  /// The motors of (type, ID) that an output read may be answered by, in stepping order.
  template <class Visit>
  void ForEachAnswerer(int32_t deviceType, int32_t deviceId, Visit visit) const ZEPHRIN_REQUIRES(mutex_);

  // MotorSurroundings: the devices ask while they step.
  const SimulatedMotor* FindMotor(std::string_view bus, int deviceId, bool rapaxQOnly) const override
      ZEPHRIN_REQUIRES(mutex_);
  bool SensorValue(std::string_view bus, std::string_view model, int deviceId, uint16_t signalId,
                   double& value) const override ZEPHRIN_REQUIRES(mutex_);

  Clock& clock_;
  devices::DeviceRegistry& devices_;
  signals::SignalStore& signals_;
  configs::ConfigStore& configs_;
  ControlRecorder& controls_;
  const BusRegistry& buses_;
  int registrationListener_ = 0;
  int clockListener_ = 0;

  mutable Mutex mutex_;
  std::vector<Motor> motors_ ZEPHRIN_GUARDED_BY(mutex_);  // ascending by hash: the stepping order
  std::vector<Imu> imus_ ZEPHRIN_GUARDED_BY(mutex_);      // ascending by hash
  // Where in motors_ MotorOf last found a motor, by its hash modulo the size.
  std::array<std::size_t, 16> motorPlaces_ ZEPHRIN_GUARDED_BY(mutex_){};
  std::vector<Inputs> inputs_ ZEPHRIN_GUARDED_BY(mutex_);
  // What the last batch of SetInputs and of Outputs reached, and the device counts then.
  std::vector<InputTarget> inputTargets_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<SimulatedMotor*> inputMotors_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<SimulatedImu*> inputImus_ ZEPHRIN_GUARDED_BY(mutex_);
  DeviceCounts inputTargetsFor_ ZEPHRIN_GUARDED_BY(mutex_){kNoneKept, kNoneKept};
  // Which inputTargets_ and plans of theirs a SetInputs caller's `plan`
  // stands for: a new number whenever either is made again. Never 0.
  uint64_t inputPlan_ ZEPHRIN_GUARDED_BY(mutex_) = 1;
  std::vector<OutputTarget> outputTargets_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<const SimulatedMotor*> outputMotors_ ZEPHRIN_GUARDED_BY(mutex_);
  DeviceCounts outputTargetsFor_ ZEPHRIN_GUARDED_BY(mutex_){kNoneKept, kNoneKept};
  // Which outputTargets_ an Outputs caller's `plan` stands for: a new number
  // whenever they are found again. Never 0.
  uint64_t outputPlan_ ZEPHRIN_GUARDED_BY(mutex_) = 1;
  uint64_t scheduleVersion_ ZEPHRIN_GUARDED_BY(mutex_) = ~uint64_t{0};
  // Whether every motor controls alone (SimulatedMotor::ControlsAlone), and
  // whether a request, settings or a new motor came since that was asked.
  bool oneVisit_ ZEPHRIN_GUARDED_BY(mutex_) = false;
  bool motorsChanged_ ZEPHRIN_GUARDED_BY(mutex_) = true;
  std::vector<signals::SignalStore::ValueUpdate> batch_ ZEPHRIN_GUARDED_BY(mutex_);
  // During a step, the devices whose signals batch_ holds, in order, and how many of them each.
  std::vector<uint32_t> batchHashes_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<std::size_t> batchCounts_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<ControlRecorder::AcceptedCall> taken_ ZEPHRIN_GUARDED_BY(mutex_);
  std::atomic<bool> hasDevices_{false};
  std::atomic<double> lastStep_{-std::numeric_limits<double>::infinity()};  // time of the last step computed

  // The real-time stepping thread.
  Mutex threadMutex_;
  std::condition_variable wake_;
  bool stopping_ ZEPHRIN_GUARDED_BY(threadMutex_) = false;
  std::thread thread_ ZEPHRIN_GUARDED_BY(threadMutex_);
  std::atomic<bool> shutDown_{false};
};

}  // namespace kvor::zephrin::runtime::firmware
