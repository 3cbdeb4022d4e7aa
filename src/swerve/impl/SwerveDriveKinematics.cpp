#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>

#include <Eigen/Core>
#include <Eigen/QR>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve::impl {

namespace {
// A centre of rotation that moved less than this in both axes is the same
// centre; rebuilding the matrix for rounding noise would only cost time.
constexpr double kCenterTolerance = 1e-9;

bool IsZero(double value) noexcept { return std::abs(value) < std::numeric_limits<double>::min(); }

bool SameBits(double a, double b) noexcept { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }
}  // namespace

struct SwerveDriveKinematics::KinematicsMatrices {
  /// Inverse kinematics, 2N x 3: rows [1, 0, cy - y_i] and [0, 1, x_i - cx].
  Eigen::Matrix<double, Eigen::Dynamic, 3> inverse;
  /// The least-squares solve of the centre-(0, 0) matrix, 3 x 2N. It is the
  /// Householder QR decomposition's solve applied once to the identity, so a
  /// forward call is this product instead of a fresh triangular solve, with
  /// no temporaries on the heap.
  Eigen::Matrix<double, 3, Eigen::Dynamic> forward;
};

SwerveDriveKinematics::SwerveDriveKinematics(std::vector<Translation2d> moduleLocations)
    : m_numModules(moduleLocations.size()),
      m_moduleLocations(std::move(moduleLocations)),
      m_matrices(std::make_unique<KinematicsMatrices>()),
      m_moduleHeadings(m_numModules) {
  const auto rows = static_cast<Eigen::Index>(2 * m_numModules);
  auto& inverse = m_matrices->inverse;
  inverse.resize(rows, 3);
  for (std::size_t i = 0; i < m_numModules; ++i) {
    const auto r = static_cast<Eigen::Index>(2 * i);
    inverse.row(r) << 1.0, 0.0, -m_moduleLocations[i].Y().value();
    inverse.row(r + 1) << 0.0, 1.0, m_moduleLocations[i].X().value();
  }
  const Eigen::HouseholderQR<Eigen::MatrixXd> qr{Eigen::MatrixXd(inverse)};
  m_matrices->forward = qr.solve(Eigen::MatrixXd::Identity(rows, rows));
}

SwerveDriveKinematics::~SwerveDriveKinematics() = default;

SwerveDriveKinematics::SwerveDriveKinematics(const SwerveDriveKinematics& other)
    : m_numModules(other.m_numModules),
      m_moduleLocations(other.m_moduleLocations),
      m_matrices(std::make_unique<KinematicsMatrices>(*other.m_matrices)),
      m_moduleHeadings(other.m_moduleHeadings),
      m_previousCenterOfRotation(other.m_previousCenterOfRotation) {}

SwerveDriveKinematics& SwerveDriveKinematics::operator=(const SwerveDriveKinematics& other) {
  if (this != &other) *this = SwerveDriveKinematics(other);
  return *this;
}

SwerveDriveKinematics::SwerveDriveKinematics(SwerveDriveKinematics&& other) noexcept = default;
SwerveDriveKinematics& SwerveDriveKinematics::operator=(SwerveDriveKinematics&& other) noexcept = default;

std::vector<SwerveModuleState> SwerveDriveKinematics::ToSwerveModuleStates(const ChassisSpeeds& speeds,
                                                                           const Translation2d& centerOfRotation) {
  std::vector<SwerveModuleState> states(m_numModules);
  ToSwerveModuleStates(speeds, centerOfRotation, states);
  return states;
}

