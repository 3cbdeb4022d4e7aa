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
  impl::ModuleRequest request = internal::BaseRequest(DriveRequestType, SteerRequestType, parameters);
  for (std::size_t i = 0; i < modules.size(); ++i) {
    // The forces are field-relative too and take the same turns as the speeds.
    const internal::Vector2 force = internal::FieldToRobot(
        internal::FromPerspective(internal::ForceOf(WheelForceFeedforwardsX, WheelForceFeedforwardsY, i),
                                  ForwardPerspective, parameters),
        parameters);
    request.State = states[i];
    request.WheelForceFeedforwardX = units::force::newton_t{force.x};
    request.WheelForceFeedforwardY = units::force::newton_t{force.y};
    modules[i]->Apply(request);
  }
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
