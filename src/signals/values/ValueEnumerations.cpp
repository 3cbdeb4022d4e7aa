// Text forms of every value enumeration. The numbers live in the class
// headers; each table here pairs those constants with their names, so a
// number is written down exactly once.

#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/signals/InvertedValue.hpp>
#include <kvor/zephrin6/signals/GravityTypeValue.hpp>
#include <kvor/zephrin6/signals/StaticFeedforwardSignValue.hpp>
#include <kvor/zephrin6/signals/DifferentialSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/AppliedRotorPolarityValue.hpp>
#include <kvor/zephrin6/signals/BridgeOutputValue.hpp>
#include <kvor/zephrin6/signals/ConnectedMotorValue.hpp>
#include <kvor/zephrin6/signals/ControlModeValue.hpp>
#include <kvor/zephrin6/signals/DeviceEnableValue.hpp>
#include <kvor/zephrin6/signals/DifferentialControlModeValue.hpp>
#include <kvor/zephrin6/signals/ExternalMotorTempStatusValue.hpp>
#include <kvor/zephrin6/signals/ForwardLimitValue.hpp>
#include <kvor/zephrin6/signals/MagnetHealthValue.hpp>
#include <kvor/zephrin6/signals/MeasurementHealthValue.hpp>
#include <kvor/zephrin6/signals/KinetraIsRunningValue.hpp>
#include <kvor/zephrin6/signals/MotorOutputStatusValue.hpp>
#include <kvor/zephrin6/signals/ReverseLimitValue.hpp>
#include <kvor/zephrin6/signals/S1StateValue.hpp>
#include <kvor/zephrin6/signals/S2StateValue.hpp>
#include <kvor/zephrin6/signals/FeedbackSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/ExternalFeedbackSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/LimitSwitchSourceValue.hpp>
#include <kvor/zephrin6/signals/LimitSwitchTypeValue.hpp>
#include <kvor/zephrin6/signals/SensorDirectionValue.hpp>
#include <kvor/zephrin6/signals/FloatStateValue.hpp>
#include <kvor/zephrin6/signals/CloseStateValue.hpp>

#include <ostream>

#include "signals/values/internal/ValueText.hpp"

