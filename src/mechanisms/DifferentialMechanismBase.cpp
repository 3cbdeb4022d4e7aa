#include <kvor/zephrin6/mechanisms/DifferentialMechanismBase.hpp>

#include <kvor/zephrin6/configs/DifferentialSensorsConfigs.hpp>
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

#include <cmath>
#include <memory>
#include <optional>
#include <utility>

namespace kvor::zephrin6::mechanisms {

using kvor::zephrin::StatusCode;
using hardware::core::CoreAngulon;
using hardware::core::CoreAuklet2;
using hardware::core::CoreRapaxQ;
using signals::DifferentialSensorSourceValue;

namespace {

// A fault signal counts as set when it is non-zero, and also when it reads
// NaN: a value that says nothing must not let the mechanism drive.
bool IsSet(const BaseStatusSignal& signal) {
  const double value = signal.GetValueAsDouble();
  return value != 0.0 || std::isnan(value);
}

// Leader first, then the follower, whatever the leader answered.
StatusCode Combine(StatusCode leaderStatus, StatusCode followerStatus) {
  return leaderStatus.IsOK() ? followerStatus : leaderStatus;
}

}  // namespace

DifferentialMechanismBase::DifferentialMechanismBase(CoreRapaxQ& leader, CoreRapaxQ& follower,
                                                     bool followerOpposesLeader, ResetChecks checks)
    : DifferentialMechanismBase(leader, follower, followerOpposesLeader, nullptr, ImuAxis::Yaw, nullptr,
                                std::move(checks)) {}

DifferentialMechanismBase::DifferentialMechanismBase(CoreRapaxQ& leader, CoreRapaxQ& follower,
                                                     bool followerOpposesLeader, CoreAuklet2& imu, ImuAxis axis,
                                                     ResetChecks checks)
    : DifferentialMechanismBase(leader, follower, followerOpposesLeader, &imu, axis, nullptr, std::move(checks)) {}

DifferentialMechanismBase::DifferentialMechanismBase(CoreRapaxQ& leader, CoreRapaxQ& follower,
                                                     bool followerOpposesLeader, CoreAngulon& encoder,
                                                     ResetChecks checks)
    : DifferentialMechanismBase(leader, follower, followerOpposesLeader, nullptr, ImuAxis::Yaw, &encoder,
                                std::move(checks)) {}

DifferentialMechanismBase::DifferentialMechanismBase(CoreRapaxQ& leader, CoreRapaxQ& follower,
                                                     bool followerOpposesLeader, CoreAuklet2* imu, ImuAxis axis,
                                                     CoreAngulon* encoder, ResetChecks checks)
    : leader_{leader},
      follower_{follower},
      imu_{imu},
      imuAxis_{axis},
      encoder_{encoder},
      followRequest_{controls::DifferentialFollower{leader.GetDeviceID()}.WithOpposeLeaderDirection(
          followerOpposesLeader)},
      resetChecks_{std::move(checks)} {
  if (!resetChecks_.leader) resetChecks_.leader = MakeResetCheck(leader);
  if (!resetChecks_.follower) resetChecks_.follower = MakeResetCheck(follower);
  if (!resetChecks_.sensor1) {
    if (imu != nullptr) resetChecks_.sensor1 = MakeResetCheck(*imu);
    else if (encoder != nullptr) resetChecks_.sensor1 = MakeResetCheck(*encoder);
  }
}

DifferentialMechanismBase::~DifferentialMechanismBase() = default;

DifferentialMechanismBase::ResetCheck DifferentialMechanismBase::MakeResetCheck(hardware::ParentDevice& device) {
  // The flags last read, shared by copies of the check so that a copied
  // check does not report the same reset twice.
  auto lastSeen = std::make_shared<std::optional<int>>();
  return [&device, lastSeen] {
    const StatusSignal<int>& flags = device.GetResetFlags(true);
    if (!flags.GetStatus().IsOK()) return false;
    const int now = flags.GetValue();
    const bool changed = lastSeen->has_value() && **lastSeen != now;
    *lastSeen = now;
    return changed;
  };
}

void DifferentialMechanismBase::Periodic() {
  StatusCode status = StatusCode::OK;
  if (IsSet(leader_.GetFault_RemoteSensorPosOverflow(true))) {
    requiresUserReason_ = RequiresUserReason::RemoteSensorPosOverflow;
    requiresUserAction_ = true;
    disabledReason_ = DisabledReason::RemoteSensorPosOverflow;
    status = StatusCode::MechanismFaulted;
  }
  const bool leaderDataInvalid = IsSet(leader_.GetFault_RemoteSensorDataInvalid(true));
  const bool followerDataInvalid = IsSet(follower_.GetFault_RemoteSensorDataInvalid(true));
  if (leaderDataInvalid || followerDataInvalid) {
    disabledReason_ = DisabledReason::RemoteSensorDataInvalid;
    status = StatusCode::MechanismFaulted;
  }
  if (IsSet(leader_.GetFault_MissingDifferentialQ(true))) {
    disabledReason_ = DisabledReason::MissingDifferentialQ;
    status = StatusCode::MechanismFaulted;
  }

  // Every check runs every loop, so that each sees every reset once.
  bool reset = resetChecks_.leader();
  reset = resetChecks_.follower() || reset;
  if (resetChecks_.sensor1) reset = resetChecks_.sensor1() || reset;
  if (resetChecks_.sensor2) reset = resetChecks_.sensor2() || reset;
  const bool leaderSticky = IsSet(leader_.GetStickyFault_RemoteSensorReset(true));
  const bool followerSticky = IsSet(follower_.GetStickyFault_RemoteSensorReset(true));

  if (reset || leaderSticky || followerSticky) {
    requiresUserReason_ = RequiresUserReason::DeviceReset;
    requiresUserAction_ = true;
    disabledReason_ = DisabledReason::DeviceReset;
    disabled_ = true;
  } else if (!status.IsOK() || requiresUserAction_) {
    disabled_ = true;
  } else {
    disabledReason_ = DisabledReason::None;
    disabled_ = false;
  }
}

StatusCode DifferentialMechanismBase::ApplyTo(CoreRapaxQ& device, const std::string& configText, int attempts) {
  const auto& configurator = device.GetConfigurator();
  StatusCode status = StatusCode::OK;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    status = configurator.SetConfigsPrivate(configText, configurator.DefaultTimeout(), false, false);
    if (status.IsOK()) break;
  }
  return status;
}

