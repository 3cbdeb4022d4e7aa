#include <kvor/zephrin6/configs/Auklet2Configuration.hpp>

namespace kvor::zephrin6::configs {

std::string Auklet2Configuration::Serialize() const {
  std::string text;
  text += MountPose.Serialize();
  text += GyroTrim.Serialize();
  text += Auklet2Features.Serialize();
  return text;
}

std::string Auklet2Configuration::ToString() const {
  std::string text = "Configuration: auklet 2\n";
  text += MountPose.ToString();
  text += GyroTrim.ToString();
  text += Auklet2Features.ToString();
  return text;
}

kvor::zephrin::StatusCode Auklet2Configuration::Deserialize(const std::string& text) {
  MountPose.Deserialize(text);
  GyroTrim.Deserialize(text);
  Auklet2Features.Deserialize(text);
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::configs
