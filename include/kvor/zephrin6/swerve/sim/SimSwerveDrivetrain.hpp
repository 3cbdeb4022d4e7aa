#pragma once

// SimSwerveDrivetrain is the physics of a swerve drivetrain in simulation:
// it stands in for the robot's wheels, azimuths and body, so that a program
// can drive its drivetrain with no robot and watch odometry follow. Every
// Update it reads, through each motor's simulation state, the voltage the
// simulated controller applies; integrates each azimuth and each wheel (motor
// constants, gear ratios, inertia, friction voltage, the coupling between
// the azimuth and the drive gears, and wheel slip above the slip current);
// feeds the rotor positions and velocities back through the simulation
// states (and the azimuth encoders their readings); moves the true pose by
// the modules' ground motion; and turns the simulated auklet 2 with it.
//
// A program calls Update(dt, battery voltage) every loop, after the
// runtime's clock has moved by dt, or lets StartThread do so on a thread of
// its own; without a voltage both draw on a simulated battery (SimBattery)
// that sags under the motors' supply current and browns out. By default the
// robot drives on an endless floor; SetField puts it on a walled field with
// obstacles (SimField). SwerveDrivetrain builds one for itself
// (StartSimThread, UpdateSimState, GetSimDrivetrain).
//
// Ownership: it refers to the drivetrain's devices, so the drivetrain must
// outlive it; it owns its physics state and its thread, which destruction
// stops. Not copyable. Thread-safe: Update, the thread and every getter are
// serialised by one lock; use either Update calls or the thread, not both,
// or time is counted twice.

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxWConfiguration.hpp>
#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/sim/SimBattery.hpp>
#include <kvor/zephrin6/swerve/sim/SimField.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <atomic>
#include <concepts>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <span>
#include <thread>
#include <vector>

namespace kvor::zephrin6::swerve::impl {
class SwerveDrivetrainImpl;
}

namespace kvor::zephrin6::swerve::sim {

class ZEPHRIN6_API SimSwerveDrivetrain {
 public:
  /// A brushless motor as the simulation models it, for motors that do not
  /// report their own constants (MotorKV and MotorStallCurrent signals).
  struct MotorModel {
    /// Speed constant: free speed per volt, RPM per volt.
    units::velocity_constant::rpm_per_volt_t Kv{500.0};
    /// Current at stall with 12 V applied, amperes.
    units::current::ampere_t StallCurrent{360.0};
  };

  /// Which azimuth encoder a module has, so that the simulation can feed it.
  enum class EncoderType : int32_t {
    /// None the simulation feeds (a portis, or nothing).
    None = 0,
    /// An angulon: its position follows the azimuth.
    Angulon = 1,
    /// The steer rapax w's own encoder input: its pulse-width position
    /// follows the azimuth.
    RapaxWInput = 2,
  };

  /// What the simulation needs to know of one module.
  struct ModuleSettings {
    /// Drive motor rotations per wheel rotation (positive).
    double DriveMotorGearRatio = 0.0;
    /// Steer motor rotations per azimuth rotation (positive).
    double SteerMotorGearRatio = 0.0;
    /// Drive motor rotations per azimuth rotation: turning the azimuth turns
    /// the drive motor this much with the wheel standing.
    double CouplingGearRatio = 0.0;
    /// Wheel radius, metres (positive).
    units::length::meter_t WheelRadius{0.0};
    /// Inertia the wheel sees, including its share of the robot, kg m^2.
    units::moment_of_inertia::kilogram_square_meter_t DriveInertia{0.0};
    /// Inertia of the azimuth, kg m^2.
    units::moment_of_inertia::kilogram_square_meter_t SteerInertia{0.0};
    /// Voltage the wheel's friction costs, volts.
    units::voltage::volt_t DriveFrictionVoltage{0.0};
    /// Voltage the azimuth's friction costs, volts.
    units::voltage::volt_t SteerFrictionVoltage{0.0};
    /// Stator current above which the wheel slips on the floor, amperes;
    /// 0 for a wheel that never slips.
    units::current::ampere_t SlipCurrent{0.0};
    /// The drive motor turns clockwise for a positive output.
    bool DriveMotorInverted = false;
    /// The steer motor turns clockwise for a positive output.
    bool SteerMotorInverted = false;
    /// The azimuth encoder to feed, its CAN ID, its reading (turns) when the
    /// wheel points forward, and whether it counts clockwise as positive.
    EncoderType Encoder = EncoderType::None;
    int32_t EncoderId = 0;
    units::angle::turn_t EncoderOffset{0.0};
    bool EncoderInverted = false;
    /// Motor models used when a motor reports no constants of its own.
    MotorModel DriveMotor;
    MotorModel SteerMotor;

