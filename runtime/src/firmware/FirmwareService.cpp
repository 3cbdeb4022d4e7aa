#include "firmware/FirmwareService.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <type_traits>

#include <kvor/zephrin/platform/CANbus.hpp>

#include "canbus/BusRegistry.hpp"
#include "catalogue/SignalCatalogue.hpp"
#include "configs/ConfigStore.hpp"
#include "configs/FactoryDefaults.hpp"
#include "core/Clock.hpp"
#include "devices/DeviceRegistry.hpp"
#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::firmware {
namespace {

constexpr int32_t kRapaxQType = 5;
constexpr int32_t kAukletType = 7;
constexpr int32_t kRapaxWType = 8;
constexpr std::string_view kRapaxQ = "rapax q";
constexpr std::string_view kRapaxW = "rapax w";
constexpr std::string_view kAuklet = "auklet 2";

constexpr double kStep = SimulatedMotor::kStepSeconds;
constexpr double kStepsPerSecond = 1000.0;
// A move of the manual clock further ahead than this computes only its last
// hour, so a test that jumps the clock far ahead does not hang.
constexpr int64_t kMaxManualSteps = 3'600'000;
// The real-time thread never catches up more than this many steps (a
// debugger pause, a loaded machine): it carries on from the present instead.
constexpr int64_t kMaxRealTimeSteps = 250;

// The step at or before `seconds` (steps are at whole milliseconds; the
// tolerance keeps a clock advanced in float steps on the step it reached).
int64_t StepAtOrBefore(double seconds) { return static_cast<int64_t>(std::floor(seconds * kStepsPerSecond + 1e-6)); }
double StepTime(int64_t step) { return static_cast<double>(step) / kStepsPerSecond; }

std::string FactoryText(std::string_view model) {
  std::string text;
  for (const auto& [id, piece] : configs::FactoryPieces(model)) text += piece;
  return text;
}

// Bus timing. A classic CAN frame carries 8 data bytes in about 125 bits at
// 1 Mbit/s (with bit stuffing); a CAN FD frame carries 64 bytes, its
// arbitration at 1 Mbit/s and its data at 8 Mbit/s, about 105 us in all.
struct FrameFormat {
  double payloadBytes;
  double seconds;
};
constexpr FrameFormat kClassicFrame{8.0, 125e-6};
constexpr FrameFormat kFdFrame{64.0, 105e-6};

// The device of `hash` in a list ascending by hash, or null.
template <class List>
auto FindByHash(List& list, uint32_t hash) -> decltype(&list.front()) {
  auto it = std::lower_bound(list.begin(), list.end(), hash,
                             [](const auto& entry, uint32_t h) { return entry.device->Hash() < h; });
  return it != list.end() && it->device->Hash() == hash ? &*it : nullptr;
}

// The IMU's signals as the feed reads them: each asked alone, under its own ID.
struct ImuSignals {
  const SimulatedImu& imu;
  void FillSlots(double* /*values*/, uint16_t* /*reportedIds*/) const {}  // it has no slots
  double Signal(uint16_t signalId, uint16_t& reportedId) const {
    reportedId = signalId;
    return imu.Signal(signalId);
  }
};

// Bytes a signal takes in a status frame: flags and enumerations one, every
// other value four.
double PayloadBytes(const catalogue::CatalogueEntry& entry) {
  const std::string_view type = entry.valueType;
  return type == "bool" || type.ends_with("Value") ? 1.0 : 4.0;
}

// Of the motors answering a physics output read, the one that received the
// newest request answers, sent or not yet stepped: `newest` so far or `m`.
const SimulatedMotor* Newer(const SimulatedMotor* newest, const SimulatedMotor& m) {
  return newest == nullptr || m.LastRequestSequence() > newest->LastRequestSequence() ? &m : newest;
}

// The output `name` of the answering motor into `value`: false when there is
// none or its output is not a finite number, leaving `value` alone.
bool Answer(const SimulatedMotor* newest, std::string_view name, double& value) {
  double output = 0.0;
  if (newest == nullptr || !newest->Output(name, output) || !std::isfinite(output)) return false;
  value = output;
  return true;
}

// Whether `asked` names the same devices, in the same order, as the targets
// resolved for the last call.
template <class Asked, class Target>
bool SameDevices(std::span<const Asked> asked, const std::vector<Target>& targets) {
  return std::equal(asked.begin(), asked.end(), targets.begin(), targets.end(), [](const Asked& a, const Target& t) {
    return a.deviceType == t.deviceType && a.deviceId == t.deviceId;
  });
}

}  // namespace

