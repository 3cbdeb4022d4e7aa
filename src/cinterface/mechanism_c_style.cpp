// The differential mechanism C functions (mechanism_c_style.h): a registry
// of mechanisms over registered devices; requests go through the generated
// request table's mechanism senders.

#include <kvor/zephrin6/mechanisms/mechanism_c_style.h>

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/mechanisms/DifferentialMechanism.hpp>
#include <kvor/zephrin6/mechanisms/SimpleDifferentialMechanism.hpp>

#include <memory>

#include "cinterface/internal/ArgumentCheck.hpp"
#include "cinterface/internal/DeviceRegistry.hpp"
#include "cinterface/internal/HandleRegistry.hpp"
#include "cinterface/internal/RequestTable.hpp"

namespace kvor::zephrin6::cinterface {
MechanismEntry::MechanismEntry() = default;
MechanismEntry::~MechanismEntry() = default;
}  // namespace kvor::zephrin6::cinterface

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::cinterface::DeviceEntry;
using kvor::zephrin6::cinterface::MechanismEntry;
using kvor::zephrin6::mechanisms::DifferentialMechanism;
using kvor::zephrin6::mechanisms::DifferentialMechanismBase;
using kvor::zephrin6::mechanisms::SimpleDifferentialMechanism;
using Mechanisms = kvor::zephrin6::cinterface::HandleRegistry<MechanismEntry>;
namespace hw = kvor::zephrin6::hardware::core;

/// Builds the mechanism class `M` over the entry's devices, with the sensor
/// the entry names (when it has one).
template <class M>
std::unique_ptr<M> Build(const MechanismEntry& entry, bool opposes, int imuAxis) {
  hw::CoreRapaxQ& leader = *entry.leader->rapaxQ;
  hw::CoreRapaxQ& follower = *entry.follower->rapaxQ;
  if (entry.sensor == nullptr) return std::make_unique<M>(leader, follower, opposes);
  if (auto* imu = dynamic_cast<hw::CoreAuklet2*>(entry.sensor->device.get())) {
    return std::make_unique<M>(leader, follower, opposes, *imu, static_cast<DifferentialMechanismBase::ImuAxis>(imuAxis));
  }
  return std::make_unique<M>(leader, follower, opposes, static_cast<hw::CoreAngulon&>(*entry.sensor->device));
}

}  // namespace

extern "C" {

int32_t c_kvor_zephrin6_mechanism_create(int32_t simple, int32_t leaderHandle, int32_t followerHandle,
                                         int32_t followerOpposesLeader, int32_t sensorHandle, int32_t imuAxis) {
  auto& devices = kvor::zephrin6::cinterface::DeviceRegistry::Instance();
  auto entry = std::make_shared<MechanismEntry>();
  entry->leader = devices.Find(leaderHandle);
  entry->follower = devices.Find(followerHandle);
  entry->sensor = sensorHandle == 0 ? nullptr : devices.Find(sensorHandle);
  const auto* sensor = entry->sensor == nullptr ? nullptr : entry->sensor->device.get();
  kvor::zephrin6::cinterface::ArgumentCheck check(__func__);
  check.Binary("simple", simple)
      .Binary("followerOpposesLeader", followerOpposesLeader)
      .Require(entry->leader != nullptr && entry->leader->rapaxQ != nullptr, "the leader is no rapax q")
      .Require(entry->follower != nullptr && entry->follower->rapaxQ != nullptr, "the follower is no rapax q")
      .Require(sensorHandle == 0 || dynamic_cast<const hw::CoreAuklet2*>(sensor) != nullptr ||
                   dynamic_cast<const hw::CoreAngulon*>(sensor) != nullptr,
               "the sensor is no auklet 2 or angulon")
      .Require(imuAxis >= 0 && imuAxis <= 2, "unknown IMU axis");
  if (!check.Passed()) return 0;
  const bool opposes = followerOpposesLeader == 1;
  if (simple == 1) {
    entry->simple = Build<SimpleDifferentialMechanism>(*entry, opposes, imuAxis);
    entry->base = entry->simple.get();
  } else {
    entry->full = Build<DifferentialMechanism>(*entry, opposes, imuAxis);
    entry->base = entry->full.get();
  }
  return Mechanisms::Instance().Add(std::move(entry));
}

void c_kvor_zephrin6_mechanism_destroy(int32_t handle) { Mechanisms::Instance().Remove(handle); }

void c_kvor_zephrin6_mechanism_periodic(int32_t handle) {
  if (auto mechanism = Mechanisms::Instance().Find(handle)) mechanism->base->Periodic();
}

int32_t c_kvor_zephrin6_mechanism_set_control(int32_t handle, int32_t typeId, const double* fields, size_t count) {
  const std::shared_ptr<MechanismEntry> mechanism = Mechanisms::Instance().Find(handle);
  if (mechanism == nullptr) return StatusCode::InvalidParamValue;
  const auto* request = kvor::zephrin6::cinterface::FindRequest(typeId, count);
  kvor::zephrin6::cinterface::ArgumentCheck check(__func__);
  check.Require(request != nullptr, "unknown request type or wrong number of fields").Finite("fields", fields, count);
  if (!check.Passed() || fields == nullptr) return StatusCode::InvalidParamValue;
  if (request->mechanism == nullptr) return StatusCode::NotSupported;
  return request->mechanism(*mechanism, fields);
}

int32_t c_kvor_zephrin6_mechanism_set_neutral(int32_t handle, int32_t how) {
  const std::shared_ptr<MechanismEntry> mechanism = Mechanisms::Instance().Find(handle);
  if (mechanism == nullptr) return StatusCode::InvalidParamValue;
  switch (how) {
    case 0: return mechanism->base->SetNeutralOut();
    case 1: return mechanism->base->SetCoastOut();
    case 2: return mechanism->base->SetStaticBrake();
    default: return StatusCode::InvalidParamValue;
  }
}

int32_t c_kvor_zephrin6_mechanism_apply_configs(int32_t handle, int32_t retries) {
  const std::shared_ptr<MechanismEntry> mechanism = Mechanisms::Instance().Find(handle);
  return mechanism == nullptr ? static_cast<int32_t>(StatusCode::InvalidParamValue)
                              : static_cast<int32_t>(mechanism->base->ApplyConfigs(retries));
}

void c_kvor_zephrin6_mechanism_clear_user_requirement(int32_t handle) {
  if (auto mechanism = Mechanisms::Instance().Find(handle)) mechanism->base->ClearUserRequirement();
}

int32_t c_kvor_zephrin6_mechanism_state(int32_t handle, int32_t* state) {
  const std::shared_ptr<MechanismEntry> mechanism = Mechanisms::Instance().Find(handle);
  if (mechanism == nullptr || state == nullptr) return 0;
  const DifferentialMechanismBase& base = *mechanism->base;
  state[0] = base.IsDisabled() ? 1 : 0;
  state[1] = base.RequiresUserAction() ? 1 : 0;
  state[2] = static_cast<int32_t>(base.GetDisabledReason());
  state[3] = static_cast<int32_t>(base.GetRequiresUserReason());
  state[4] = base.AreConfigsApplied() ? 1 : 0;
  return 1;
}

}  // extern "C"
