#pragma once

// PointWheelsAt stops the robot and turns every wheel to one azimuth, for
// example to line the wheels up before a precise move or to check the
// encoder offsets. A plain value with fluent With... setters; see
// SwerveRequest for how requests are used.

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

namespace kvor::zephrin6::swerve::requests {

class ZEPHRIN6_API PointWheelsAt : public SwerveRequest {
 public:
  /// Azimuth of every wheel, relative to the robot's forward direction.
  /// Default 0 (forward).
  Rotation2d ModuleDirection;
  /// How the wheels are driven (to speed 0). Default OpenLoopVoltage.
  swerve::DriveRequestType DriveRequestType = swerve::DriveRequestType::OpenLoopVoltage;
  /// How the azimuths are turned. Default Position.
  swerve::SteerRequestType SteerRequestType = swerve::SteerRequestType::Position;

  /// Sets ModuleDirection. @return this request, for chaining.
  PointWheelsAt& WithModuleDirection(const Rotation2d& direction) {
    ModuleDirection = direction;
    return *this;
  }
  /// Sets DriveRequestType. @return this request, for chaining.
  PointWheelsAt& WithDriveRequestType(swerve::DriveRequestType type) {
    DriveRequestType = type;
    return *this;
  }
  /// Sets SteerRequestType. @return this request, for chaining.
  PointWheelsAt& WithSteerRequestType(swerve::SteerRequestType type) {
    SteerRequestType = type;
    return *this;
  }

  /// Commands speed 0 and ModuleDirection to every module. @return OK.
  kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                  const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) override;
};

}  // namespace kvor::zephrin6::swerve::requests