FirmwareService::FirmwareService(Clock& clock, devices::DeviceRegistry& devices, signals::SignalStore& signals,
                                 configs::ConfigStore& configs, ControlRecorder& controls, const BusRegistry& buses)
    : clock_(clock), devices_(devices), signals_(signals), configs_(configs), controls_(controls), buses_(buses) {
  registrationListener_ = devices_.AddRegistrationListener([this](const devices::DeviceRecord& r) { OnRegistered(r); });
  configs_.SetFirmwareHooks({[this](uint32_t hash, std::string_view text) { OnSettings(hash, text); },
                             [this](uint32_t hash, int id, double value) { OnAction(hash, id, value); }});
  clock_.SetStepper([this](double from, double to) { Advance(from, to); });
  clockListener_ = clock_.AddListener([this] {
    // A clock set back before the last step (a test switching to manual
    // time, setting an earlier time) would find no frame of the present:
    // the devices send everything again at the new time.
    if (clock_.Now() + Clock::kTolerance < lastStep_.load(std::memory_order_acquire)) RepublishAll();
    // The thread only cares when the clock turns real; a move of the manual
    // clock (the stepper's business) must not wake it every time.
    if (clock_.IsManual()) return;
    LockGuard lock(threadMutex_);
    wake_.notify_all();
  });
}

FirmwareService::~FirmwareService() {
  Shutdown();
  // No call is inside the runtime any more (the Runtime waits for that before
  // destroying its services), so the hooks can go without a lock.
  devices_.RemoveListener(registrationListener_);
  configs_.SetFirmwareHooks({});
}

void FirmwareService::Shutdown() {
  if (shutDown_.exchange(true)) return;
  std::thread thread;
  {
    LockGuard lock(threadMutex_);
    stopping_ = true;
    thread = std::move(thread_);
  }
  wake_.notify_all();
  if (thread.joinable()) thread.join();
  // Calls still on their way through the runtime may reach the devices until
  // the service is destroyed; the clock no longer moves them.
  clock_.SetStepper({});
  clock_.RemoveListener(clockListener_);
}

bool FirmwareService::Simulates(int32_t deviceType) {
  return deviceType == kRapaxQType || deviceType == kRapaxWType || deviceType == kAukletType;
}

// ---- Devices appearing ----------------------------------------------------------

void FirmwareService::OnRegistered(const devices::DeviceRecord& record) {
  const bool motor = record.model == kRapaxQ || record.model == kRapaxW;
  if (!motor && record.model != kAuklet) return;
  {
    LockGuard lock(mutex_);
    // Calls sent before this device existed went to no one.
    TakeControls();
    batch_.clear();
    if (motor) {
      const bool external = record.model == kRapaxW;
      Motor entry{std::make_unique<SimulatedMotor>(record.hash, record.deviceId, record.bus, external,
                                                   FactoryText(record.model)),
                  SignalFeed(record.hash, record.model, &SimulatedMotor::SignalSlot, SimulatedMotor::kSignalSlots,
                             &SimulatedMotor::AnswersAlone)};
      ReplayInputs(external ? kRapaxWType : kRapaxQType, *entry.device);
      entry.feed.Reschedule(signals_);
      entry.feed.CollectAll(*entry.device, batch_);
      motorsChanged_ = true;
      motors_.insert(std::lower_bound(motors_.begin(), motors_.end(), record.hash,
                                      [](const Motor& m, uint32_t hash) { return m.device->Hash() < hash; }),
                     std::move(entry));
    } else {
      Imu entry{std::make_unique<SimulatedImu>(record.hash, record.deviceId, record.bus, clock_.Now()),
                SignalFeed(record.hash, record.model)};
      ReplayInputs(kAukletType, *entry.device);
      entry.feed.Reschedule(signals_);
      entry.feed.CollectAll(ImuSignals{*entry.device}, batch_);
      imus_.insert(std::lower_bound(imus_.begin(), imus_.end(), record.hash,
                                    [](const Imu& i, uint32_t hash) { return i.device->Hash() < hash; }),
                   std::move(entry));
    }
    signals_.SetInitialValues(record.hash, batch_);
    hasDevices_.store(true, std::memory_order_release);
  }
  // The real-time thread starts with the first simulated device.
  LockGuard lock(threadMutex_);
  if (!thread_.joinable() && !stopping_) thread_ = std::thread([this] { RunRealTime(); });
  wake_.notify_all();
}

