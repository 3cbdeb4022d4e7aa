#pragma once

// The field list shared by the four slot groups (Slot0Configs, Slot1Configs,
// Slot2Configs, SlotConfigs): one walk parameterised by the slot's IDs, and
// the copy of the nine gains between any two of them. Internal.

#include <kvor/zephrin6/configs/SlotConfigs.hpp>

namespace kvor::zephrin6::configs::internal {

template <class Group, class Visitor>
void VisitSlotFields(Group& c, const SlotSpns& ids, Visitor& v) {
  v(ids.kPSpn, "kP", c.kP);
  v(ids.kISpn, "kI", c.kI);
  v(ids.kDSpn, "kD", c.kD);
  v(ids.kSSpn, "kS", c.kS);
  v(ids.kVSpn, "kV", c.kV);
  v(ids.kASpn, "kA", c.kA);
  v(ids.kGSpn, "kG", c.kG);
  v(ids.GravityTypeSpn, "GravityType", c.GravityType);
  v(ids.StaticFeedforwardSignSpn, "StaticFeedforwardSign", c.StaticFeedforwardSign);
}

template <class From, class To>
void CopySlotGains(const From& from, To& to) {
  to.kP = from.kP;
  to.kI = from.kI;
  to.kD = from.kD;
  to.kS = from.kS;
  to.kV = from.kV;
  to.kA = from.kA;
  to.kG = from.kG;
  to.GravityType = from.GravityType;
  to.StaticFeedforwardSign = from.StaticFeedforwardSign;
}

}  // namespace kvor::zephrin6::configs::internal
