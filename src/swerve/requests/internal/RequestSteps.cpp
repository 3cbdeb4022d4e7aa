#include "swerve/requests/internal/RequestSteps.hpp"

#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>

namespace kvor::zephrin6::swerve::requests::internal {

ChassisSpeeds Discretized(const Vector2& velocity, double rate, const impl::ControlParameters& parameters) {
  const ChassisSpeeds speeds{units::velocity::meters_per_second_t{velocity.x},
                             units::velocity::meters_per_second_t{velocity.y},
                             units::angular_velocity::radians_per_second_t{rate}};
  if (!(parameters.updatePeriod.value() > 0.0)) return speeds;
  return Discretize(speeds, parameters.updatePeriod);
}

ModuleStates::ModuleStates(std::size_t count) : data_(stack_.data()), count_(count) {
  if (count > kStackModules) {
    heap_.resize(count);
    data_ = heap_.data();
  }
}

ModuleStates::ModuleStates(const impl::ControlParameters& parameters, std::size_t count, const ChassisSpeeds& speeds,
                           const Translation2d& center, bool desaturate)
    : ModuleStates(count) {
  parameters.kinematics->ToSwerveModuleStates(speeds, center, All());
  if (desaturate && parameters.kMaxSpeed.value() > 0.0) {
    impl::SwerveDriveKinematics::DesaturateWheelSpeeds(All(), parameters.kMaxSpeed);
  }
}

ModuleStates::ModuleStates(std::size_t count, const SwerveModuleState& state) : ModuleStates(count) {
  for (auto& entry : All()) entry = state;
}

impl::ModuleRequest BaseRequest(swerve::DriveRequestType drive, swerve::SteerRequestType steer,
                                const impl::ControlParameters& parameters) {
  impl::ModuleRequest request;
  request.DriveRequest = drive;
  request.SteerRequest = steer;
  request.UpdatePeriod = parameters.updatePeriod;
  request.EnableFOC = true;
  return request;
}

}  // namespace kvor::zephrin6::swerve::requests::internal
