#include <kvor/zephrin6/swerve/requests/ApplyRobotSpeeds.hpp>

#include "swerve/requests/internal/RequestSteps.hpp"

namespace kvor::zephrin6::swerve::requests {

kvor::zephrin::StatusCode ApplyRobotSpeeds::Apply(const impl::ControlParameters& parameters,
                                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) {
  internal::ModuleStates states(parameters, modules.size(), Speeds, CenterOfRotation, DesaturateWheelSpeeds);
  impl::ModuleRequest request = internal::BaseRequest(DriveRequestType, SteerRequestType, parameters);
  for (std::size_t i = 0; i < modules.size(); ++i) {
    const internal::Vector2 force = internal::ForceOf(WheelForceFeedforwardsX, WheelForceFeedforwardsY, i);
    request.State = states[i];
    request.WheelForceFeedforwardX = units::force::newton_t{force.x};
    request.WheelForceFeedforwardY = units::force::newton_t{force.y};
    modules[i]->Apply(request);
  }
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
