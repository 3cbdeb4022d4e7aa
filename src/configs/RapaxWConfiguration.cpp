#include <kvor/zephrin6/configs/RapaxWConfiguration.hpp>

namespace kvor::zephrin6::configs {

std::string RapaxWConfiguration::Serialize() const {
  std::string text;
  text += MotorOutput.Serialize();
  text += CurrentLimits.Serialize();
  text += Voltage.Serialize();
  text += ExternalFeedback.Serialize();
  text += DifferentialSensors.Serialize();
  text += DifferentialConstants.Serialize();
  text += OpenLoopRamps.Serialize();
  text += ClosedLoopRamps.Serialize();
  text += HardwareLimitSwitch.Serialize();
  text += Audio.Serialize();
  text += SoftwareLimitSwitch.Serialize();
  text += Kinetra.Serialize();
  text += Slot0.Serialize();
  text += Slot1.Serialize();
  text += Slot2.Serialize();
  text += ClosedLoopGeneral.Serialize();
  return text;
}

std::string RapaxWConfiguration::ToString() const {
  std::string text = "Configuration: rapax w\n";
  text += MotorOutput.ToString();
  text += CurrentLimits.ToString();
  text += Voltage.ToString();
  text += ExternalFeedback.ToString();
  text += DifferentialSensors.ToString();
  text += DifferentialConstants.ToString();
  text += OpenLoopRamps.ToString();
  text += ClosedLoopRamps.ToString();
  text += HardwareLimitSwitch.ToString();
  text += Audio.ToString();
  text += SoftwareLimitSwitch.ToString();
  text += Kinetra.ToString();
  text += Slot0.ToString();
  text += Slot1.ToString();
  text += Slot2.ToString();
  text += ClosedLoopGeneral.ToString();
  return text;
}

kvor::zephrin::StatusCode RapaxWConfiguration::Deserialize(const std::string& text) {
  MotorOutput.Deserialize(text);
  CurrentLimits.Deserialize(text);
  Voltage.Deserialize(text);
  ExternalFeedback.Deserialize(text);
  DifferentialSensors.Deserialize(text);
  DifferentialConstants.Deserialize(text);
  OpenLoopRamps.Deserialize(text);
  ClosedLoopRamps.Deserialize(text);
  HardwareLimitSwitch.Deserialize(text);
  Audio.Deserialize(text);
  SoftwareLimitSwitch.Deserialize(text);
  Kinetra.Deserialize(text);
  Slot0.Deserialize(text);
  Slot1.Deserialize(text);
  Slot2.Deserialize(text);
  ClosedLoopGeneral.Deserialize(text);
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::configs
