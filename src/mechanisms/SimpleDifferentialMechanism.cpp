#include <kvor/zephrin6/mechanisms/SimpleDifferentialMechanism.hpp>

#include <kvor/zephrin6/controls/DifferentialDutyCycle.hpp>
#include <kvor/zephrin6/controls/DifferentialKinetraDutyCycle.hpp>
#include <kvor/zephrin6/controls/DifferentialKinetraVoltage.hpp>
#include <kvor/zephrin6/controls/DifferentialPositionDutyCycle.hpp>
#include <kvor/zephrin6/controls/DifferentialPositionVoltage.hpp>
#include <kvor/zephrin6/controls/DifferentialVelocityDutyCycle.hpp>
#include <kvor/zephrin6/controls/DifferentialVelocityVoltage.hpp>
#include <kvor/zephrin6/controls/DifferentialVoltage.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

namespace kvor::zephrin6::mechanisms {

using kvor::zephrin::StatusCode;

SimpleDifferentialMechanism::SimpleDifferentialMechanism(SimpleDifferentialMechanism&&) noexcept = default;
SimpleDifferentialMechanism::~SimpleDifferentialMechanism() = default;

template <class Request>
StatusCode SimpleDifferentialMechanism::Send(const Request& request) {
  const StatusCode gate = BeforeControl();
  if (!gate.IsOK()) return gate;
  return FollowAndCombine(GetLeader().SetControl(request));
}

StatusCode SimpleDifferentialMechanism::SetControl(controls::DifferentialDutyCycle request) {
  return Send(request);
}

StatusCode SimpleDifferentialMechanism::SetControl(controls::DifferentialVoltage request) {
  return Send(request);
}

StatusCode SimpleDifferentialMechanism::SetControl(controls::DifferentialPositionDutyCycle request) {
  return Send(request);
}

StatusCode SimpleDifferentialMechanism::SetControl(controls::DifferentialPositionVoltage request) {
  return Send(request);
}

StatusCode SimpleDifferentialMechanism::SetControl(controls::DifferentialVelocityDutyCycle request) {
  return Send(request);
}

StatusCode SimpleDifferentialMechanism::SetControl(controls::DifferentialVelocityVoltage request) {
  return Send(request);
}

StatusCode SimpleDifferentialMechanism::SetControl(controls::DifferentialKinetraDutyCycle request) {
  return Send(request);
}

StatusCode SimpleDifferentialMechanism::SetControl(controls::DifferentialKinetraVoltage request) {
  return Send(request);
}

}  // namespace kvor::zephrin6::mechanisms
