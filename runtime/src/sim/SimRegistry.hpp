#pragma once

// The simulated devices of the runtime, keyed by (device type, device ID):
// which exist, the last value of each physics input they were given, the
// physics outputs they report, and the status of their most recent call.
// The physics model itself is still to come: outputs hold what the harness
// sets. Owned by the Runtime. Thread-safe (one mutex).

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <kvor/zephrin/runtime/harness/Sim.hpp>

namespace kvor::zephrin::runtime {

class SimRegistry {
 public:
  SimRegistry() = default;
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  int32_t Create(int32_t deviceType, int32_t deviceId);
  int32_t SetInput(int32_t deviceType, int32_t deviceId, std::string_view name, double value);
  int32_t GetValue(int32_t deviceType, int32_t deviceId, std::string_view name, double& value);
  int32_t LastError(int32_t deviceType, int32_t deviceId) const;

  std::vector<harness::SimDevice> Devices() const;
  std::optional<double> Input(int32_t deviceType, int32_t deviceId, std::string_view name) const;
  void SetOutput(int32_t deviceType, int32_t deviceId, std::string_view name, double value);

 private:
  using Key = std::pair<int32_t, int32_t>;
  struct Device {
    std::map<std::string, double, std::less<>> inputs;
    std::map<std::string, double, std::less<>> outputs;
    int32_t lastError = 0;
  };

  Device* Find(int32_t deviceType, int32_t deviceId);
  const Device* Find(int32_t deviceType, int32_t deviceId) const;

  mutable std::mutex mutex_;
  std::map<Key, Device> devices_;
  std::vector<harness::SimDevice> creationOrder_;
};

}  // namespace kvor::zephrin::runtime
