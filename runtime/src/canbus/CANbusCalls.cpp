// The bus queries of the platform boundary and the harness's bus overrides,
// forwarding to the current runtime's bus registry.

#include <kvor/zephrin/platform/CANbus.hpp>
#include <kvor/zephrin/runtime/harness/CANbus.hpp>

#include "canbus/BusRegistry.hpp"
#include "core/Runtime.hpp"
#include "firmware/FirmwareService.hpp"
#include "core/Status.hpp"

namespace kvor::zephrin::platform::can {

int32_t CANbus_GetNetworkType(const char* network) {
  if (network == nullptr) return runtime::kInvalidNetwork;
  return runtime::Runtime::Acquire()->Buses().NetworkType(network);
}

void CANbus_GetStatus(float& busUtilization, uint32_t& busOffCount, uint32_t& txFullCount,
                      uint32_t& receiveErrorCount, uint32_t& transmitErrorCount, int32_t& status,
                      const char* network, bool /*printErrors*/) {
  runtime::harness::BusStatus figures;
  if (network == nullptr) {
    status = runtime::kInvalidNetwork;
    return;
  }
  auto runtime = runtime::Runtime::Acquire();
  if (!runtime->Buses().Status(network, figures)) {
    status = runtime::kInvalidNetwork;
    return;
  }
  // Unless a test set the figures, the load is what the simulated devices send.
  if (!runtime->Buses().HasStatusOverride(network)) {
    figures.busUtilization = static_cast<float>(runtime->Firmware().BusUtilization(network));
  }
  busUtilization = figures.busUtilization;
  busOffCount = figures.busOffCount;
  txFullCount = figures.txFullCount;
  receiveErrorCount = figures.receiveErrorCount;
  transmitErrorCount = figures.transmitErrorCount;
  status = 0;
}

}  // namespace kvor::zephrin::platform::can

namespace kvor::zephrin::runtime::harness {

void SetBusNetworkType(std::string_view bus, int32_t networkType) {
  runtime::Runtime::Acquire()->Buses().SetNetworkType(bus, networkType);
}
void SetBusPresent(std::string_view bus, bool present) { runtime::Runtime::Acquire()->Buses().SetPresent(bus, present); }
void SetBusStatus(std::string_view bus, const BusStatus& status) { runtime::Runtime::Acquire()->Buses().SetStatus(bus, status); }

}  // namespace kvor::zephrin::runtime::harness
