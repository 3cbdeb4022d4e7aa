#include <kvor/zephrin6/swerve/requests/RobotCentric.hpp>

#include "swerve/requests/internal/RequestSteps.hpp"

namespace kvor::zephrin6::swerve::requests {

kvor::zephrin::StatusCode RobotCentric::Apply(const impl::ControlParameters& parameters,
                                              const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) {
  internal::Vector2 velocity{VelocityX.value(), VelocityY.value()};
  double rate = RotationalRate.value();
  internal::ApplyDeadbands(velocity, rate, Deadband, RotationalDeadband);
  const ChassisSpeeds speeds{units::velocity::meters_per_second_t{velocity.x},
                             units::velocity::meters_per_second_t{velocity.y},
                             units::angular_velocity::radians_per_second_t{rate}};
  internal::ModuleStates states(parameters, modules.size(), speeds, CenterOfRotation, DesaturateWheelSpeeds);
  internal::SendStates(modules, states, internal::BaseRequest(DriveRequestType, SteerRequestType, parameters));
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
