#pragma once

// CANBusStatus is a snapshot of one CAN bus's health as the device runtime
// reports it: how busy the bus is and how many errors its controller has seen.
// It is a plain value returned by CANBus::GetStatus; copy it freely. It holds
// no reference to the bus and is not updated after it was filled.

#include <kvor/zephrin/StatusCodes.hpp>

#include <cstdint>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6 {

struct ZEPHRIN6_API CANBusStatus {
  /// 0 when the runtime answered; -10001 InvalidNetwork when the bus is not
  /// attached (the figures below then keep whatever the runtime wrote, 0 if
  /// nothing); -10000 StatusCodeNotInitialized until a query filled it.
  kvor::zephrin::StatusCode Status = kvor::zephrin::StatusCode::StatusCodeNotInitialized;
  /// Fraction of bus time in use, from 0 (idle) to 1 (saturated).
  float BusUtilization = 0.0f;
  /// Times the bus controller went bus-off after too many errors.
  uint32_t BusOffCount = 0;
  /// Times a frame could not be queued because the transmit buffer was full.
  uint32_t TxFullCount = 0;
  /// The controller's receive error counter.
  uint32_t ReceiveErrorCount = 0;
  /// The controller's transmit error counter.
  uint32_t TransmitErrorCount = 0;
};

}  // namespace kvor::zephrin6
