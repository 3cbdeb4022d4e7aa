#include <kvor/zephrin6/configs/Slot2Configs.hpp>

#include <kvor/zephrin6/configs/SlotConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"
#include "configs/internal/SlotFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  internal::VisitSlotFields(c, SlotConfigs::SlotIds(2), v);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(Slot2Configs, "Slot2")

Slot2Configs Slot2Configs::From(const SlotConfigs& value) {
  Slot2Configs slot;
  internal::CopySlotGains(value, slot);
  return slot;
}

}  // namespace kvor::zephrin6::configs
