#pragma once

// Each runtime service registers how to return to a fresh process state; the
// harness's Reset() runs all of them. Registration happens during static
// initialisation of the service's own source file, so no central list has to
// know every service.

#include <functional>

namespace kvor::zephrin::runtime {

/// Adds a hook run by ResetAll(). Hooks run in registration order.
void RegisterReset(std::function<void()> hook);

/// Runs every registered hook.
void ResetAll();

}  // namespace kvor::zephrin::runtime
