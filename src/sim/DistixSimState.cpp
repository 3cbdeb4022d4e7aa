#include <kvor/zephrin6/sim/DistixSimState.hpp>

#include <kvor/zephrin6/hardware/core/CoreDistix.hpp>

#include "sim/internal/SimCalls.hpp"

namespace kvor::zephrin6::sim {

using kvor::zephrin::StatusCode;

namespace {
constexpr internal::DeviceType kType = internal::DeviceType::Distix;
}  // namespace

DistixSimState::DistixSimState(const hardware::core::CoreDistix& device) : deviceId_{device.GetDeviceID()} {}

StatusCode DistixSimState::GetLastStatusCode() const { return internal::LastError(kType, deviceId_); }

StatusCode DistixSimState::SetSupplyVoltage(units::voltage::volt_t volts) {
  return internal::SetInput<kType, "SupplyVoltage">(deviceId_, volts.value());
}

StatusCode DistixSimState::SetDistance(units::length::meter_t distance) {
  return internal::SetInput<kType, "Distance">(deviceId_, distance.value());
}

}  // namespace kvor::zephrin6::sim
