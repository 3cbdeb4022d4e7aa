#pragma once

// The firmware of one simulated auklet 2 inertial measurement unit. Its
// angles are what the physics inputs say; an angle no input ever set is
// integrated from the angular velocity about its axis (yaw about Z, pitch
// about Y, roll about X), so a physics model that only knows how fast the
// robot turns still gets a heading. The orientation signals (quaternion,
// gravity vector, accelerations at rest) follow from the three angles, the
// accumulated gyro angles from the rates. A set-yaw action re-zeroes the
// reported yaw without touching the rest. Owned by the firmware service,
// which serialises every call.

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <array>
#include <cstdint>
#include <string>

#include "sim/PhysicsInputs.hpp"

namespace kvor::zephrin::runtime::firmware {

using sim::PhysicsInput;

class SimulatedImu {
 public:
  SimulatedImu(uint32_t hash, int deviceId, std::string bus, double startSeconds);

  uint32_t Hash() const { return hash_; }
  int DeviceId() const { return deviceId_; }
  const std::string& Bus() const { return bus_; }

  /// A physics input (degrees, degrees per second, volts); false for one
  /// the IMU does not have.
  bool SetInput(sim::PhysicsInput input, double value);
  /// Whether SetInput keeps the yaw a turn ("AddYaw") adds to finite.
  bool Takes(sim::PhysicsInput input, double value) const;
  /// A config action; false for one the firmware leaves to the config store.
  bool Act(int configId, double value);
  /// One step of `seconds` ending at `t`.
  void Step(double t, double seconds);
  /// The value of catalogue signal `signalId` (always reported under its own ID).
  /// The angles, rates and accumulated angles, most of what the IMU sends
  /// and all of what odometry reads, are answered inline.
  double Signal(uint16_t signalId) const {
    namespace ids = signal_ids::auklet2;
    switch (signalId) {
      case ids::kYaw: return yaw_ + yawOffset_;
      case ids::kPitch: return pitch_;
      case ids::kRoll: return roll_;
      case ids::kAccumGyroX: return accumX_;
      case ids::kAccumGyroY: return accumY_;
      case ids::kAccumGyroZ: return accumZ_;
      case ids::kAngularVelocityXWorld:
      case ids::kAngularVelocityXDevice: return rateX_;
      case ids::kAngularVelocityYWorld:
      case ids::kAngularVelocityYDevice: return rateY_;
      case ids::kAngularVelocityZWorld:
      case ids::kAngularVelocityZDevice: return rateZ_;
      default: return OtherSignal(signalId);
    }
  }

 private:
  /// Signal for every signal it does not answer inline.
  double OtherSignal(uint16_t signalId) const;

  uint32_t hash_;
  int deviceId_;
  std::string bus_;
  double start_;
  double now_;
  double supply_ = 12.0;
  double yaw_ = 0.0, pitch_ = 0.0, roll_ = 0.0;  // degrees, yaw before the set-yaw offset
  double yawOffset_ = 0.0;
  bool yawGiven_ = false, pitchGiven_ = false, rollGiven_ = false;
  double rateX_ = 0.0, rateY_ = 0.0, rateZ_ = 0.0;  // degrees per second
  double accumX_ = 0.0, accumY_ = 0.0, accumZ_ = 0.0;
  // The quaternion last worked out and the bits of the three angles (radians)
  // it was worked out from: the four quaternion signals of a frame share its
  // six sines and cosines.
  mutable bool quaternionKnown_ = false;
  mutable std::array<uint64_t, 3> quaternionAngles_{};
  mutable std::array<double, 4> quaternion_{};
};

}  // namespace kvor::zephrin::runtime::firmware
