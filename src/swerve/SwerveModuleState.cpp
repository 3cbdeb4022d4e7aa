#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>

#include <cmath>
#include <numbers>
#include <ostream>

namespace kvor::zephrin6::swerve {

namespace {

// Within this of zero the difference's cosine computed from stored cosines
// and sines might have the other sign than the one the angles give.
constexpr double kQuarterTurnBand = 1e-12;

// The difference of two angles is beyond a quarter turn exactly when its
// cosine, cos(a) cos(c) + sin(a) sin(c), is negative. The stored cosine and
// sine of a rotation built from a vector may differ from those of its angle
// by an ulp, which can only matter next to a quarter turn: there the
// difference is taken as Rotation2d subtraction and its angle compared.
bool BeyondQuarterTurn(const Rotation2d& angle, const Rotation2d& current) noexcept {
  const double cosDelta = angle.Cos() * current.Cos() + angle.Sin() * current.Sin();
  if (std::abs(cosDelta) < kQuarterTurnBand) return std::abs((angle - current).Degrees().value()) > 90.0;
  return cosDelta < 0.0;  // false for a NaN, as the comparison of angles gives
}

}  // namespace

void SwerveModuleState::Optimize(const Rotation2d& currentAngle) noexcept {
  static const Rotation2d kHalfTurn{units::angle::radian_t{std::numbers::pi}};
  if (!BeyondQuarterTurn(angle, currentAngle)) return;
  speed = -speed;
  angle = angle + kHalfTurn;
}

std::ostream& operator<<(std::ostream& os, const SwerveModuleState& state) {
  return os << "SwerveModuleState(speed: " << state.speed.value() << " m/s, " << state.angle << ")";
}

}  // namespace kvor::zephrin6::swerve