// ---- What reaches the devices ------------------------------------------------------

void FirmwareService::ReceiveTaken() {
  // A request may make a motor a follower, or a leader again.
  motorsChanged_ = true;
  for (const ControlRecorder::AcceptedCall& call : taken_) {
    if (Motor* motor = MotorOf(call.deviceHash)) motor->device->Receive(call.function, call.Args(), call.sequence);
  }
}

void FirmwareService::OnSettings(uint32_t deviceHash, std::string_view text) {
  LockGuard lock(mutex_);
  if (Motor* motor = MotorOf(deviceHash)) {
    motor->device->Configure(text);
    motorsChanged_ = true;  // a difference sensor may come or go
  }
}

void FirmwareService::OnAction(uint32_t deviceHash, int configId, double value) {
  LockGuard lock(mutex_);
  batch_.clear();
  // The config store has set the signals the action moves; the device now
  // serves all of its own again (a sticky fault still present stays set),
  // so that the next frame already shows the action.
  if (Motor* motor = MotorOf(deviceHash)) {
    if (!motor->device->Act(configId, value)) return;
    motor->feed.Invalidate();
    motor->feed.CollectAll(*motor->device, batch_);
  } else if (Imu* imu = ImuOf(deviceHash)) {
    if (!imu->device->Act(configId, value)) return;
    imu->feed.Invalidate();
    imu->feed.CollectAll(ImuSignals{*imu->device}, batch_);
  } else {
    return;
  }
  signals_.SetSimulatedValues(deviceHash, batch_, clock_.Now());
}

template <class Device>
void FirmwareService::ReplayInputs(int32_t deviceType, Device& device) {
  for (const Inputs& inputs : inputs_) {
    if (inputs.deviceType != deviceType || inputs.deviceId != device.DeviceId()) continue;
    for (const auto& [input, value] : inputs.values) device.SetInput(input, value);
  }
}

template <class Visit>
void FirmwareService::ForEachDevice(int32_t deviceType, int32_t deviceId, Visit visit) {
  if (deviceType == kAukletType) {
    for (Imu& imu : imus_) {
      if (imu.device->DeviceId() == deviceId) visit(*imu.device);
    }
    return;
  }
  const bool external = deviceType == kRapaxWType;
  for (Motor& motor : motors_) {
    if (motor.device->DeviceId() == deviceId && motor.device->IsExternalMotor() == external) visit(*motor.device);
  }
}

bool FirmwareService::SetInput(int32_t deviceType, int32_t deviceId, PhysicsInput input, double value) {
  LockGuard lock(mutex_);
  Inputs* inputs = KeptInputs(deviceType, deviceId);
  return SetInputLocked(inputs, deviceType, deviceId, input, value);
}

void FirmwareService::SetInputs(int32_t deviceType, int32_t deviceId, std::span<InputValue> inputs) {
  LockGuard lock(mutex_);
  Inputs* kept = KeptInputs(deviceType, deviceId);  // searched once for the whole batch
  SetInputsLocked(kept, deviceType, deviceId, inputs,
                  [&](auto visit) ZEPHRIN_REQUIRES(mutex_) { ForEachDevice(deviceType, deviceId, visit); });
}

