#include <kvor/zephrin6/configs/PortisConfiguration.hpp>

namespace kvor::zephrin6::configs {

std::string PortisConfiguration::Serialize() const {
  std::string text;
  text += DigitalInputs.Serialize();
  text += Quadrature.Serialize();
  text += PulseWidth.Serialize();
  return text;
}

std::string PortisConfiguration::ToString() const {
  std::string text = "Configuration: portis\n";
  text += DigitalInputs.ToString();
  text += Quadrature.ToString();
  text += PulseWidth.ToString();
  return text;
}

kvor::zephrin::StatusCode PortisConfiguration::Deserialize(const std::string& text) {
  DigitalInputs.Deserialize(text);
  Quadrature.Deserialize(text);
  PulseWidth.Deserialize(text);
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::configs
