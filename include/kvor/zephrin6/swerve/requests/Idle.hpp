#pragma once

// Idle is the request that commands nothing: the modules keep whatever their
// motors last received. Install it to hand the motors to other code, or to
// stop issuing drive commands without changing the motors' outputs. A plain
// value without fields; see SwerveRequest for how requests are used.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API Idle : public SwerveRequest {
 public:
  /// Sends nothing. @return OK.
  kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) override;
};

}  // namespace kvor::zephrin6::swerve::requests