    /// The settings of a module built from `constants`.
    template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
    static ModuleSettings From(const SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>& constants) {
      ModuleSettings settings;
      settings.DriveMotorGearRatio = constants.DriveMotorGearRatio;
      settings.SteerMotorGearRatio = constants.SteerMotorGearRatio;
      settings.CouplingGearRatio = constants.CouplingGearRatio;
      settings.WheelRadius = constants.WheelRadius;
      settings.DriveInertia = constants.DriveInertia;
      settings.SteerInertia = constants.SteerInertia;
      settings.DriveFrictionVoltage = constants.DriveFrictionVoltage;
      settings.SteerFrictionVoltage = constants.SteerFrictionVoltage;
      settings.SlipCurrent = constants.SlipCurrent;
      settings.DriveMotorInverted = constants.DriveMotorInverted;
      settings.SteerMotorInverted = constants.SteerMotorInverted;
      if constexpr (std::same_as<EncoderConfigT, configs::AngulonConfiguration>) {
        settings.Encoder = EncoderType::Angulon;
      } else if constexpr (std::same_as<EncoderConfigT, configs::RapaxWConfiguration>) {
        settings.Encoder = EncoderType::RapaxWInput;
      }
      settings.EncoderId = constants.EncoderId;
      settings.EncoderOffset = constants.EncoderOffset;
      settings.EncoderInverted = constants.EncoderInverted;
      return settings;
    }
  };

  /// The settings of each module of `modules`, in order.
  template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
  static std::vector<ModuleSettings> SettingsOf(
      std::span<const SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>> modules) {
    std::vector<ModuleSettings> settings;
    settings.reserve(modules.size());
    for (const auto& module : modules) settings.push_back(ModuleSettings::From(module));
    return settings;
  }

  /// Inertias used for a setting that is not positive: a light azimuth, and
  /// a wheel carrying a few kilograms of robot, kg m^2.
  static constexpr units::moment_of_inertia::kilogram_square_meter_t kDefaultSteerInertia{0.004};
  static constexpr units::moment_of_inertia::kilogram_square_meter_t kDefaultDriveInertia{0.025};
  /// Longest stretch of time integrated in one piece, seconds; Update splits
  /// longer ones.
  static constexpr units::time::second_t kMaxStep{0.001};
  /// Longest stretch of time one Update integrates, seconds: a longer dt (a
  /// program held in a debugger, a clock that jumped) moves the robot by
  /// this much only, so that no call holds the simulation for more than
  /// about a millisecond.
  static constexpr units::time::second_t kMaxUpdate{1.0};

  /// Simulates `drivetrain`, one entry of `modules` per drivetrain module in
  /// the same order, starting at rest at the origin with every azimuth and
  /// wheel at 0. Nothing reaches the simulated devices before the first
  /// Update. Each motor's constants are read from its MotorKV and
  /// MotorStallCurrent signals when they are positive, else taken from the
  /// settings' motor models. A setting that cannot be simulated is reported
  /// (InvalidParamValue, once, at construction): an inertia or friction that
  /// is not a positive finite number gets the default above or 0; a module
  /// whose gear ratios or wheel radius are not positive, or that has no
  /// settings entry, stands still.
  SimSwerveDrivetrain(impl::SwerveDrivetrainImpl& drivetrain, std::span<const ModuleSettings> modules);
  /// As above, from the drivetrain's module constants.
  template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
  SimSwerveDrivetrain(impl::SwerveDrivetrainImpl& drivetrain,
                      std::span<const SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>> modules)
      : SimSwerveDrivetrain(drivetrain, SettingsOf(modules)) {}
  /// Stops the thread.
  ~SimSwerveDrivetrain();
  SimSwerveDrivetrain(const SimSwerveDrivetrain&) = delete;
  SimSwerveDrivetrain& operator=(const SimSwerveDrivetrain&) = delete;

