#include <kvor/zephrin6/swerve/requests/SwerveDriveBrake.hpp>

#include "swerve/requests/internal/RequestSteps.hpp"

namespace kvor::zephrin6::swerve::requests {

kvor::zephrin::StatusCode SwerveDriveBrake::Apply(const impl::ControlParameters& parameters,
                                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) {
  internal::ModuleStates states(modules.size(), SwerveModuleState{});
  // Each wheel points away from the centre: pushing the robot any way then
  // pushes some wheel sideways, which it resists.
  for (std::size_t i = 0; i < modules.size(); ++i) {
    const Translation2d& location = parameters.moduleLocations[i];
    states[i].angle = Rotation2d(location.X().value(), location.Y().value());
  }
  internal::SendStates(modules, states, internal::BaseRequest(DriveRequestType, SteerRequestType, parameters));
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
