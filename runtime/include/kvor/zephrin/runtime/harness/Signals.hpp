#pragma once

// Harness control of the runtime's devices and signal store: publish samples,
// make devices absent or incompatible, set simulated values and read applied
// update frequencies. For tests, examples and tools; the product never
// includes this header. Every call is thread-safe; publishing a sample or
// changing a device wakes the reads waiting for it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// One sample of a signal as a device would send it.
struct ZEPHRIN_RUNTIME_API SignalSample {
  double value = 0.0;
  /// ID the device reports the value under; 0 means the signal's own ID.
  uint16_t reportedId = 0;
  /// Timestamps in seconds; a negative time means "now" on the runtime clock.
  /// A device time of exactly 0 means the device sent none.
  double systemTime = -1.0;
  double bustrelTime = -1.0;
  double deviceTime = -1.0;
  /// Status of the sample (a StatusCode value), e.g. -1003 RxTimeout.
  int status = 0;
};

/// A device as the runtime knows it.
struct ZEPHRIN_RUNTIME_API DeviceInfo {
  uint32_t hash = 0;
  int deviceId = 0;
  std::string model;
  std::string bus;
  bool present = true;
  int compliancy = 0;
};

/// The hash the runtime gives a device (ID, model text, bus name), without
/// registering it.
ZEPHRIN_RUNTIME_API uint32_t DeviceHash(int deviceId, std::string_view model, std::string_view bus);
/// Registers a device with the runtime as creating its device object would
/// (the hash is the same), and sets whether it is present and which API
/// compliancy number its firmware reports, so a test can make a device
/// absent or incompatible before any object exists. Returns the hash.
ZEPHRIN_RUNTIME_API uint32_t AddDevice(int deviceId, std::string_view model, std::string_view bus, bool present = true,
                   int compliancy = kvor::zephrin::unmanaged::GetApiCompliancy());
/// Every device registered since the last Reset, in no particular order.
ZEPHRIN_RUNTIME_API std::vector<DeviceInfo> Devices();

/// Makes `sample` the latest frame of a device signal; simulation stops
/// feeding that signal until ReleaseSignal. Waiting reads see it at once.
ZEPHRIN_RUNTIME_API void PublishSignal(uint32_t deviceHash, uint16_t signalId, const SignalSample& sample);
/// Returns a signal taken over by PublishSignal or SetSimulatedValue to
/// simulation.
ZEPHRIN_RUNTIME_API void ReleaseSignal(uint32_t deviceHash, uint16_t signalId);

/// Makes a registered device absent (its reads answer -1003 RxTimeout and
/// waits for it time out) or present again. Returns false for an unknown hash
/// and adds a warning report saying so.
ZEPHRIN_RUNTIME_API bool SetDevicePresent(uint32_t deviceHash, bool present);
/// Makes a registered device report another API compliancy number (its
/// Compliancy signal). Returns false for an unknown hash and adds a warning report saying so.
ZEPHRIN_RUNTIME_API bool SetDeviceCompliancy(uint32_t deviceHash, int compliancy);

/// Sets the value a device signal carries in simulation and holds it there:
/// the simulated firmware of a motor controller or IMU no longer changes that
/// signal until ReleaseSignal, so a test can stand in for the physics of one
/// signal. Frames from the next one on carry the value.
ZEPHRIN_RUNTIME_API void SetSimulatedValue(uint32_t deviceHash, uint16_t signalId, double value);
/// The update frequency a device signal currently publishes at, hertz.
ZEPHRIN_RUNTIME_API double AppliedUpdateFrequency(uint32_t deviceHash, uint16_t signalId);

}  // namespace kvor::zephrin::runtime::harness
