#pragma once

// The chassis speeds of module states the library built itself, without
// working out again the cosines and sines their rotations already hold.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>

#include <cstddef>
#include <span>

namespace kvor::zephrin6::swerve::internal {

/// SwerveDriveKinematics::ToChassisSpeeds(states), bit for bit, for states
/// whose rotations were built from their angles (Rotation2d(radian_t)): such
/// a rotation holds exactly the cosine and sine ToChassisSpeeds takes of its
/// angle. The forward kinematics is linear, and ToTwist2d applies the same
/// matrix to the rotations' stored cosines and sines in the same order, so
/// the speeds are the twist of one second's travel at each module's speed.
/// `travel` is working space with an entry per state; states past the
/// kinematics' module count are ignored, as ToChassisSpeeds ignores them.
inline ChassisSpeeds SpeedsOfBuiltStates(const impl::SwerveDriveKinematics& kinematics,
                                         std::span<const SwerveModuleState> states,
                                         std::span<SwerveModulePosition> travel) noexcept {
  for (std::size_t i = 0; i < states.size(); ++i) {
    travel[i] = {units::length::meter_t{states[i].speed.value()}, states[i].angle};
  }
  const Twist2d twist = kinematics.ToTwist2d(travel.first(states.size()));
  return {units::velocity::meters_per_second_t{twist.dx.value()},
          units::velocity::meters_per_second_t{twist.dy.value()},
          units::angular_velocity::radians_per_second_t{twist.dtheta.value()}};
}

}  // namespace kvor::zephrin6::swerve::internal
