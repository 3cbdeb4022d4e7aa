#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>

namespace kvor::zephrin6::configs {

std::string AngulonConfiguration::Serialize() const {
  std::string text;
  text += MagnetSensor.Serialize();
  return text;
}

std::string AngulonConfiguration::ToString() const {
  std::string text = "Configuration: angulon\n";
  text += MagnetSensor.ToString();
  return text;
}

kvor::zephrin::StatusCode AngulonConfiguration::Deserialize(const std::string& text) {
  MagnetSensor.Deserialize(text);
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::configs
