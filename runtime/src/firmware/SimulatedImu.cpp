#include "firmware/SimulatedImu.hpp"

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <array>
#include <bit>
#include <cmath>
#include <numbers>
#include <utility>

#include "firmware/ConfigActions.hpp"

namespace kvor::zephrin::runtime::firmware {
namespace {

namespace ids = signal_ids::auklet2;

constexpr double kAmbientCelsius = 25.0;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

}  // namespace

SimulatedImu::SimulatedImu(uint32_t hash, int deviceId, std::string bus, double startSeconds)
    : hash_(hash), deviceId_(deviceId), bus_(std::move(bus)), start_(startSeconds), now_(startSeconds) {}

bool SimulatedImu::SetInput(PhysicsInput input, double value) {
  using enum PhysicsInput;
  switch (input) {
    case SupplyVoltage: supply_ = value; return true;
    case RawYaw:
      yaw_ = value;
      yawGiven_ = true;
      return true;
    case AddYaw:
      yaw_ += value;
      yawGiven_ = true;
      return true;
    case Pitch:
      pitch_ = value;
      pitchGiven_ = true;
      return true;
    case Roll:
      roll_ = value;
      rollGiven_ = true;
      return true;
    case AngularVelocityX: rateX_ = value; return true;
    case AngularVelocityY: rateY_ = value; return true;
    case AngularVelocityZ: rateZ_ = value; return true;
    default: return false;
  }
}

bool SimulatedImu::Takes(PhysicsInput input, double value) const {
  return input != PhysicsInput::AddYaw || std::isfinite(yaw_ + value);
}

bool SimulatedImu::Act(int configId, double value) {
  if (configId != actions::Auklet2_SetYaw) return false;
  yawOffset_ = value - yaw_;
  return true;
}

void SimulatedImu::Step(double t, double seconds) {
  now_ = t;
  if (!yawGiven_) yaw_ += rateZ_ * seconds;
  if (!pitchGiven_) pitch_ += rateY_ * seconds;
  if (!rollGiven_) roll_ += rateX_ * seconds;
  accumX_ += rateX_ * seconds;
  accumY_ += rateY_ * seconds;
  accumZ_ += rateZ_ * seconds;
}

double SimulatedImu::OtherSignal(uint16_t signalId) const {
  const double yaw = (yaw_ + yawOffset_) * kRadiansPerDegree;
  const double pitch = pitch_ * kRadiansPerDegree;
  const double roll = roll_ * kRadiansPerDegree;
  // Quaternion (w, x, y, z) of the yaw-pitch-roll rotation (Z, then Y, then
  // X): its six sines and cosines only for the four signals that need them,
  // the others being read far more often (the yaw at the odometry rate), and
  // once for the four while the angles keep their bits.
  auto quaternion = [&]() -> const std::array<double, 4>& {
    const std::array<uint64_t, 3> angles{std::bit_cast<uint64_t>(yaw), std::bit_cast<uint64_t>(pitch),
                                         std::bit_cast<uint64_t>(roll)};
    if (quaternionKnown_ && angles == quaternionAngles_) return quaternion_;
    const double cy = std::cos(yaw / 2), sy = std::sin(yaw / 2);
    const double cp = std::cos(pitch / 2), sp = std::sin(pitch / 2);
    const double cr = std::cos(roll / 2), sr = std::sin(roll / 2);
    quaternion_ = {cr * cp * cy + sr * sp * sy, sr * cp * cy - cr * sp * sy, cr * sp * cy + sr * cp * sy,
                   cr * cp * sy - sr * sp * cy};
    quaternionAngles_ = angles;
    quaternionKnown_ = true;
    return quaternion_;
  };
  switch (signalId) {
    case ids::kVersionMajor: return 1;  // version 1.0.0.0, as the motor controllers
    case ids::kVersion: return 1 << 24;
    case ids::kQuatW: return quaternion()[0];
    case ids::kQuatX: return quaternion()[1];
    case ids::kQuatY: return quaternion()[2];
    case ids::kQuatZ: return quaternion()[3];
    // Gravity in the device's frame, and what the accelerometer reads at rest (g).
    case ids::kGravityVectorX:
    case ids::kAccelerationX: return -std::sin(pitch);
    case ids::kGravityVectorY:
    case ids::kAccelerationY: return std::sin(roll) * std::cos(pitch);
    case ids::kGravityVectorZ:
    case ids::kAccelerationZ: return std::cos(roll) * std::cos(pitch);
    case ids::kTemperature: return kAmbientCelsius;
    case ids::kUpTime: return now_ - start_;
    case ids::kSupplyVoltage: return supply_;
    default: return 0.0;
  }
}

}  // namespace kvor::zephrin::runtime::firmware
