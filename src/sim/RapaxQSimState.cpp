#include <kvor/zephrin6/sim/RapaxQSimState.hpp>

#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

#include "sim/internal/SimCalls.hpp"

namespace kvor::zephrin6::sim {

using kvor::zephrin::StatusCode;
using internal::Oriented;

namespace {
constexpr internal::DeviceType kType = internal::DeviceType::RapaxQ;
}  // namespace

RapaxQSimState::RapaxQSimState(const hardware::core::CoreRapaxQ& device, ChassisReference orientation)
    : deviceId_{device.GetDeviceID()}, Orientation{orientation} {}

StatusCode RapaxQSimState::GetLastStatusCode() const { return internal::LastError(kType, deviceId_); }

units::voltage::volt_t RapaxQSimState::GetMotorVoltage() const {
  return units::voltage::volt_t{Oriented(Orientation, internal::GetOutput(kType, deviceId_, "MotorVoltage"))};
}

units::current::ampere_t RapaxQSimState::GetTorqueCurrent() const {
  return units::current::ampere_t{Oriented(Orientation, internal::GetOutput(kType, deviceId_, "TorqueCurrent"))};
}

units::current::ampere_t RapaxQSimState::GetSupplyCurrent() const {
  return units::current::ampere_t{internal::GetOutput(kType, deviceId_, "SupplyCurrent")};
}

StatusCode RapaxQSimState::SetSupplyVoltage(units::voltage::volt_t volts) {
  return internal::SetInput<kType, "SupplyVoltage">(deviceId_, volts.value());
}

StatusCode RapaxQSimState::SetForwardLimit(bool closed) {
  return internal::SetInput<kType, "ForwardLimit">(deviceId_, closed ? 1.0 : 0.0);
}

StatusCode RapaxQSimState::SetReverseLimit(bool closed) {
  return internal::SetInput<kType, "ReverseLimit">(deviceId_, closed ? 1.0 : 0.0);
}

StatusCode RapaxQSimState::SetRawRotorPosition(units::angle::turn_t position) {
  return internal::SetInput<kType, "RawRotorPosition">(deviceId_, Oriented(Orientation, position.value()));
}

StatusCode RapaxQSimState::AddRotorPosition(units::angle::turn_t deltaPosition) {
  return internal::SetInput<kType, "AddRotorPosition">(deviceId_, Oriented(Orientation, deltaPosition.value()));
}

StatusCode RapaxQSimState::SetRotorVelocity(units::angular_velocity::turns_per_second_t velocity) {
  return internal::SetInput<kType, "RotorVelocity">(deviceId_, Oriented(Orientation, velocity.value()));
}

StatusCode RapaxQSimState::SetRotorAcceleration(units::angular_acceleration::turns_per_second_squared_t acceleration) {
  return internal::SetInput<kType, "RotorAcceleration">(deviceId_, Oriented(Orientation, acceleration.value()));
}

}  // namespace kvor::zephrin6::sim
