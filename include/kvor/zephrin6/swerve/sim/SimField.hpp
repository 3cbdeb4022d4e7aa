#pragma once

// SimField describes the field a simulated robot drives on: a rectangle of
// walls with one corner at the origin of field coordinates (x along the
// length, y along the width), optional convex obstacles inside it, and the
// chassis that hits them: its bumper outline, mass and moment of inertia.
// SimSwerveDrivetrain::SetField puts the simulated robot on it; a rigid-body
// engine then stops and pushes the chassis at walls and obstacles, while
// the modules feel the motion it allows (wheels slip against a wall).
//
// A plain value with public fields and documented defaults; Check says
// whether it can be simulated. Copy it freely; not thread-safe while written.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/units/Units.hpp>

#include <cstddef>
#include <span>
#include <vector>

namespace kvor::zephrin6::swerve::sim {

struct ZEPHRIN6_API SimField {
  /// A typical competition field, metres.
  static constexpr units::length::meter_t kDefaultLength{16.54};
  static constexpr units::length::meter_t kDefaultWidth{8.07};
  /// How far the bumpers stand out beyond the module locations, metres:
  /// the module's offset from the frame edge plus the bumper's depth.
  static constexpr units::length::meter_t kDefaultBumperMargin{0.15};
  /// A competition robot with its battery and bumpers, kilograms.
  static constexpr units::mass::kilogram_t kDefaultChassisMass{60.0};
  /// Most vertices of one polygon (the collision engine's limit).
  static constexpr std::size_t kMaxVertices = 8;
  /// Most obstacles on one field.
  static constexpr std::size_t kMaxObstacles = 64;
  /// Largest field side and farthest vertex from the origin, metres: the
  /// collision engine works in single precision.
  static constexpr units::length::meter_t kMaxExtent{200.0};
  /// Shortest polygon edge, metres: the engine merges closer vertices.
  static constexpr units::length::meter_t kMinEdge{0.01};

  /// Length (x) and width (y) of the walled rectangle, metres.
  units::length::meter_t Length = kDefaultLength;
  units::length::meter_t Width = kDefaultWidth;
  /// Convex obstacles, each 3 to kMaxVertices corners in field coordinates
  /// (metres), in either winding order.
  std::vector<std::vector<Translation2d>> Obstacles;
  /// The bumper outline in robot coordinates (metres, x forward, y left),
  /// convex, 3 to kMaxVertices corners; empty for the rectangle around the
  /// module locations grown by BumperMargin on every side.
  std::vector<Translation2d> BumperFootprint;
  /// See BumperFootprint, metres (0 or more).
  units::length::meter_t BumperMargin = kDefaultBumperMargin;
  /// Mass of the whole robot, kilograms (positive).
  units::mass::kilogram_t ChassisMass = kDefaultChassisMass;
  /// Moment of inertia of the robot about its centre (the origin of the
  /// module locations), kg m^2; 0 for that of a uniform plate of
  /// ChassisMass filling the bumper outline's bounding rectangle.
  units::moment_of_inertia::kilogram_square_meter_t ChassisMomentOfInertia{0.0};

  /// Whether the field can be simulated: sides positive and at most
  /// kMaxExtent; mass positive; moment of inertia and margin 0 or more; at
  /// most kMaxObstacles obstacles; every polygon convex (no three corners in
  /// a line), with 3 to kMaxVertices corners within kMaxExtent of the
  /// origin, edges of at least kMinEdge, an area of at least kMinEdge
  /// squared and no crossing. Every number must
  /// be finite. @return OK or InvalidParamValue.
  [[nodiscard]] kvor::zephrin::StatusCode Check() const;
  /// Whether `corners` is a polygon the simulation takes, by the rules of
  /// Check. @return OK or InvalidParamValue.
  [[nodiscard]] static kvor::zephrin::StatusCode CheckPolygon(std::span<const Translation2d> corners);

  /// The bumper outline the simulation uses for a robot with
  /// `moduleLocations`: BumperFootprint, or the default rectangle (a
  /// rectangle of 2 x BumperMargin around the origin without modules).
  std::vector<Translation2d> FootprintFor(std::span<const Translation2d> moduleLocations) const;
  /// The moment of inertia the simulation uses with `footprint`, kg m^2.
  units::moment_of_inertia::kilogram_square_meter_t MomentOfInertiaFor(
      std::span<const Translation2d> footprint) const;
};

}  // namespace kvor::zephrin6::swerve::sim
