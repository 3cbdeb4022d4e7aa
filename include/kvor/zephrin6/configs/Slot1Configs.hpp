#pragma once

// Slot1Configs: the gains of closed-loop slot 1 of a motor controller (PID gains, feed-forwards
// and how gravity and static friction are compensated). Control requests pick a slot by number.
// A plain value with public fields and fluent With setters, serialised under the slot's config
// IDs from the class-wide table of SlotConfigs. Copy it freely; it is not synchronised.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/GravityTypeValue.hpp>
#include <kvor/zephrin6/signals/StaticFeedforwardSignValue.hpp>

namespace kvor::zephrin6::configs {

class SlotConfigs;

class Slot1Configs : public ParentConfiguration {
 public:
  /// Proportional gain: output per unit of error. Default 0.0.
  double kP = 0.0;
  /// Integral gain: output per unit of integrated error. Default 0.0.
  double kI = 0.0;
  /// Derivative gain: output per unit of error derivative. Default 0.0.
  double kD = 0.0;
  /// Static feed-forward: output that overcomes friction, signed by StaticFeedforwardSign. Default
  /// 0.0.
  double kS = 0.0;
  /// Velocity feed-forward: output per unit of requested velocity. Default 0.0.
  double kV = 0.0;
  /// Acceleration feed-forward: output per unit of requested acceleration. Default 0.0.
  double kA = 0.0;
  /// Gravity feed-forward: output that holds the mechanism against gravity. Default 0.0.
  double kG = 0.0;
  /// How kG is applied. Default Elevator_Static.
  signals::GravityTypeValue GravityType = signals::GravityTypeValue::Elevator_Static;
  /// What sets the sign of kS. Default UseVelocitySign.
  signals::StaticFeedforwardSignValue StaticFeedforwardSign = signals::StaticFeedforwardSignValue::UseVelocitySign;

  /// Sets kP and returns this group for chaining.
  Slot1Configs& WithkP(double newValue) {
    kP = newValue;
    return *this;
  }
  /// Sets kI and returns this group for chaining.
  Slot1Configs& WithkI(double newValue) {
    kI = newValue;
    return *this;
  }
  /// Sets kD and returns this group for chaining.
  Slot1Configs& WithkD(double newValue) {
    kD = newValue;
    return *this;
  }
  /// Sets kS and returns this group for chaining.
  Slot1Configs& WithkS(double newValue) {
    kS = newValue;
    return *this;
  }
  /// Sets kV and returns this group for chaining.
  Slot1Configs& WithkV(double newValue) {
    kV = newValue;
    return *this;
  }
  /// Sets kA and returns this group for chaining.
  Slot1Configs& WithkA(double newValue) {
    kA = newValue;
    return *this;
  }
  /// Sets kG and returns this group for chaining.
  Slot1Configs& WithkG(double newValue) {
    kG = newValue;
    return *this;
  }
  /// Sets GravityType and returns this group for chaining.
  Slot1Configs& WithGravityType(signals::GravityTypeValue newValue) {
    GravityType = newValue;
    return *this;
  }
  /// Sets StaticFeedforwardSign and returns this group for chaining.
  Slot1Configs& WithStaticFeedforwardSign(signals::StaticFeedforwardSignValue newValue) {
    StaticFeedforwardSign = newValue;
    return *this;
  }

  /// A Slot1Configs with the nine gains of `value` (its SlotNumber is ignored).
  static Slot1Configs From(const SlotConfigs& value);

  /// The runtime's config text of every field under slot 1's config IDs.
  std::string Serialize() const override;
  /// The header line "Config Group: Slot1" and one line per field.
  std::string ToString() const override;
  /// Reads every field present in `text`; absent fields keep their value.
  /// Returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
