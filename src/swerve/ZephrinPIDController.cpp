#include <kvor/zephrin6/swerve/ZephrinPIDController.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6::swerve {

namespace {

constexpr std::string_view kLocation = "ZephrinPIDController";

/// `prefix` + the value printed with "%f" + "!".
std::string NegativeValueMessage(std::string_view prefix, double value) {
  const int length = std::snprintf(nullptr, 0, "%f", value);
  std::string text(prefix);
  const std::size_t start = text.size();
  text.resize(start + static_cast<std::size_t>(length) + 1);
  std::snprintf(text.data() + start, static_cast<std::size_t>(length) + 1, "%f", value);
  text.back() = '!';
  return text;
}

/// Truncates toward zero into a 32-bit integer. Quotients beyond its range
/// saturate and NaN (an empty input range) gives 0, where a plain cast would
/// be undefined.
std::int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

}  // namespace

ZephrinPIDController::ZephrinPIDController(double Kp, double Ki, double Kd) : m_Kp(Kp), m_Ki(Ki), m_Kd(Kd) {
  const struct {
    std::string_view prefix;
    double gain;
  } gains[] = {{"Kp must be a non-negative number, got ", Kp},
               {"Ki must be a non-negative number, got ", Ki},
               {"Kd must be a non-negative number, got ", Kd}};
  bool invalid = false;
  for (const auto& [prefix, gain] : gains) {
    if (gain < 0) {
      internal::ReportMessage(true, NegativeValueMessage(prefix, gain), kLocation);
      invalid = true;
    }
  }
  if (invalid) {
    m_Kp = m_Ki = m_Kd = 0.0;
    internal::ReportMessage(false, "PID gains defaulted to 0.", kLocation);
  }
}

void ZephrinPIDController::SetIZone(double iZone) {
  if (iZone < 0)
    internal::ReportMessage(true, NegativeValueMessage("IZone must be a non-negative number, got ", iZone), kLocation);
  m_iZone = iZone;
}

bool ZephrinPIDController::AtSetpoint() const noexcept {
  return m_haveMeasurement && m_haveSetpoint && std::abs(m_positionError) < m_positionTolerance &&
         std::abs(m_velocityError) < m_velocityTolerance;
}

double ZephrinPIDController::Calculate(double measurement, double setpoint,
                                       units::time::second_t currentTimestamp) noexcept {
  const double now = currentTimestamp.value();
  m_haveSetpoint = true;
  m_haveMeasurement = true;
  const double dt = now - m_lastTimestamp;
  m_setpoint = setpoint;
  m_measurement = measurement;
  m_previousError = m_positionError;
  m_lastTimestamp = now;

  double error = setpoint - measurement;
  if (m_continuous) {
    // Two truncated steps bring any error into [-bound, bound], whichever
    // side of the range it started on.
    const double bound = (m_maximumInput - m_minimumInput) / 2.0;
    const double modulus = 2.0 * bound;
    error -= TruncateToInt32((error + bound) / modulus) * modulus;
    error -= TruncateToInt32((error - bound) / modulus) * modulus;
  }

  m_velocityError = (error - m_previousError) / dt;
  m_positionError = error;

  if (std::abs(error) > m_iZone) {
    m_totalError = 0.0;
  } else if (m_Ki != 0.0) {
    const double total = m_totalError + dt * error;
    const double lower = m_minimumIntegral / m_Ki;
    const double upper = m_maximumIntegral / m_Ki;
    m_totalError = total < lower ? lower : (upper < total ? upper : total);
  }

  m_lastAppliedOutput = m_Kp * error + m_Ki * m_totalError + m_Kd * m_velocityError;
  return m_lastAppliedOutput;
}

void ZephrinPIDController::Reset() noexcept {
  m_haveMeasurement = false;
  m_positionError = 0.0;
  m_velocityError = 0.0;
  m_previousError = 0.0;
  m_totalError = 0.0;
}

}  // namespace kvor::zephrin6::swerve
