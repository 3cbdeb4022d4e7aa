#include <kvor/zephrin6/swerve/requests/ApplyRobotSpeeds.hpp>

#include "swerve/requests/internal/RequestSteps.hpp"

namespace kvor::zephrin6::swerve::requests {

kvor::zephrin::StatusCode ApplyRobotSpeeds::Apply(const impl::ControlParameters& parameters,
                                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) {
  internal::ModuleStates states(parameters, modules.size(), Speeds, CenterOfRotation, DesaturateWheelSpeeds);
  internal::SendStates(
      modules, states, internal::BaseRequest(DriveRequestType, SteerRequestType, parameters),
      [&](std::size_t i) { return internal::ForceOf(WheelForceFeedforwardsX, WheelForceFeedforwardsY, i); });
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
