#pragma once

// DifferentialMechanismBase is what DifferentialMechanism and
// SimpleDifferentialMechanism share: two rapax q motor controllers, a leader
// and a follower, driving two degrees of freedom together (the average of
// the two motors, say the lift of a wrist, and their difference, its tilt).
// It configures the leader's difference sensor once, supervises both devices
// (and the remote sensor) for faults and resets, refuses to drive while a
// fault is present, and sends the follower a DifferentialFollower request
// with every command. The two derived classes add the SetControl family.
//
// Ownership: the mechanism holds references to its devices; they must
// outlive it. It owns its stored requests and reset checks. Not copyable
// (two objects supervising one pair would disagree about its state); it can
// be moved into place.
//
// Thread safety: none of its own. Drive it from the robot program's loop
// thread: call Periodic() every loop, then one command. The devices' own
// locks make their calls safe against other threads using them.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/controls/CoastOut.hpp>
#include <kvor/zephrin6/controls/DifferentialFollower.hpp>
#include <kvor/zephrin6/controls/NeutralOut.hpp>
#include <kvor/zephrin6/controls/StaticBrake.hpp>

#include <functional>
#include <string>

namespace kvor::zephrin6::hardware {
class ParentDevice;
}  // namespace kvor::zephrin6::hardware
namespace kvor::zephrin6::hardware::core {
class CoreAngulon;
class CoreAuklet2;
class CoreRapaxQ;
}  // namespace kvor::zephrin6::hardware::core

namespace kvor::zephrin6::mechanisms {

class ZEPHRIN6_API DifferentialMechanismBase {
 public:
  /// Why the mechanism refuses to drive.
  enum class DisabledReason : int {
    None = 0,                     ///< it drives
    RemoteSensorDataInvalid = 1,  ///< a device reports its remote sensor's data invalid
    MissingDifferentialQ = 2,     ///< the leader does not hear the follower
    RemoteSensorPosOverflow = 3,  ///< the leader's remote sensor position overflowed
    DeviceReset = 4,              ///< a device or sensor reset
  };
  /// Why the program must call ClearUserRequirement before the mechanism drives again.
  enum class RequiresUserReason : int {
    None = 0,                     ///< nothing is latched
    RemoteSensorPosOverflow = 1,  ///< the leader's remote sensor position overflowed
    DeviceReset = 2,              ///< a device or sensor reset
  };
  /// Which angle of an auklet 2 measures the difference axis.
  enum class ImuAxis : int { Yaw = 0, Pitch = 1, Roll = 2 };

  /// Answers whether a device reset since it was last asked (true once per reset).
  using ResetCheck = std::function<bool()>;
  /// The reset checks Periodic() consults. An empty leader or follower check
  /// is replaced by MakeResetCheck of that device; an empty sensor1 by
  /// MakeResetCheck of the remote sensor when there is one. An empty sensor
  /// check is simply not consulted.
  struct ResetChecks {
    ResetCheck leader;
    ResetCheck follower;
    ResetCheck sensor1;
    ResetCheck sensor2;
  };

  /// A mechanism measuring the difference from the follower's own rotor
  /// (RemoteRapaxQ_Diff).
  /// @param leader the device that runs both loops and receives the setpoints.
  /// @param follower the device that follows the leader differentially.
  /// @param followerOpposesLeader whether the follower turns against the
  ///        leader (motors mounted facing each other).
  /// @param checks reset checks; empty ones get the defaults described above.
  DifferentialMechanismBase(hardware::core::CoreRapaxQ& leader, hardware::core::CoreRapaxQ& follower,
                            bool followerOpposesLeader, ResetChecks checks = {});
  /// A mechanism measuring the difference with one angle of an IMU.
  /// @param imu the auklet 2 whose `axis` angle is the difference sensor.
  DifferentialMechanismBase(hardware::core::CoreRapaxQ& leader, hardware::core::CoreRapaxQ& follower,
                            bool followerOpposesLeader, hardware::core::CoreAuklet2& imu, ImuAxis axis,
                            ResetChecks checks = {});
  /// A mechanism measuring the difference with an absolute encoder.
  /// @param encoder the angulon on the difference axis.
  DifferentialMechanismBase(hardware::core::CoreRapaxQ& leader, hardware::core::CoreRapaxQ& follower,
                            bool followerOpposesLeader, hardware::core::CoreAngulon& encoder,
                            ResetChecks checks = {});

  DifferentialMechanismBase(const DifferentialMechanismBase&) = delete;
  DifferentialMechanismBase& operator=(const DifferentialMechanismBase&) = delete;
  DifferentialMechanismBase(DifferentialMechanismBase&&) = default;
  DifferentialMechanismBase& operator=(DifferentialMechanismBase&&) = delete;

