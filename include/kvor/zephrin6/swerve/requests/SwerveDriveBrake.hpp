#pragma once

// SwerveDriveBrake stops the robot and turns every wheel to point along the
// line from the robot centre through its module, so the wheels form an X and
// resist being pushed. A plain value with fluent With... setters; see
// SwerveRequest for how requests are used.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API SwerveDriveBrake : public SwerveRequest {
 public:
  /// How the wheels are driven (to speed 0). Default OpenLoopVoltage.
  swerve::DriveRequestType DriveRequestType = swerve::DriveRequestType::OpenLoopVoltage;
  /// How the azimuths are turned. Default Position.
  swerve::SteerRequestType SteerRequestType = swerve::SteerRequestType::Position;

  /// Sets DriveRequestType. @return this request, for chaining.
  SwerveDriveBrake& WithDriveRequestType(swerve::DriveRequestType type) {
    DriveRequestType = type;
    return *this;
  }
  /// Sets SteerRequestType. @return this request, for chaining.
  SwerveDriveBrake& WithSteerRequestType(swerve::SteerRequestType type) {
    SteerRequestType = type;
    return *this;
  }

  /// Commands speed 0 and the X azimuths to every module. @return OK.
  kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) override;
};

}  // namespace kvor::zephrin6::swerve::requests
