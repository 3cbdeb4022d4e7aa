#include "sim/PhysicsInputs.hpp"

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <array>

namespace kvor::zephrin::runtime::sim {
namespace {

constexpr int32_t kRapaxQ = 5;
constexpr int32_t kAngulon = 6;
constexpr int32_t kAuklet2 = 7;
constexpr int32_t kRapaxW = 8;
constexpr int32_t kDistix = 9;
constexpr int32_t kPortis = 10;

using enum Follow;

namespace angulon = signal_ids::angulon;
constexpr SignalEffect kAngulonSupply[] = {{angulon::kSupplyVoltage, Value}};
// PositionSinceBoot ignores set-position; AbsolutePosition wraps.
constexpr SignalEffect kAngulonPosition[] = {
    {angulon::kPositionSinceBoot, Value}, {angulon::kAbsolutePosition, HalfTurn}, {angulon::kPosition, Difference}};
constexpr SignalEffect kAngulonVelocity[] = {{angulon::kVelocity, Value}, {angulon::kUnfilteredVelocity, Value}};
constexpr SignalEffect kMagnetHealth[] = {{angulon::kMagnetHealth, Value}};

constexpr SignalEffect kDistixSupply[] = {{signal_ids::distix::kSupplyVoltage, Value}};
constexpr SignalEffect kDistance[] = {{signal_ids::distix::kDistance, Value}};

constexpr SignalEffect kPortisSupply[] = {{signal_ids::portis::kSupplyVoltage, Value}};

using enum InputKind;

// Device types as bits, so that the two motor controllers share their rows.
constexpr uint32_t Bit(int32_t type) { return 1u << type; }
constexpr uint32_t kMotors = Bit(kRapaxQ) | Bit(kRapaxW);

// The motor controllers and the IMU run simulated firmware, which takes
// their inputs itself (firmware/FirmwareService.hpp): their rows only name them.
constexpr InputRule kRules[] = {
    {kMotors, "SupplyVoltage", PhysicsInput::SupplyVoltage, Keep, {}},
    {kMotors, "ForwardLimit", PhysicsInput::ForwardLimit, Keep, {}},
    {kMotors, "ReverseLimit", PhysicsInput::ReverseLimit, Keep, {}},
    {kMotors, "RawRotorPosition", PhysicsInput::RawRotorPosition, Keep, {}},
    {kMotors, "AddRotorPosition", PhysicsInput::AddRotorPosition, Keep, {}},
    {kMotors, "RotorVelocity", PhysicsInput::RotorVelocity, Keep, {}},
    {kMotors, "RotorAcceleration", PhysicsInput::RotorAcceleration, Keep, {}},
    {kMotors, "DeviceEnable", PhysicsInput::DeviceEnable, Keep, {}},
    {Bit(kRapaxW), "RawQuadraturePosition", PhysicsInput::RawQuadraturePosition, Keep, {}},
    {Bit(kRapaxW), "AddQuadraturePosition", PhysicsInput::AddQuadraturePosition, Keep, {}},
    {Bit(kRapaxW), "QuadratureVelocity", PhysicsInput::QuadratureVelocity, Keep, {}},
    {Bit(kRapaxW), "QuadratureAcceleration", PhysicsInput::QuadratureAcceleration, Keep, {}},
    {Bit(kRapaxW), "PulseWidthPosition", PhysicsInput::PulseWidthPosition, Keep, {}},
    {Bit(kRapaxW), "PulseWidthVelocity", PhysicsInput::PulseWidthVelocity, Keep, {}},
    {Bit(kAngulon), "SupplyVoltage", PhysicsInput::SupplyVoltage, Set, kAngulonSupply},
    {Bit(kAngulon), "RawPosition", PhysicsInput::RawPosition, SetPosition, kAngulonPosition},
    {Bit(kAngulon), "AddPosition", PhysicsInput::AddPosition, AddPosition, kAngulonPosition},
    {Bit(kAngulon), "Velocity", PhysicsInput::Velocity, Set, kAngulonVelocity},
    {Bit(kAngulon), "MagnetHealth", PhysicsInput::MagnetHealth, Set, kMagnetHealth},
    {Bit(kAuklet2), "SupplyVoltage", PhysicsInput::SupplyVoltage, Keep, {}},
    {Bit(kAuklet2), "RawYaw", PhysicsInput::RawYaw, Keep, {}},
    {Bit(kAuklet2), "AddYaw", PhysicsInput::AddYaw, Keep, {}},
    {Bit(kAuklet2), "Pitch", PhysicsInput::Pitch, Keep, {}},
    {Bit(kAuklet2), "Roll", PhysicsInput::Roll, Keep, {}},
    {Bit(kAuklet2), "AngularVelocityX", PhysicsInput::AngularVelocityX, Keep, {}},
    {Bit(kAuklet2), "AngularVelocityY", PhysicsInput::AngularVelocityY, Keep, {}},
    {Bit(kAuklet2), "AngularVelocityZ", PhysicsInput::AngularVelocityZ, Keep, {}},
    {Bit(kDistix), "SupplyVoltage", PhysicsInput::SupplyVoltage, Set, kDistixSupply},
    {Bit(kDistix), "Distance", PhysicsInput::Distance, Set, kDistance},
    {Bit(kPortis), "SupplyVoltage", PhysicsInput::SupplyVoltage, Set, kPortisSupply},
};

bool AppliesTo(const InputRule& rule, int32_t deviceType) {
  return deviceType >= 0 && deviceType < 32 && (rule.deviceTypes & Bit(deviceType)) != 0;
}

}  // namespace

const InputRule* FindInput(int32_t deviceType, std::string_view name) {
  for (const InputRule& rule : kRules) {
    if (AppliesTo(rule, deviceType) && rule.name == name) return &rule;
  }
  return nullptr;
}

int32_t IndexOf(const InputRule& rule) { return static_cast<int32_t>(&rule - kRules); }

const InputRule* InputAt(int32_t deviceType, int32_t index) {
  if (index < 0 || index >= InputCount()) return nullptr;
  const InputRule& rule = kRules[index];
  return AppliesTo(rule, deviceType) ? &rule : nullptr;
}

int32_t InputCount() { return static_cast<int32_t>(std::size(kRules)); }

std::string_view ModelOfType(int32_t deviceType) {
  switch (deviceType) {
    case kRapaxQ: return "rapax q";
    case kAngulon: return "angulon";
    case kAuklet2: return "auklet 2";
    case kRapaxW: return "rapax w";
    case kDistix: return "distix";
    case kPortis: return "portis";
    default: return "";
  }
}

}  // namespace kvor::zephrin::runtime::sim
