#pragma once

// SwerveDriveKinematics converts between the motion of the robot body
// (ChassisSpeeds, Twist2d) and the motion of its wheel modules
// (SwerveModuleState, SwerveModulePosition), given where each module sits
// relative to the robot centre. The inverse direction is a matrix product;
// the forward direction is a least-squares solve whose decomposition is
// computed once at construction, so every forward call is a short fixed
// product. The object owns its matrices (copying copies them, moving moves
// them). It is not thread-safe: the inverse direction remembers each module's
// last azimuth and the last centre of rotation, so one owner (the drivetrain,
// under its lock) must serialise every call, const ones included.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/Twist2d.hpp>

#include <units.h>

#include <cstddef>
#include <memory>
#include <span>
#include <vector>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve::impl {

class ZEPHRIN6_API SwerveDriveKinematics {
 public:
  /// Kinematics for one module per entry of `moduleLocations` (metres from the
  /// robot centre, x forward, y left), in that order. Throws std::bad_alloc
  /// when the matrices cannot be allocated.
  explicit SwerveDriveKinematics(std::vector<Translation2d> moduleLocations);
  ~SwerveDriveKinematics();
  SwerveDriveKinematics(const SwerveDriveKinematics& other);
  SwerveDriveKinematics& operator=(const SwerveDriveKinematics& other);
  SwerveDriveKinematics(SwerveDriveKinematics&& other) noexcept;
  SwerveDriveKinematics& operator=(SwerveDriveKinematics&& other) noexcept;

  /// The module states (speed in m/s, azimuth) that make the robot move at
  /// `speeds` while turning about `centerOfRotation` (metres, robot frame).
  /// When all three speeds are exactly zero each module keeps the azimuth it
  /// was last given, with speed 0, so the wheels do not snap back to 0 degrees
  /// when the driver lets go. Modules are not reversed to shorten turns; that
  /// is the module's job. Each azimuth is the atan2 angle of the module's
  /// velocity, with its cosine and sine computed from that angle, so an
  /// infinite rotation rate still gives every module a direction (its speed
  /// is then infinite). Allocates only the returned vector.
  std::vector<SwerveModuleState> ToSwerveModuleStates(const ChassisSpeeds& speeds,
                                                      const Translation2d& centerOfRotation = Translation2d());
  /// As above, writing one state per module into `states` instead of
  /// allocating: entries past the module count are left alone, and modules
  /// past the end of `states` get none (their azimuth is still remembered).
  void ToSwerveModuleStates(const ChassisSpeeds& speeds, const Translation2d& centerOfRotation,
                            std::span<SwerveModuleState> states);

  /// The chassis speeds that best explain the measured module states (one per
  /// module, in module order; extra entries are ignored), always about the
  /// robot centre. Fewer entries than modules is a caller error.
  ChassisSpeeds ToChassisSpeeds(std::span<const SwerveModuleState> states) const noexcept;

  /// The robot motion that best explains the module distance changes
  /// `deltas` (metres and azimuth, one per module in module order), about the
  /// robot centre. Fewer entries than modules is a caller error.
  Twist2d ToTwist2d(std::span<const SwerveModulePosition> deltas) const noexcept;

  /// Scales every speed in `states` down by the same factor so that none
  /// exceeds `maxSpeed` (m/s) in magnitude, keeping the ratios between modules
  /// and every azimuth. Does nothing when no speed exceeds the limit.
  static void DesaturateWheelSpeeds(std::vector<SwerveModuleState>* states,
                                    units::velocity::meters_per_second_t maxSpeed);
  /// As above, for states held elsewhere.
  static void DesaturateWheelSpeeds(std::span<SwerveModuleState> states, units::velocity::meters_per_second_t maxSpeed);

  /// Number of modules.
  std::size_t NumModules() const noexcept { return m_numModules; }
  /// Module locations, metres, in module order.
  const std::vector<Translation2d>& ModuleLocations() const noexcept { return m_moduleLocations; }

 private:
  struct KinematicsMatrices;

  std::size_t m_numModules;
  std::vector<Translation2d> m_moduleLocations;
  std::unique_ptr<KinematicsMatrices> m_matrices;
  std::vector<Rotation2d> m_moduleHeadings;
  Translation2d m_previousCenterOfRotation;
};

}  // namespace kvor::zephrin6::swerve::impl
