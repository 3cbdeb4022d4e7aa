#include "sim/PhysicsInputs.hpp"

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

// Signal IDs come from the catalogue (tools/catalogue/signals.csv).
constexpr SignalEffect kRapaxSupply[] = {{2037, Value}};
constexpr SignalEffect kForwardLimit[] = {{2029, Value}};  // 1 Closed, 0 Open
constexpr SignalEffect kReverseLimit[] = {{2030, Value}};
// RotorPosition is the raw rotor; Position is what set-position re-zeroes.
constexpr SignalEffect kRotorPosition[] = {{2042, Value}, {2046, Difference}};
// Without a sensor-to-mechanism ratio (firmware simulation) the mechanism
// turns with the rotor.
constexpr SignalEffect kRotorVelocity[] = {{2041, Value}, {2045, Value}};
constexpr SignalEffect kRotorAcceleration[] = {{2047, Value}};

constexpr SignalEffect kAngulonSupply[] = {{2212, Value}};
// PositionSinceBoot ignores set-position; AbsolutePosition wraps.
constexpr SignalEffect kAngulonPosition[] = {{2211, Value}, {2208, HalfTurn}, {2207, Difference}};
constexpr SignalEffect kAngulonVelocity[] = {{2206, Value}, {2210, Value}};
constexpr SignalEffect kMagnetHealth[] = {{2213, Value}};

constexpr SignalEffect kAukletSupply[] = {{997, Value}};
constexpr SignalEffect kYaw[] = {{973, Difference}};
constexpr SignalEffect kPitch[] = {{974, Value}};
constexpr SignalEffect kRoll[] = {{975, Value}};
// With the IMU mounted flat the world and device rates agree.
constexpr SignalEffect kRateX[] = {{1000, Value}, {991, Value}};
constexpr SignalEffect kRateY[] = {{1001, Value}, {992, Value}};
constexpr SignalEffect kRateZ[] = {{1002, Value}, {993, Value}};

constexpr SignalEffect kDistixSupply[] = {{2391, Value}};
constexpr SignalEffect kDistance[] = {{2392, Value}};

constexpr SignalEffect kPortisSupply[] = {{2693, Value}};

using enum InputKind;

// Device types as bits, so that the two motor controllers share their rows.
constexpr uint32_t Bit(int32_t type) { return 1u << type; }
constexpr uint32_t kMotors = Bit(kRapaxQ) | Bit(kRapaxW);

constexpr InputRule kRules[] = {
    {kMotors, "SupplyVoltage", Set, "", kRapaxSupply},
    {kMotors, "ForwardLimit", Set, "", kForwardLimit},
    {kMotors, "ReverseLimit", Set, "", kReverseLimit},
    {kMotors, "RawRotorPosition", SetPosition, "rotor", kRotorPosition},
    {kMotors, "AddRotorPosition", AddPosition, "rotor", kRotorPosition},
    {kMotors, "RotorVelocity", Set, "", kRotorVelocity},
    {kMotors, "RotorAcceleration", Set, "", kRotorAcceleration},
    {Bit(kRapaxW), "RawQuadraturePosition", SetPosition, "quadrature", {}},
    {Bit(kRapaxW), "AddQuadraturePosition", AddPosition, "quadrature", {}},
    {Bit(kRapaxW), "QuadratureVelocity", Keep, "", {}},
    {Bit(kRapaxW), "QuadratureAcceleration", Keep, "", {}},
    {Bit(kRapaxW), "PulseWidthPosition", Keep, "", {}},
    {Bit(kRapaxW), "PulseWidthVelocity", Keep, "", {}},
    {Bit(kAngulon), "SupplyVoltage", Set, "", kAngulonSupply},
    {Bit(kAngulon), "RawPosition", SetPosition, "shaft", kAngulonPosition},
    {Bit(kAngulon), "AddPosition", AddPosition, "shaft", kAngulonPosition},
    {Bit(kAngulon), "Velocity", Set, "", kAngulonVelocity},
    {Bit(kAngulon), "MagnetHealth", Set, "", kMagnetHealth},
    {Bit(kAuklet2), "SupplyVoltage", Set, "", kAukletSupply},
    {Bit(kAuklet2), "RawYaw", SetPosition, "yaw", kYaw},
    {Bit(kAuklet2), "AddYaw", AddPosition, "yaw", kYaw},
    {Bit(kAuklet2), "Pitch", Set, "", kPitch},
    {Bit(kAuklet2), "Roll", Set, "", kRoll},
    {Bit(kAuklet2), "AngularVelocityX", Set, "", kRateX},
    {Bit(kAuklet2), "AngularVelocityY", Set, "", kRateY},
    {Bit(kAuklet2), "AngularVelocityZ", Set, "", kRateZ},
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
