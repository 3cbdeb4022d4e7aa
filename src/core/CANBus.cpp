#include <kvor/zephrin6/core/CANBus.hpp>

#include <kvor/zephrin/platform/CANbus.hpp>

#include <string>

namespace kvor::zephrin6 {

namespace can = kvor::zephrin::platform::can;

bool CANBus::IsNetworkFD() const {
  // The runtime takes NUL-terminated names, a view may not be one.
  const std::string name(name_);
  return can::CANbus_GetNetworkType(name.c_str()) == can::kNetworkTypeCanFd;
}

CANBusStatus CANBus::GetStatus() const {
  CANBusStatus result;
  const std::string name(name_);
  int32_t status = 0;
  can::CANbus_GetStatus(result.BusUtilization, result.BusOffCount, result.TxFullCount,
                        result.ReceiveErrorCount, result.TransmitErrorCount, status, name.c_str(), true);
  result.Status = status != 0 ? kvor::zephrin::StatusCode::InvalidNetwork : kvor::zephrin::StatusCode::OK;
  return result;
}

}  // namespace kvor::zephrin6
