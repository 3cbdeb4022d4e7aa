#pragma once

// The runtime's simulator: the simulated devices, keyed by (device type,
// device ID), with the physics inputs a program's physics model gives them
// and the physics outputs they produce.
//
// A simulated device stands for every device object of its model and ID the
// program built, whatever the bus. The inputs of a motor controller or an IMU
// go to their simulated firmware, which also produces a motor's outputs (see
// firmware/FirmwareService.hpp); the inputs of the other sensors move those
// devices' signals in the signal store (see PhysicsInputs.hpp for which input
// moves which signal). The harness may set an output instead; what it sets
// wins over the firmware. Every call records its status as the device's last
// error.
//
// Each input is checked on its own and, for a move ("Add..."), together with
// the position it adds to: a value that is not finite, or a move that would
// carry a position (or a signal that follows it) past the largest double,
// is refused with -1002 InvalidParamValue, changes nothing and is reported
// (printed at most once per second per input), so that no finite input can
// make a simulated signal infinite.
//
// Owned by the Runtime: it owns its state and borrows the services it reads
// and moves, which the Runtime builds before it. Thread-safe (one mutex, taken before the borrowed
// services' own locks and never while they call out).

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin/runtime/harness/Sim.hpp>

#include "firmware/FirmwareService.hpp"
#include "signals/SignalStore.hpp"
#include "sim/PhysicsInputs.hpp"

namespace kvor::zephrin::runtime {
class ReportLog;
}  // namespace kvor::zephrin::runtime
namespace kvor::zephrin::runtime::devices {
class DeviceRegistry;
}  // namespace kvor::zephrin::runtime::devices

namespace kvor::zephrin::runtime::sim {

class SimRegistry {
 public:
  SimRegistry(devices::DeviceRegistry& devices, signals::SignalStore& store, firmware::FirmwareService& firmware,
              ReportLog& reports);
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  /// Registers a simulated device, or finds the device objects of an
  /// existing one again (a second object on another bus). Returns 0, 1202
  /// SimDeviceAlreadyExists, or -1002 InvalidParamValue for an unknown type.
  [[nodiscard]] int32_t Create(int32_t deviceType, int32_t deviceId);
  /// Applies one physics input. Returns 0; 1200 SimDeviceNotFound; 1201
  /// SimPhysicsTypeNotSupported for a name the device type does not have;
  /// -1002 InvalidParamValue (reported) for a value that is not finite or a
  /// move past the largest double. A refused input changes nothing.
  [[nodiscard]] int32_t SetInput(int32_t deviceType, int32_t deviceId, std::string_view name, double value);
  /// SetInput by the input's index in the table (IndexOf), which a caller
  /// that sets the same inputs every step looks up once: 1201 for an index
  /// the device type does not have.
  [[nodiscard]] int32_t SetInput(int32_t deviceType, int32_t deviceId, int32_t input, double value);
  /// Several inputs by index, in order, under one lock: the status of the
  /// first refused (1200 when the device is unknown), else 0.
  [[nodiscard]] int32_t SetInputs(int32_t deviceType, int32_t deviceId,
                                  std::span<const platform::SimInputValue> inputs);
  /// SetInputs for each device of `devices` in order, each status into its
  /// entry, under one lock, and the firmware's inputs in one call to it.
  void SetInputs(std::span<platform::SimDeviceInputs> devices);
  /// Reads one physics output into `value`. Returns 0; 1200
  /// SimDeviceNotFound or 1201 SimPhysicsTypeNotSupported, leaving `value` alone.
  [[nodiscard]] int32_t GetValue(int32_t deviceType, int32_t deviceId, std::string_view name, double& value);
  /// GetValue for each of `reads` in order, under one lock, and the
  /// motors' outputs in one call to the firmware.
  void GetValues(std::span<platform::SimOutputRead> reads);
  /// The status of the device's most recent call (1200 for an unknown device).
  int32_t LastError(int32_t deviceType, int32_t deviceId) const;

  // ---- Harness ----
  std::vector<harness::SimDevice> Devices() const;
  std::optional<double> Input(int32_t deviceType, int32_t deviceId, std::string_view name) const;
  void SetOutput(int32_t deviceType, int32_t deviceId, std::string_view name, double value);

 private:
  struct Device {
    std::vector<double> inputs;  // last value of each input, as given, by index; NaN until given
    // Absolute positions, by the input that sets them, and what each signal
    // that takes a value was last set to: a few entries each, looked up at
    // every input.
    std::vector<std::pair<PhysicsInput, double>> positions;
    std::vector<std::pair<uint16_t, double>> values;
    std::map<std::string, double, std::less<>> outputs;  // outputs the harness set
    std::vector<uint32_t> hashes;                        // the device objects it stands for
    int32_t lastError = 0;
  };

