#pragma once

// The steps the swerve requests share: turning a field vector into the
// operator's or the robot's frame, the deadbands, module states from chassis
// speeds (held on the stack for the usual module counts, so a request
// allocates nothing per sample), desaturation and handing each module its
// request. Internal to the requests; not synchronised (requests run under
// the drivetrain's state lock).

#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/impl/ControlParameters.hpp>
#include <kvor/zephrin6/swerve/impl/ModuleRequest.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveModuleImpl.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

#include <units.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve::requests::internal {

using Modules = std::vector<std::unique_ptr<impl::SwerveModuleImpl>>;

/// A planar vector in metres per second (or newtons) on its way between frames.
struct Vector2 {
  double x = 0.0;
  double y = 0.0;
};

/// `v` turned by `rotation`.
inline Vector2 Rotate(const Vector2& v, const Rotation2d& rotation) {
  return {v.x * rotation.Cos() - v.y * rotation.Sin(), v.x * rotation.Sin() + v.y * rotation.Cos()};
}

/// A field vector seen from the operator: turned by the operator's forward
/// direction, unless the request takes directions from the field's origin.
inline Vector2 FromPerspective(const Vector2& v, ForwardPerspectiveValue perspective,
                               const impl::ControlParameters& parameters) {
  if (perspective != ForwardPerspectiveValue::OperatorPerspective) return v;
  return Rotate(v, parameters.operatorForwardDirection);
}

/// A field vector in the frame of the robot at the sample's pose estimate:
/// turned by Rotation2d(-heading), whose cosine and sine come from one sincos
/// with the same bits as the rotation's two calls.
inline Vector2 FieldToRobot(const Vector2& v, const impl::ControlParameters& parameters) {
  const swerve::internal::Direction back = swerve::internal::Negated(parameters.currentPose.Rotation());
  return {v.x * back.cos - v.y * back.sin, v.x * back.sin + v.y * back.cos};
}

/// Zeroes a translation slower than `deadband` (strictly) and a turning rate
/// slower than `rotationalDeadband` (strictly).
inline void ApplyDeadbands(Vector2& translation, double& rate, units::velocity::meters_per_second_t deadband,
                           units::angular_velocity::radians_per_second_t rotationalDeadband) {
  // A length is never negative, so a deadband of zero (the default) drops
  // nothing and needs no length.
  if (deadband.value() > 0.0 && deadband.value() > std::hypot(translation.x, translation.y)) translation = {};
  if (std::abs(rate) < rotationalDeadband.value()) rate = 0.0;
}

/// Robot speeds corrected for turning while translating over one sample
/// period; unchanged when the period is not positive (a request applied
/// before the first sample has none).
ChassisSpeeds Discretized(const Vector2& velocity, double rate, const impl::ControlParameters& parameters);

/// One state per module, on the stack for up to kStackModules modules.
class ModuleStates {
 public:
  static constexpr std::size_t kStackModules = 8;

  /// The module states that make the robot move at `speeds` about `center`,
  /// scaled to the drivetrain's top speed when `desaturate` is set and the
  /// top speed is positive.
  ModuleStates(const impl::ControlParameters& parameters, std::size_t count, const ChassisSpeeds& speeds,
               const Translation2d& center, bool desaturate);
  /// `count` copies of `state`.
  ModuleStates(std::size_t count, const SwerveModuleState& state);
  // The data pointer may point into this object.
  ModuleStates(const ModuleStates&) = delete;
  ModuleStates& operator=(const ModuleStates&) = delete;

  std::span<SwerveModuleState> All() noexcept { return {data_, count_}; }
  SwerveModuleState& operator[](std::size_t i) noexcept { return data_[i]; }

 private:
  explicit ModuleStates(std::size_t count);

  std::array<SwerveModuleState, kStackModules> stack_;
  std::vector<SwerveModuleState> heap_;
  SwerveModuleState* data_;
  std::size_t count_;
};

/// The request every module gets before its state and forces are filled in:
/// no force, the request's drive and steer types, the sample period, FOC on.
impl::ModuleRequest BaseRequest(swerve::DriveRequestType drive, swerve::SteerRequestType steer,
                                const impl::ControlParameters& parameters);

/// Module i's force from the two per-module vectors, or none when either has
/// no entry i.
inline Vector2 ForceOf(const std::vector<units::force::newton_t>& forcesX,
                       const std::vector<units::force::newton_t>& forcesY, std::size_t i) {
  if (i >= forcesX.size() || i >= forcesY.size()) return {};
  return {forcesX[i].value(), forcesY[i].value()};
}

/// Hands module i `request` with state `states[i]` and the wheel force
/// `forceOf(i)` (robot frame, newtons).
template <class ForceOf>
void SendStates(const Modules& modules, ModuleStates& states, impl::ModuleRequest request, ForceOf&& forceOf) {
  for (std::size_t i = 0; i < modules.size(); ++i) {
    const Vector2 force = forceOf(i);
    request.State = states[i];
    request.WheelForceFeedforwardX = units::force::newton_t{force.x};
    request.WheelForceFeedforwardY = units::force::newton_t{force.y};
    modules[i]->Apply(request);
  }
}

/// Hands module i `request` with state `states[i]` and no wheel force.
inline void SendStates(const Modules& modules, ModuleStates& states, const impl::ModuleRequest& request) {
  SendStates(modules, states, request, [](std::size_t) { return Vector2{}; });
}

}  // namespace kvor::zephrin6::swerve::requests::internal
