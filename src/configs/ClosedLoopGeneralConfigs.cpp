#include <kvor/zephrin6/configs/ClosedLoopGeneralConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::ClosedLoopGeneral_ContinuousWrap, "ContinuousWrap", c.ContinuousWrap);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(ClosedLoopGeneralConfigs, "ClosedLoopGeneral")

}  // namespace kvor::zephrin6::configs
