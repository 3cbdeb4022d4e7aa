#pragma once

// The Python text forms (repr) of the swerve values: each reads as the call
// that builds an equal value, with numbers as Python prints floats, so that a
// printed value can be pasted back into a program. Needs the GIL.

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/Twist2d.hpp>

#include <pybind11/pybind11.h>

#include <string>

namespace zephrin6_python {

/// `value` as Python's repr of a float prints it (shortest exact form).
inline std::string Repr(double value) { return pybind11::repr(pybind11::float_(value)).cast<std::string>(); }

inline std::string Repr(const kvor::zephrin6::swerve::Rotation2d& r) {
  return "Rotation2d(radians=" + Repr(r.Radians().value()) + ")";
}
inline std::string Repr(const kvor::zephrin6::swerve::Translation2d& t) {
  return "Translation2d(x=" + Repr(t.X().value()) + ", y=" + Repr(t.Y().value()) + ")";
}
inline std::string Repr(const kvor::zephrin6::swerve::Pose2d& p) {
  return "Pose2d(x=" + Repr(p.X().value()) + ", y=" + Repr(p.Y().value()) + ", rotation=" + Repr(p.Rotation()) + ")";
}
inline std::string Repr(const kvor::zephrin6::swerve::Twist2d& t) {
  return "Twist2d(dx=" + Repr(t.dx.value()) + ", dy=" + Repr(t.dy.value()) + ", dtheta=" + Repr(t.dtheta.value()) + ")";
}
inline std::string Repr(const kvor::zephrin6::swerve::ChassisSpeeds& s) {
  return "ChassisSpeeds(vx=" + Repr(s.vx.value()) + ", vy=" + Repr(s.vy.value()) + ", omega=" + Repr(s.omega.value()) +
         ")";
}
inline std::string Repr(const kvor::zephrin6::swerve::SwerveModuleState& s) {
  return "SwerveModuleState(speed=" + Repr(s.speed.value()) + ", angle=" + Repr(s.angle) + ")";
}
inline std::string Repr(const kvor::zephrin6::swerve::SwerveModulePosition& p) {
  return "SwerveModulePosition(distance=" + Repr(p.distance.value()) + ", angle=" + Repr(p.angle) + ")";
}

}  // namespace zephrin6_python
