#pragma once

// SwerveModuleImpl is one wheel module of a swerve drivetrain: a drive motor
// that turns the wheel and a steer motor that turns its azimuth, each a rapax
// q or a rapax w. It turns a requested wheel state into one control request
// per motor, keeps the four status signals odometry needs, and converts motor
// rotations into wheel distance, speed and azimuth. The steer motor is
// expected to be configured (by the program) to report the azimuth in
// mechanism rotations, so its position signal is the wheel azimuth; the
// module never talks to the azimuth encoder itself.
//
// The module owns its two motors (created from the constants' IDs and motor
// types on the given bus) and its copies of their signals; it is not
// copyable, since the signal copies refer back to the motors. It is not
// synchronised: the drivetrain drives it from its odometry thread and serves
// other threads under its own locks (SwerveDrivetrainImpl::ModuleLock).
// Control-send failures are not examined here (each device reports its own).

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/signals/StatusSignal.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/impl/ModuleRequest.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kvor::zephrin6::hardware {
class ParentDevice;
}
namespace kvor::zephrin6::hardware::traits {
class CommonRapax;
class SupportsFOC;
}  // namespace kvor::zephrin6::hardware::traits
namespace kvor::zephrin6::swerve {
template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
struct SwerveModuleConstants;
}

namespace kvor::zephrin6::swerve::impl {

class ZEPHRIN6_API SwerveModuleImpl {
 public:
  /// The fields of SwerveModuleConstants a module uses, independent of the
  /// constants' configuration types.
  struct Settings {
    int32_t SteerMotorId = 0;
    int32_t DriveMotorId = 0;
    /// Drive motor rotations per wheel rotation.
    double DriveMotorGearRatio = 0.0;
    /// Drive motor rotations per azimuth rotation.
    double CouplingGearRatio = 0.0;
    units::length::meter_t WheelRadius{0.0};
    ClosedLoopOutputType SteerMotorClosedLoopOutput = ClosedLoopOutputType::Voltage;
    ClosedLoopOutputType DriveMotorClosedLoopOutput = ClosedLoopOutputType::Voltage;
    units::velocity::meters_per_second_t SpeedAt12Volts{0.0};
    MotorControllerType DriveMotorType = MotorControllerType::RapaxQ;
    MotorControllerType SteerMotorType = MotorControllerType::RapaxQ;

    /// The settings of `constants`.
    template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
    static Settings From(const SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>& constants) {
      return {constants.SteerMotorId,
              constants.DriveMotorId,
              constants.DriveMotorGearRatio,
              constants.CouplingGearRatio,
              constants.WheelRadius,
              constants.SteerMotorClosedLoopOutput,
              constants.DriveMotorClosedLoopOutput,
              constants.SpeedAt12Volts,
              constants.DriveMotorType,
              constants.SteerMotorType};
    }
  };

  /// What the drive motor must add to push the wheel with a given force.
  struct MotorTorqueFeedforwards {
    /// Motor torque, newton-metres.
    units::torque::newton_meter_t torque{0.0};
    /// Torque current for that torque, amperes.
    units::current::ampere_t torqueCurrent{0.0};
    /// Voltage for that current at stall, volts.
    units::voltage::volt_t voltage{0.0};
  };

  /// Creates the module's drive and steer motors on the bus `canbus` (a rapax
  /// q when the motor type is RapaxQ, a rapax w otherwise), takes copies of
  /// their position and velocity signals and of the drive motor's torque
  /// constant and stall current, and asks for the last two at 4 Hz. A wheel
  /// radius that is not positive (or ratios that give no finite rotations
  /// per metre) is reported as WheelRadiusTooSmall, and the module then
  /// measures and commands zero wheel motion instead of infinities.
  template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
  SwerveModuleImpl(const SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>& constants,
                   std::string_view canbus)
      : SwerveModuleImpl(Settings::From(constants), canbus) {}
  /// As above, from the settings alone.
  SwerveModuleImpl(const Settings& settings, std::string_view canbus);
  ~SwerveModuleImpl();
  SwerveModuleImpl(const SwerveModuleImpl&) = delete;
  SwerveModuleImpl& operator=(const SwerveModuleImpl&) = delete;

  /// Commands both motors towards `request`. The wanted azimuth is first
  /// optimised against the cached position's: more than a quarter turn away
  /// (strictly), the wheel drives backwards and steers half a turn less. The
  /// steer motor gets a position or profiled request (with a velocity
  /// feed-forward from the azimuth change over UpdatePeriod, when it is
  /// positive); the drive motor gets an open-loop voltage or a velocity
  /// request, slowed by the cosine of the remaining azimuth error, plus the
  /// drive motion the steering causes through the coupling gear, plus the
  /// feed-forward of the requested wheel force. Torque-current requests
  /// become a neutral output on a rapax w, which cannot do them; an unknown
  /// request type sends nothing to that motor. A speed, azimuth, force or
  /// period that is not finite is reported (InvalidParamValue) and replaced:
  /// speed and force by 0, the azimuth by the current target, the period by 0.
  void Apply(const ModuleRequest& request);

  /// The wheel's distance rolled (metres) and azimuth, from the latest signal
  /// values extrapolated to now along their velocities (by at most 0.3 s).
  /// The coupling gear's share of the drive rotations is taken out. Also
  /// stored as the cached position.
  /// @param refresh read the signals first: on a CAN FD bus all four in one
  ///        wait of up to 0.05 s for a new frame; otherwise a wait of up to
  ///        0.05 s for the drive position and a plain read of the other three.
  ///        A failed read is reported and the values at hand are used.
  SwerveModulePosition GetPosition(bool refresh);
  /// The position computed by the last GetPosition (distance 0, azimuth 0
  /// before the first).
  const SwerveModulePosition& GetCachedPosition() const noexcept { return cachedPosition_; }
  /// The wheel speed (metres per second) and azimuth from the latest signal
  /// values, without reading anything.
  SwerveModuleState GetCurrentState() const;
  /// The state the last Apply aimed for, after optimisation (speed 0,
  /// azimuth 0 before the first).
  const SwerveModuleState& GetTargetState() const noexcept { return targetState_; }