void SwerveDriveKinematics::ToSwerveModuleStates(const ChassisSpeeds& speeds, const Translation2d& centerOfRotation,
                                                 std::span<SwerveModuleState> states) {
  const std::size_t filled = std::min(states.size(), m_numModules);
  // The units library's equality with zero: only +-0 and subnormals count,
  // so a tiny but real command still turns the wheels. Its relative test
  // |v| < epsilon * |v| never holds, which leaves |v| below the smallest
  // normal double, tested here directly.
  if (IsZero(speeds.vx.value()) && IsZero(speeds.vy.value()) && IsZero(speeds.omega.value())) {
    for (std::size_t i = 0; i < filled; ++i) {
      states[i] = {units::velocity::meters_per_second_t{0.0}, m_moduleHeadings[i]};
    }
    return;
  }

  auto& inverse = m_matrices->inverse;
  const double cx = centerOfRotation.X().value();
  const double cy = centerOfRotation.Y().value();
  if (std::abs(m_previousCenterOfRotation.X().value() - cx) >= kCenterTolerance ||
      std::abs(m_previousCenterOfRotation.Y().value() - cy) >= kCenterTolerance) {
    for (std::size_t i = 0; i < m_numModules; ++i) {
      const auto r = static_cast<Eigen::Index>(2 * i);
      inverse(r, 2) = cy - m_moduleLocations[i].Y().value();
      inverse(r + 1, 2) = m_moduleLocations[i].X().value() - cx;
    }
    m_previousCenterOfRotation = centerOfRotation;
  }

  const double vx = speeds.vx.value();
  const double vy = speeds.vy.value();
  const double omega = speeds.omega.value();
  // The matrix's three columns (it is stored column by column), read directly.
  const double* column0 = inverse.data();
  const double* column1 = column0 + inverse.rows();
  const double* column2 = column1 + inverse.rows();
  // A command without rotation gives every module the same vector: the
  // angle of a vector identical to the previous module's, bit for bit, is
  // that module's, so its atan2 and sincos are not worked out again.
  double previousA = 0.0;
  double previousB = 0.0;
  Rotation2d angle;
  for (std::size_t i = 0; i < m_numModules; ++i) {
    const std::size_t r = 2 * i;
    // Row times (vx, vy, omega), summed in column order like the full
    // matrix product, so signed zeros and infinities come out the same.
    const double a = column0[r] * vx + column1[r] * vy + column2[r] * omega;
    const double b = column0[r + 1] * vx + column1[r + 1] * vy + column2[r + 1] * omega;
    // The direction comes from the atan2 angle, not from (a, b) / speed:
    // the quotient is NaN for an infinite command, where the angle still
    // points the wheel (+-0.707 for an infinite rotation rate), and a zero
    // vector gets its angle's exact cosine and sine too.
    // The length as the square root of the sum of squares, which hypot only
    // replaces where the squares would underflow or overflow: within one
    // ulp of std::hypot, at a fraction of its cost.
    const double speed = internal::Norm(a, b);
    if (i == 0 || !SameBits(a, previousA) || !SameBits(b, previousB)) {
      angle = internal::RotationAccess::FromAngle(std::atan2(b, a));
      previousA = a;
      previousB = b;
    }
    if (i < filled) states[i] = {units::velocity::meters_per_second_t{speed}, angle};
    m_moduleHeadings[i] = angle;
  }
}

ChassisSpeeds SwerveDriveKinematics::ToChassisSpeeds(std::span<const SwerveModuleState> states) const noexcept {
  const auto& forward = m_matrices->forward;
  double x[3] = {0.0, 0.0, 0.0};
  for (std::size_t i = 0; i < m_numModules; ++i) {
    const double value = states[i].angle.Radians().value();
    const double speed = states[i].speed.value();
    const internal::Direction direction = internal::CosSin(value);
    const double a = speed * direction.cos;
    const double b = speed * direction.sin;
    const double* column = forward.data() + 6 * i;  // as in ToTwist2d
    x[0] += column[0] * a + column[3] * b;
    x[1] += column[1] * a + column[4] * b;
    x[2] += column[2] * a + column[5] * b;
  }
  return {units::velocity::meters_per_second_t{x[0]}, units::velocity::meters_per_second_t{x[1]},
          units::angular_velocity::radians_per_second_t{x[2]}};
}

Twist2d SwerveDriveKinematics::ToTwist2d(std::span<const SwerveModulePosition> deltas) const noexcept {
  const auto& forward = m_matrices->forward;
  double x[3] = {0.0, 0.0, 0.0};
  for (std::size_t i = 0; i < m_numModules; ++i) {
    const double distance = deltas[i].distance.value();
    const double a = distance * deltas[i].angle.Cos();
    const double b = distance * deltas[i].angle.Sin();
    // The matrix's two columns of this module, read directly: the three
    // rows written out, the same sums as the loop over them they replace.
    const double* column = forward.data() + 6 * i;
    x[0] += column[0] * a + column[3] * b;
    x[1] += column[1] * a + column[4] * b;
    x[2] += column[2] * a + column[5] * b;
  }
  return {units::length::meter_t{x[0]}, units::length::meter_t{x[1]}, units::angle::radian_t{x[2]}};
}

void SwerveDriveKinematics::DesaturateWheelSpeeds(std::vector<SwerveModuleState>* states,
                                                  units::velocity::meters_per_second_t maxSpeed) {
  DesaturateWheelSpeeds(std::span<SwerveModuleState>(*states), maxSpeed);
}

void SwerveDriveKinematics::DesaturateWheelSpeeds(std::span<SwerveModuleState> states,
                                                  units::velocity::meters_per_second_t maxSpeed) {
  if (states.empty()) return;
  double realMax = std::abs(states[0].speed.value());
  for (const auto& state : states) realMax = std::max(realMax, std::abs(state.speed.value()));
  if (realMax > maxSpeed.value()) {
    const double scale = maxSpeed.value() / realMax;
    for (auto& state : states) state.speed = state.speed * scale;
  }
}

}  // namespace kvor::zephrin6::swerve::impl
