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
    {kMotors, "SupplyVoltage", Keep, "", {}},
    {kMotors, "ForwardLimit", Keep, "", {}},
    {kMotors, "ReverseLimit", Keep, "", {}},
    {kMotors, "RawRotorPosition", Keep, "", {}},
    {kMotors, "AddRotorPosition", Keep, "", {}},
    {kMotors, "RotorVelocity", Keep, "", {}},
    {kMotors, "RotorAcceleration", Keep, "", {}},
    {kMotors, "DeviceEnable", Keep, "", {}},
    {Bit(kRapaxW), "RawQuadraturePosition", Keep, "", {}},
    {Bit(kRapaxW), "AddQuadraturePosition", Keep, "", {}},
    {Bit(kRapaxW), "QuadratureVelocity", Keep, "", {}},
    {Bit(kRapaxW), "QuadratureAcceleration", Keep, "", {}},
    {Bit(kRapaxW), "PulseWidthPosition", Keep, "", {}},
    {Bit(kRapaxW), "PulseWidthVelocity", Keep, "", {}},
    {Bit(kAngulon), "SupplyVoltage", Set, "", kAngulonSupply},
    {Bit(kAngulon), "RawPosition", SetPosition, "shaft", kAngulonPosition},
    {Bit(kAngulon), "AddPosition", AddPosition, "shaft", kAngulonPosition},
    {Bit(kAngulon), "Velocity", Set, "", kAngulonVelocity},
    {Bit(kAngulon), "MagnetHealth", Set, "", kMagnetHealth},
    {Bit(kAuklet2), "SupplyVoltage", Keep, "", {}},
    {Bit(kAuklet2), "RawYaw", Keep, "", {}},
    {Bit(kAuklet2), "AddYaw", Keep, "", {}},
    {Bit(kAuklet2), "Pitch", Keep, "", {}},
    {Bit(kAuklet2), "Roll", Keep, "", {}},
    {Bit(kAuklet2), "AngularVelocityX", Keep, "", {}},
    {Bit(kAuklet2), "AngularVelocityY", Keep, "", {}},
    {Bit(kAuklet2), "AngularVelocityZ", Keep, "", {}},
    {Bit(kDistix), "SupplyVoltage", Set, "", kDistixSupply},
    {Bit(kDistix), "Distance", Set, "", kDistance},
    {Bit(kPortis), "SupplyVoltage", Set, "", kPortisSupply},
};


}  // namespace

const InputRule* FindInput(int32_t deviceType, std::string_view name) {
  for (const InputRule& rule : kRules) {
    if (deviceType >= 0 && deviceType < 32 && (rule.deviceTypes & Bit(deviceType)) != 0 && rule.name == name) {
      return &rule;
    }
  }
  return nullptr;
}

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
