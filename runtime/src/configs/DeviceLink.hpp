#pragma once

// What the config service needs from the rest of the runtime: whether a
// device answers on its bus, and a way to move one of its signals when an
// action (set position, clear sticky faults) acts on it. Kept in one place so
// the config store does not depend on how devices and signals are stored.

#include <cstdint>

namespace kvor::zephrin::runtime::configs {

/// True when the device with this hash answers on its bus.
bool IsDevicePresent(uint32_t deviceHash);

/// Sets the value the device serves for `signalId` (the simulated value).
void SetDeviceSignal(uint32_t deviceHash, uint16_t signalId, double value);

}  // namespace kvor::zephrin::runtime::configs
