#pragma once

// The one call the device registry makes into the logger: tells it that the
// program created a device, so automatic logging can start with the first
// one. Cheap after the first call; thread-safe.

namespace kvor::zephrin::runtime::logging {

void OnDeviceCreated();

}  // namespace kvor::zephrin::runtime::logging
