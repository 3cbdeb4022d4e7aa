#pragma once

// SpeedsFields is the part of a chassis-speeds swerve request
// (ApplyRobotSpeeds, ApplyFieldSpeeds) that says how to move: the speeds to
// drive at and a force per wheel for the drive feed-forwards, each with a
// fluent With... setter that returns the request itself. A mix-in:
// `Derived` is the request that inherits it beside SwerveRequest and decides
// which frame the speeds and forces are in. Values only; not synchronised.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>

#include <units.h>

#include <utility>
#include <vector>

namespace kvor::zephrin6::swerve::requests {

template <typename Derived>
class SpeedsFields {
 public:
  /// Speeds to drive at, in the frame the request takes them in.
  ChassisSpeeds Speeds;
  /// Force each wheel should push with along the x axis of that frame,
  /// newtons, one per module in module order.
  std::vector<units::force::newton_t> WheelForceFeedforwardsX;
  /// Force each wheel should push with along the y axis of that frame,
  /// newtons, one per module in module order.
  std::vector<units::force::newton_t> WheelForceFeedforwardsY;

  /// Sets Speeds. @return this request, for chaining.
  Derived& WithSpeeds(const ChassisSpeeds& speeds) {
    Speeds = speeds;
    return Self();
  }
  /// Sets WheelForceFeedforwardsX (newtons, one per module). @return this request, for chaining.
  Derived& WithWheelForceFeedforwardsX(std::vector<units::force::newton_t> forces) {
    WheelForceFeedforwardsX = std::move(forces);
    return Self();
  }
  /// Sets WheelForceFeedforwardsY (newtons, one per module). @return this request, for chaining.
  Derived& WithWheelForceFeedforwardsY(std::vector<units::force::newton_t> forces) {
    WheelForceFeedforwardsY = std::move(forces);
    return Self();
  }

 private:
  Derived& Self() { return static_cast<Derived&>(*this); }
};

}  // namespace kvor::zephrin6::swerve::requests
