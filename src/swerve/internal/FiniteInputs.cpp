#include "swerve/internal/FiniteInputs.hpp"

#include <kvor/zephrin/platform/Time.hpp>

#include <cstdio>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6::swerve::internal {

namespace {
constexpr double kReportInterval = 1.0;

std::string Message(std::string_view what, const NonFiniteInput& input, std::string_view outcome) {
  std::string text = "Refused ";
  text.append(what).append(": ").append(Describe(input)).append("; ").append(outcome);
  return text;
}
}  // namespace

Pose2d FiniteOrOrigin(const Pose2d& pose) noexcept {
  const double x = pose.X().value();
  const double y = pose.Y().value();
  return Pose2d(units::length::meter_t{std::isfinite(x) ? x : 0.0}, units::length::meter_t{std::isfinite(y) ? y : 0.0},
                FiniteOrZero(pose.Rotation()));
}

std::vector<SwerveModulePosition> FiniteOrZero(std::vector<SwerveModulePosition> positions) noexcept {
  for (SwerveModulePosition& position : positions) {
    if (!std::isfinite(position.distance.value())) position.distance = units::length::meter_t{0.0};
    position.angle = FiniteOrZero(position.angle);
  }
  return positions;
}

std::string Describe(const NonFiniteInput& input) {
  char value[32];
  std::snprintf(value, sizeof value, "%g", input.value);
  std::string text;
  if (input.module >= 0) text.append("module ").append(std::to_string(input.module)).append(" ");
  text.append(input.name != nullptr ? input.name : "value").append(" is ").append(value);
  return text;
}

void ReportRefused(std::string_view location, std::string_view what, const NonFiniteInput& input,
                   std::string_view outcome) {
  kvor::zephrin6::internal::ReportMessage(false, Message(what, input, outcome) + ".", location, 2);
}

void ReportRefusedLimited(double& nextReportTime, std::uint64_t& refused, std::string_view location,
                          std::string_view what, const NonFiniteInput& input, std::string_view outcome) {
  ++refused;
  const double now = kvor::zephrin6::utils::GetCurrentTimeSeconds();
  // A clock that went back (a rewound replay, a reset harness) must not
  // silence the warning until it catches up again.
  if (now < nextReportTime && now >= nextReportTime - kReportInterval) return;
  std::string text = Message(what, input, outcome);
  if (refused > 1) text.append(" (").append(std::to_string(refused)).append(" refused since the last report)");
  text.append(".");
  kvor::zephrin6::internal::ReportMessage(false, text, location, 2);
  nextReportTime = now + kReportInterval;
  refused = 0;
}

}  // namespace kvor::zephrin6::swerve::internal
