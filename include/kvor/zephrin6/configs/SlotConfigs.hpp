#pragma once

// SlotConfigs: the gains of any one closed-loop slot of a motor controller, chosen by
// SlotNumber, for code that handles the three slots alike. The config IDs of each slot come from
// one class-wide table, built once at program start. A plain value with public fields and fluent
// With setters. Copy it freely; it is not synchronised. Serialize and Deserialize throw
// std::out_of_range for a SlotNumber other than 0, 1 or 2, before the runtime is called.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/signals/GravityTypeValue.hpp>
#include <kvor/zephrin6/signals/StaticFeedforwardSignValue.hpp>

#include <map>

namespace kvor::zephrin6::configs {

class Slot0Configs;
class Slot1Configs;
class Slot2Configs;

/// The nine config IDs of one slot, in field order.
struct SlotSpns {
  int kPSpn;
  int kISpn;
  int kDSpn;
  int kSSpn;
  int kVSpn;
  int kASpn;
  int kGSpn;
  int GravityTypeSpn;
  int StaticFeedforwardSignSpn;
};

class SlotConfigs : public ParentConfiguration {
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
  /// Which slot (0, 1 or 2) the gains belong to; selects the config IDs and
  /// is neither serialised nor printed. Default 0.
  int SlotNumber = 0;

  /// Sets kP and returns this group for chaining.
  SlotConfigs& WithkP(double newValue) {
    kP = newValue;
    return *this;
  }
  /// Sets kI and returns this group for chaining.
  SlotConfigs& WithkI(double newValue) {
    kI = newValue;
    return *this;
  }
  /// Sets kD and returns this group for chaining.
  SlotConfigs& WithkD(double newValue) {
    kD = newValue;
    return *this;
  }
  /// Sets kS and returns this group for chaining.
  SlotConfigs& WithkS(double newValue) {
    kS = newValue;
    return *this;
  }
  /// Sets kV and returns this group for chaining.
  SlotConfigs& WithkV(double newValue) {
    kV = newValue;
    return *this;
  }
  /// Sets kA and returns this group for chaining.
  SlotConfigs& WithkA(double newValue) {
    kA = newValue;
    return *this;
  }
  /// Sets kG and returns this group for chaining.
  SlotConfigs& WithkG(double newValue) {
    kG = newValue;
    return *this;
  }
  /// Sets GravityType and returns this group for chaining.
  SlotConfigs& WithGravityType(signals::GravityTypeValue newValue) {
    GravityType = newValue;
    return *this;
  }
  /// Sets StaticFeedforwardSign and returns this group for chaining.
  SlotConfigs& WithStaticFeedforwardSign(signals::StaticFeedforwardSignValue newValue) {
    StaticFeedforwardSign = newValue;
    return *this;
  }
  /// Sets SlotNumber and returns this group for chaining.
  SlotConfigs& WithSlotNumber(int newValue) {
    SlotNumber = newValue;
    return *this;
  }

  /// The gains of `value` with SlotNumber 0.
  static SlotConfigs From(const Slot0Configs& value);
  /// The gains of `value` with SlotNumber 1.
  static SlotConfigs From(const Slot1Configs& value);
  /// The gains of `value` with SlotNumber 2.
  static SlotConfigs From(const Slot2Configs& value);

  /// The config IDs of slot `slotNumber`; throws std::out_of_range ("map::at")
  /// for a number other than 0, 1 or 2.
  static const SlotSpns& SlotIds(int slotNumber) { return genericMap.at(slotNumber); }

  /// The runtime's config text under slot SlotNumber's IDs; throws
  /// std::out_of_range for an invalid SlotNumber.
  std::string Serialize() const override;
  /// The header line "Config Group: Slot" and one line per gain.
  std::string ToString() const override;
  /// Reads the gains of slot SlotNumber present in `text`; throws
  /// std::out_of_range for an invalid SlotNumber. Returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;

 private:
  // The class-wide table: slot number -> its config IDs.
  static const std::map<int, SlotSpns> genericMap;
};

}  // namespace kvor::zephrin6::configs
