#include <kvor/zephrin6/configs/SlotConfigs.hpp>

#include <kvor/zephrin6/configs/Slot0Configs.hpp>
#include <kvor/zephrin6/configs/Slot1Configs.hpp>
#include <kvor/zephrin6/configs/Slot2Configs.hpp>

#include "configs/internal/ConfigFields.hpp"
#include "configs/internal/SlotFields.hpp"

namespace kvor::zephrin6::configs {

#define KVOR_SLOT_IDS(n)                                                                                              \
  SlotSpns {                                                                                                          \
    ids::Slot##n##_kP, ids::Slot##n##_kI, ids::Slot##n##_kD, ids::Slot##n##_kS, ids::Slot##n##_kV, ids::Slot##n##_kA, \
        ids::Slot##n##_kG, ids::Slot##n##_GravityType, ids::Slot##n##_StaticFeedforwardSign                           \
  }
const std::map<int, SlotSpns> SlotConfigs::genericMap = {
    {0, KVOR_SLOT_IDS(0)},
    {1, KVOR_SLOT_IDS(1)},
    {2, KVOR_SLOT_IDS(2)},
};
#undef KVOR_SLOT_IDS

namespace {

// Looks the IDs up first, so an invalid slot throws before any runtime call.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  const SlotSpns& ids = SlotConfigs::SlotIds(c.SlotNumber);
  internal::VisitSlotFields(c, ids, v);
}

template <class From>
SlotConfigs WithGains(const From& from, int slotNumber) {
  SlotConfigs slot;
  internal::CopySlotGains(from, slot);
  slot.SlotNumber = slotNumber;
  return slot;
}

}  // namespace

std::string SlotConfigs::Serialize() const {
  internal::FieldWriter writer;
  VisitFields(*this, writer);
  return writer.Text();
}

// Printing does not depend on the slot's IDs, so it works for any SlotNumber.
std::string SlotConfigs::ToString() const {
  internal::FieldPrinter printer{"Slot"};
  const SlotSpns noIds{};
  internal::VisitSlotFields(*this, noIds, printer);
  return printer.Text();
}

kvor::zephrin::StatusCode SlotConfigs::Deserialize(const std::string& text) {
  internal::FieldReader reader{text};
  VisitFields(*this, reader);
  return kvor::zephrin::StatusCode::OK;
}

SlotConfigs SlotConfigs::From(const Slot0Configs& value) { return WithGains(value, 0); }
SlotConfigs SlotConfigs::From(const Slot1Configs& value) { return WithGains(value, 1); }
SlotConfigs SlotConfigs::From(const Slot2Configs& value) { return WithGains(value, 2); }

}  // namespace kvor::zephrin6::configs
