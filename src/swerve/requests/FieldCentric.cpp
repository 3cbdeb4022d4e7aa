#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>

#include "swerve/requests/internal/RequestSteps.hpp"

namespace kvor::zephrin6::swerve::requests {

kvor::zephrin::StatusCode FieldCentric::Apply(const impl::ControlParameters& parameters,
                                              const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) {
  internal::Vector2 velocity =
      internal::FromPerspective({VelocityX.value(), VelocityY.value()}, ForwardPerspective, parameters);
  double rate = RotationalRate.value();
  internal::ApplyDeadbands(velocity, rate, Deadband, RotationalDeadband);
  const ChassisSpeeds speeds = internal::Discretized(internal::FieldToRobot(velocity, parameters), rate, parameters);
  internal::ModuleStates states(parameters, modules.size(), speeds, CenterOfRotation, DesaturateWheelSpeeds);
  internal::SendStates(modules, states, internal::BaseRequest(DriveRequestType, SteerRequestType, parameters));
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
