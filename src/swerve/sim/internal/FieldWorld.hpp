#pragma once

// FieldWorld is the rigid-body side of a field simulation: the walls and
// obstacles of a SimField as static bodies of a 2-D physics engine, and the
// robot's chassis as a dynamic body with the robot's mass, moment of inertia
// and bumper outline. The swerve simulation works out where its wheels would
// take the chassis through a step; Move turns that into a force at each
// module's location, lets the engine resolve the contacts, and hands back
// where the chassis really went.
//
// Away from walls and obstacles (the chassis' reach, plus a margin, clear of
// them) Move does not run the engine at all and the wheels' motion stands
// unchanged, so that a robot on a field moves exactly as one without until
// something is near, and the field costs next to nothing in open space.
//
// The engine stays inside this class (its headers only in the source), so
// neither the public headers nor the rest of the simulation parse it. Owned
// by SimSwerveDrivetrain's state and used under its lock; not thread-safe on
// its own.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/sim/SimField.hpp>

#include <memory>
#include <span>
#include <vector>

class b2World;
class b2Body;

namespace kvor::zephrin6::swerve::sim::internal {

class FieldWorld {
 public:
  /// A world of `field` (which passed Check) with a chassis of `footprint`
  /// (robot coordinates, passed SimField::CheckPolygon) whose wheels stand at
  /// `moduleLocations`, `massKg` and `inertia` (kg m^2) positive.
  FieldWorld(const SimField& field, std::span<const Translation2d> footprint,
             std::span<const Translation2d> moduleLocations, double massKg, double inertia);
  ~FieldWorld();
  FieldWorld(const FieldWorld&) = delete;
  FieldWorld& operator=(const FieldWorld&) = delete;

  /// The chassis, at `from`, would reach `to` having turned `turned`
  /// radians after `seconds` of the wheels' motion. Returns false when
  /// nothing touched it: `to` and `turned` stand. Returns true when a wall or
  /// an obstacle changed the motion: `to` and `turned` are where the engine
  /// left the chassis and `speeds` its robot-relative velocity.
  bool Move(const Pose2d& from, Pose2d& to, double& turned, double seconds, ChassisSpeeds& speeds);

  /// Forgets the chassis' motion (the robot was put somewhere else).
  void Reset();

 private:
  struct Box {
    double minX, minY, maxX, maxY;
  };

  bool Near(const Pose2d& pose) const;
  void Push(const Pose2d& from, double vx, double vy, double omega, double seconds);

  std::unique_ptr<b2World> world_;
  b2Body* chassis_ = nullptr;  // owned by world_
  std::vector<Translation2d> modules_;
  double mass_;
  double inertia_;
  double length_;
  double width_;
  /// How far from the chassis' origin something counts as near, metres.
  double reach_ = 0.0;
  std::vector<Box> obstacles_;
  /// The chassis' velocity at the end of the last step, field coordinates
  /// (m/s, rad/s).
  double vx_ = 0.0, vy_ = 0.0, omega_ = 0.0;
};

}  // namespace kvor::zephrin6::swerve::sim::internal
