#pragma once

// SwerveRequest is the interface of a swerve drive request: a high-level
// command (drive at these field speeds, point the wheels there, brake) that
// the drivetrain applies once per odometry sample by turning it into one
// ModuleRequest per module. The drivetrain keeps its own copy of the request
// it was given and calls Apply on its odometry thread under its state lock;
// the built-in requests are plain values that keep nothing between calls.
// Write a class deriving from this one to add a request of your own.
//
// ForwardPerspectiveValue says whether field directions are taken from the
// operator's point of view or from the field's origin.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/impl/ControlParameters.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace kvor::zephrin6::swerve::impl {
class SwerveModuleImpl;
}

namespace kvor::zephrin6::swerve::requests {

/// Which way is forward for a field-relative request. Any value other than
/// OperatorPerspective counts as FieldOrigin.
enum class ForwardPerspectiveValue : int32_t {
  /// Forward is the drivetrain's operator forward direction (see
  /// SetOperatorPerspectiveForward): the robot drives away from the driver
  /// whichever end of the field the driver stands at.
  OperatorPerspective = 0,
  /// Forward is the field's x axis.
  FieldOrigin = 1,
};

class ZEPHRIN6_API SwerveRequest {
 public:
  virtual ~SwerveRequest() = default;

  /// Commands every module for this sample.
  /// @param parameters the sample's kinematics, speeds, pose, time and period.
  /// @param modules the drivetrain's modules, in order.
  /// @return OK, or a status of the request's own choosing (the drivetrain
  ///         does not act on it).
  virtual kvor::zephrin::StatusCode Apply(const impl::ControlParameters& parameters,
                                          const std::vector<std::unique_ptr<impl::SwerveModuleImpl>>& modules) = 0;

 protected:
  SwerveRequest() = default;
  SwerveRequest(const SwerveRequest&) = default;
  SwerveRequest& operator=(const SwerveRequest&) = default;
};

}  // namespace kvor::zephrin6::swerve::requests
