#include <kvor/zephrin6/mechanisms/DifferentialMechanism.hpp>

#include <kvor/zephrin6/controls/compound/Diff_DutyCycleOut_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_DutyCycleOut_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_KinetraDutyCycle_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_KinetraDutyCycle_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_KinetraTorqueCurrentFOC_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_KinetraTorqueCurrentFOC_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_KinetraVoltage_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_KinetraVoltage_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_PositionDutyCycle_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_PositionDutyCycle_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_PositionTorqueCurrentFOC_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_PositionTorqueCurrentFOC_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_PositionVoltage_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_PositionVoltage_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_TorqueCurrentFOC_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_TorqueCurrentFOC_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_VelocityDutyCycle_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_VelocityDutyCycle_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_VelocityTorqueCurrentFOC_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_VelocityTorqueCurrentFOC_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_VelocityVoltage_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_VelocityVoltage_Velocity.hpp>
#include <kvor/zephrin6/controls/compound/Diff_VoltageOut_Position.hpp>
#include <kvor/zephrin6/controls/compound/Diff_VoltageOut_Velocity.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

#include <utility>

namespace kvor::zephrin6::mechanisms {

using kvor::zephrin::StatusCode;
namespace compound = controls::compound;

DifferentialMechanism::DifferentialMechanism(DifferentialMechanism&&) noexcept = default;
DifferentialMechanism::~DifferentialMechanism() = default;

template <class Compound, class Average, class Differential>
StatusCode DifferentialMechanism::SendCompound(Average&& average, Differential&& differential) {
  const StatusCode gate = BeforeControl();
  if (!gate.IsOK()) return gate;
  // The same pair as last time: assign in place, no allocation.
  auto* stored = dynamic_cast<Compound*>(lastCompound_.get());
  if (stored != nullptr) {
    stored->AverageRequest = std::forward<Average>(average);
    stored->DifferentialRequest = std::forward<Differential>(differential);
  } else {
    auto fresh = std::make_unique<Compound>(std::forward<Average>(average), std::forward<Differential>(differential));
    stored = fresh.get();
    lastCompound_ = std::move(fresh);
  }
  stored->UpdateFreqHz = stored->AverageRequest.UpdateFreqHz;
  return FollowAndCombine(GetLeader().SetControl(*stored));
}

StatusCode DifferentialMechanism::SetControl(controls::DutyCycleOut average,
                                             controls::PositionDutyCycle differential) {
  return SendCompound<compound::Diff_DutyCycleOut_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::PositionDutyCycle average,
                                             controls::PositionDutyCycle differential) {
  return SendCompound<compound::Diff_PositionDutyCycle_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::VelocityDutyCycle average,
                                             controls::PositionDutyCycle differential) {
  return SendCompound<compound::Diff_VelocityDutyCycle_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::KinetraDutyCycle average,
                                             controls::PositionDutyCycle differential) {
  return SendCompound<compound::Diff_KinetraDutyCycle_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::DutyCycleOut average,
                                             controls::VelocityDutyCycle differential) {
  return SendCompound<compound::Diff_DutyCycleOut_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::PositionDutyCycle average,
                                             controls::VelocityDutyCycle differential) {
  return SendCompound<compound::Diff_PositionDutyCycle_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::VelocityDutyCycle average,
                                             controls::VelocityDutyCycle differential) {
  return SendCompound<compound::Diff_VelocityDutyCycle_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::KinetraDutyCycle average,
                                             controls::VelocityDutyCycle differential) {
  return SendCompound<compound::Diff_KinetraDutyCycle_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::VoltageOut average,
                                             controls::PositionVoltage differential) {
  return SendCompound<compound::Diff_VoltageOut_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::PositionVoltage average,
                                             controls::PositionVoltage differential) {
  return SendCompound<compound::Diff_PositionVoltage_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::VelocityVoltage average,
                                             controls::PositionVoltage differential) {
  return SendCompound<compound::Diff_VelocityVoltage_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::KinetraVoltage average,
                                             controls::PositionVoltage differential) {
  return SendCompound<compound::Diff_KinetraVoltage_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::VoltageOut average,
                                             controls::VelocityVoltage differential) {
  return SendCompound<compound::Diff_VoltageOut_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::PositionVoltage average,
                                             controls::VelocityVoltage differential) {
  return SendCompound<compound::Diff_PositionVoltage_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::VelocityVoltage average,
                                             controls::VelocityVoltage differential) {
  return SendCompound<compound::Diff_VelocityVoltage_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::KinetraVoltage average,
                                             controls::VelocityVoltage differential) {
  return SendCompound<compound::Diff_KinetraVoltage_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::TorqueCurrentFOC average,
                                             controls::PositionTorqueCurrentFOC differential) {
  return SendCompound<compound::Diff_TorqueCurrentFOC_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::PositionTorqueCurrentFOC average,
                                             controls::PositionTorqueCurrentFOC differential) {
  return SendCompound<compound::Diff_PositionTorqueCurrentFOC_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::VelocityTorqueCurrentFOC average,
                                             controls::PositionTorqueCurrentFOC differential) {
  return SendCompound<compound::Diff_VelocityTorqueCurrentFOC_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::KinetraTorqueCurrentFOC average,
                                             controls::PositionTorqueCurrentFOC differential) {
  return SendCompound<compound::Diff_KinetraTorqueCurrentFOC_Position>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::TorqueCurrentFOC average,
                                             controls::VelocityTorqueCurrentFOC differential) {
  return SendCompound<compound::Diff_TorqueCurrentFOC_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::PositionTorqueCurrentFOC average,
                                             controls::VelocityTorqueCurrentFOC differential) {
  return SendCompound<compound::Diff_PositionTorqueCurrentFOC_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::VelocityTorqueCurrentFOC average,
                                             controls::VelocityTorqueCurrentFOC differential) {
  return SendCompound<compound::Diff_VelocityTorqueCurrentFOC_Velocity>(std::move(average), std::move(differential));
}

StatusCode DifferentialMechanism::SetControl(controls::KinetraTorqueCurrentFOC average,
                                             controls::VelocityTorqueCurrentFOC differential) {
  return SendCompound<compound::Diff_KinetraTorqueCurrentFOC_Velocity>(std::move(average), std::move(differential));
}

}  // namespace kvor::zephrin6::mechanisms