  // A Device lives in simulated_: the helpers that take one run under
  // mutex_ as well.
  Device* Find(int32_t deviceType, int32_t deviceId) ZEPHRIN_REQUIRES(mutex_);
  const Device* Find(int32_t deviceType, int32_t deviceId) const ZEPHRIN_REQUIRES(mutex_);
  /// Looks up the device objects of (type, ID) and gives newly found ones
  /// the signal values the simulated device already has.
  void FindDeviceObjects(int32_t deviceType, int32_t deviceId, Device& device) ZEPHRIN_REQUIRES(mutex_);
  /// How the inputs of a batch are applied, resolved once for a physics
  /// model that hands over the same batch every step: each input's rule
  /// and, for a sensor whose signals the simulator moves itself (no
  /// simulated firmware), the signal values it moves, laid out as the store
  /// takes them, so that a step only writes their values.
  struct PlannedInput {
    int32_t index;  // the input's index, as handed over
    // How many signal values it moves, and whether one of them follows the
    // position wrapped into half a turn.
    uint8_t count;
    bool halfTurn;
    const InputRule* rule;   // null: one the device type does not have
    std::size_t firstValue;  // its signal values in InputPlan::values
    // The slot in the device's positions of the position it sets or moves
    // (kNoSlot: none), and that position as staged.
    std::size_t position;
    double staged;
  };
  struct InputPlan {
    std::vector<PlannedInput> inputs;
    std::vector<uint8_t> counts;  // how many of `values` each input moves
    std::vector<signals::SignalStore::SensorValue> values;
    std::vector<Follow> follows;  // how each of `values` follows its input
    // Per entry of `values`, its slot in the device's values once one was
    // set (kNoSlot until then; kByDifference for one moved by the
    // difference, which the store alone carries): slots are only ever
    // added, so one found stays.
    std::vector<std::size_t> valueSlots;
    void Clear() {
      inputs.clear();
      counts.clear();
      values.clear();
      follows.clear();
      valueSlots.clear();
    }
  };
  static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
  static constexpr std::size_t kByDifference = kNoSlot - 1;
  /// Adds input `index` of `rule` to `plan`; `sensor` is the device whose
  /// signals it moves, or null when the firmware takes it or there is none.
  static void PlanInput(InputPlan& plan, Device* sensor, const InputRule* rule, int32_t index);
  /// Applies inputs of a sensor whose signals the simulator moves itself
  /// in order, as many as can be at once in one call to the signal store:
  /// the status of the first refused, else 0. `plan` holds them from input
  /// `first` on.
  /// `took` (kNoSlot: nothing yet) is how many of them, all staged, the
  /// store took in a call for the whole batch (StageSensors).
  [[nodiscard]] int32_t SetSensorInputs(Device& device, int32_t deviceType, int32_t deviceId,
                                        std::span<const platform::SimInputValue> inputs, InputPlan& plan,
                                        std::size_t first, std::size_t took = kNoSlot) ZEPHRIN_REQUIRES(mutex_);
  /// Keeps what the store took of a sensor's inputs, `planned[from, to)` of
  /// `plan`: positions, inputs, last error and the values of the signals
  /// that take them (for device objects found later).
  [[gnu::always_inline]] static inline void Keep(Device& device, std::span<const platform::SimInputValue> inputs,
                                                 InputPlan& plan, std::span<const PlannedInput> planned,
                                                 std::size_t from, std::size_t to);
  /// Stages the inputs of every sensor of the batch `devices` (planned) for
  /// one call to the store with sensorRuns_: false, leaving each sensor to
  /// SetSensorInputs alone, unless each of their inputs stages.
  bool StageSensors(std::span<const platform::SimDeviceInputs> devices) ZEPHRIN_REQUIRES(mutex_);
  /// Stages `input` of `plan`, of value `value`, for the store: writes the
  /// values it moves from the position the inputs staged before it in its
  /// run (`earlier`) leave; false, when its position would not stay finite.
  [[gnu::always_inline]] static inline bool Stage(InputPlan& plan, std::span<const PlannedInput> earlier,
                                                  PlannedInput& input, const Device& device, double value);
  /// Resolves the devices and input rules of a batch of SetInputs into
  /// plan_, batch_ and the firmware's working space.
  void Plan(std::span<const platform::SimDeviceInputs> devices) ZEPHRIN_REQUIRES(mutex_);
  /// Copies the inputs the simulated firmware takes into handed_ and points
  /// handedTo_ at them, while checking that the plan is that of `devices`
  /// (the same devices and input indexes, and no device created since);
  /// false, at the first difference, when it is not. Sets handedAll_.
  bool HandOver(std::span<const platform::SimDeviceInputs> devices) ZEPHRIN_REQUIRES(mutex_);
  /// Whether sources_ and modelled_ hold the resolution of the same reads
  /// as `reads` (checked at every GetValues: kept apart from PlanReads, so
  /// that only a new plan pays for making one).
  [[gnu::always_inline]] inline bool ReadsPlanned(std::span<const platform::SimOutputRead> reads) const
      ZEPHRIN_REQUIRES(mutex_);
  /// Resolves what answers each of `reads` into sources_ and modelled_.
  void PlanReads(std::span<const platform::SimOutputRead> reads) ZEPHRIN_REQUIRES(mutex_);
  /// Applies input `rule` (null: one the device type does not have) to
  /// `device`, which is (type, ID); `device` null: no such device.
  [[nodiscard]] int32_t SetRuleInput(Device* device, int32_t deviceType, int32_t deviceId, const InputRule* rule,
                                     double value) ZEPHRIN_REQUIRES(mutex_);
  /// Reports a refused input; returns InvalidParamValue as the device's last error.
  [[nodiscard]] int32_t Refuse(Device& device, int32_t deviceType, int32_t deviceId, std::string_view name, double value,
                 const char* why) ZEPHRIN_REQUIRES(mutex_);

