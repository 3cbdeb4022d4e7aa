// The simulator's platform calls and harness view, and the one place that
// wires the simulator to the services it borrows. Those are still
// process-wide singletons; when the runtime root owns every service, only
// Simulator() changes.

#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin/runtime/harness/Sim.hpp>

#include "controls/ControlRecorder.hpp"
#include "core/ResetRegistry.hpp"
#include "devices/DeviceRegistry.hpp"
#include "signals/SignalStore.hpp"
#include "sim/SimRegistry.hpp"

namespace kvor::zephrin::runtime::sim {
namespace {

// Built after the services it borrows, so destroyed before them at exit.
SimRegistry& Simulator() {
  static SimRegistry simulator(devices::DeviceRegistry::Instance(), signals::SignalStore::Instance(),
                               ControlRecorder::Instance());
  return simulator;
}

const bool kRegistered = (RegisterReset([] { Simulator().Clear(); }), true);

}  // namespace
}  // namespace kvor::zephrin::runtime::sim

namespace kvor::zephrin::platform {

using runtime::sim::Simulator;

int32_t SimCreate(DeviceType deviceType, int32_t deviceId) {
  return Simulator().Create(static_cast<int32_t>(deviceType), deviceId);
}

int32_t SimSetPhysicsInput(DeviceType deviceType, int32_t deviceId, std::string_view physicsType,
                           double value) {
  return Simulator().SetInput(static_cast<int32_t>(deviceType), deviceId, physicsType, value);
}

int32_t SimGetPhysicsValue(DeviceType deviceType, int32_t deviceId, std::string_view physicsType,
                           double& value) {
  return Simulator().GetValue(static_cast<int32_t>(deviceType), deviceId, physicsType, value);
}

int32_t SimGetLastError(DeviceType deviceType, int32_t deviceId) {
  return Simulator().LastError(static_cast<int32_t>(deviceType), deviceId);
}

}  // namespace kvor::zephrin::platform

namespace kvor::zephrin::runtime::harness {

using sim::Simulator;

std::vector<SimDevice> SimDevices() { return Simulator().Devices(); }

std::optional<double> SimPhysicsInput(int32_t deviceType, int32_t deviceId, std::string_view name) {
  return Simulator().Input(deviceType, deviceId, name);
}

void SetSimPhysicsValue(int32_t deviceType, int32_t deviceId, std::string_view name, double value) {
  Simulator().SetOutput(deviceType, deviceId, name, value);
}

}  // namespace kvor::zephrin::runtime::harness
