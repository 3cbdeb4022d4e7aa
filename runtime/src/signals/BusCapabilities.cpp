#include "signals/BusCapabilities.hpp"

namespace kvor::zephrin::runtime::signals {

bool CanSynchroniseSignals(std::string_view bus) { return !(bus.empty() || bus == "rio"); }

}  // namespace kvor::zephrin::runtime::signals
