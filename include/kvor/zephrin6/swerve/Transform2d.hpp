#pragma once

// Transform2d is a rigid motion in the plane: a translation (metres) and a
// rotation, applied in the frame of the pose it acts on. Pose2d + Transform2d
// moves a pose; Transform2d(initial, final) is the motion from one pose to
// another. A small value (five doubles); copy freely, immutable, thread-safe
// to share.

#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>

#include <units.h>

#include <iosfwd>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

class Pose2d;

class ZEPHRIN6_API Transform2d {
 public:
  /// The identity transform.
  constexpr Transform2d() noexcept = default;
  /// The transform made of `translation` (metres) and `rotation`.
  constexpr Transform2d(const Translation2d& translation, const Rotation2d& rotation) noexcept
      : m_translation(translation), m_rotation(rotation) {}
  /// The transform made of (x, y) metres and `rotation`.
  constexpr Transform2d(units::length::meter_t x, units::length::meter_t y, const Rotation2d& rotation) noexcept
      : m_translation(x, y), m_rotation(rotation) {}
  /// The transform that takes `initial` to `final`, expressed in the frame of
  /// `initial`; its rotation is renormalised into (-pi, pi].
  Transform2d(const Pose2d& initial, const Pose2d& final) noexcept;

  /// The translation part, metres.
  constexpr const Translation2d& Translation() const noexcept { return m_translation; }
  /// The rotation part.
  constexpr const Rotation2d& Rotation() const noexcept { return m_rotation; }
  /// x of the translation, metres.
  constexpr units::length::meter_t X() const noexcept { return m_translation.X(); }
  /// y of the translation, metres.
  constexpr units::length::meter_t Y() const noexcept { return m_translation.Y(); }

  /// The transform that undoes this one.
  Transform2d Inverse() const noexcept { return Transform2d((-m_translation).RotateBy(-m_rotation), -m_rotation); }

  /// This transform followed by `other`, both applied from the origin pose.
  Transform2d operator+(const Transform2d& other) const noexcept;

  /// True when translation and rotation agree to within 1e-9.
  bool operator==(const Transform2d& o) const noexcept {
    return m_translation == o.m_translation && m_rotation == o.m_rotation;
  }

 private:
  Translation2d m_translation;
  Rotation2d m_rotation;
};

/// Streams "Transform2d(<translation>, <rotation>)" for diagnostics.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const Transform2d& transform);

}  // namespace kvor::zephrin6::swerve