  devices::DeviceRegistry& devices_;
  signals::SignalStore& store_;
  firmware::FirmwareService& firmware_;
  ReportLog& reports_;

  mutable Mutex mutex_;
  // By KeyOf(type, ID): found by hash at every input and output a physics
  // model hands over. Nothing iterates it (creationOrder_ keeps the order),
  // and its nodes, so the Device pointers handed out, stay put.
  static uint64_t KeyOf(int32_t deviceType, int32_t deviceId) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(deviceType)) << 32) | static_cast<uint32_t>(deviceId);
  }
  std::unordered_map<uint64_t, Device> simulated_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<harness::SimDevice> creationOrder_ ZEPHRIN_GUARDED_BY(mutex_);
  // The plan of a single input that SetInput applies to a sensor, rebuilt at
  // each call.
  InputPlan single_ ZEPHRIN_GUARDED_BY(mutex_);
  // Working space of SetInputs and GetValues: the inputs handed to the
  // simulated firmware (room for each device's, laid out by Plan) and by
  // device, the outputs read from it.
  std::vector<firmware::FirmwareService::InputValue> handed_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<firmware::FirmwareService::DeviceInputs> handedTo_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<firmware::FirmwareService::OutputRead> modelled_ ZEPHRIN_GUARDED_BY(mutex_);
  /// What answers a read of GetValues: nothing (no device), an output the
  /// harness set, the firmware (modelled), or nothing the type has.
  struct OutputSource {
    Device* device;
    const double* set;
    bool modelled;
  };
  std::vector<OutputSource> sources_ ZEPHRIN_GUARDED_BY(mutex_);
  /// The reads GetValues last resolved into sources_ and modelled_ (whose
  /// names point into these): a physics model reads the same outputs every
  /// step. Resolved again once a device is created or the harness sets an
  /// output, either of which may change what answers a read.
  struct PlannedRead {
    int32_t deviceType;
    int32_t deviceId;
    std::string name;
  };
  std::vector<PlannedRead> plannedReads_ ZEPHRIN_GUARDED_BY(mutex_);
  bool readsPlanned_ ZEPHRIN_GUARDED_BY(mutex_) = false;
  // What the firmware's Outputs handed back for modelled_ (0: none yet).
  uint64_t firmwareReads_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
  /// One entry of the last batch SetInputs resolved: its device (null when
  /// there is none), whether the simulated firmware takes its inputs, where
  /// its inputs start in batch_, and, when the firmware takes them, its
  /// entry of handedTo_ (else kNoSlot) and where its room in handed_ starts.
  struct PlannedDevice {
    int32_t deviceType;
    int32_t deviceId;
    Device* device;
    bool firmware;
    std::size_t firstInput;
    std::size_t inputCount;
    std::size_t handedTo;
    std::size_t firstHanded;
  };
  std::vector<PlannedDevice> plan_ ZEPHRIN_GUARDED_BY(mutex_);
  // The entries of plan_ whose inputs move a sensor's signals (a device,
  // no firmware), and whether each of those devices is there once: one
  // listed twice stages its second entry from what the first leaves, so
  // that batch goes to the store one entry at a time.
  std::vector<std::size_t> sensorPlan_ ZEPHRIN_GUARDED_BY(mutex_);
  bool sensorsOnce_ ZEPHRIN_GUARDED_BY(mutex_) = false;
  // What the store takes of each of them, and its states of the keys they
  // move: both made anew with every plan.
  std::vector<signals::SignalStore::SensorInputs> sensorRuns_ ZEPHRIN_GUARDED_BY(mutex_);
  signals::SignalStore::SensorStates sensorStates_ ZEPHRIN_GUARDED_BY(mutex_);
  InputPlan batch_ ZEPHRIN_GUARDED_BY(mutex_);
  // False until a batch is resolved and again once a device is created (a
  // device the plan found missing may exist now) or gains a device object
  // (its signals are other keys). Devices are never removed, so the Device
  // pointers of a plan stay valid.
  bool planned_ ZEPHRIN_GUARDED_BY(mutex_) = false;
  // Whether the last HandOver handed the firmware every input its devices
  // have (none left out for not being finite): the same inputs, in the same
  // order, at every such step of one plan. firmwarePlan_ is what the
  // firmware's SetInputs handed back for them (0: none yet).
  bool handedAll_ ZEPHRIN_GUARDED_BY(mutex_) = false;
  uint64_t firmwarePlan_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
};

}  // namespace kvor::zephrin::runtime::sim
