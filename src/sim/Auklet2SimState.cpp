#include <kvor/zephrin6/sim/Auklet2SimState.hpp>

#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>

#include "sim/internal/SimCalls.hpp"

namespace kvor::zephrin6::sim {

using kvor::zephrin::StatusCode;

namespace {
constexpr internal::DeviceType kType = internal::DeviceType::Auklet2;
}  // namespace

Auklet2SimState::Auklet2SimState(const hardware::core::CoreAuklet2& device) : deviceId_{device.GetDeviceID()} {}

StatusCode Auklet2SimState::GetLastStatusCode() const { return internal::LastError(kType, deviceId_); }

StatusCode Auklet2SimState::SetSupplyVoltage(units::voltage::volt_t volts) {
  return internal::SetInput<kType, "SupplyVoltage">(deviceId_, volts.value());
}

StatusCode Auklet2SimState::SetRawYaw(units::angle::degree_t yaw) {
  return internal::SetInput<kType, "RawYaw">(deviceId_, yaw.value());
}

StatusCode Auklet2SimState::AddYaw(units::angle::degree_t deltaYaw) {
  return internal::SetInput<kType, "AddYaw">(deviceId_, deltaYaw.value());
}

StatusCode Auklet2SimState::SetPitch(units::angle::degree_t pitch) {
  return internal::SetInput<kType, "Pitch">(deviceId_, pitch.value());
}

StatusCode Auklet2SimState::SetRoll(units::angle::degree_t roll) {
  return internal::SetInput<kType, "Roll">(deviceId_, roll.value());
}

StatusCode Auklet2SimState::SetAngularVelocityX(units::angular_velocity::degrees_per_second_t rate) {
  return internal::SetInput<kType, "AngularVelocityX">(deviceId_, rate.value());
}

StatusCode Auklet2SimState::SetAngularVelocityY(units::angular_velocity::degrees_per_second_t rate) {
  return internal::SetInput<kType, "AngularVelocityY">(deviceId_, rate.value());
}

StatusCode Auklet2SimState::SetAngularVelocityZ(units::angular_velocity::degrees_per_second_t rate) {
  return internal::SetInput<kType, "AngularVelocityZ">(deviceId_, rate.value());
}

}  // namespace kvor::zephrin6::sim
