#include "signals/BusCapabilities.hpp"

#include "canbus/BusRegistry.hpp"

namespace kvor::zephrin::runtime::signals {

// The CAN bus service owns the bus types (including the harness's overrides
// and detached buses), so the store asks it rather than keeping its own rule.
bool CanSynchroniseSignals(std::string_view bus) { return BusRegistry::Instance().CanSynchronizeSignals(bus); }

}  // namespace kvor::zephrin::runtime::signals
