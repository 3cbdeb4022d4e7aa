#include <kvor/zephrin6/configs/ParentConfiguration.hpp>

#include <ostream>

namespace kvor::zephrin6::configs {

std::ostream& operator<<(std::ostream& os, const ParentConfiguration& config) { return os << config.ToString(); }

}  // namespace kvor::zephrin6::configs
