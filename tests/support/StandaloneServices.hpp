#pragma once

// The runtime's services built on their own, outside the runtime the library
// talks to, for tests that check one service through its internal interface
// (a frame source for the logger, the bus enumeration of the signal store).
// The clock runs manually from 1 s. Link zephrin_runtime_internal.

#include "canbus/BusRegistry.hpp"
#include "core/Clock.hpp"
#include "core/ReportLog.hpp"
#include "devices/DeviceRegistry.hpp"
#include "logging/LoggerService.hpp"
#include "signals/SignalStore.hpp"

namespace zephrin_test {

struct StandaloneServices {
  StandaloneServices() { clock.UseManualTime(1.0); }

  kvor::zephrin::runtime::Clock clock;
  kvor::zephrin::runtime::ReportLog reports{clock};
  kvor::zephrin::runtime::BusRegistry buses;
  kvor::zephrin::runtime::devices::DeviceRegistry devices{clock};
  kvor::zephrin::runtime::signals::SignalStore signals{clock, devices, buses};
  kvor::zephrin::runtime::logging::LoggerService logger{clock, devices, signals, reports};
};

}  // namespace zephrin_test
