#pragma once

// The devices created through the generic device C functions
// (device_c_style.h), in a HandleRegistry: each entry keeps, beside the
// device, the interfaces its model offers (found once at creation, so a send
// needs no cast) and its signals by table position. Mechanisms built over
// devices hold their entries' shared pointers, so a device lives as long as
// a mechanism that drives it.

#include <kvor/zephrin6/hardware/ParentDevice.hpp>

#include <atomic>
#include <memory>

#include "cinterface/internal/HandleRegistry.hpp"

namespace kvor::zephrin6::configs {
class ParentConfigurator;
}  // namespace kvor::zephrin6::configs
namespace kvor::zephrin6::hardware::core {
class CoreRapaxQ;
}  // namespace kvor::zephrin6::hardware::core
namespace kvor::zephrin6::hardware::traits {
class HasRapaxControls;
class SupportsFOC;
class SupportsMusic;
}  // namespace kvor::zephrin6::hardware::traits

namespace kvor::zephrin6::cinterface {

struct DeviceModel;

/// One device of the registry with the interfaces its model offers (null
/// where it has none).
struct DeviceEntry {
  std::unique_ptr<hardware::ParentDevice> device;
  const DeviceModel* model = nullptr;
  hardware::traits::HasRapaxControls* controls = nullptr;
  hardware::traits::SupportsFOC* foc = nullptr;
  hardware::traits::SupportsMusic* music = nullptr;
  hardware::core::CoreRapaxQ* rapaxQ = nullptr;
  const configs::ParentConfigurator* configurator = nullptr;
  // The device's signals by their position in the model's table, filled on
  // first lookup: group reads skip the device's locked signal cache. The
  // pointers stay valid while the device lives, which the entry guarantees.
  std::unique_ptr<std::atomic<BaseStatusSignal*>[]> looked;
};

using DeviceRegistry = HandleRegistry<DeviceEntry>;

}  // namespace kvor::zephrin6::cinterface
