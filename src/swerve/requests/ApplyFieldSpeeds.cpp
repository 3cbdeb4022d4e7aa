#include <kvor/zephrin6/swerve/requests/ApplyFieldSpeeds.hpp>

#include "swerve/requests/internal/RequestSteps.hpp"

namespace kvor::zephrin6::swerve::requests {

kvor::zephrin::StatusCode ApplyFieldSpeeds::Apply(const impl::ControlParameters& parameters,
                                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) {
  const internal::Vector2 velocity =
      internal::FromPerspective({Speeds.vx.value(), Speeds.vy.value()}, ForwardPerspective, parameters);
  const ChassisSpeeds speeds =
      internal::Discretized(internal::FieldToRobot(velocity, parameters), Speeds.omega.value(), parameters);
  internal::ModuleStates states(parameters, modules.size(), speeds, CenterOfRotation, DesaturateWheelSpeeds);
  // The forces are field-relative too and take the same turns as the speeds.
  internal::SendStates(
      modules, states, internal::BaseRequest(DriveRequestType, SteerRequestType, parameters), [&](std::size_t i) {
        const internal::Vector2 force = internal::ForceOf(WheelForceFeedforwardsX, WheelForceFeedforwardsY, i);
        return internal::FieldToRobot(internal::FromPerspective(force, ForwardPerspective, parameters), parameters);
      });
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