void FirmwareService::SetInputs(std::span<const DeviceInputs> devices) {
  uint64_t plan = 0;
  SetInputs(devices, plan);
}

void FirmwareService::SetInputs(std::span<const DeviceInputs> devices, uint64_t& plan) {
  LockGuard lock(mutex_);
  // The caller vouches that the batch is the one `plan` was handed out for;
  // the targets and their plans are still those while no device object
  // came since and nothing made them again.
  if (plan == inputPlan_ && inputTargetsFor_ == CountDevices() && devices.size() == inputTargets_.size()) {
    for (std::size_t d = 0; d < devices.size(); ++d) SetPlanned(inputTargets_[d], devices[d].deviceType, devices[d].inputs);
    return;
  }
  ResolveInputTargets(devices);
  bool planned = true;
  for (std::size_t d = 0; d < devices.size(); ++d) {
    const DeviceInputs& device = devices[d];
    InputTarget& target = inputTargets_[d];
    if (SetPlannedInputs(target, device.deviceType, device.inputs)) continue;
    // Inputs are kept from the first one taken on: until then (or when the
    // batch names the device twice) they are searched for.
    Inputs* kept = target.kept != kNoneKept ? &inputs_[target.kept] : KeptInputs(device.deviceType, device.deviceId);
    SetInputsLocked(kept, device.deviceType, device.deviceId, device.inputs, [&](auto visit) ZEPHRIN_REQUIRES(mutex_) {
      ForEachTargetDevice(target, device.deviceType, visit);
    });
    if (target.kept == kNoneKept && kept != nullptr) target.kept = static_cast<std::size_t>(kept - inputs_.data());
    PlanInputs(target, device.inputs);
    planned = planned && !target.plan.empty();
  }
  plan = planned ? inputPlan_ : 0;
}

template <class Visit>
void FirmwareService::ForEachTargetDevice(const InputTarget& target, int32_t deviceType, Visit visit) {
  if (deviceType == kAukletType) {
    for (SimulatedImu* imu : std::span(inputImus_).subspan(target.first, target.count)) visit(*imu);
  } else {
    for (SimulatedMotor* motor : std::span(inputMotors_).subspan(target.first, target.count)) visit(*motor);
  }
}

bool FirmwareService::SetPlannedInputs(InputTarget& target, int32_t deviceType, std::span<InputValue> values) {
  const std::size_t n = values.size();
  if (n != target.plan.size() || n == 0) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (values[i].input != target.plan[i].first) return false;
  }
  SetPlanned(target, deviceType, values);
  return true;
}

void FirmwareService::SetPlanned(InputTarget& target, int32_t deviceType, std::span<InputValue> values) {
  // No move among them: every one is taken, kept where it was last time,
  // then set on each device object, as SetInputsLocked does.
  auto& kept = inputs_[target.kept].values;
  const std::size_t n = values.size();
  for (std::size_t i = 0; i < n; ++i) {
    kept[target.plan[i].second].second = values[i].value;
    values[i].taken = true;
  }
  // Written out rather than through ForEachTargetDevice, which the
  // compiler leaves a call per device here.
  if (deviceType == kAukletType) {
    for (SimulatedImu* imu : std::span(inputImus_).subspan(target.first, target.count)) {
      for (const InputValue& v : values) imu->SetInput(v.input, v.value);
    }
    return;
  }
  for (SimulatedMotor* motor : std::span(inputMotors_).subspan(target.first, target.count)) {
    for (const InputValue& v : values) motor->SetStepInput(v.input, v.value);
  }
}

void FirmwareService::PlanInputs(InputTarget& target, std::span<const InputValue> values) {
  ++inputPlan_;
  target.plan.clear();
  if (target.kept == kNoneKept) return;
  const auto& kept = inputs_[target.kept].values;
  for (const InputValue& v : values) {
    // A move is kept as the input it leads to, so it is never found here.
    const auto it = std::find_if(kept.begin(), kept.end(), [&](const auto& k) { return k.first == v.input; });
    if (it == kept.end()) {
      target.plan.clear();
      return;
    }
    target.plan.emplace_back(v.input, static_cast<std::size_t>(it - kept.begin()));
  }
}

