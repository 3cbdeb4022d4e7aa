#pragma once

// RapaxWConfiguration: every configuration group of a rapax w motor controller and the external
// motor it drives in one value, so a program can set up the whole device with one Apply and read it
// back with one Refresh. Its text is the plain concatenation of its groups' texts. A plain value;
// copy it freely; it is not synchronised.

#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/configs/MotorOutputConfigs.hpp>
#include <kvor/zephrin6/configs/CurrentLimitsConfigs.hpp>
#include <kvor/zephrin6/configs/VoltageConfigs.hpp>
#include <kvor/zephrin6/configs/ExternalFeedbackConfigs.hpp>
#include <kvor/zephrin6/configs/DifferentialSensorsConfigs.hpp>
#include <kvor/zephrin6/configs/DifferentialConstantsConfigs.hpp>
#include <kvor/zephrin6/configs/OpenLoopRampsConfigs.hpp>
#include <kvor/zephrin6/configs/ClosedLoopRampsConfigs.hpp>
#include <kvor/zephrin6/configs/HardwareLimitSwitchConfigs.hpp>
#include <kvor/zephrin6/configs/AudioConfigs.hpp>
#include <kvor/zephrin6/configs/SoftwareLimitSwitchConfigs.hpp>
#include <kvor/zephrin6/configs/KinetraConfigs.hpp>
#include <kvor/zephrin6/configs/Slot0Configs.hpp>
#include <kvor/zephrin6/configs/Slot1Configs.hpp>
#include <kvor/zephrin6/configs/Slot2Configs.hpp>
#include <kvor/zephrin6/configs/ClosedLoopGeneralConfigs.hpp>

namespace kvor::zephrin6::configs {

class RapaxWConfiguration : public ParentConfiguration {
 public:
  /// The MotorOutput group.
  MotorOutputConfigs MotorOutput;
  /// The CurrentLimits group.
  CurrentLimitsConfigs CurrentLimits;
  /// The Voltage group.
  VoltageConfigs Voltage;
  /// The ExternalFeedback group.
  ExternalFeedbackConfigs ExternalFeedback;
  /// The DifferentialSensors group.
  DifferentialSensorsConfigs DifferentialSensors;
  /// The DifferentialConstants group.
  DifferentialConstantsConfigs DifferentialConstants;
  /// The OpenLoopRamps group.
  OpenLoopRampsConfigs OpenLoopRamps;
  /// The ClosedLoopRamps group.
  ClosedLoopRampsConfigs ClosedLoopRamps;
  /// The HardwareLimitSwitch group.
  HardwareLimitSwitchConfigs HardwareLimitSwitch;
  /// The Audio group.
  AudioConfigs Audio;
  /// The SoftwareLimitSwitch group.
  SoftwareLimitSwitchConfigs SoftwareLimitSwitch;
  /// The Kinetra group.
  KinetraConfigs Kinetra;
  /// The Slot0 group.
  Slot0Configs Slot0;
  /// The Slot1 group.
  Slot1Configs Slot1;
  /// The Slot2 group.
  Slot2Configs Slot2;
  /// The ClosedLoopGeneral group.
  ClosedLoopGeneralConfigs ClosedLoopGeneral;

  /// Replaces the MotorOutput group and returns this configuration for chaining.
  RapaxWConfiguration& WithMotorOutput(const MotorOutputConfigs& newValue) {
    MotorOutput = newValue;
    return *this;
  }
  /// Replaces the CurrentLimits group and returns this configuration for chaining.
  RapaxWConfiguration& WithCurrentLimits(const CurrentLimitsConfigs& newValue) {
    CurrentLimits = newValue;
    return *this;
  }
  /// Replaces the Voltage group and returns this configuration for chaining.
  RapaxWConfiguration& WithVoltage(const VoltageConfigs& newValue) {
    Voltage = newValue;
    return *this;
  }
  /// Replaces the ExternalFeedback group and returns this configuration for chaining.
  RapaxWConfiguration& WithExternalFeedback(const ExternalFeedbackConfigs& newValue) {
    ExternalFeedback = newValue;
    return *this;
  }
  /// Replaces the DifferentialSensors group and returns this configuration for chaining.
  RapaxWConfiguration& WithDifferentialSensors(const DifferentialSensorsConfigs& newValue) {
    DifferentialSensors = newValue;
    return *this;
  }
  /// Replaces the DifferentialConstants group and returns this configuration for chaining.
  RapaxWConfiguration& WithDifferentialConstants(const DifferentialConstantsConfigs& newValue) {
    DifferentialConstants = newValue;
    return *this;
  }
  /// Replaces the OpenLoopRamps group and returns this configuration for chaining.
  RapaxWConfiguration& WithOpenLoopRamps(const OpenLoopRampsConfigs& newValue) {
    OpenLoopRamps = newValue;
    return *this;
  }
  /// Replaces the ClosedLoopRamps group and returns this configuration for chaining.
  RapaxWConfiguration& WithClosedLoopRamps(const ClosedLoopRampsConfigs& newValue) {
    ClosedLoopRamps = newValue;
    return *this;
  }
  /// Replaces the HardwareLimitSwitch group and returns this configuration for chaining.
  RapaxWConfiguration& WithHardwareLimitSwitch(const HardwareLimitSwitchConfigs& newValue) {
    HardwareLimitSwitch = newValue;
    return *this;
  }
  /// Replaces the Audio group and returns this configuration for chaining.
  RapaxWConfiguration& WithAudio(const AudioConfigs& newValue) {
    Audio = newValue;
    return *this;
  }
  /// Replaces the SoftwareLimitSwitch group and returns this configuration for chaining.
  RapaxWConfiguration& WithSoftwareLimitSwitch(const SoftwareLimitSwitchConfigs& newValue) {
    SoftwareLimitSwitch = newValue;
    return *this;
  }
  /// Replaces the Kinetra group and returns this configuration for chaining.
  RapaxWConfiguration& WithKinetra(const KinetraConfigs& newValue) {
    Kinetra = newValue;
    return *this;
  }
  /// Replaces the Slot0 group and returns this configuration for chaining.
  RapaxWConfiguration& WithSlot0(const Slot0Configs& newValue) {
    Slot0 = newValue;
    return *this;
  }
  /// Replaces the Slot1 group and returns this configuration for chaining.
  RapaxWConfiguration& WithSlot1(const Slot1Configs& newValue) {
    Slot1 = newValue;
    return *this;
  }
  /// Replaces the Slot2 group and returns this configuration for chaining.
  RapaxWConfiguration& WithSlot2(const Slot2Configs& newValue) {
    Slot2 = newValue;
    return *this;
  }
  /// Replaces the ClosedLoopGeneral group and returns this configuration for chaining.
  RapaxWConfiguration& WithClosedLoopGeneral(const ClosedLoopGeneralConfigs& newValue) {
    ClosedLoopGeneral = newValue;
    return *this;
  }

  /// The config text of every group, in the order above.
  std::string Serialize() const override;
  /// The text of every group, each starting with its "Config Group:" line,
  /// after the line "Configuration: rapax w".
  std::string ToString() const override;
  /// Reads every group from `text`; values absent from it are kept. Returns OK.
  kvor::zephrin::StatusCode Deserialize(const std::string& text) override;
};

}  // namespace kvor::zephrin6::configs
