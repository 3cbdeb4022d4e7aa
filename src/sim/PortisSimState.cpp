#include <kvor/zephrin6/sim/PortisSimState.hpp>

#include <kvor/zephrin6/hardware/core/CorePortis.hpp>

#include "sim/internal/SimCalls.hpp"

namespace kvor::zephrin6::sim {

using kvor::zephrin::StatusCode;

namespace {
constexpr internal::DeviceType kType = internal::DeviceType::Portis;
}  // namespace

PortisSimState::PortisSimState(const hardware::core::CorePortis& device) : deviceId_{device.GetDeviceID()} {}

StatusCode PortisSimState::GetLastStatusCode() const { return internal::LastError(kType, deviceId_); }

StatusCode PortisSimState::SetSupplyVoltage(units::voltage::volt_t volts) {
  return internal::SetInput<kType, "SupplyVoltage">(deviceId_, volts.value());
}

}  // namespace kvor::zephrin6::sim
