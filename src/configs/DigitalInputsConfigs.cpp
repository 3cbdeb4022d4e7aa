#include <kvor/zephrin6/configs/DigitalInputsConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::DigitalInputs_S1FloatState, "S1FloatState", c.S1FloatState);
  v(ids::DigitalInputs_S2FloatState, "S2FloatState", c.S2FloatState);
  v(ids::DigitalInputs_S1CloseState, "S1CloseState", c.S1CloseState);
  v(ids::DigitalInputs_S2CloseState, "S2CloseState", c.S2CloseState);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(DigitalInputsConfigs, "DigitalInputs")

}  // namespace kvor::zephrin6::configs
