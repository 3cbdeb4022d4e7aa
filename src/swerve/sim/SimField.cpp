#include <kvor/zephrin6/swerve/sim/SimField.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvor::zephrin6::swerve::sim {

using kvor::zephrin::StatusCode;

namespace {

bool FiniteWithin(double value, double limit) { return std::isfinite(value) && std::abs(value) <= limit; }

}  // namespace

StatusCode SimField::CheckPolygon(std::span<const Translation2d> corners) {
  const std::size_t n = corners.size();
  if (n < 3 || n > kMaxVertices) return StatusCode::InvalidParamValue;
  for (const Translation2d& c : corners) {
    if (!FiniteWithin(c.X().value(), kMaxExtent.value()) || !FiniteWithin(c.Y().value(), kMaxExtent.value())) {
      return StatusCode::InvalidParamValue;
    }
  }
  // Convex without crossings: every corner turns the same way, and the
  // turns add up to one full turn (a star turns the same way at every
  // corner too, but twice round). A corner that barely turns is three
  // corners in a line, which the engine would drop.
  double sign = 0.0;
  double turned = 0.0;
  double twiceArea = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const Translation2d& a = corners[i];
    const Translation2d& b = corners[(i + 1) % n];
    const Translation2d& c = corners[(i + 2) % n];
    const double ex = (b.X() - a.X()).value(), ey = (b.Y() - a.Y()).value();
    const double fx = (c.X() - b.X()).value(), fy = (c.Y() - b.Y()).value();
    const double e = std::hypot(ex, ey), f = std::hypot(fx, fy);
    if (e < kMinEdge.value() || f < kMinEdge.value()) return StatusCode::InvalidParamValue;
    const double cross = ex * fy - ey * fx;
    if (std::abs(cross) < 1e-4 * e * f) return StatusCode::InvalidParamValue;
    if (sign == 0.0) sign = std::copysign(1.0, cross);
    if (std::copysign(1.0, cross) != sign) return StatusCode::InvalidParamValue;
    turned += std::atan2(cross, ex * fx + ey * fy);
    twiceArea += (a.X() * b.Y() - b.X() * a.Y()).value();
  }
  if (std::abs(std::abs(turned) - 2.0 * std::numbers::pi) > 1e-6) return StatusCode::InvalidParamValue;
  // A sliver has no inside the engine could push anything out of.
  if (std::abs(twiceArea) / 2.0 < kMinEdge.value() * kMinEdge.value()) return StatusCode::InvalidParamValue;
  return StatusCode::OK;
}

StatusCode SimField::Check() const {
  const double limit = kMaxExtent.value();
  const auto positiveWithin = [limit](double v) { return std::isfinite(v) && v > 0.0 && v <= limit; };
  if (!positiveWithin(Length.value()) || !positiveWithin(Width.value())) return StatusCode::InvalidParamValue;
  if (!(std::isfinite(ChassisMass.value()) && ChassisMass.value() > 0.0)) return StatusCode::InvalidParamValue;
  const double inertia = ChassisMomentOfInertia.value();
  if (!(std::isfinite(inertia) && inertia >= 0.0)) return StatusCode::InvalidParamValue;
  if (!(FiniteWithin(BumperMargin.value(), limit) && BumperMargin.value() >= 0.0)) {
    return StatusCode::InvalidParamValue;
  }
  if (!BumperFootprint.empty() && CheckPolygon(BumperFootprint) != StatusCode::OK) {
    return StatusCode::InvalidParamValue;
  }
  if (Obstacles.size() > kMaxObstacles) return StatusCode::InvalidParamValue;
  for (const auto& obstacle : Obstacles) {
    if (CheckPolygon(obstacle) != StatusCode::OK) return StatusCode::InvalidParamValue;
  }
  return StatusCode::OK;
}

std::vector<Translation2d> SimField::FootprintFor(std::span<const Translation2d> moduleLocations) const {
  if (!BumperFootprint.empty()) return BumperFootprint;
  double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
  if (!moduleLocations.empty()) {
    minX = maxX = moduleLocations.front().X().value();
    minY = maxY = moduleLocations.front().Y().value();
  }
  for (const Translation2d& m : moduleLocations) {
    minX = std::min(minX, m.X().value());
    maxX = std::max(maxX, m.X().value());
    minY = std::min(minY, m.Y().value());
    maxY = std::max(maxY, m.Y().value());
  }
  const double margin = BumperMargin.value();
  using units::length::meter_t;
  return {Translation2d(meter_t{maxX + margin}, meter_t{maxY + margin}),
          Translation2d(meter_t{minX - margin}, meter_t{maxY + margin}),
          Translation2d(meter_t{minX - margin}, meter_t{minY - margin}),
          Translation2d(meter_t{maxX + margin}, meter_t{minY - margin})};
}

units::moment_of_inertia::kilogram_square_meter_t SimField::MomentOfInertiaFor(
    std::span<const Translation2d> footprint) const {
  if (ChassisMomentOfInertia.value() > 0.0 || footprint.empty()) return ChassisMomentOfInertia;
  const auto [minX, maxX] = std::minmax_element(footprint.begin(), footprint.end(),
                                                [](const auto& a, const auto& b) { return a.X() < b.X(); });
  const auto [minY, maxY] = std::minmax_element(footprint.begin(), footprint.end(),
                                                [](const auto& a, const auto& b) { return a.Y() < b.Y(); });
  const double length = (maxX->X() - minX->X()).value();
  const double width = (maxY->Y() - minY->Y()).value();
  return units::moment_of_inertia::kilogram_square_meter_t{ChassisMass.value() * (length * length + width * width) /
                                                           12.0};
}

}  // namespace kvor::zephrin6::swerve::sim
