#include <kvor/zephrin6/configs/Slot0Configs.hpp>

#include <kvor/zephrin6/configs/SlotConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"
#include "configs/internal/SlotFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  internal::VisitSlotFields(c, SlotConfigs::SlotIds(0), v);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(Slot0Configs, "Slot0")

Slot0Configs Slot0Configs::From(const SlotConfigs& value) {
  Slot0Configs slot;
  internal::CopySlotGains(value, slot);
  return slot;
}

}  // namespace kvor::zephrin6::configs
