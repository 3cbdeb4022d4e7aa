#pragma once

// A control call as a simulated motor controller understands it: the control
// mode it selects and the setpoints, gains slot and options of the request,
// decoded from the arguments the runtime recorded. Which argument holds which
// field comes from the request table (controls/generated/RequestFields.inc),
// so a field added to a request never shifts the others. Plain values;
// decoding is a pure function and thread-safe.

#include <cstdint>
#include <span>

#include "controls/ControlRecorder.hpp"

namespace kvor::zephrin::runtime::firmware {

/// The unit a request's output is in.
enum class OutputKind : uint8_t { DutyCycle, Voltage, TorqueCurrent };

/// What one axis of a request does (a plain request has one axis, a
/// differential request an average and a difference axis).
enum class Loop : uint8_t {
  None,             ///< no output on this axis
  Open,             ///< the output field applied as it is
  Position,         ///< position closed loop
  Velocity,         ///< velocity closed loop
  Profile,          ///< position along the configured trapezoidal profile
  VelocityProfile,  ///< velocity reached along a ramp
  ExpoProfile,      ///< position along the configured exponential profile
  DynamicProfile,   ///< position along a profile whose limits the request carries
};

/// One axis of a request, in mechanism rotations and the output kind's unit.
struct Setpoint {
  Loop loop = Loop::None;
  double output = 0.0;        ///< Open: the output
  double position = 0.0;      ///< target position, rotations
  double velocity = 0.0;      ///< target velocity, or the profile's cruise limit
  double acceleration = 0.0;  ///< target acceleration, or the profile's limit
  double jerk = 0.0;          ///< profile jerk limit (DynamicProfile)
  double feedForward = 0.0;
  int slot = 0;
};

/// What the motor does besides following setpoints.
enum class Action : uint8_t {
  Disabled,   ///< nothing commanded yet (or the empty request): neutral output
  Neutral,    ///< neutral in the configured neutral mode
  Coast,      ///< bridge open
  Brake,      ///< windings shorted
  Music,      ///< playing a tone: no torque
  Drive,      ///< follow `average` (and `difference`)
  Follow,     ///< follow a leader motor controller
};

/// A decoded control request.
struct ControlCommand {
  Action action = Action::Disabled;
  int controlMode = 0;              ///< the device's ControlMode number
  int differentialControlMode = 0;  ///< the device's DifferentialControlMode number
  OutputKind kind = OutputKind::DutyCycle;
  Setpoint average;     ///< the request's only axis for a plain request
  Setpoint difference;  ///< Loop::None unless differential
  double maxAbsDutyCycle = 1.0;  ///< limit of torque-current output
  double deadband = 0.0;         ///< torque-current request deadband, amperes
  bool enableFoc = true;
  bool overrideNeutral = false;  ///< brake (duty, voltage) or coast (torque current) at zero output
  bool limitForward = false;
  bool limitReverse = false;
  bool ignoreHardwareLimits = false;
  // Followers.
  int leaderId = 0;
  bool opposeLeader = false;
  bool strictFollower = false;
  bool differentialFollower = false;
  double updateHz = 0.0;
};

/// Decodes one received call. False (leaving `out` alone) for a function the
/// firmware does not know or a call whose numbers are not finite, which the
/// device ignores.
bool DecodeControl(const char* function, std::span<const RecordedArg> args, ControlCommand& out);

}  // namespace kvor::zephrin::runtime::firmware
