#include <kvor/zephrin6/configs/QuadratureConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::Quadrature_QuadratureEdgesPerRotation, "QuadratureEdgesPerRotation", c.QuadratureEdgesPerRotation);
  v(ids::Quadrature_SensorDirection, "SensorDirection", c.SensorDirection);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(QuadratureConfigs, "Quadrature")

}  // namespace kvor::zephrin6::configs