  /// A reset check built on `device`'s reset-flags signal (refreshed at each
  /// call): true once each time the flags read a value other than the one
  /// read before, which a device reports after it rebooted. A failed read
  /// counts as no reset. The device must outlive the check.
  static ResetCheck MakeResetCheck(hardware::ParentDevice& device);

  /// Supervises the devices; call it every loop before commanding. Reads the
  /// leader's position-overflow, both devices' remote-data-invalid and the
  /// leader's missing-follower faults, consults every reset check and both
  /// reset sticky faults, and enables or disables the mechanism. A position
  /// overflow or a reset latches until ClearUserRequirement.
  void Periodic();

  /// Applies the difference-sensor configuration: the follower's is cleared
  /// (source Disabled), the leader's names the follower and the remote
  /// sensor. Each device is tried up to `retries` times (at least once) with
  /// its configurator's default timeout, until it answers OK.
  /// @return the follower's last status when not OK, else the leader's;
  ///         -1002 InvalidParamValue, with nothing sent, for an IMU axis
  ///         other than the three named ones.
  [[nodiscard]] kvor::zephrin::StatusCode ApplyConfigs(int retries);

  /// The gate every command passes: applies the configuration first (five
  /// attempts) while it has not been applied, and refuses while disabled.
  /// Both refusals put the devices in neutral.
  /// @return OK; the configuration's failure; or -10027 MechanismFaulted.
  [[nodiscard]] kvor::zephrin::StatusCode BeforeControl();

  /// Clears the latched requirement, and the reset sticky fault of each
  /// device that shows one. The next Periodic() decides whether to drive.
  void ClearUserRequirement();

  /// Sends the stored NeutralOut to the leader, then the follower (no gate).
  /// @return the leader's status when not OK, else the follower's.
  kvor::zephrin::StatusCode SetNeutralOut();
  /// Sends the stored CoastOut to both devices, leader first (no gate).
  /// @return the leader's status when not OK, else the follower's.
  kvor::zephrin::StatusCode SetCoastOut();
  /// Sends the stored StaticBrake to both devices, leader first (no gate).
  /// @return the leader's status when not OK, else the follower's.
  kvor::zephrin::StatusCode SetStaticBrake();

  /// Whether the mechanism refuses to drive.
  bool IsDisabled() const noexcept { return disabled_; }
  /// Whether a latched condition waits for ClearUserRequirement.
  bool RequiresUserAction() const noexcept { return requiresUserAction_; }
  /// Why the mechanism is (or was last) disabled; None while it drives.
  DisabledReason GetDisabledReason() const noexcept { return disabledReason_; }
  /// Why user action is needed; None when nothing is latched.
  RequiresUserReason GetRequiresUserReason() const noexcept { return requiresUserReason_; }
  /// Whether the difference-sensor configuration reached both devices.
  bool AreConfigsApplied() const noexcept { return configsApplied_; }

  /// The leader device.
  hardware::core::CoreRapaxQ& GetLeader() const noexcept { return leader_; }
  /// The follower device.
  hardware::core::CoreRapaxQ& GetFollower() const noexcept { return follower_; }

 protected:
  ~DifferentialMechanismBase();

  /// Sends the follow request to the follower (always) after the leader was
  /// sent its request with `leaderStatus`, and combines the two results.
  kvor::zephrin::StatusCode FollowAndCombine(kvor::zephrin::StatusCode leaderStatus);

 private:
  DifferentialMechanismBase(hardware::core::CoreRapaxQ& leader, hardware::core::CoreRapaxQ& follower,
                            bool followerOpposesLeader, hardware::core::CoreAuklet2* imu, ImuAxis axis,
                            hardware::core::CoreAngulon* encoder, ResetChecks checks);
  [[nodiscard]] kvor::zephrin::StatusCode ApplyTo(hardware::core::CoreRapaxQ& device, const std::string& configText,
                                                  int attempts);

  hardware::core::CoreRapaxQ& leader_;
  hardware::core::CoreRapaxQ& follower_;
  hardware::core::CoreAuklet2* imu_;
  ImuAxis imuAxis_;
  hardware::core::CoreAngulon* encoder_;
  controls::DifferentialFollower followRequest_;
  controls::NeutralOut neutralRequest_;
  controls::CoastOut coastRequest_;
  controls::StaticBrake brakeRequest_;
  ResetChecks resetChecks_;
  bool configsApplied_ = false;
  bool disabled_ = false;
  bool requiresUserAction_ = false;
  DisabledReason disabledReason_ = DisabledReason::None;
  RequiresUserReason requiresUserReason_ = RequiresUserReason::None;
};

}  // namespace kvor::zephrin6::mechanisms
