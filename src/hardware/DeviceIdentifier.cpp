#include <kvor/zephrin6/hardware/DeviceIdentifier.hpp>

#include <kvor/zephrin6/networking/Wrappers.hpp>

#include <ostream>
#include <utility>

namespace kvor::zephrin6::hardware {

DeviceIdentifier::DeviceIdentifier(int deviceId, std::string model, std::string network)
    : network_{std::move(network)},
      model_{std::move(model)},
      deviceId_{deviceId},
      deviceHash_{networking::Wrappers::CompileDeviceHash(deviceId, model_, network_)} {}

std::string DeviceIdentifier::ToString() const {
  std::string text;
  text.reserve(model_.size() + network_.size() + 18);
  text.append(model_).append(" ").append(std::to_string(deviceId_)).append(" (\"").append(network_).append("\")");
  return text;
}

std::ostream& operator<<(std::ostream& os, const DeviceIdentifier& id) { return os << id.ToString(); }

}  // namespace kvor::zephrin6::hardware
