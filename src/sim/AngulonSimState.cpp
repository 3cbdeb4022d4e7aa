#include <kvor/zephrin6/sim/AngulonSimState.hpp>

#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>

#include "sim/internal/SimCalls.hpp"

namespace kvor::zephrin6::sim {

using kvor::zephrin::StatusCode;
using internal::Oriented;

namespace {
constexpr internal::DeviceType kType = internal::DeviceType::Angulon;
}  // namespace

AngulonSimState::AngulonSimState(const hardware::core::CoreAngulon& device, ChassisReference orientation)
    : deviceId_{device.GetDeviceID()}, Orientation{orientation} {}

StatusCode AngulonSimState::GetLastStatusCode() const { return internal::LastError(kType, deviceId_); }

StatusCode AngulonSimState::SetSupplyVoltage(units::voltage::volt_t volts) {
  return internal::SetInput<kType, "SupplyVoltage">(deviceId_, volts.value());
}

StatusCode AngulonSimState::SetRawPosition(units::angle::turn_t position) {
  return internal::SetInput<kType, "RawPosition">(deviceId_, Oriented(Orientation, position.value()));
}

StatusCode AngulonSimState::AddPosition(units::angle::turn_t deltaPosition) {
  return internal::SetInput<kType, "AddPosition">(deviceId_, Oriented(Orientation, deltaPosition.value()));
}

StatusCode AngulonSimState::SetVelocity(units::angular_velocity::turns_per_second_t velocity) {
  return internal::SetInput<kType, "Velocity">(deviceId_, Oriented(Orientation, velocity.value()));
}

StatusCode AngulonSimState::SetMagnetHealth(signals::MagnetHealthValue health) {
  return internal::SetInput<kType, "MagnetHealth">(deviceId_, static_cast<double>(health.value));
}

}  // namespace kvor::zephrin6::sim