void FirmwareService::ResolveInputTargets(std::span<const DeviceInputs> devices) {
  if (inputTargetsFor_ == CountDevices() && SameDevices(devices, inputTargets_)) return;
  ++inputPlan_;
  inputTargets_.clear();
  inputMotors_.clear();
  inputImus_.clear();
  for (const DeviceInputs& d : devices) {
    InputTarget& target = inputTargets_.emplace_back(InputTarget{d.deviceType, d.deviceId, 0, 0, kNoneKept, {}});
    if (const Inputs* kept = KeptInputs(d.deviceType, d.deviceId)) {
      target.kept = static_cast<std::size_t>(kept - inputs_.data());
    }
    const bool imu = d.deviceType == kAukletType;
    target.first = imu ? inputImus_.size() : inputMotors_.size();
    ForEachDevice(d.deviceType, d.deviceId, [&](auto& device) ZEPHRIN_REQUIRES(mutex_) {
      if constexpr (std::is_same_v<std::remove_cvref_t<decltype(device)>, SimulatedImu>) {
        inputImus_.push_back(&device);
      } else {
        inputMotors_.push_back(&device);
      }
    });
    target.count = (imu ? inputImus_.size() : inputMotors_.size()) - target.first;
  }
  inputTargetsFor_ = CountDevices();
}

FirmwareService::Inputs* FirmwareService::KeptInputs(int32_t deviceType, int32_t deviceId) {
  auto it = std::find_if(inputs_.begin(), inputs_.end(),
                         [&](const Inputs& i) { return i.deviceType == deviceType && i.deviceId == deviceId; });
  return it != inputs_.end() ? &*it : nullptr;
}

bool FirmwareService::SetInputLocked(Inputs*& inputs, int32_t deviceType, int32_t deviceId, PhysicsInput input,
                                     double value) {
  InputValue one{input, value};
  SetInputsLocked(inputs, deviceType, deviceId, std::span(&one, 1),
                  [&](auto visit) ZEPHRIN_REQUIRES(mutex_) { ForEachDevice(deviceType, deviceId, visit); });
  return one.taken;
}

template <class ForEach>
void FirmwareService::SetInputsLocked(Inputs*& inputs, int32_t deviceType, int32_t deviceId,
                                      std::span<InputValue> values, ForEach forEach) {
  // Only a move ("Add...") can be refused: inputs that set a value are all
  // taken, so each device of (type, ID) is found once for all of them.
  // Plain loops rather than the standard searches: a device has a handful
  // of inputs, too few for their unrolled loops to pay off.
  bool moves = false;
  for (const InputValue& v : values) moves = moves || sim::AbsoluteOf(v.input) != v.input;
  for (InputValue& v : values) {
    // A move of a position is kept as the position it leads to ("Add..." as
    // "Raw..."), for device objects created later.
    const PhysicsInput absolute = sim::AbsoluteOf(v.input);
    const bool move = absolute != v.input;
    double* kept = nullptr;
    if (inputs != nullptr) {
      for (auto& [input, value] : inputs->values) {
        if (input == absolute) {
          kept = &value;
          break;
        }
      }
    }
    if (move) {
      // All device objects of (type, ID) move, or none does; only a move can
      // carry a position past the largest double.
      bool takes = kept == nullptr || std::isfinite(*kept + v.value);
      forEach([&](const auto& device) { takes = takes && device.Takes(v.input, v.value); });
      v.taken = takes;
      if (!takes) continue;
    }
    if (kept == nullptr) {
      // A physics model gives the same inputs every step, so only the first of
      // each allocates.
      if (inputs == nullptr) inputs = &inputs_.emplace_back(Inputs{deviceType, deviceId, {}});
      kept = &inputs->values.emplace_back(absolute, 0.0).second;
    }
    *kept = move ? *kept + v.value : v.value;
    v.taken = true;
    if (moves) forEach([&](auto& device) { device.SetInput(v.input, v.value); });
  }
  if (!moves) {
    forEach([&](auto& device) {
      for (const InputValue& v : values) device.SetInput(v.input, v.value);
    });
  }
}

