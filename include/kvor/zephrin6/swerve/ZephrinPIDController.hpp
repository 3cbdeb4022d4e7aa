#pragma once

// ZephrinPIDController is a software PID controller driven by explicit
// timestamps: each Calculate call carries the time of its measurement, so the
// integral and derivative use the real time between calls rather than an
// assumed loop period. It handles a wrapping input such as an angle, an
// integrator zone and range, and at-setpoint tolerances. Units are the
// caller's: the output is in whatever unit the gains map the error to. Bad
// gains and zones are reported through the library's error reporter, never
// thrown. A plain value owned by one caller; not thread-safe.

#include <units.h>

#include <limits>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve {

class ZEPHRIN6_API ZephrinPIDController {
 public:
  /// A controller with proportional, integral and derivative gains (output
  /// per unit of error, per unit of error times seconds, per unit of error per
  /// second). A negative gain is reported as an error, and then all three
  /// gains are set to 0 with a warning, so a sign mistake cannot drive a
  /// mechanism away from its target.
  ZephrinPIDController(double Kp, double Ki, double Kd);

  /// Sets all three gains, without validation.
  void SetPID(double Kp, double Ki, double Kd) noexcept {
    m_Kp = Kp;
    m_Ki = Ki;
    m_Kd = Kd;
  }
  /// Sets the proportional gain, without validation.
  void SetP(double Kp) noexcept { m_Kp = Kp; }
  /// Sets the integral gain, without validation.
  void SetI(double Ki) noexcept { m_Ki = Ki; }
  /// Sets the derivative gain, without validation.
  void SetD(double Kd) noexcept { m_Kd = Kd; }
  /// Sets the error magnitude above which the integral is cleared instead of
  /// accumulated (+infinity by default). A negative zone is reported as an
  /// error and kept, which keeps the integral at zero.
  void SetIZone(double iZone);

  double GetP() const noexcept { return m_Kp; }
  double GetI() const noexcept { return m_Ki; }
  double GetD() const noexcept { return m_Kd; }
  double GetIZone() const noexcept { return m_iZone; }
  double GetPositionTolerance() const noexcept { return m_positionTolerance; }
  double GetVelocityTolerance() const noexcept { return m_velocityTolerance; }
  /// The setpoint of the last Calculate.
  double GetSetpoint() const noexcept { return m_setpoint; }
  /// The (wrapped, when continuous) error of the last Calculate.
  double GetPositionError() const noexcept { return m_positionError; }
  /// The error's rate of change at the last Calculate, per second.
  double GetVelocityError() const noexcept { return m_velocityError; }
  /// The output of the last Calculate.
  double GetLastAppliedOutput() const noexcept { return m_lastAppliedOutput; }

  /// Treats the input as wrapping between `minimumInput` and `maximumInput`
  /// (for example -pi and pi), so the error always takes the short way round.
  void EnableContinuousInput(double minimumInput, double maximumInput) noexcept {
    m_continuous = true;
    m_minimumInput = minimumInput;
    m_maximumInput = maximumInput;
  }
  void DisableContinuousInput() noexcept { m_continuous = false; }
  bool IsContinuousInputEnabled() const noexcept { return m_continuous; }

  /// Limits the integral term's contribution to the output to
  /// [minimumIntegral, maximumIntegral] (default [-1, 1]).
  void SetIntegratorRange(double minimumIntegral, double maximumIntegral) noexcept {
    m_minimumIntegral = minimumIntegral;
    m_maximumIntegral = maximumIntegral;
  }

  /// Sets how close the error and its rate must be (strictly) for AtSetpoint.
  /// Defaults: 0.05 and +infinity.
  void SetTolerance(double positionTolerance,
                    double velocityTolerance = std::numeric_limits<double>::infinity()) noexcept {
    m_positionTolerance = positionTolerance;
    m_velocityTolerance = velocityTolerance;
  }

  /// Whether the last Calculate was within both tolerances. False before the
  /// first Calculate and after Reset.
  bool AtSetpoint() const noexcept;

  /// The output for `measurement` against `setpoint` at `currentTimestamp`.
  /// Timestamps must increase between calls: two calls at the same time give
  /// an infinite or undefined derivative.
  double Calculate(double measurement, double setpoint, units::time::second_t currentTimestamp) noexcept;

  /// Forgets the error history and the measurement (setpoint and last
  /// timestamp stay), e.g. when the mechanism is re-enabled.
  void Reset() noexcept;

 private:
  double m_Kp;
  double m_Ki;
  double m_Kd;
  double m_iZone = std::numeric_limits<double>::infinity();
  double m_maximumIntegral = 1.0;
  double m_minimumIntegral = -1.0;
  double m_maximumInput = 0.0;
  double m_minimumInput = 0.0;
  bool m_continuous = false;
  double m_positionError = 0.0;
  double m_velocityError = 0.0;
  double m_previousError = 0.0;
  double m_totalError = 0.0;
  double m_positionTolerance = 0.05;
  double m_velocityTolerance = std::numeric_limits<double>::infinity();
  double m_setpoint = 0.0;
  double m_measurement = 0.0;
  bool m_haveSetpoint = false;
  bool m_haveMeasurement = false;
  double m_lastAppliedOutput = 0.0;
  double m_lastTimestamp = 0.0;
};

}  // namespace kvor::zephrin6::swerve