  /// Moves the simulated robot through `dt` seconds (in pieces of at most
  /// kMaxStep) with the voltages the simulated controllers apply now, then
  /// feeds every motor, encoder and the auklet 2 what they measure at the
  /// end, and `supplyVoltage` as their supply. A dt longer than kMaxUpdate
  /// integrates kMaxUpdate only (GetSimulatedTime counts what was
  /// integrated) and is reported as a warning. A piece whose motion would
  /// not be a finite number (settings or motor outputs near the ends of the
  /// doubles) leaves that module, or the pose, where it was, reported as a
  /// warning: the pose, the speeds and the module states are always finite.
  /// Reports print at most once per second.
  /// @return OK; InvalidParamValue, changing nothing, for a dt that is
  ///         negative or not finite or a supply voltage that is not a finite
  ///         number of volts at or above 0.
  kvor::zephrin::StatusCode Update(units::time::second_t dt, units::voltage::volt_t supplyVoltage);
  /// As above, with the battery's loaded voltage as the supply: the battery
  /// (see SetBattery) is drawn on by the sum of the supply currents every
  /// motor controller of the drivetrain reports now. While it is browned
  /// out every one of them is disabled (its DeviceEnable input off, so its
  /// bridge coasts); they are enabled again on the first Update that finds
  /// the voltage back at or above the threshold. @return OK;
  /// InvalidParamValue, changing nothing, for a dt that is negative or not
  /// finite.
  kvor::zephrin::StatusCode Update(units::time::second_t dt);

  /// Puts the robot on `field`, where it is from now on (place it with
  /// ResetPose). Its bumper outline is the field's footprint for this
  /// drivetrain's module locations. @return OK; InvalidParamValue, changing
  /// nothing, for a field that fails SimField::Check or whose default
  /// outline for these modules is not a polygon it accepts.
  kvor::zephrin::StatusCode SetField(const SimField& field);
  /// Takes the robot off the field: it drives on an endless floor again.
  void ClearField();
  /// Whether the robot is on a field.
  bool HasField() const;

  /// Replaces the battery's settings and state with `battery`'s.
  void SetBattery(const SimBattery& battery);
  /// A copy of the battery: its settings, its loaded voltage and whether it
  /// browned out, as of the last Update without a voltage.
  SimBattery GetBattery() const;

  /// The robot's true pose on the field (metres, heading).
  Pose2d GetPose() const;
  /// Moves the robot to `pose` (its wheels and azimuths keep their motion);
  /// the auklet 2's yaw follows from the next Update. @return
  /// InvalidParamValue, changing nothing, for a pose that is not finite;
  /// else OK.
  kvor::zephrin::StatusCode ResetPose(const Pose2d& pose);
  /// The robot's true speeds, robot-relative (m/s, rad/s).
  ChassisSpeeds GetChassisSpeeds() const;
  /// Each module's true ground speed (m/s) and azimuth, in module order.
  std::vector<SwerveModuleState> GetModuleStates() const;
  /// How much time the simulation has integrated since construction, seconds.
  units::time::second_t GetSimulatedTime() const;

  /// Starts a thread that, every `period` of wall time, calls Update with
  /// the time the runtime's clock moved since its last call (nothing when it
  /// did not move) and `supplyVoltage` (volts); a jump of the clock thus moves the
  /// robot by kMaxUpdate at most. Nothing when it runs already.
  /// @return OK; InvalidParamValue, starting nothing, for a period that is
  ///         not positive and finite.
  kvor::zephrin::StatusCode StartThread(units::time::second_t period, units::voltage::volt_t supplyVoltage)
      ZEPHRIN_EXCLUDES(threadMutex_);
  /// As above, each Update drawing on the battery.
  kvor::zephrin::StatusCode StartThread(units::time::second_t period) ZEPHRIN_EXCLUDES(threadMutex_);
  /// Stops the thread and waits for it; nothing when it does not run.
  void StopThread() ZEPHRIN_EXCLUDES(threadMutex_);
  /// Whether the thread runs.
  bool IsThreadRunning() const noexcept { return running_.load(); }

 private:
  struct State;

  /// `supplyVolts` NaN: the battery.
  kvor::zephrin::StatusCode Start(double periodSeconds, double supplyVolts) ZEPHRIN_EXCLUDES(threadMutex_);
  void Run(double startSeconds, double periodSeconds, double supplyVolts);
  units::voltage::volt_t DrawBattery();

  mutable kvor::zephrin::Mutex mutex_;
  std::unique_ptr<State> state_ ZEPHRIN_PT_GUARDED_BY(mutex_);

  kvor::zephrin::Mutex threadMutex_;  // serialises StartThread and StopThread
  kvor::zephrin::Mutex wakeMutex_;    // with wake_, ends the thread's pause early on a stop
  std::condition_variable wake_;
  std::atomic<bool> running_{false};
  std::thread thread_ ZEPHRIN_GUARDED_BY(threadMutex_);
};

}  // namespace kvor::zephrin6::swerve::sim