namespace kvor::zephrin6::signals {
namespace {

using internal::ValueName;
constexpr ValueName Row(int value, const char* name) { return ValueName{value, name}; }

constexpr ValueName kNeutralMode[] = {
    Row(NeutralModeValue::Coast, "Coast"),
    Row(NeutralModeValue::Brake, "Brake")};
constexpr ValueName kInverted[] = {
    Row(InvertedValue::CounterClockwise_Positive, "CounterClockwise_Positive"),
    Row(InvertedValue::Clockwise_Positive, "Clockwise_Positive")};
constexpr ValueName kGravityType[] = {
    Row(GravityTypeValue::Elevator_Static, "Elevator_Static"),
    Row(GravityTypeValue::Arm_Cosine, "Arm_Cosine")};
constexpr ValueName kStaticFeedforwardSign[] = {
    Row(StaticFeedforwardSignValue::UseVelocitySign, "UseVelocitySign"),
    Row(StaticFeedforwardSignValue::UseClosedLoopSign, "UseClosedLoopSign")};
constexpr ValueName kDifferentialSensorSource[] = {
    Row(DifferentialSensorSourceValue::Disabled, "Disabled"),
    Row(DifferentialSensorSourceValue::RemoteRapaxQ_Diff, "RemoteRapaxQ_Diff"),
    Row(DifferentialSensorSourceValue::RemoteAuklet2_Yaw, "RemoteAuklet2_Yaw"),
    Row(DifferentialSensorSourceValue::RemoteAuklet2_Pitch, "RemoteAuklet2_Pitch"),
    Row(DifferentialSensorSourceValue::RemoteAuklet2_Roll, "RemoteAuklet2_Roll"),
    Row(DifferentialSensorSourceValue::RemoteAngulon, "RemoteAngulon")};
constexpr ValueName kAppliedRotorPolarity[] = {
    Row(AppliedRotorPolarityValue::PositiveIsCounterClockwise, "PositiveIsCounterClockwise"),
    Row(AppliedRotorPolarityValue::PositiveIsClockwise, "PositiveIsClockwise")};
constexpr ValueName kBridgeOutput[] = {
    Row(BridgeOutputValue::Coast, "Coast"),
    Row(BridgeOutputValue::Brake, "Brake"),
    Row(BridgeOutputValue::Trapezoidal, "Trapezoidal"),
    Row(BridgeOutputValue::FieldOriented, "FieldOriented"),
    Row(BridgeOutputValue::MusicTone, "MusicTone"),
    Row(BridgeOutputValue::FaultBrake, "FaultBrake"),
    Row(BridgeOutputValue::FaultCoast, "FaultCoast"),
    Row(BridgeOutputValue::ActiveBrake, "ActiveBrake")};
constexpr ValueName kConnectedMotor[] = {
    Row(ConnectedMotorValue::Unknown, "Unknown"),
    Row(ConnectedMotorValue::Integrated, "Integrated"),
    Row(ConnectedMotorValue::BrushedDC, "BrushedDC"),
    Row(ConnectedMotorValue::BrushlessHall, "BrushlessHall"),
    Row(ConnectedMotorValue::BrushlessSensorless, "BrushlessSensorless")};
constexpr ValueName kControlMode[] = {
    Row(ControlModeValue::DisabledOutput, "DisabledOutput"),
    Row(ControlModeValue::NeutralOut, "NeutralOut"),
    Row(ControlModeValue::StaticBrake, "StaticBrake"),
    Row(ControlModeValue::CoastOut, "CoastOut"),
    Row(ControlModeValue::DutyCycleOut, "DutyCycleOut"),
    Row(ControlModeValue::PositionDutyCycle, "PositionDutyCycle"),
    Row(ControlModeValue::VelocityDutyCycle, "VelocityDutyCycle"),
    Row(ControlModeValue::KinetraDutyCycle, "KinetraDutyCycle"),
    Row(ControlModeValue::KinetraVelocityDutyCycle, "KinetraVelocityDutyCycle"),
    Row(ControlModeValue::KinetraExpoDutyCycle, "KinetraExpoDutyCycle"),
    Row(ControlModeValue::DynamicKinetraDutyCycle, "DynamicKinetraDutyCycle"),
    Row(ControlModeValue::VoltageOut, "VoltageOut"),
    Row(ControlModeValue::PositionVoltage, "PositionVoltage"),
    Row(ControlModeValue::VelocityVoltage, "VelocityVoltage"),
    Row(ControlModeValue::KinetraVoltage, "KinetraVoltage"),
    Row(ControlModeValue::KinetraVelocityVoltage, "KinetraVelocityVoltage"),
    Row(ControlModeValue::KinetraExpoVoltage, "KinetraExpoVoltage"),
    Row(ControlModeValue::DynamicKinetraVoltage, "DynamicKinetraVoltage"),
    Row(ControlModeValue::TorqueCurrentFOC, "TorqueCurrentFOC"),
    Row(ControlModeValue::PositionTorqueCurrentFOC, "PositionTorqueCurrentFOC"),
    Row(ControlModeValue::VelocityTorqueCurrentFOC, "VelocityTorqueCurrentFOC"),
    Row(ControlModeValue::KinetraTorqueCurrentFOC, "KinetraTorqueCurrentFOC"),
    Row(ControlModeValue::KinetraVelocityTorqueCurrentFOC, "KinetraVelocityTorqueCurrentFOC"),
    Row(ControlModeValue::KinetraExpoTorqueCurrentFOC, "KinetraExpoTorqueCurrentFOC"),
    Row(ControlModeValue::DynamicKinetraTorqueCurrentFOC, "DynamicKinetraTorqueCurrentFOC"),
    Row(ControlModeValue::Follower, "Follower"),
    Row(ControlModeValue::StrictFollower, "StrictFollower"),
    Row(ControlModeValue::DifferentialFollower, "DifferentialFollower"),
    Row(ControlModeValue::DifferentialStrictFollower, "DifferentialStrictFollower"),
    Row(ControlModeValue::DifferentialDutyCycle, "DifferentialDutyCycle"),
    Row(ControlModeValue::DifferentialVoltage, "DifferentialVoltage"),
    Row(ControlModeValue::DifferentialPositionDutyCycle, "DifferentialPositionDutyCycle"),
    Row(ControlModeValue::DifferentialPositionVoltage, "DifferentialPositionVoltage"),
    Row(ControlModeValue::DifferentialVelocityDutyCycle, "DifferentialVelocityDutyCycle"),
    Row(ControlModeValue::DifferentialVelocityVoltage, "DifferentialVelocityVoltage"),
    Row(ControlModeValue::DifferentialKinetraDutyCycle, "DifferentialKinetraDutyCycle"),
    Row(ControlModeValue::DifferentialKinetraVoltage, "DifferentialKinetraVoltage"),
    Row(ControlModeValue::MusicTone, "MusicTone"),
    Row(ControlModeValue::UnsupportedFeature, "UnsupportedFeature")};
constexpr ValueName kDeviceEnable[] = {
    Row(DeviceEnableValue::Disabled, "Disabled"),
    Row(DeviceEnableValue::Enabled, "Enabled")};
constexpr ValueName kDifferentialControlMode[] = {
    Row(DifferentialControlModeValue::DisabledOutput, "DisabledOutput"),
    Row(DifferentialControlModeValue::NeutralOut, "NeutralOut"),
    Row(DifferentialControlModeValue::StaticBrake, "StaticBrake"),
    Row(DifferentialControlModeValue::CoastOut, "CoastOut"),
    Row(DifferentialControlModeValue::DutyCycleOut, "DutyCycleOut"),
    Row(DifferentialControlModeValue::PositionDutyCycle, "PositionDutyCycle"),
    Row(DifferentialControlModeValue::VelocityDutyCycle, "VelocityDutyCycle"),
    Row(DifferentialControlModeValue::KinetraDutyCycle, "KinetraDutyCycle"),
    Row(DifferentialControlModeValue::VoltageOut, "VoltageOut"),
    Row(DifferentialControlModeValue::PositionVoltage, "PositionVoltage"),
    Row(DifferentialControlModeValue::VelocityVoltage, "VelocityVoltage"),
    Row(DifferentialControlModeValue::KinetraVoltage, "KinetraVoltage"),
    Row(DifferentialControlModeValue::TorqueCurrentFOC, "TorqueCurrentFOC"),
    Row(DifferentialControlModeValue::PositionTorqueCurrentFOC, "PositionTorqueCurrentFOC"),
    Row(DifferentialControlModeValue::VelocityTorqueCurrentFOC, "VelocityTorqueCurrentFOC"),
    Row(DifferentialControlModeValue::KinetraTorqueCurrentFOC, "KinetraTorqueCurrentFOC"),
    Row(DifferentialControlModeValue::Follower, "Follower"),
    Row(DifferentialControlModeValue::StrictFollower, "StrictFollower")};
constexpr ValueName kExternalMotorTempStatus[] = {
    Row(ExternalMotorTempStatusValue::NotUsed, "NotUsed"),
    Row(ExternalMotorTempStatusValue::Collecting, "Collecting"),
    Row(ExternalMotorTempStatusValue::Normal, "Normal"),
    Row(ExternalMotorTempStatusValue::TooHot, "TooHot"),
    Row(ExternalMotorTempStatusValue::Disconnected, "Disconnected"),
    Row(ExternalMotorTempStatusValue::ShortedOrWrongSensor, "ShortedOrWrongSensor")};
constexpr ValueName kForwardLimit[] = {
    Row(ForwardLimitValue::Open, "Open"),
    Row(ForwardLimitValue::Closed, "Closed")};
constexpr ValueName kMagnetHealth[] = {
    Row(MagnetHealthValue::Good, "Good"),
    Row(MagnetHealthValue::Marginal, "Marginal"),
    Row(MagnetHealthValue::Bad, "Bad"),
    Row(MagnetHealthValue::Missing, "Missing")};
constexpr ValueName kMeasurementHealth[] = {
    Row(MeasurementHealthValue::Good, "Good"),
    Row(MeasurementHealthValue::Limited, "Limited"),
    Row(MeasurementHealthValue::Bad, "Bad")};
constexpr ValueName kKinetraIsRunning[] = {
    Row(KinetraIsRunningValue::NotRunning, "NotRunning"),
    Row(KinetraIsRunningValue::Running, "Running")};
constexpr ValueName kMotorOutputStatus[] = {
    Row(MotorOutputStatusValue::Off, "Off"),
    Row(MotorOutputStatusValue::Motoring, "Motoring"),
    Row(MotorOutputStatusValue::RegenerativeBraking, "RegenerativeBraking"),
    Row(MotorOutputStatusValue::StaticBraking, "StaticBraking"),
    Row(MotorOutputStatusValue::DiscordantMotoring, "DiscordantMotoring"),
    Row(MotorOutputStatusValue::Unknown, "Unknown")};
constexpr ValueName kReverseLimit[] = {
    Row(ReverseLimitValue::Open, "Open"),
    Row(ReverseLimitValue::Closed, "Closed")};
constexpr ValueName kS1State[] = {
    Row(S1StateValue::Floating, "Floating"),
    Row(S1StateValue::Low, "Low"),
    Row(S1StateValue::High, "High"),
    Row(S1StateValue::Oscillating, "Oscillating")};
constexpr ValueName kS2State[] = {
    Row(S2StateValue::Floating, "Floating"),
    Row(S2StateValue::Low, "Low"),
    Row(S2StateValue::High, "High"),
    Row(S2StateValue::Oscillating, "Oscillating")};
constexpr ValueName kFeedbackSensorSource[] = {
    Row(FeedbackSensorSourceValue::RotorSensor, "RotorSensor"),
    Row(FeedbackSensorSourceValue::RemoteAngulon, "RemoteAngulon"),
    Row(FeedbackSensorSourceValue::RemotePortisQuadrature, "RemotePortisQuadrature"),
    Row(FeedbackSensorSourceValue::RemotePortisPWM1, "RemotePortisPWM1"),
    Row(FeedbackSensorSourceValue::RemotePortisPWM2, "RemotePortisPWM2"),
    Row(FeedbackSensorSourceValue::FusedAngulon, "FusedAngulon"),
    Row(FeedbackSensorSourceValue::SyncAngulon, "SyncAngulon")};
constexpr ValueName kExternalFeedbackSensorSource[] = {
    Row(ExternalFeedbackSensorSourceValue::Commutation, "Commutation"),
    Row(ExternalFeedbackSensorSourceValue::RemoteAngulon, "RemoteAngulon"),
    Row(ExternalFeedbackSensorSourceValue::Quadrature, "Quadrature"),
    Row(ExternalFeedbackSensorSourceValue::PulseWidth, "PulseWidth"),
    Row(ExternalFeedbackSensorSourceValue::RemotePortisQuadrature, "RemotePortisQuadrature"),
    Row(ExternalFeedbackSensorSourceValue::FusedAngulon, "FusedAngulon"),
    Row(ExternalFeedbackSensorSourceValue::SyncAngulon, "SyncAngulon")};
constexpr ValueName kLimitSwitchSource[] = {
    Row(LimitSwitchSourceValue::LimitSwitchPin, "LimitSwitchPin"),
    Row(LimitSwitchSourceValue::RemoteRapaxQ, "RemoteRapaxQ"),
    Row(LimitSwitchSourceValue::RemotePortisS1, "RemotePortisS1"),
    Row(LimitSwitchSourceValue::Disabled, "Disabled"),
    Row(LimitSwitchSourceValue::RemoteAngulon, "RemoteAngulon"),
    Row(LimitSwitchSourceValue::RemotePortisS2, "RemotePortisS2")};
constexpr ValueName kLimitSwitchType[] = {
    Row(LimitSwitchTypeValue::NormallyOpen, "NormallyOpen"),
    Row(LimitSwitchTypeValue::NormallyClosed, "NormallyClosed")};
constexpr ValueName kSensorDirection[] = {
    Row(SensorDirectionValue::CounterClockwise_Positive, "CounterClockwise_Positive"),
    Row(SensorDirectionValue::Clockwise_Positive, "Clockwise_Positive")};
constexpr ValueName kFloatState[] = {
    Row(FloatStateValue::FloatDetect, "FloatDetect"),
    Row(FloatStateValue::PullHigh, "PullHigh"),
    Row(FloatStateValue::PullLow, "PullLow"),
    Row(FloatStateValue::BusKeeper, "BusKeeper")};
constexpr ValueName kCloseState[] = {
    Row(CloseStateValue::CloseWhenNotFloating, "CloseWhenNotFloating"),
    Row(CloseStateValue::CloseWhenFloating, "CloseWhenFloating"),
    Row(CloseStateValue::CloseWhenNotHigh, "CloseWhenNotHigh"),
    Row(CloseStateValue::CloseWhenHigh, "CloseWhenHigh"),
    Row(CloseStateValue::CloseWhenNotLow, "CloseWhenNotLow"),
    Row(CloseStateValue::CloseWhenLow, "CloseWhenLow")};

}  // namespace

std::string NeutralModeValue::Serialize() const { return internal::SerializeValue(value); }
std::string NeutralModeValue::ToString() const { return internal::NameOf(kNeutralMode, value); }
std::ostream& operator<<(std::ostream& os, const NeutralModeValue& v) { return os << internal::NameOf(kNeutralMode, v.value); }

std::string InvertedValue::Serialize() const { return internal::SerializeValue(value); }
std::string InvertedValue::ToString() const { return internal::NameOf(kInverted, value); }
std::ostream& operator<<(std::ostream& os, const InvertedValue& v) { return os << internal::NameOf(kInverted, v.value); }

std::string GravityTypeValue::Serialize() const { return internal::SerializeValue(value); }
std::string GravityTypeValue::ToString() const { return internal::NameOf(kGravityType, value); }
std::ostream& operator<<(std::ostream& os, const GravityTypeValue& v) { return os << internal::NameOf(kGravityType, v.value); }

std::string StaticFeedforwardSignValue::Serialize() const { return internal::SerializeValue(value); }
std::string StaticFeedforwardSignValue::ToString() const { return internal::NameOf(kStaticFeedforwardSign, value); }
std::ostream& operator<<(std::ostream& os, const StaticFeedforwardSignValue& v) { return os << internal::NameOf(kStaticFeedforwardSign, v.value); }

std::string DifferentialSensorSourceValue::Serialize() const { return internal::SerializeValue(value); }
std::string DifferentialSensorSourceValue::ToString() const { return internal::NameOf(kDifferentialSensorSource, value); }
std::ostream& operator<<(std::ostream& os, const DifferentialSensorSourceValue& v) { return os << internal::NameOf(kDifferentialSensorSource, v.value); }

std::string AppliedRotorPolarityValue::Serialize() const { return internal::SerializeValue(value); }
std::string AppliedRotorPolarityValue::ToString() const { return internal::NameOf(kAppliedRotorPolarity, value); }
std::ostream& operator<<(std::ostream& os, const AppliedRotorPolarityValue& v) { return os << internal::NameOf(kAppliedRotorPolarity, v.value); }

std::string BridgeOutputValue::Serialize() const { return internal::SerializeValue(value); }
std::string BridgeOutputValue::ToString() const { return internal::NameOf(kBridgeOutput, value); }
std::ostream& operator<<(std::ostream& os, const BridgeOutputValue& v) { return os << internal::NameOf(kBridgeOutput, v.value); }

std::string ConnectedMotorValue::Serialize() const { return internal::SerializeValue(value); }
std::string ConnectedMotorValue::ToString() const { return internal::NameOf(kConnectedMotor, value); }
std::ostream& operator<<(std::ostream& os, const ConnectedMotorValue& v) { return os << internal::NameOf(kConnectedMotor, v.value); }

std::string ControlModeValue::Serialize() const { return internal::SerializeValue(value); }
std::string ControlModeValue::ToString() const { return internal::NameOf(kControlMode, value); }
std::ostream& operator<<(std::ostream& os, const ControlModeValue& v) { return os << internal::NameOf(kControlMode, v.value); }

std::string DeviceEnableValue::Serialize() const { return internal::SerializeValue(value); }
std::string DeviceEnableValue::ToString() const { return internal::NameOf(kDeviceEnable, value); }
std::ostream& operator<<(std::ostream& os, const DeviceEnableValue& v) { return os << internal::NameOf(kDeviceEnable, v.value); }

std::string DifferentialControlModeValue::Serialize() const { return internal::SerializeValue(value); }
std::string DifferentialControlModeValue::ToString() const { return internal::NameOf(kDifferentialControlMode, value); }
std::ostream& operator<<(std::ostream& os, const DifferentialControlModeValue& v) { return os << internal::NameOf(kDifferentialControlMode, v.value); }

std::string ExternalMotorTempStatusValue::Serialize() const { return internal::SerializeValue(value); }
std::string ExternalMotorTempStatusValue::ToString() const { return internal::NameOf(kExternalMotorTempStatus, value); }
std::ostream& operator<<(std::ostream& os, const ExternalMotorTempStatusValue& v) { return os << internal::NameOf(kExternalMotorTempStatus, v.value); }

std::string ForwardLimitValue::Serialize() const { return internal::SerializeValue(value); }
std::string ForwardLimitValue::ToString() const { return internal::NameOf(kForwardLimit, value); }
std::ostream& operator<<(std::ostream& os, const ForwardLimitValue& v) { return os << internal::NameOf(kForwardLimit, v.value); }

std::string MagnetHealthValue::Serialize() const { return internal::SerializeValue(value); }
std::string MagnetHealthValue::ToString() const { return internal::NameOf(kMagnetHealth, value); }
std::ostream& operator<<(std::ostream& os, const MagnetHealthValue& v) { return os << internal::NameOf(kMagnetHealth, v.value); }

std::string MeasurementHealthValue::Serialize() const { return internal::SerializeValue(value); }
std::string MeasurementHealthValue::ToString() const { return internal::NameOf(kMeasurementHealth, value); }
std::ostream& operator<<(std::ostream& os, const MeasurementHealthValue& v) { return os << internal::NameOf(kMeasurementHealth, v.value); }

std::string KinetraIsRunningValue::Serialize() const { return internal::SerializeValue(value); }
std::string KinetraIsRunningValue::ToString() const { return internal::NameOf(kKinetraIsRunning, value); }
std::ostream& operator<<(std::ostream& os, const KinetraIsRunningValue& v) { return os << internal::NameOf(kKinetraIsRunning, v.value); }

std::string MotorOutputStatusValue::Serialize() const { return internal::SerializeValue(value); }
std::string MotorOutputStatusValue::ToString() const { return internal::NameOf(kMotorOutputStatus, value); }
std::ostream& operator<<(std::ostream& os, const MotorOutputStatusValue& v) { return os << internal::NameOf(kMotorOutputStatus, v.value); }

std::string ReverseLimitValue::Serialize() const { return internal::SerializeValue(value); }
std::string ReverseLimitValue::ToString() const { return internal::NameOf(kReverseLimit, value); }
std::ostream& operator<<(std::ostream& os, const ReverseLimitValue& v) { return os << internal::NameOf(kReverseLimit, v.value); }

std::string S1StateValue::Serialize() const { return internal::SerializeValue(value); }
std::string S1StateValue::ToString() const { return internal::NameOf(kS1State, value); }
std::ostream& operator<<(std::ostream& os, const S1StateValue& v) { return os << internal::NameOf(kS1State, v.value); }

std::string S2StateValue::Serialize() const { return internal::SerializeValue(value); }
std::string S2StateValue::ToString() const { return internal::NameOf(kS2State, value); }
std::ostream& operator<<(std::ostream& os, const S2StateValue& v) { return os << internal::NameOf(kS2State, v.value); }

std::string FeedbackSensorSourceValue::Serialize() const { return internal::SerializeValue(value); }
std::string FeedbackSensorSourceValue::ToString() const { return internal::NameOf(kFeedbackSensorSource, value); }
std::ostream& operator<<(std::ostream& os, const FeedbackSensorSourceValue& v) { return os << internal::NameOf(kFeedbackSensorSource, v.value); }

std::string ExternalFeedbackSensorSourceValue::Serialize() const { return internal::SerializeValue(value); }
std::string ExternalFeedbackSensorSourceValue::ToString() const { return internal::NameOf(kExternalFeedbackSensorSource, value); }
std::ostream& operator<<(std::ostream& os, const ExternalFeedbackSensorSourceValue& v) { return os << internal::NameOf(kExternalFeedbackSensorSource, v.value); }

std::string LimitSwitchSourceValue::Serialize() const { return internal::SerializeValue(value); }
std::string LimitSwitchSourceValue::ToString() const { return internal::NameOf(kLimitSwitchSource, value); }
std::ostream& operator<<(std::ostream& os, const LimitSwitchSourceValue& v) { return os << internal::NameOf(kLimitSwitchSource, v.value); }

std::string LimitSwitchTypeValue::Serialize() const { return internal::SerializeValue(value); }
std::string LimitSwitchTypeValue::ToString() const { return internal::NameOf(kLimitSwitchType, value); }
std::ostream& operator<<(std::ostream& os, const LimitSwitchTypeValue& v) { return os << internal::NameOf(kLimitSwitchType, v.value); }

std::string SensorDirectionValue::Serialize() const { return internal::SerializeValue(value); }
std::string SensorDirectionValue::ToString() const { return internal::NameOf(kSensorDirection, value); }
std::ostream& operator<<(std::ostream& os, const SensorDirectionValue& v) { return os << internal::NameOf(kSensorDirection, v.value); }

std::string FloatStateValue::Serialize() const { return internal::SerializeValue(value); }
std::string FloatStateValue::ToString() const { return internal::NameOf(kFloatState, value); }
std::ostream& operator<<(std::ostream& os, const FloatStateValue& v) { return os << internal::NameOf(kFloatState, v.value); }

std::string CloseStateValue::Serialize() const { return internal::SerializeValue(value); }
std::string CloseStateValue::ToString() const { return internal::NameOf(kCloseState, value); }
std::ostream& operator<<(std::ostream& os, const CloseStateValue& v) { return os << internal::NameOf(kCloseState, v.value); }

}  // namespace kvor::zephrin6::signals
