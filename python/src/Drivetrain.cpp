#include "Drivetrain.hpp"

#include <kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp>

#include <atomic>
#include <span>
#include <stdexcept>
#include <thread>
#include <unordered_set>
#include <utility>

#include "Repr.hpp"

namespace zephrin6_python {

namespace {

namespace swerve = kvor::zephrin6::swerve;
namespace configs = kvor::zephrin6::configs;
using swerve::MotorControllerType;
using swerve::SwerveDriveState;
using swerve::impl::SwerveDrivetrainImpl;
using swerve::sim::SimSwerveDrivetrain;

/// Whether the interpreter is exiting: callbacks into Python stop then.
std::atomic<bool> g_exiting{false};

/// The drivetrain whose callback the current thread is running, if any.
thread_local const Drivetrain* t_inCallbackOf = nullptr;

/// Every drivetrain Python holds, for closing them all at exit.
kvor::zephrin::Mutex g_liveMutex;
std::unordered_set<Drivetrain*> g_live ZEPHRIN_GUARDED_BY(g_liveMutex);

/// A Python callable kept by C++; dropping it takes the GIL, whichever
/// thread drops it.
struct PythonCallable {
  explicit PythonCallable(py::object f) : function(std::move(f)) {}
  ~PythonCallable() {
    py::gil_scoped_acquire gil;
    function = py::object();
  }
  PythonCallable(const PythonCallable&) = delete;
  PythonCallable& operator=(const PythonCallable&) = delete;
  py::object function;
};

SimSwerveDrivetrain::EncoderType SimulatedEncoder(EncoderType encoder) {
  switch (encoder) {
    case EncoderType::Angulon:
      return SimSwerveDrivetrain::EncoderType::Angulon;
    case EncoderType::RapaxW:
      return SimSwerveDrivetrain::EncoderType::RapaxWInput;
    default:
      return SimSwerveDrivetrain::EncoderType::None;
  }
}

/// Configures every module's devices from its constants, as the C++ and
/// Java front ends do (ModuleDeviceConfigs.hpp): a refused device is retried,
/// reported with its module, and the drivetrain is built anyway.
void ConfigureModules(SwerveDrivetrainImpl& engine, const std::vector<ModuleConstants>& modules,
                      std::string_view canBusName) {
  const auto& built = engine.GetModules();
  for (std::size_t i = 0; i < built.size(); ++i) {
    static_cast<void>(swerve::ApplyModuleConfigs(*built[i], modules[i], i, canBusName));
  }
}

}  // namespace

std::pair<Drivetrain::Engine, Drivetrain::Simulation> Drivetrain::Take() {
  kvor::zephrin::LockGuard lock(mutex_);
  return {std::exchange(engine_, nullptr), std::exchange(sim_, nullptr)};
}

Drivetrain::Drivetrain(const DrivetrainConstants& constants, std::vector<ModuleConstants> modules, double frequency,
                       const StdDevs& odometryStdDevs, const StdDevs& visionStdDevs, MotorControllerType driveMotor,
                       MotorControllerType steerMotor, EncoderType encoder, bool startOdometryThread,
                       bool configureMotors) {
  if (modules.empty()) throw py::value_error("a swerve drivetrain needs at least one module");
  if (encoder == EncoderType::RapaxW && steerMotor != MotorControllerType::RapaxW) {
    throw py::value_error("a rapax w encoder input needs rapax w steer motors");
  }
  if (!std::isfinite(frequency) || frequency < 0.0) {
    throw py::value_error("odometry_update_frequency must be a finite number of hertz, 0 for the default");
  }
  for (ModuleConstants& module : modules) {
    module.DriveMotorType = driveMotor;
    module.SteerMotorType = steerMotor;
    SimSwerveDrivetrain::ModuleSettings settings = SimSwerveDrivetrain::ModuleSettings::From(module);
    settings.Encoder = SimulatedEncoder(encoder);
    simSettings_.push_back(settings);
  }
  swerve::SwerveDrivetrainConstants cppConstants;
  cppConstants.WithCANBusName(constants.CANBusName).WithAuklet2Id(constants.Auklet2Id);
  {
    py::gil_scoped_release release;
    // Building reads every module and the gyro, and configuring waits for
    // the devices' answers: both wait for frames.
    Engine engine;
    WhileManualTimeRuns([&] {
      engine =
          std::make_shared<SwerveDrivetrainImpl>(cppConstants, units::frequency::hertz_t{frequency}, odometryStdDevs,
                                                 visionStdDevs, std::span<const ModuleConstants>(modules));
      if (configureMotors) ConfigureModules(*engine, modules, constants.CANBusName);
    });
    if (startOdometryThread) engine->GetOdometryThread().Start();
    kvor::zephrin::LockGuard lock(mutex_);
    engine_ = std::move(engine);
  }
  kvor::zephrin::LockGuard lock(g_liveMutex);
  g_live.insert(this);
}

Drivetrain::~Drivetrain() {
  {
    kvor::zephrin::LockGuard lock(g_liveMutex);
    g_live.erase(this);
  }
  if (t_inCallbackOf == this) {
    // Dropped from its own callback: the odometry thread cannot join itself,
    // so another thread ends the drivetrain once the callback has returned.
    std::thread([taken = Take()] { Stop(taken.first, taken.second); }).detach();
    return;
  }
  py::gil_scoped_release release;
  Close();
}

void Drivetrain::Stop(const Engine& engine, const Simulation& sim) {
  if (sim) sim->StopThread();
  if (engine) WhileManualTimeRuns([&] { engine->GetOdometryThread().Stop(); });
}

void Drivetrain::Close() {
  const auto [engine, sim] = Take();
  Stop(engine, sim);
}

Drivetrain::Engine Drivetrain::Impl() const {
  kvor::zephrin::LockGuard lock(mutex_);
  if (!engine_) throw std::runtime_error("the drivetrain is closed");
  return engine_;
}

Drivetrain::Simulation Drivetrain::Sim() {
  kvor::zephrin::LockGuard lock(mutex_);
  if (!engine_) throw std::runtime_error("the drivetrain is closed");
  if (!sim_) {
    sim_ = Simulation(
        new SimSwerveDrivetrain(*engine_, std::span<const SimSwerveDrivetrain::ModuleSettings>(simSettings_)),
        [engine = engine_](SimSwerveDrivetrain* sim) { delete sim; });
  }
  return sim_;
}

void Drivetrain::RegisterTelemetry(const py::object& function) {
  const Engine engine = Impl();
  if (function.is_none()) {
    py::gil_scoped_release release;
    engine->RegisterTelemetry({});
    return;
  }
  if (!PyCallable_Check(function.ptr())) throw py::type_error("telemetry must be callable or None");
  auto holder = std::make_shared<PythonCallable>(function);
  SwerveDrivetrainImpl::TelemetryFunction telemetry = [this, holder](const SwerveDriveState& state) {
    if (g_exiting.load()) return;
    py::gil_scoped_acquire gil;
    t_inCallbackOf = this;
    try {
      holder->function(state);
    } catch (py::error_already_set& error) {
      // The odometry thread must go on; Python reports the exception as
      // unraisable (printed, or to sys.unraisablehook).
      error.discard_as_unraisable("zephrin6 telemetry callback");
    }
    t_inCallbackOf = nullptr;
  };
  py::gil_scoped_release release;
  engine->RegisterTelemetry(std::move(telemetry));
}

std::string Drivetrain::Repr() const {
  kvor::zephrin::LockGuard lock(mutex_);
  if (!engine_) return "SwerveDrivetrain(closed)";
  return "SwerveDrivetrain(modules=" + std::to_string(engine_->GetModules().size()) +
         ", odometry_frequency=" + zephrin6_python::Repr(engine_->GetOdometryFrequency().value()) + ")";
}

std::size_t Drivetrain::Open() {
  kvor::zephrin::LockGuard lock(g_liveMutex);
  std::size_t open = 0;
  for (const Drivetrain* drivetrain : g_live) {
    kvor::zephrin::LockGuard pointers(drivetrain->mutex_);
    open += drivetrain->engine_ ? 1 : 0;
  }
  return open;
}

void Drivetrain::CloseAll() {
  std::vector<std::pair<Engine, Simulation>> taken;
  {
    kvor::zephrin::LockGuard lock(g_liveMutex);
    for (Drivetrain* drivetrain : g_live) taken.push_back(drivetrain->Take());
  }
  // Without the registry's lock: a callback that ends now may drop a
  // drivetrain, which leaves the registry.
  for (const auto& [engine, sim] : taken) Stop(engine, sim);
}

std::size_t OpenDrivetrains() { return Drivetrain::Open(); }

void CloseAllDrivetrains() {
  py::gil_scoped_release release;
  Drivetrain::CloseAll();
}

void StopAllDrivetrains() {
  g_exiting.store(true);
  CloseAllDrivetrains();
}

}  // namespace zephrin6_python
