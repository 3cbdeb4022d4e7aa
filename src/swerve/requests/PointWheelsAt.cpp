#include <kvor/zephrin6/swerve/requests/PointWheelsAt.hpp>

#include "swerve/requests/internal/RequestSteps.hpp"

namespace kvor::zephrin6::swerve::requests {

kvor::zephrin::StatusCode PointWheelsAt::Apply(const impl::ControlParameters& parameters,
                                               const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) {
  internal::ModuleStates states(modules.size(), SwerveModuleState{units::velocity::meters_per_second_t{0.0},
                                                                  ModuleDirection});
  internal::SendStates(modules, states, internal::BaseRequest(DriveRequestType, SteerRequestType, parameters));
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
