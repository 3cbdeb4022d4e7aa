#pragma once

// A bare device for tests of signals and of ParentDevice itself: a
// ParentDevice whose lookups and control path are public, so that a test can
// look up any signal ID with any value type without a device class.

#include <kvor/zephrin6/hardware/ParentDevice.hpp>

#include <string>

namespace zephrin_test {

class SignalTestDevice : public kvor::zephrin6::hardware::ParentDevice {
 public:
  SignalTestDevice(int deviceId, std::string canbus, std::string model = "rapax q")
      : ParentDevice{deviceId, std::move(model), std::move(canbus)} {}

  using ParentDevice::LookupCommon;
  using ParentDevice::LookupStatusSignal;
  using ParentDevice::SetControlPrivate;
};

}  // namespace zephrin_test
