#pragma once

// The swerve drivetrain as Python holds it: the engine (SwerveDrivetrainImpl)
// and its physics simulation, with the lifetime and locking rules a Python
// object needs.
//
// One module-constants type serves Python for every motor and encoder model:
// the drivetrain's arguments choose the models, as the C++ front end's
// template arguments do, and the engine takes the motor models from the
// constants' motor-type fields.
//
// Threads and the GIL: the odometry thread calls the telemetry callable with
// the engine's state lock held and then takes the GIL, so every operation
// that may take that lock (or join a thread) must let the GIL go first;
// otherwise a program thread holding the GIL and waiting for the lock would
// deadlock with the odometry thread holding the lock and waiting for the
// GIL. Operations hold their own reference to the engine while they run, so
// a close() from another thread never frees it under them. At interpreter
// exit every drivetrain is closed before Python stops running code on other
// threads. Not copyable.

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Bindings.hpp"

namespace zephrin6_python {

/// The module constants Python fills in, whatever the devices' models.
using ModuleConstants = kvor::zephrin6::swerve::SwerveModuleConstants<kvor::zephrin6::configs::RapaxQConfiguration,
                                                                      kvor::zephrin6::configs::RapaxQConfiguration,
                                                                      kvor::zephrin6::configs::AngulonConfiguration>;
/// x and y in metres, heading in radians.
using StdDevs = std::array<double, 3>;

/// The azimuth encoder model of every module.
enum class EncoderType : int32_t { Angulon = 0, Portis = 1, RapaxW = 2 };

/// What the drivetrain's bus and auklet 2 are; owns the bus name, which the
/// C++ constants only view.
struct DrivetrainConstants {
  std::string CANBusName;
  int32_t Auklet2Id = 0;
};

class Drivetrain {
 public:
  using Engine = std::shared_ptr<kvor::zephrin6::swerve::impl::SwerveDrivetrainImpl>;
  using Simulation = std::shared_ptr<kvor::zephrin6::swerve::sim::SimSwerveDrivetrain>;

  /// Builds the devices (with the GIL released, moving the manual clock on
  /// while they answer), configures the motors when asked, and starts the
  /// odometry thread when asked. Raises ValueError for arguments the
  /// drivetrain cannot be built from. The GIL must be held.
  Drivetrain(const DrivetrainConstants& constants, std::vector<ModuleConstants> modules, double frequency,
             const StdDevs& odometryStdDevs, const StdDevs& visionStdDevs,
             kvor::zephrin6::swerve::MotorControllerType driveMotor,
             kvor::zephrin6::swerve::MotorControllerType steerMotor, EncoderType encoder, bool startOdometryThread,
             bool configureMotors);
  /// Closes the drivetrain. The GIL must be held.
  ~Drivetrain();
  Drivetrain(const Drivetrain&) = delete;
  Drivetrain& operator=(const Drivetrain&) = delete;

  /// Stops the threads and lets the devices go; later operations raise. The
  /// GIL must not be held.
  void Close() ZEPHRIN_EXCLUDES(mutex_);
  /// The engine, for one operation; raises RuntimeError once closed.
  Engine Impl() const ZEPHRIN_EXCLUDES(mutex_);
  /// The physics simulation, built on first use (which sends nothing to the
  /// devices); it keeps the engine whose devices it feeds alive. Raises
  /// RuntimeError once closed. The GIL must not be held.
  Simulation Sim() ZEPHRIN_EXCLUDES(mutex_);
  /// Calls `function(state)` on the odometry thread after every sample (None
  /// stops the calls); an exception it raises is reported as unraisable.
  /// The GIL must be held.
  void RegisterTelemetry(const py::object& function);
  /// The repr Python shows.
  std::string Repr() const ZEPHRIN_EXCLUDES(mutex_);

  /// How many drivetrains are open.
  static std::size_t Open();
  /// Closes every open drivetrain. The GIL must not be held.
  static void CloseAll();

 private:
  /// The engine and the simulation, leaving this drivetrain closed.
  std::pair<Engine, Simulation> Take() ZEPHRIN_EXCLUDES(mutex_);
  static void Stop(const Engine& engine, const Simulation& sim);

  std::vector<kvor::zephrin6::swerve::sim::SimSwerveDrivetrain::ModuleSettings> simSettings_;
  // Guards the two pointers, not what they point to.
  mutable kvor::zephrin::Mutex mutex_;
  Engine engine_ ZEPHRIN_GUARDED_BY(mutex_);
  Simulation sim_ ZEPHRIN_GUARDED_BY(mutex_);
};

}  // namespace zephrin6_python