bool FirmwareService::Output(int32_t deviceType, int32_t deviceId, std::string_view name, double& value) {
  LockGuard lock(mutex_);
  TakeControls();
  return OutputLocked(deviceType, deviceId, name, value);
}

void FirmwareService::Outputs(std::span<OutputRead> reads) {
  uint64_t plan = 0;
  Outputs(reads, plan);
}

void FirmwareService::Outputs(std::span<OutputRead> reads, uint64_t& plan) {
  LockGuard lock(mutex_);
  TakeControls();
  // The caller vouches that the reads name the devices `plan` was handed
  // out for; their motors are the same while no device object came since.
  if (plan != outputPlan_ || outputTargetsFor_ != CountDevices() || reads.size() != outputTargets_.size()) {
    ResolveOutputTargets(reads);
    plan = outputPlan_;
  }
  const SimulatedMotor* const* motors = outputMotors_.data();
  for (std::size_t i = 0; i < reads.size(); ++i) {
    OutputRead& r = reads[i];
    const OutputTarget& target = outputTargets_[i];
    // Nearly always one motor answers: the first is the newest of those seen so far.
    const SimulatedMotor* const* answerers = motors + target.first;
    const SimulatedMotor* newest = target.count > 0 ? answerers[0] : nullptr;
    for (std::size_t m = 1; m < target.count; ++m) newest = Newer(newest, *answerers[m]);
    r.found = Answer(newest, r.name, r.value);
  }
}

void FirmwareService::ResolveOutputTargets(std::span<const OutputRead> reads) {
  if (outputTargetsFor_ == CountDevices() && SameDevices(reads, outputTargets_)) return;
  ++outputPlan_;
  outputTargets_.clear();
  outputMotors_.clear();
  for (const OutputRead& r : reads) {
    const std::size_t first = outputMotors_.size();
    ForEachAnswerer(r.deviceType, r.deviceId,
                    [&](const SimulatedMotor& m) ZEPHRIN_REQUIRES(mutex_) { outputMotors_.push_back(&m); });
    outputTargets_.push_back({r.deviceType, r.deviceId, first, outputMotors_.size() - first});
  }
  outputTargetsFor_ = CountDevices();
}

template <class Visit>
void FirmwareService::ForEachAnswerer(int32_t deviceType, int32_t deviceId, Visit visit) const {
  const bool external = deviceType == kRapaxWType;
  for (const Motor& motor : motors_) {
    if (motor.device->DeviceId() == deviceId && motor.device->IsExternalMotor() == external) visit(*motor.device);
  }
}

bool FirmwareService::OutputLocked(int32_t deviceType, int32_t deviceId, std::string_view name, double& value) const {
  const SimulatedMotor* newest = nullptr;
  ForEachAnswerer(deviceType, deviceId, [&](const SimulatedMotor& m) { newest = Newer(newest, m); });
  return Answer(newest, name, value);
}

// ---- Stepping ----------------------------------------------------------------------

void FirmwareService::Advance(double from, double to) {
  if (!hasDevices_.load(std::memory_order_acquire) || signals_.ReplayInstalled()) return;
  LockGuard lock(mutex_);
  int64_t first = StepAtOrBefore(from) + 1;
  const int64_t last = StepAtOrBefore(to);
  first = std::max(first, last - kMaxManualSteps + 1);
  for (int64_t step = first; step <= last; ++step) {
    Step(step);
    // Only now may anyone read this step's time.
    clock_.StepManualTime(StepTime(step));
  }
}

void FirmwareService::RunRealTime() {
  UniqueLock lock(threadMutex_);
  int64_t done = -1;
  bool running = false;
  while (!stopping_) {
    const bool active = !clock_.IsManual() && !clock_.HasTimeSource() && !signals_.ReplayInstalled();
    if (!active) {
      running = false;
      // Woken by any change of the clock; the timeout covers a replay
      // being closed, which the clock does not announce.
      lock.WaitFor(wake_, std::chrono::milliseconds(50));
      continue;
    }
    const int64_t now = StepAtOrBefore(clock_.Now());
    if (!running || now - done > kMaxRealTimeSteps) done = now - 1;
    running = true;
    lock.Unlock();
    {
      LockGuard step(mutex_);
      for (int64_t s = done + 1; s <= now; ++s) Step(s);
    }
    lock.Lock();
    done = now;
    lock.WaitFor(wake_, std::chrono::milliseconds(1));
  }
}

