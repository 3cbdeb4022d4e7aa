#include <kvor/zephrin6/configs/DistixConfiguration.hpp>

namespace kvor::zephrin6::configs {

std::string DistixConfiguration::Serialize() const {
  std::string text;
  text += ProximityParams.Serialize();
  text += FovParams.Serialize();
  return text;
}

std::string DistixConfiguration::ToString() const {
  std::string text = "Configuration: distix\n";
  text += ProximityParams.ToString();
  text += FovParams.ToString();
  return text;
}

kvor::zephrin::StatusCode DistixConfiguration::Deserialize(const std::string& text) {
  ProximityParams.Deserialize(text);
  FovParams.Deserialize(text);
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::configs
