#include "firmware/SimulatedImu.hpp"

#include <cmath>
#include <numbers>
#include <utility>

namespace kvor::zephrin::runtime::firmware {
namespace {

constexpr int kSetYawAction = 3901;
constexpr double kAmbientCelsius = 25.0;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

}  // namespace

SimulatedImu::SimulatedImu(uint32_t hash, int deviceId, std::string bus, double startSeconds)
    : hash_(hash), deviceId_(deviceId), bus_(std::move(bus)), start_(startSeconds), now_(startSeconds) {}

bool SimulatedImu::SetInput(std::string_view name, double value) {
  if (name == "SupplyVoltage") {
    supply_ = value;
  } else if (name == "RawYaw") {
    yaw_ = value;
    yawGiven_ = true;
  } else if (name == "AddYaw") {
    yaw_ += value;
    yawGiven_ = true;
  } else if (name == "Pitch") {
    pitch_ = value;
    pitchGiven_ = true;
  } else if (name == "Roll") {
    roll_ = value;
    rollGiven_ = true;
  } else if (name == "AngularVelocityX") {
    rateX_ = value;
  } else if (name == "AngularVelocityY") {
    rateY_ = value;
  } else if (name == "AngularVelocityZ") {
    rateZ_ = value;
  } else {
    return false;
  }
  return true;
}

bool SimulatedImu::Takes(std::string_view name, double value) const {
  return name != "AddYaw" || std::isfinite(yaw_ + value);
}

bool SimulatedImu::Act(int configId, double value) {
  if (configId != kSetYawAction) return false;
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

double SimulatedImu::Signal(uint16_t signalId) const {
  const double yaw = (yaw_ + yawOffset_) * kRadiansPerDegree;
  const double pitch = pitch_ * kRadiansPerDegree;
  const double roll = roll_ * kRadiansPerDegree;
  // Quaternion of the yaw-pitch-roll rotation (Z, then Y, then X).
  const double cy = std::cos(yaw / 2), sy = std::sin(yaw / 2);
  const double cp = std::cos(pitch / 2), sp = std::sin(pitch / 2);
  const double cr = std::cos(roll / 2), sr = std::sin(roll / 2);
  switch (signalId) {
    case 733: return 1;  // version 1.0.0.0, as the motor controllers
    case 737: return 1 << 24;
    case 973: return yaw_ + yawOffset_;
    case 974: return pitch_;
    case 975: return roll_;
    case 976: return cr * cp * cy + sr * sp * sy;
    case 977: return sr * cp * cy - cr * sp * sy;
    case 978: return cr * sp * cy + sr * cp * sy;
    case 979: return cr * cp * sy - sr * sp * cy;
    // Gravity in the device's frame, and what the accelerometer reads at rest (g).
    case 980:
    case 994: return -std::sin(pitch);
    case 981:
    case 995: return std::sin(roll) * std::cos(pitch);
    case 982:
    case 996: return std::cos(roll) * std::cos(pitch);
    case 983: return kAmbientCelsius;
    case 987: return now_ - start_;
    case 988: return accumX_;
    case 989: return accumY_;
    case 990: return accumZ_;
    case 991:
    case 1000: return rateX_;
    case 992:
    case 1001: return rateY_;
    case 993:
    case 1002: return rateZ_;
    case 997: return supply_;
    default: return 0.0;
  }
}

}  // namespace kvor::zephrin::runtime::firmware