  /// Sets the drive motor's position to 0 rotations (the device's default
  /// config timeout). @return the device's status.
  [[nodiscard]] kvor::zephrin::StatusCode ResetPosition();

  /// Reads the drive motor's MotorOutput configuration, sets its neutral mode
  /// to `mode` and applies it, each waiting at most `timeout` seconds. On a
  /// failure prints "RapaxQ ID <id> failed config neutral mode with error
  /// <status name>" to standard output.
  /// @return OK, or the status of the read or apply that failed.
  [[nodiscard]] kvor::zephrin::StatusCode ConfigNeutralMode(signals::NeutralModeValue mode,
                                                            units::time::second_t timeout);

  /// The drive velocity to command for `velocity` (drive motor rotations per
  /// second) while the azimuth is heading for `targetAngle` (rotations): the
  /// velocity scaled by the cosine of the remaining azimuth error (0 beyond a
  /// quarter turn), plus the coupling ratio times the steer velocity.
  units::angular_velocity::turns_per_second_t ApplyVelocityCorrections(
      units::angular_velocity::turns_per_second_t velocity, units::angle::turn_t targetAngle) const;

  /// The drive motor torque, torque current and voltage that push the wheel
  /// with (forceX, forceY) newtons in the robot frame; only the share along
  /// the wheel's azimuth counts. Zero forces give zero without reading
  /// anything; otherwise the torque constant and stall current are read
  /// (no wait, no report). A torque constant or stall current of zero (no
  /// frame received yet) gives a zero current or voltage, never an infinity.
  MotorTorqueFeedforwards CalculateMotorTorqueFeedforwards(units::force::newton_t forceX,
                                                           units::force::newton_t forceY);

  /// The four signals odometry reads, in this order: drive position, drive
  /// velocity, steer position, steer velocity. They belong to the module.
  std::array<BaseStatusSignal*, 4> GetSignals() noexcept;

  /// The drive motor.
  hardware::traits::CommonRapax& GetDriveMotor() noexcept { return *drive_.controls; }
  /// The steer motor.
  hardware::traits::CommonRapax& GetSteerMotor() noexcept { return *steer_.controls; }
  /// Drive motor rotations per metre of wheel travel (0 for an unusable
  /// wheel radius).
  double GetDriveRotationsPerMeter() const noexcept { return driveRotationsPerMeter_; }
  /// Wheel speed reached at 12 V, metres per second.
  units::velocity::meters_per_second_t GetSpeedAt12Volts() const noexcept { return speedAt12Volts_; }
  /// Whether the module's bus is CAN FD.
  bool IsOnCANFD() const noexcept { return isOnCANFD_; }

 private:
  struct Requests;

  /// ApplyVelocityCorrections, inlined into Apply.
  units::angular_velocity::turns_per_second_t CorrectedVelocity(units::angular_velocity::turns_per_second_t velocity,
                                                                units::angle::turn_t targetAngle) const;
  void SendSteer(SteerRequestType type, units::angle::turn_t position,
                 units::angular_velocity::turns_per_second_t velocity, bool enableFOC);
  void SendDrive(DriveRequestType type, units::angular_velocity::turns_per_second_t velocity,
                 const MotorTorqueFeedforwards& feedforwards, bool enableFOC);
  /// Location of the module's reports: the drive motor's device text.
  std::string ReportLocation() const;

  /// One owned motor and the other views of it the module needs.
  struct Motor {
    std::unique_ptr<hardware::traits::CommonRapax> controls;
    hardware::ParentDevice* device = nullptr;
    /// The torque-current requests; null for a rapax w.
    hardware::traits::SupportsFOC* foc = nullptr;
  };
  static Motor CreateMotor(MotorControllerType type, int32_t id, std::string_view canbus);

  // Declared first so that they are destroyed last, after every signal copy
  // that refers back to them; the steer motor goes before the drive motor.
  Motor drive_;
  Motor steer_;

  StatusSignal<units::angle::turn_t> drivePosition_;
  StatusSignal<units::angular_velocity::turns_per_second_t> driveVelocity_;
  StatusSignal<units::angle::turn_t> steerPosition_;
  StatusSignal<units::angular_velocity::turns_per_second_t> steerVelocity_;
  StatusSignal<units::torque_constant::newton_meters_per_ampere_t> driveMotorKT_;
  StatusSignal<units::current::ampere_t> driveMotorStallCurrent_;

  ClosedLoopOutputType driveClosedLoopOutput_;
  ClosedLoopOutputType steerClosedLoopOutput_;
  double driveRotationsPerMeter_ = 0.0;
  /// Newton-metres of motor torque per newton at the wheel.
  double driveTorquePerWheelForce_ = 0.0;
  double couplingRatio_ = 0.0;
  units::velocity::meters_per_second_t speedAt12Volts_{0.0};
  bool isOnCANFD_ = false;

  SwerveModulePosition cachedPosition_;
  SwerveModuleState targetState_;

  /// The control requests the module sends, kept so that sending one costs
  /// no construction.
  std::unique_ptr<Requests> requests_;
};

}  // namespace kvor::zephrin6::swerve::impl