void FirmwareService::Step(int64_t step) {
  TakeControls();
  const uint64_t schedule = signals_.ScheduleVersion();
  if (schedule != scheduleVersion_) {
    scheduleVersion_ = schedule;
    for (Motor& m : motors_) m.feed.Reschedule(signals_);
    for (Imu& i : imus_) i.feed.Reschedule(signals_);
  }
  const double t = StepTime(step);
  lastStep_.store(t, std::memory_order_release);
  batch_.clear();
  batchHashes_.clear();
  batchCounts_.clear();
  StepMotors(t);
  // An IMU reads no motor, and no motor's signals or rotor read an IMU, so
  // the IMUs may step after the motors have collected their signals: the
  // store still receives the devices in the same order.
  for (Imu& i : imus_) {
    i.device->Step(t, kStep);
    const std::size_t before = batch_.size();
    i.feed.Collect(t, kStep, ImuSignals{*i.device}, batch_);
    AddToBatch(i.device->Hash(), before);
  }
  // Every device's signals of the step go to the store in one call. Nothing
  // the devices read while they step comes from these keys (a motor reads
  // the other motors and the IMUs themselves, and the store only for the
  // sensors the physics moves), so handing them over at the end of the step
  // changes no value.
  if (!batch_.empty()) signals_.SetSimulatedValues(batchHashes_, batchCounts_, batch_, t);
}

void FirmwareService::AddToBatch(uint32_t deviceHash, std::size_t before) {
  if (batch_.size() == before) return;  // most steps carry no frame of a device's signals, or none that changed
  batchHashes_.push_back(deviceHash);
  batchCounts_.push_back(batch_.size() - before);
}

void FirmwareService::StepMotors(double t) {
  // The order that matters: every motor senses before any motor reads what
  // another sensed (a differential partner's position), and leaders control
  // before their followers take their output (a motor whose follow request
  // arrives is a follower from that step on; each motor controls once per
  // step, in one of the two passes); sensing reads nothing another motor's
  // control or actuation changes, and actuation reads only the motor's own
  // state. So when every motor's control stands alone (ControlsAlone), each
  // motor senses, controls, actuates, hands over its signals and moves its
  // rotor in one visit while its state is in cache, with the same results
  // as the passes below: no other motor reads what it hands over or moves.
  // Whether each motor controls alone changes only with its requests and
  // settings, so it is asked again only after one of those reached a motor.
  if (motorsChanged_) {
    oneVisit_ = std::all_of(motors_.begin(), motors_.end(), [](const Motor& m) { return m.device->ControlsAlone(); });
    motorsChanged_ = false;
  }
  if (oneVisit_) {
    for (Motor& m : motors_) {
      m.device->SenseControlActuate(*this);
      PublishAndMove(m, t);
    }
    return;
  }
  for (Motor& m : motors_) m.device->Sense(*this);
  // Leaders decide before their followers take their output.
  for (Motor& m : motors_) {
    if (!m.device->IsFollower()) m.device->Control(*this);
  }
  for (Motor& m : motors_) {
    if (m.device->IsFollower()) m.device->Control(*this);
  }
  for (Motor& m : motors_) m.device->Actuate();
  for (Motor& m : motors_) PublishAndMove(m, t);
}

void FirmwareService::RepublishAll() {
  LockGuard lock(mutex_);
  const double now = clock_.Now();
  for (Motor& m : motors_) {
    batch_.clear();
    m.feed.Invalidate();
    m.feed.CollectAll(*m.device, batch_);
    signals_.SetSimulatedValues(m.device->Hash(), batch_, now);
  }
  for (Imu& i : imus_) {
    batch_.clear();
    i.feed.Invalidate();
    i.feed.CollectAll(ImuSignals{*i.device}, batch_);
    signals_.SetSimulatedValues(i.device->Hash(), batch_, now);
  }
  lastStep_.store(now, std::memory_order_release);
}

