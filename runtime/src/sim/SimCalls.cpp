// The simulator's platform calls and its harness view, each one call into
// the current runtime's simulator.

#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin/runtime/harness/Sim.hpp>

#include "core/Runtime.hpp"
#include "sim/PhysicsInputs.hpp"
#include "sim/SimRegistry.hpp"

namespace kvor::zephrin::platform {

using runtime::Runtime;

int32_t SimCreate(DeviceType deviceType, int32_t deviceId) {
  return Runtime::Acquire()->Sim().Create(static_cast<int32_t>(deviceType), deviceId);
}

int32_t SimSetPhysicsInput(DeviceType deviceType, int32_t deviceId, std::string_view physicsType,
                           double value) {
  return Runtime::Acquire()->Sim().SetInput(static_cast<int32_t>(deviceType), deviceId, physicsType, value);
}

int32_t SimPhysicsInputIndex(DeviceType deviceType, std::string_view physicsType) {
  const runtime::sim::InputRule* rule = runtime::sim::FindInput(static_cast<int32_t>(deviceType), physicsType);
  return rule != nullptr ? runtime::sim::IndexOf(*rule) : -1;
}

int32_t SimSetPhysicsInputAt(DeviceType deviceType, int32_t deviceId, int32_t inputIndex, double value) {
  return Runtime::Acquire()->Sim().SetInput(static_cast<int32_t>(deviceType), deviceId, inputIndex, value);
}

int32_t SimSetPhysicsInputsAt(DeviceType deviceType, int32_t deviceId, std::span<const SimInputValue> inputs) {
  return Runtime::Acquire()->Sim().SetInputs(static_cast<int32_t>(deviceType), deviceId, inputs);
}

void SimSetDevicesPhysicsInputs(std::span<SimDeviceInputs> devices) {
  Runtime::Acquire()->Sim().SetInputs(devices);
}

void SimGetPhysicsValues(std::span<SimOutputRead> reads) { Runtime::Acquire()->Sim().GetValues(reads); }

int32_t SimGetPhysicsValue(DeviceType deviceType, int32_t deviceId, std::string_view physicsType,
                           double& value) {
  return Runtime::Acquire()->Sim().GetValue(static_cast<int32_t>(deviceType), deviceId, physicsType, value);
}

int32_t SimGetLastError(DeviceType deviceType, int32_t deviceId) {
  return Runtime::Acquire()->Sim().LastError(static_cast<int32_t>(deviceType), deviceId);
}

}  // namespace kvor::zephrin::platform

namespace kvor::zephrin::runtime::harness {

std::vector<SimDevice> SimDevices() { return Runtime::Acquire()->Sim().Devices(); }

std::optional<double> SimPhysicsInput(int32_t deviceType, int32_t deviceId, std::string_view name) {
  return Runtime::Acquire()->Sim().Input(deviceType, deviceId, name);
}

void SetSimPhysicsValue(int32_t deviceType, int32_t deviceId, std::string_view name, double value) {
  Runtime::Acquire()->Sim().SetOutput(deviceType, deviceId, name, value);
}

}  // namespace kvor::zephrin::runtime::harness
