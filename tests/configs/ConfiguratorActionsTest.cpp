#include <kvor/zephrin6/configs/AngulonConfigurator.hpp>
#include <kvor/zephrin6/configs/Auklet2Configurator.hpp>
#include <kvor/zephrin6/configs/DistixConfigurator.hpp>
#include <kvor/zephrin6/configs/PortisConfigurator.hpp>
#include <kvor/zephrin6/configs/RapaxQConfigurator.hpp>
#include <kvor/zephrin6/configs/RapaxWConfigurator.hpp>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include <string>
#include <vector>

#include "support/RuntimeFixture.hpp"

namespace harness = kvor::zephrin::runtime::harness;
namespace ids = kvor::zephrin::signal_ids;
using namespace kvor::zephrin6::configs;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::hardware::DeviceIdentifier;
using namespace units::literals;

namespace {

class ConfiguratorActions : public zephrin_test::RuntimeTest {};

double Served(const DeviceIdentifier& id, uint16_t signalId) {
  uint64_t key = id.GetDeviceHash() | (uint64_t{signalId} << 32);
  kvor::zephrin::platform::SignalMeasurement record{};
  EXPECT_EQ(c_kvor_zephrin6_get_signal(1, &key, &record, id.GetNetwork().c_str(), false, 0.0), 0);
  return record.value;
}

template <class C>
struct ClearCase {
  const char* name;
  StatusCode (C::*clear)(units::time::second_t) const;
  int configId;  // the fault's sticky signal is configId - 1
};

// Runs every clear of one model: each sends its own config ID as an action
// and drops exactly its sticky-fault signal on the device.
template <class C>
void CheckClears(const char* model, const std::vector<ClearCase<C>>& cases) {
  DeviceIdentifier id(1, model, "");
  C configurator(id);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(model) + " " + c.name);
    uint16_t sticky = static_cast<uint16_t>(c.configId - 1);
    harness::SetSimulatedValue(id.GetDeviceHash(), sticky, 1);
    ASSERT_EQ((configurator.*c.clear)(0.1_s), StatusCode::OK);
    auto calls = harness::ConfigCalls(id.GetDeviceHash());
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().text, std::to_string(c.configId) + ":d=0;");
    EXPECT_TRUE(calls.back().actionFlag);
    EXPECT_EQ(Served(id, sticky), 0.0);
  }
}

#define CLEAR(C, fault, id) \
  ClearCase<C> { #fault, &C::ClearStickyFault_##fault, id }

}  // namespace

// Every motor-controller fault clear sends its fault's clear ID and clears
// that fault on the device.
TEST_F(ConfiguratorActions, MotorControllerClearsHitTheirFaults) {
  using Q = RapaxQConfigurator;
  CheckClears<Q>("rapax q", {CLEAR(Q, Hardware, 10003),
                             CLEAR(Q, ProcTemp, 10006),
                             CLEAR(Q, DeviceTemp, 10009),
                             CLEAR(Q, Undervoltage, 10012),
                             CLEAR(Q, BootDuringEnable, 10015),
                             CLEAR(Q, BridgeBrownout, 10051),
                             CLEAR(Q, RemoteSensorReset, 10054),
                             CLEAR(Q, MissingDifferentialQ, 10057),
                             CLEAR(Q, RemoteSensorPosOverflow, 10060),
                             CLEAR(Q, OverSupplyV, 10063),
                             CLEAR(Q, UnstableSupplyV, 10066),
                             CLEAR(Q, ReverseHardLimit, 10069),
                             CLEAR(Q, ForwardHardLimit, 10072),
                             CLEAR(Q, ReverseSoftLimit, 10075),
                             CLEAR(Q, ForwardSoftLimit, 10078),
                             CLEAR(Q, MissingSoftLimitRemote, 10081),
                             CLEAR(Q, MissingHardLimitRemote, 10084),
                             CLEAR(Q, RemoteSensorDataInvalid, 10087),
                             CLEAR(Q, FusedSensorOutOfSync, 10090),
                             CLEAR(Q, StatorCurrLimit, 10093),
                             CLEAR(Q, SupplyCurrLimit, 10096),
                             CLEAR(Q, StaticBrakeDisabled, 10102)});
  using W = RapaxWConfigurator;
  CheckClears<W>("rapax w", {CLEAR(W, Hardware, 10003), CLEAR(W, BridgeShort, 10105),
                             CLEAR(W, HallSensorMissing, 10108), CLEAR(W, DriveDisabledHallSensor, 10111),
                             CLEAR(W, MotorTempSensorMissing, 10114), CLEAR(W, MotorTempSensorTooHot, 10117)});
}

// The sensors' clears follow the same rule with their own faults.
TEST_F(ConfiguratorActions, SensorClearsHitTheirFaults) {
  using A = AngulonConfigurator;
  CheckClears<A>("angulon", {CLEAR(A, Hardware, 10003), CLEAR(A, Undervoltage, 10012),
                             CLEAR(A, BootDuringEnable, 10015), CLEAR(A, BadMagnet, 10048)});
  using I = Auklet2Configurator;
  CheckClears<I>("auklet 2", {CLEAR(I, BootupAccelerometer, 10021), CLEAR(I, BootupGyroscope, 10024),
                              CLEAR(I, BootupMagnetometer, 10027), CLEAR(I, BootIntoMotion, 10030),
                              CLEAR(I, DataAcquiredLate, 10033), CLEAR(I, LoopTimeSlow, 10036),
                              CLEAR(I, SaturatedMagnetometer, 10039), CLEAR(I, SaturatedAccelerometer, 10042),
                              CLEAR(I, SaturatedGyroscope, 10045)});
  using D = DistixConfigurator;
  CheckClears<D>("distix", {CLEAR(D, Hardware, 10003), CLEAR(D, Undervoltage, 10012)});
  using P = PortisConfigurator;
  CheckClears<P>("portis", {CLEAR(P, 5V, 10120), CLEAR(P, BootDuringEnable, 10015)});
}

// Clearing every sticky fault clears the fault field too, and only signals the
// model has are touched; the sensors' position actions move their own signal.
TEST_F(ConfiguratorActions, ClearAllAndPositionActions) {
  DeviceIdentifier imuId(2, "auklet 2", "");
  Auklet2Configurator imu(imuId);
  harness::SetSimulatedValue(imuId.GetDeviceHash(), ids::auklet2::kStickyFault_SaturatedGyroscope, 1);
  harness::SetSimulatedValue(imuId.GetDeviceHash(), ids::auklet2::kStickyFaultField, 7);
  ASSERT_EQ(imu.ClearStickyFaults(), StatusCode::OK);
  EXPECT_EQ(Served(imuId, ids::auklet2::kStickyFault_SaturatedGyroscope), 0.0);
  EXPECT_EQ(Served(imuId, ids::auklet2::kStickyFaultField), 0.0);
  ASSERT_EQ(imu.SetYaw(90_deg), StatusCode::OK);
  EXPECT_EQ(Served(imuId, ids::auklet2::kYaw), 90.0);

  DeviceIdentifier portisId(2, "portis", "");
  PortisConfigurator portis(portisId);
  ASSERT_EQ(portis.SetQuadraturePosition(1.5_tr, 0.2_s), StatusCode::OK);
  EXPECT_EQ(Served(portisId, ids::portis::kQuadraturePosition), 1.5);
  EXPECT_EQ(harness::ConfigCalls(portisId.GetDeviceHash()).back().timeoutSeconds, 0.2);
}