void FirmwareService::PublishAndMove(Motor& m, double t) {
  const std::size_t before = batch_.size();
  m.feed.Collect(t, kStep, *m.device, batch_);
  AddToBatch(m.device->Hash(), before);
  // A motor's signals are its own state alone, so its rotor may move on
  // as soon as they are collected, in the same visit.
  m.device->Move();
}

FirmwareService::Motor* FirmwareService::MotorOf(uint32_t hash) {
  // A program sends to the same few motors over and over: the place each
  // was last found at is tried first (a motor created since may have moved
  // it, which its hash tells).
  std::size_t& last = motorPlaces_[hash % motorPlaces_.size()];
  if (last < motors_.size() && motors_[last].device->Hash() == hash) return &motors_[last];
  Motor* found = FindByHash(motors_, hash);
  if (found != nullptr) last = static_cast<std::size_t>(found - motors_.data());
  return found;
}

FirmwareService::Imu* FirmwareService::ImuOf(uint32_t hash) { return FindByHash(imus_, hash); }

// ---- What a motor sees of the others ----------------------------------------------------

const SimulatedMotor* FirmwareService::FindMotor(std::string_view bus, int deviceId, bool rapaxQOnly) const {
  if (const Motor* m = FindByHash(motors_, devices::DeviceRegistry::Hash(deviceId, kRapaxQ, bus))) {
    return m->device.get();
  }
  if (rapaxQOnly) return nullptr;
  const Motor* m = FindByHash(motors_, devices::DeviceRegistry::Hash(deviceId, kRapaxW, bus));
  return m != nullptr ? m->device.get() : nullptr;
}

bool FirmwareService::SensorValue(std::string_view bus, std::string_view model, int deviceId, uint16_t signalId,
                                  double& value) const {
  const uint32_t hash = devices::DeviceRegistry::Hash(deviceId, model, bus);
  if (model == kAuklet) {
    // The IMU's own state, not its last frame: a loop closed on it sees it now.
    const Imu* imu = FindByHash(imus_, hash);
    if (imu == nullptr) return false;
    value = imu->device->Signal(signalId);
    return true;
  }
  {
    LockGuard registry(devices_.RecordsMutex());
    const devices::DeviceRecord* record = devices_.FindRecord(hash);
    if (record == nullptr || !record->present) return false;
  }
  value = signals_.SimulatedValue(hash, signalId);
  return true;
}

// ---- Bus load ------------------------------------------------------------------------------

double FirmwareService::BusUtilization(std::string_view bus) const {
  const FrameFormat& format =
      buses_.NetworkType(bus) == platform::can::kNetworkTypeCanFd ? kFdFrame : kClassicFrame;
  double framesPerSecond = 0.0;
  {
    // Each motor controller repeats its request as one frame per period.
    LockGuard lock(mutex_);
    for (const Motor& m : motors_) {
      if (m.device->Bus() == bus) framesPerSecond += std::max(0.0, m.device->RequestRate());
    }
  }
  for (const devices::DeviceRecord& device : devices_.All()) {
    if (!device.present || device.bus != bus || device.modelMask == 0) continue;
    // A device packs the signals it sends at one rate into as few frames as they fill.
    std::map<double, double> bytesAtRate;
    for (const catalogue::CatalogueEntry& entry : catalogue::AllSignals()) {
      if (entry.primaryId != entry.id || !catalogue::ModelPublishes(entry, device.modelMask)) continue;
      const double hz = signals_.AppliedFrequency(device.hash, entry.id);
      if (hz > 0.0) bytesAtRate[hz] += PayloadBytes(entry);
    }
    for (const auto& [hz, bytes] : bytesAtRate) framesPerSecond += std::ceil(bytes / format.payloadBytes) * hz;
  }
  return std::min(1.0, framesPerSecond * format.seconds);
}

}  // namespace kvor::zephrin::runtime::firmware