StatusCode DifferentialMechanismBase::ApplyConfigs(int retries) {
  const int axis = static_cast<int>(imuAxis_);
  if (imu_ != nullptr && (axis < 0 || axis > 2)) return StatusCode::InvalidParamValue;  // names no IMU angle
  const int attempts = retries < 1 ? 1 : retries;
  const StatusCode followerStatus = ApplyTo(follower_, configs::DifferentialSensorsConfigs{}.Serialize(), attempts);

  configs::DifferentialSensorsConfigs leaderConfigs;
  leaderConfigs.DifferentialRapaxQSensorID = follower_.GetDeviceID();
  if (imu_ != nullptr) {
    static constexpr int kImuSources[] = {DifferentialSensorSourceValue::RemoteAuklet2_Yaw,
                                          DifferentialSensorSourceValue::RemoteAuklet2_Pitch,
                                          DifferentialSensorSourceValue::RemoteAuklet2_Roll};
    leaderConfigs.DifferentialSensorSource = kImuSources[axis];
    leaderConfigs.DifferentialRemoteSensorID = imu_->GetDeviceID();
  } else if (encoder_ != nullptr) {
    leaderConfigs.DifferentialSensorSource = DifferentialSensorSourceValue::RemoteAngulon;
    leaderConfigs.DifferentialRemoteSensorID = encoder_->GetDeviceID();
  } else {
    leaderConfigs.DifferentialSensorSource = DifferentialSensorSourceValue::RemoteRapaxQ_Diff;
    leaderConfigs.DifferentialRemoteSensorID = 0;
  }
  const StatusCode leaderStatus = ApplyTo(leader_, leaderConfigs.Serialize(), attempts);

  configsApplied_ = followerStatus.IsOK() && leaderStatus.IsOK();
  return followerStatus.IsOK() ? leaderStatus : followerStatus;
}

StatusCode DifferentialMechanismBase::BeforeControl() {
  if (!configsApplied_) {
    const StatusCode status = ApplyConfigs(5);
    if (!status.IsOK()) {
      SetNeutralOut();
      return status;
    }
  }
  if (disabled_) {
    SetNeutralOut();
    return StatusCode::MechanismFaulted;
  }
  return StatusCode::OK;
}

void DifferentialMechanismBase::ClearUserRequirement() {
  // A clear that fails is reported by the device's configurator and leaves
  // the sticky fault set, which the next Periodic sees and latches again.
  if (IsSet(leader_.GetStickyFault_RemoteSensorReset(true))) {
    static_cast<void>(leader_.ClearStickyFault_RemoteSensorReset());
  }
  if (IsSet(follower_.GetStickyFault_RemoteSensorReset(true))) {
    static_cast<void>(follower_.ClearStickyFault_RemoteSensorReset());
  }
  requiresUserReason_ = RequiresUserReason::None;
  requiresUserAction_ = false;
}

StatusCode DifferentialMechanismBase::SetNeutralOut() {
  const StatusCode leaderStatus = leader_.SetControl(neutralRequest_);
  return Combine(leaderStatus, follower_.SetControl(neutralRequest_));
}

StatusCode DifferentialMechanismBase::SetCoastOut() {
  const StatusCode leaderStatus = leader_.SetControl(coastRequest_);
  return Combine(leaderStatus, follower_.SetControl(coastRequest_));
}

StatusCode DifferentialMechanismBase::SetStaticBrake() {
  const StatusCode leaderStatus = leader_.SetControl(brakeRequest_);
  return Combine(leaderStatus, follower_.SetControl(brakeRequest_));
}

StatusCode DifferentialMechanismBase::FollowAndCombine(StatusCode leaderStatus) {
  return Combine(leaderStatus, follower_.SetControl(followRequest_));
}

}  // namespace kvor::zephrin6::mechanisms
