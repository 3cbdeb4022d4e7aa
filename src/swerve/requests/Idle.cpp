#include <kvor/zephrin6/swerve/requests/Idle.hpp>

namespace kvor::zephrin6::swerve::requests {

kvor::zephrin::StatusCode Idle::Apply(const impl::ControlParameters&,
                                      const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>&) {
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::swerve::requests
