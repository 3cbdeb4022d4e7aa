// The runtime's device registry and signal store, through the entry points
// the library calls and the harness.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/CANbus.hpp>
#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "signals/ReplaySampleSource.hpp"
#include "catalogue/SignalCatalogue.hpp"
#include "signals/SignalStore.hpp"
#include "support/RuntimeFixture.hpp"
#include "support/StandaloneServices.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace platform = kvor::zephrin::platform;
namespace ids = kvor::zephrin::signal_ids;
using kvor::zephrin::runtime::signals::SignalStore;
using platform::MakeSignalKey;
using platform::SignalMeasurement;

constexpr int kOK = 0;
constexpr int kRxTimeout = -1003;
constexpr int kMultiSignalNotSupported = -10002;
using ids::rapax_q::kVelocity;  // 100 Hz on the motor controllers
using ids::rapax_q::kPosition;
using ids::rapax_q::kVersion;  // 4 Hz
using ids::rapax_q::kCompliancy;

class SignalStoreTest : public zephrin_test::RuntimeTest {
 protected:
  static uint32_t Encode(int id, const char* model, const char* bus) {
    uint32_t hash = 0;
    EXPECT_EQ(c_kvor_zephrin6_encode_device(id, model, bus, &hash), kOK);
    return hash;
  }
  static SignalMeasurement Read(uint32_t hash, uint16_t id, const char* bus, int* status = nullptr) {
    const uint64_t key = MakeSignalKey(hash, id);
    SignalMeasurement m{};
    int s = c_kvor_zephrin6_get_signal(1, &key, &m, bus, false, 0.0);
    if (status != nullptr) *status = s;
    return m;
  }
};

// Device hashes are stable and distinct over many (ID, model, bus) triples,
// including ones whose texts only differ by where a boundary falls.
TEST_F(SignalStoreTest, DeviceHashesAreStableAndDistinct) {
  const std::vector<std::string> models = {"rapax q", "rapax w", "angulon", "auklet 2", "distix", "portis"};
  const std::vector<std::string> buses = {"", "arm", "drive", "chassis", "d"};
  std::set<uint32_t> seen;
  size_t combinations = 0;
  for (int id = 0; id < 63; ++id) {
    for (const auto& model : models) {
      for (const auto& bus : buses) {
        seen.insert(harness::DeviceHash(id, model, bus));
        ++combinations;
      }
    }
  }
  EXPECT_EQ(seen.size(), combinations);
  EXPECT_NE(harness::DeviceHash(1, "ab", "c"), harness::DeviceHash(1, "a", "bc"));
  // Encoding gives the same hash as the harness, registers the device once.
  EXPECT_EQ(Encode(3, "rapax q", "drive"), harness::DeviceHash(3, "rapax q", "drive"));
  EXPECT_EQ(Encode(3, "rapax q", "drive"), harness::DeviceHash(3, "rapax q", "drive"));
  ASSERT_EQ(harness::Devices().size(), 1u);
  EXPECT_EQ(harness::Devices()[0].bus, "drive");
}

// A present device publishes every signal at its frequency, frame k at
// k / frequency on the runtime clock, with value 0 and its compliancy number;
// an unknown or absent device, or the wrong bus, answers RxTimeout.
TEST_F(SignalStoreTest, SimulatedFramesFollowTheClock) {
  const uint32_t hash = Encode(1, "rapax q", "");
  harness::SetTime(2.0071);
  int status = -1;
  SignalMeasurement velocity = Read(hash, kVelocity, "", &status);
  EXPECT_EQ(status, kOK);
  EXPECT_DOUBLE_EQ(velocity.systemTime, 2.0);
  EXPECT_DOUBLE_EQ(velocity.deviceTime, 2.0);
  EXPECT_EQ(velocity.reportedId, kVelocity);
  EXPECT_EQ(velocity.value, 0.0);
  EXPECT_DOUBLE_EQ(Read(hash, kVersion, "").systemTime, 2.0);
  harness::SetTime(2.2);
  EXPECT_DOUBLE_EQ(Read(hash, kVelocity, "").systemTime, 2.2);
  EXPECT_DOUBLE_EQ(Read(hash, kVersion, "").systemTime, 2.0);  // 4 Hz: next frame at 2.25
  EXPECT_EQ(Read(hash, kCompliancy, "").value, kvor::zephrin::unmanaged::GetApiCompliancy());

  harness::SetSimulatedValue(hash, kPosition, 12.5);
  EXPECT_EQ(Read(hash, kPosition, "").value, 12.5);

  Read(hash, kVelocity, "drive", &status);
  EXPECT_EQ(status, kRxTimeout);
  Read(harness::DeviceHash(9, "rapax q", ""), kVelocity, "", &status);
  EXPECT_EQ(status, kRxTimeout);
  ASSERT_TRUE(harness::SetDevicePresent(hash, false));
  SignalMeasurement absent = Read(hash, kVelocity, "", &status);
  EXPECT_EQ(status, kRxTimeout);
  EXPECT_EQ(absent.status, kRxTimeout);
  EXPECT_EQ(absent.systemTime, 0.0);
  // Signals a model does not have are not published.
  Read(hash, ids::rapax_w::kFiveVRailVoltage, "", &status);
  EXPECT_EQ(status, kRxTimeout);
}

// Frequencies are limited like on the devices, 0 stops a signal, Optimize
// keeps what the program chose and Reset returns to the catalogue defaults.
TEST_F(SignalStoreTest, UpdateFrequenciesAreAppliedAndRestored) {
  const uint32_t hash = Encode(2, "rapax q", "drive");
  struct Case {
    double requested;
    double applied;
  } cases[] = {{250, 250}, {2, 4}, {5000, 1000}, {0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.requested);
    EXPECT_EQ(c_kvor_zephrin6_SetUpdateFrequency(0, "drive", hash, kPosition, c.requested, 0.1), kOK);
    EXPECT_EQ(c_kvor_zephrin6_GetUpdateFrequency("drive", hash, kPosition), c.applied);
  }
  EXPECT_EQ(c_kvor_zephrin6_SetUpdateFrequency(0, "drive", hash, kPosition, -1, 0.1), -1002);
  EXPECT_EQ(c_kvor_zephrin6_SetUpdateFrequency(0, "", hash, kPosition, 50, 0.1), kRxTimeout);

  // A stopped signal keeps handing out its last frame, marked as not received.
  harness::AdvanceTime(1.0);
  int status = kOK;
  SignalMeasurement stopped = Read(hash, kPosition, "drive", &status);
  EXPECT_EQ(status, kRxTimeout);
  EXPECT_DOUBLE_EQ(stopped.systemTime, 1.0);

  EXPECT_EQ(c_kvor_zephrin6_SetUpdateFrequency(0, "drive", hash, kVelocity, 200, 0.1), kOK);
  EXPECT_EQ(c_kvor_zephrin6_OptimizeUpdateFrequencies(0, "drive", hash, 0, 0.1), kOK);
  EXPECT_EQ(harness::AppliedUpdateFrequency(hash, kVelocity), 200);
  EXPECT_EQ(harness::AppliedUpdateFrequency(hash, ids::rapax_q::kMotorVoltage), 0);
  EXPECT_EQ(harness::AppliedUpdateFrequency(hash, kVersion), 0);

  EXPECT_EQ(c_kvor_zephrin6_ResetUpdateFrequencies(0, "drive", hash, 0.1), kOK);
  EXPECT_EQ(harness::AppliedUpdateFrequency(hash, kVelocity), 100);
  EXPECT_EQ(harness::AppliedUpdateFrequency(hash, kVersion), 4);
  harness::AdvanceTime(0.01);
  Read(hash, kPosition, "drive", &status);
  EXPECT_EQ(status, kOK);

  // Several entries at once, each applied.
  const uint32_t other = Encode(3, "angulon", "drive");
  platform::SignalFrequencyEntry entries[] = {{"drive", MakeSignalKey(hash, kVelocity)},
                                              {"drive", MakeSignalKey(other, ids::angulon::kPosition)}};
  EXPECT_EQ(c_kvor_zephrin6_SetUpdateFrequencyForAll(0, entries, 2, 50, 0.1), kOK);
  EXPECT_EQ(harness::AppliedUpdateFrequency(hash, kVelocity), 50);
  EXPECT_EQ(harness::AppliedUpdateFrequency(other, ids::angulon::kPosition), 50);
}

// Units come from the catalogue for every listed ID; unknown IDs fail.
TEST_F(SignalStoreTest, PropertiesComeFromTheCatalogue) {
  struct Case {
    uint16_t id;
    const char* units;
  } cases[] = {{kVelocity, "turns/s"},
               {kPosition, "turns"},
               {ids::rapax_q::kClosedLoopOutput, "fractional"},
               {ids::rapax_q::kClosedLoopOutput_Voltage, "V"},
               {ids::rapax_q::kClosedLoopOutput_TorqueCurrent, "A"},
               {ids::auklet2::kYaw, "deg"},
               {ids::auklet2::kAccelerationX, "g"},
               {kCompliancy, ""},
               {ids::rapax_q::kResetFlags, ""},
               {ids::portis::kFault_5V, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    platform::SignalProperties p{};
    ASSERT_EQ(c_kvor_zephrin6_get_rets(c.id, platform::kSignalPropertyUnits, &p), kOK);
    ASSERT_NE(p.units, nullptr);
    EXPECT_STREQ(p.units, c.units);
  }
  platform::SignalProperties p{};
  EXPECT_EQ(c_kvor_zephrin6_get_rets(1, platform::kSignalPropertyUnits, &p), -10012);
  EXPECT_EQ(p.units, nullptr);

  // Every model publishes its whole catalogue (primary IDs, plus the
  // compliancy and reset-flags signals every device has).
  namespace rs = kvor::zephrin::runtime::catalogue;
  struct Model {
    const char* name;
    size_t signals;
  } models[] = {{"rapax q", 101}, {"rapax w", 114}, {"angulon", 22}, {"auklet 2", 65}, {"distix", 25}, {"portis", 30}};
  for (const auto& m : models) {
    SCOPED_TRACE(m.name);
    size_t count = 0;
    for (const auto& e : rs::AllSignals()) {
      if (e.primaryId == e.id && (e.modelMask & rs::ModelMask(m.name)) != 0) ++count;
    }
    EXPECT_EQ(count, m.signals + 2);
  }
}

// A waiting read ends exactly when the manual clock reaches the next frame,
// or when a sample is published; an absent device makes it time out.
TEST_F(SignalStoreTest, WaitsEndOnTheNextFrameOrTimeOut) {
  const uint32_t a = Encode(1, "rapax q", "fd");
  const uint32_t b = Encode(2, "rapax q", "fd");
  const uint64_t keys[] = {MakeSignalKey(a, kVelocity), MakeSignalKey(b, kVersion)};
  SignalMeasurement records[2]{};
  int status = 1;
  std::thread waiter([&] { status = c_kvor_zephrin6_get_signal(2, keys, records, "fd", true, 1.0); });
  harness::AwaitBlockedWaiters(1);
  harness::AdvanceTime(0.01);  // a's next frame; b (4 Hz) has none yet
  harness::AwaitBlockedWaiters(1);
  harness::AdvanceTime(0.24);  // b's frame at 1.25
  waiter.join();
  EXPECT_EQ(status, kOK);
  EXPECT_DOUBLE_EQ(records[1].systemTime, 1.25);
  EXPECT_DOUBLE_EQ(records[0].systemTime, 1.25);

  // A published sample completes a wait at once, whatever the clock does.
  waiter = std::thread([&] { status = c_kvor_zephrin6_get_signal(1, keys, records, "fd", true, 1.0); });
  harness::AwaitBlockedWaiters(1);
  harness::PublishSignal(a, kVelocity, {.value = 3.5, .status = 0});
  waiter.join();
  EXPECT_EQ(status, kOK);
  EXPECT_EQ(records[0].value, 3.5);

  harness::ReleaseSignal(a, kVelocity);
  harness::SetDevicePresent(b, false);
  waiter = std::thread([&] { status = c_kvor_zephrin6_get_signal(2, keys, records, "fd", true, 0.5); });
  harness::AwaitBlockedWaiters(1);
  harness::AdvanceTime(0.6);
  waiter.join();
  EXPECT_EQ(status, kRxTimeout);
  EXPECT_EQ(records[0].status, kOK);
  EXPECT_EQ(records[1].status, kRxTimeout);
}

// A group read looks each device up once per run of its keys: runs of one
// device, devices on another bus or unknown, and a device gone between two
// reads each get their own records.
TEST_F(SignalStoreTest, GroupsMixingDevicesAndBusesReadEachKeyOnItsOwn) {
  const uint32_t a = Encode(1, "rapax q", "fd");
  const uint32_t other = Encode(1, "rapax q", "chassis");
  const uint32_t c = Encode(2, "rapax q", "fd");
  const uint32_t unknown = 0x5EED;
  const uint64_t keys[] = {MakeSignalKey(other, kVelocity), MakeSignalKey(a, kVelocity),  MakeSignalKey(a, kPosition),
                           MakeSignalKey(other, kPosition), MakeSignalKey(unknown, kPosition), MakeSignalKey(a, kVersion),
                           MakeSignalKey(c, kVelocity),     MakeSignalKey(c, kCompliancy)};
  constexpr size_t kKeys = std::size(keys);
  harness::AdvanceTime(0.25);
  const auto expectRead = [&](const std::vector<bool>& onBus) {
    SignalMeasurement records[kKeys]{};
    EXPECT_EQ(c_kvor_zephrin6_get_signal(kKeys, keys, records, "fd", false, 0.0), kRxTimeout);
    for (size_t i = 0; i < kKeys; ++i) {
      SCOPED_TRACE(i);
      const uint16_t id = platform::SignalKeySignalId(keys[i]);
      const SignalMeasurement alone = Read(platform::SignalKeyDeviceHash(keys[i]), id, "fd");
      EXPECT_EQ(records[i].status, onBus[i] ? kOK : kRxTimeout);
      EXPECT_EQ(records[i].reportedId, onBus[i] ? id : 0);
      EXPECT_EQ(records[i].systemTime, alone.systemTime);
      EXPECT_EQ(records[i].value, alone.value);
      EXPECT_EQ(records[i].status, alone.status);
    }
  };
  expectRead({false, true, true, false, false, true, true, true});
  harness::SetDevicePresent(a, false);
  expectRead({false, false, false, false, false, false, true, true});
}

// Classic CAN (the controller's own bus, or a bus the harness makes classic)
// cannot synchronise several signals; it still fills the records.
TEST_F(SignalStoreTest, ClassicBusRefusesSynchronisedWaits) {
  harness::SetBusNetworkType("chassis", kvor::zephrin::platform::can::kNetworkTypeClassicCan);
  for (const char* bus : {"", "chassis"}) {
    SCOPED_TRACE(bus);
    const uint32_t hash = Encode(1, "rapax q", bus);
    const uint64_t keys[] = {MakeSignalKey(hash, kVelocity), MakeSignalKey(hash, kPosition)};
    SignalMeasurement records[2]{};
    EXPECT_EQ(c_kvor_zephrin6_get_signal(2, keys, records, bus, true, 0.1), kMultiSignalNotSupported);
    EXPECT_EQ(records[1].status, kOK);
    EXPECT_EQ(c_kvor_zephrin6_get_signal(2, keys, records, bus, true, 0.0), kOK);  // no wait asked
  }
}

// The frames the simulated bus carries over an interval, for the log writer.
TEST(SignalStoreFrames, EnumeratesTheFramesOfTheSimulatedBus) {
  zephrin_test::StandaloneServices runtime;
  const uint32_t hash = runtime.devices.Register(4, "angulon", "drive");
  runtime.signals.SetSimulatedValue(hash, ids::angulon::kPosition, 0.75);
  ASSERT_EQ(runtime.signals.SetFrequency("drive", hash, ids::angulon::kVelocity, 0), 0);
  std::map<uint16_t, std::vector<double>> times;
  runtime.signals.ForEachFrame(1.0, 1.1, [&](const SignalStore::BusFrame& f) {
    EXPECT_EQ(f.bus, "drive");
    EXPECT_EQ(f.model, "angulon");
    EXPECT_EQ(f.deviceId, 4);
    if (platform::SignalKeySignalId(f.key) == ids::angulon::kPosition) {
      EXPECT_EQ(f.measurement.value, 0.75);
    }
    times[platform::SignalKeySignalId(f.key)].push_back(f.measurement.systemTime);
  });
  EXPECT_EQ(times[ids::angulon::kPosition].size(), 10u);  // 100 Hz: 1.01 .. 1.10
  EXPECT_NEAR(times[ids::angulon::kPosition].front(), 1.01, 1e-12);
  EXPECT_FALSE(times.contains(ids::angulon::kVelocity));  // stopped
  EXPECT_FALSE(times.contains(kVersion));  // 4 Hz: nothing in (1.0, 1.1]
  EXPECT_FALSE(times.contains(kVelocity));  // not an angulon signal
  // The angulon's 100 Hz signals: Position, AbsolutePosition, UnfilteredVelocity, PositionSinceBoot.
  EXPECT_EQ(times.size(), 4u);
}

// Values set faster than a signal's frames, as a physics input each
// millisecond on a 100 Hz signal: every frame, read live or enumerated for
// the log writer, carries the value set last at or before its time. A new
// frequency set before the current value's first frame still starts its
// schedule where it was set, not where that value was.
TEST(SignalStoreFrames, ValuesSetBetweenFramesReachTheNextFrameOnly) {
  zephrin_test::StandaloneServices runtime;
  const uint32_t hash = runtime.devices.Register(4, "angulon", "drive");
  const uint16_t id = ids::angulon::kPosition;  // 100 Hz
  const uint64_t key = MakeSignalKey(hash, id);
  runtime.signals.SetRecordedUpTo(1.0);  // the log writer still wants everything after 1 s
  for (int ms = 1; ms <= 100; ++ms) {
    runtime.clock.SetManualTime(1.0 + ms * 0.001);
    runtime.signals.SetSimulatedValue(hash, id, ms);
    SignalMeasurement live{};
    ASSERT_EQ(runtime.signals.Read({&key, 1}, &live, "drive", false, 0.0), kOK);
    EXPECT_EQ(live.value, ms / 10 * 10) << "at " << ms << " ms";
  }
  std::vector<double> logged;
  runtime.signals.ForEachFrame(1.0, 1.1, [&](const SignalStore::BusFrame& f) {
    if (f.key == key) logged.push_back(f.measurement.value);
  });
  EXPECT_EQ(logged, (std::vector<double>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));

  runtime.clock.SetManualTime(1.1002);
  runtime.signals.SetSimulatedValue(hash, id, 7.0);
  runtime.clock.SetManualTime(1.1012);
  ASSERT_EQ(runtime.signals.SetFrequency("drive", hash, id, 1000.0), kOK);
  runtime.clock.SetManualTime(1.2);
  std::vector<double> times;
  runtime.signals.ForEachFrame(1.1, 1.105, [&](const SignalStore::BusFrame& f) {
    if (f.key != key) return;
    EXPECT_EQ(f.measurement.value, 7.0);
    times.push_back(f.measurement.systemTime);
  });
  ASSERT_EQ(times.size(), 4u);  // 1.102 .. 1.105: nothing at 1.101
  EXPECT_NEAR(times.front(), 1.102, 1e-12);
}

// A change a clock's tolerance after a frame owns that frame: the frame's
// index from the change's time is then a whole number, which the store's
// own rounding must not push to the next frame. A change soon after (before
// the next frame) must not take that frame over.
TEST(SignalStoreFrames, AChangeWithinTheToleranceAfterAFrameOwnsIt) {
  zephrin_test::StandaloneServices runtime;
  const uint32_t hash = runtime.devices.Register(4, "angulon", "drive");
  const uint16_t id = ids::angulon::kPosition;  // 100 Hz
  const uint64_t key = MakeSignalKey(hash, id);
  for (int frame = 101; frame <= 104; ++frame) {
    // A value that the frame before has sent.
    runtime.clock.SetManualTime((frame - 1) / 100.0 - 0.0005);
    runtime.signals.SetSimulatedValue(hash, id, -frame);
    // (t - 1e-9) * 100 is exactly `frame` for these times.
    const double justAfter = frame / 100.0 + 1e-9;
    ASSERT_EQ((justAfter - 1e-9) * 100.0, frame);
    runtime.clock.SetManualTime(justAfter);
    runtime.signals.SetSimulatedValue(hash, id, frame);
    runtime.clock.SetManualTime(frame / 100.0 + 0.0005);
    runtime.signals.SetSimulatedValue(hash, id, 0.5);
    runtime.clock.SetManualTime(frame / 100.0 + 0.0009);
    SignalMeasurement live{};
    ASSERT_EQ(runtime.signals.Read({&key, 1}, &live, "drive", false, 0.0), kOK);
    EXPECT_EQ(live.value, frame);
    EXPECT_NEAR(live.systemTime, frame / 100.0, 1e-12);
  }
}

// A firmware step hands every device's values to the store in one call,
// each device's run after the one before: each key takes its own value, as
// one call per device would give it, a device with no run takes nothing,
// and a held key or a value that is not a number leaves the key as it was.
TEST(SignalStoreFrames, OneCallForSeveralDevicesSetsEachDevicesRun) {
  zephrin_test::StandaloneServices runtime;
  constexpr uint16_t kFirstId = 0xF000;  // not in the catalogue: 100 Hz once set
  std::vector<uint32_t> hashes;
  for (int d = 0; d < 4; ++d) hashes.push_back(runtime.devices.Register(d, "angulon", "drive"));
  runtime.clock.SetManualTime(1.0005);
  for (uint32_t hash : hashes) {
    for (uint16_t s = 0; s < 3; ++s) runtime.signals.SetSimulatedValue(hash, kFirstId + s, -1.0);
  }
  runtime.signals.HoldSimulatedValue(hashes[3], kFirstId + 1, -2.0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Device 0: two values; device 1: none; device 2: three; device 3: three,
  // one of them held and one not a number.
  const std::vector<uint32_t> devices{hashes[0], hashes[1], hashes[2], hashes[3]};
  const std::vector<size_t> counts{2, 0, 3, 3};
  const std::vector<SignalStore::ValueUpdate> values{
      {kFirstId, 0.5, 0},     {kFirstId + 2, 2.5, 0}, {kFirstId, 20.0, 0}, {kFirstId + 1, 21.0, 0},
      {kFirstId + 2, 22.0, 0}, {kFirstId, 30.0, 0},    {kFirstId + 1, 31.0, 0}, {kFirstId + 2, nan, 0}};
  runtime.clock.SetManualTime(1.0105);
  runtime.signals.SetSimulatedValues(devices, counts, values, runtime.clock.Now());
  const std::vector<std::vector<double>> expected{
      {0.5, -1.0, 2.5}, {-1.0, -1.0, -1.0}, {20.0, 21.0, 22.0}, {30.0, -2.0, -1.0}};
  for (size_t d = 0; d < hashes.size(); ++d) {
    for (uint16_t s = 0; s < 3; ++s) {
      EXPECT_EQ(runtime.signals.SimulatedValue(hashes[d], kFirstId + s), expected[d][s]) << d << ", " << s;
    }
  }
  // Counts past the values there are take what is left and read nothing beyond.
  const std::vector<size_t> tooMany{1, 5, 7};
  runtime.signals.SetSimulatedValues({hashes.data(), 3}, tooMany, {values.data(), 3}, runtime.clock.Now());
  EXPECT_EQ(runtime.signals.SimulatedValue(hashes[0], kFirstId), 0.5);
  EXPECT_EQ(runtime.signals.SimulatedValue(hashes[1], kFirstId + 2), 2.5);
  EXPECT_EQ(runtime.signals.SimulatedValue(hashes[1], kFirstId), 20.0);
  EXPECT_EQ(runtime.signals.SimulatedValue(hashes[2], kFirstId), 20.0);
}

// One call hands over the values of signals on different schedules, in an
// order that switches between them: each key's new value starts at its own
// next frame, and the frame each key last sent keeps the value it had,
// whatever the key before it in the call was sent at.
TEST(SignalStoreFrames, OneCallOverSeveralSchedulesStartsEachValueAtItsOwnFrame) {
  zephrin_test::StandaloneServices runtime;
  constexpr uint16_t kFirstId = 0xF000;  // not in the catalogue
  const uint32_t a = runtime.devices.Register(1, "angulon", "drive");
  const uint32_t b = runtime.devices.Register(2, "angulon", "drive");
  // Per device: 100 Hz, 250 Hz, 100 Hz, 250 Hz.
  const std::array<double, 4> rates{100.0, 250.0, 100.0, 250.0};
  runtime.clock.SetManualTime(0.9805);
  for (uint32_t hash : {a, b}) {
    for (uint16_t s = 0; s < rates.size(); ++s) {
      ASSERT_EQ(runtime.signals.SetFrequency("drive", hash, kFirstId + s, rates[s]), kOK);
      runtime.signals.SetSimulatedValue(hash, kFirstId + s, -1.0);
    }
  }
  // Dated 2.5 ms on: the 250 Hz keys' next frame is at 1.004 s, the 100 Hz
  // keys' at 1.010 s; both sent a frame at 1.000 s with the old value.
  runtime.clock.SetManualTime(1.0025);
  std::vector<SignalStore::ValueUpdate> values;
  for (uint16_t s = 0; s < rates.size(); ++s) values.push_back({static_cast<uint16_t>(kFirstId + s), 10.0 + s, 0});
  for (uint16_t s = 0; s < rates.size(); ++s) values.push_back({static_cast<uint16_t>(kFirstId + s), 20.0 + s, 0});
  const std::vector<uint32_t> devices{a, b};
  const std::vector<size_t> counts{rates.size(), rates.size()};
  runtime.signals.SetSimulatedValues(devices, counts, values, runtime.clock.Now());
  auto read = [&](uint32_t hash, uint16_t s) {
    const uint64_t key = MakeSignalKey(hash, kFirstId + s);
    SignalMeasurement m{};
    EXPECT_EQ(runtime.signals.Read({&key, 1}, &m, "drive", false, 0.0), kOK);
    return std::pair(m.systemTime, m.value);
  };
  using Frame = std::pair<double, double>;
  for (const double at : {1.0035, 1.0045, 1.0105}) {
    runtime.clock.SetManualTime(at);
    for (uint16_t s = 0; s < rates.size(); ++s) {
      const double frame = std::floor(at * rates[s] + 1e-9) / rates[s];
      const bool changed = frame > 1.0025;
      EXPECT_EQ(read(a, s), Frame(frame, changed ? 10.0 + s : -1.0)) << "at " << at << ", signal " << s;
      EXPECT_EQ(read(b, s), Frame(frame, changed ? 20.0 + s : -1.0)) << "at " << at << ", signal " << s;
    }
  }
}

// A log writer that fell behind collects its backlog one slice at a time.
// Each slice must carry exactly the frames the whole backlog holds in it,
// with frequency changes, a stop and a restart at 4 Hz along the way.
TEST(SignalStoreFrames, SlicesOfALongHistoryCarryTheFramesOfTheWhole) {
  zephrin_test::StandaloneServices runtime;
  const uint32_t hash = runtime.devices.Register(4, "angulon", "drive");
  const uint16_t id = ids::angulon::kPosition;  // 100 Hz
  const uint64_t key = MakeSignalKey(hash, id);
  runtime.signals.SetRecordedUpTo(1.0);  // the writer has recorded nothing since the device came
  for (int ms = 1; ms <= 5000; ++ms) {
    runtime.clock.SetManualTime(1.0 + ms * 0.001);
    if (ms % 7 == 0) runtime.signals.SetSimulatedValue(hash, id, ms);
    const double hz = ms == 2000 ? 250.0 : ms == 3000 ? 0.0 : ms == 3500 ? 4.0 : -1.0;
    if (hz >= 0.0) {
      ASSERT_EQ(runtime.signals.SetFrequency("drive", hash, id, hz), kOK);
    }
  }
  using Frame = std::pair<double, double>;  // time, value
  auto collect = [&](double from, double to, std::vector<Frame>& into) {
    runtime.signals.ForEachFrame(from, to, [&](const SignalStore::BusFrame& f) {
      if (f.key == key) into.emplace_back(f.measurement.systemTime, f.measurement.value);
    });
  };
  std::vector<Frame> whole, sliced;
  collect(1.0, 6.0, whole);
  for (int slice = 0; slice < 250; ++slice) collect(1.0 + slice * 0.02, 1.0 + (slice + 1) * 0.02, sliced);
  EXPECT_EQ(sliced, whole);
  // 100 Hz to 3 s, 250 Hz from 3 s up to the stop at 4 s (whose frame still
  // goes out), 4 Hz from 4.5 s: 4.5, 4.75 .. 6.0.
  EXPECT_EQ(whole.size(), 199u + 251u + 7u);
  EXPECT_EQ(whole.back(), Frame(6.0, 4998.0));
}

// A value the simulation changes every millisecond on a signal sent every
// few: set at the clock's time (a sensor's physics) or dated at the step just
// ahead of it (the firmware), read after every change, with or without a log
// writer collecting 20 ms slices 40 to 60 ms behind. Every frame, read or
// logged, carries the value last set at or before its own time, and a clock
// moved back over what the writer has yet to collect reads it again.
class SignalStoreValues : public ::testing::TestWithParam<std::tuple<double, bool, bool>> {};

TEST_P(SignalStoreValues, EveryFrameCarriesTheValueOfItsTime) {
  const auto [hz, ahead, logged] = GetParam();
  zephrin_test::StandaloneServices runtime;
  const uint32_t hash = runtime.devices.Register(4, "angulon", "drive");
  const uint16_t id = ids::angulon::kPosition;
  const uint64_t key = MakeSignalKey(hash, id);
  ASSERT_EQ(runtime.signals.SetFrequency("drive", hash, id, hz), kOK);
  double recorded = 1.0;
  if (logged) runtime.signals.SetRecordedUpTo(recorded);

  std::vector<std::pair<double, double>> changes;  // time, value
  auto valueAt = [&](double t) {
    double value = 0.0;
    for (const auto& [at, v] : changes) {
      if (at <= t + 1e-9) value = v;
    }
    return value;
  };
  // The clock stands half a millisecond off the whole ones, where no frame
  // of these rates falls.
  auto frameBy = [&](double t) { return std::floor(t * hz) / hz; };
  std::vector<std::pair<double, double>> logFrames;
  auto collect = [&](double from, double to) {
    runtime.signals.ForEachFrame(from, to, [&](const SignalStore::BusFrame& f) {
      if (f.key == key) logFrames.emplace_back(f.measurement.systemTime, f.measurement.value);
    });
  };

  double now = 1.0;
  for (int ms = 1; ms <= 600; ++ms) {
    now = 1.0005 + ms * 0.001;
    runtime.clock.SetManualTime(now);
    const double value = (ms / 3) * 0.5 - 20.0;  // repeats, crosses zero
    if (ahead) {
      const double at = 1.0 + (ms + 1) * 0.001;
      const SignalStore::ValueUpdate update{id, value, 0};
      runtime.signals.SetSimulatedValues(hash, {&update, 1}, at);
      changes.emplace_back(at, value);
    } else {
      runtime.signals.SetSimulatedValue(hash, id, value);
      changes.emplace_back(now, value);
    }
    SignalMeasurement live{};
    ASSERT_EQ(runtime.signals.Read({&key, 1}, &live, "drive", false, 0.0), kOK) << "at " << ms << " ms";
    ASSERT_EQ(live.systemTime, frameBy(now)) << "at " << ms << " ms";
    ASSERT_EQ(live.value, valueAt(live.systemTime)) << "at " << ms << " ms";
    if (logged && now - recorded > 0.06) {
      collect(recorded, recorded + 0.02);
      recorded += 0.02;
      runtime.signals.SetRecordedUpTo(recorded);
    }
  }
  if (!logged) return;

  // Back over the part not yet collected (a rewound replay under the writer).
  for (double back = recorded + 0.0105; back < now; back += 0.003) {
    runtime.clock.SetManualTime(back);
    SignalMeasurement m{};
    ASSERT_EQ(runtime.signals.Read({&key, 1}, &m, "drive", false, 0.0), kOK);
    EXPECT_EQ(m.systemTime, frameBy(back));
    EXPECT_EQ(m.value, valueAt(m.systemTime)) << "back at " << back;
  }
  collect(recorded, now);
  std::vector<std::pair<double, double>> expected;
  for (double k = std::floor(1.0 * hz) + 1.0; k / hz <= now; k += 1.0) expected.emplace_back(k / hz, valueAt(k / hz));
  EXPECT_EQ(logFrames, expected);
}

INSTANTIATE_TEST_SUITE_P(SignalStoreFrames, SignalStoreValues,
                         ::testing::Combine(::testing::Values(250.0, 100.0, 300.0), ::testing::Bool(),
                                            ::testing::Bool()));

// Far more keys than the store remembers the states of (1,600 on 40
// devices), each given its own value by each way values come in, in turn:
// every key reads back its own, whichever other keys it is remembered beside.
TEST(SignalStoreFrames, EveryKeyKeepsItsOwnValue) {
  zephrin_test::StandaloneServices runtime;
  constexpr int kDevices = 40;
  constexpr uint16_t kFirstId = 0xF000;  // not in the catalogue: 100 Hz once set
  constexpr uint16_t kSignals = 40;
  std::vector<uint32_t> hashes;
  for (int d = 0; d < kDevices; ++d) hashes.push_back(runtime.devices.Register(d, "angulon", "drive"));
  auto own = [](int d, int s) { return d * 100.0 + s; };
  std::vector<uint64_t> keys;
  for (int d = 0; d < kDevices; ++d) {
    for (int s = 0; s < kSignals; ++s) keys.push_back(MakeSignalKey(hashes[d], kFirstId + s));
  }
  const uint8_t count = kSignals;
  for (int round = 0; round < 3; ++round) {
    runtime.clock.SetManualTime(1.0005 + round * 0.02);
    for (int d = 0; d < kDevices; ++d) {
      std::vector<SignalStore::ValueUpdate> batch;  // round 1: own + 1
      std::vector<SignalStore::SensorValue> moves;  // round 2: one more
      for (int s = 0; s < kSignals; ++s) {
        if (round == 0) runtime.signals.SetSimulatedValue(hashes[d], kFirstId + s, own(d, s));
        batch.push_back({static_cast<uint16_t>(kFirstId + s), own(d, s) + 1.0, 0});
        moves.push_back({static_cast<uint16_t>(kFirstId + s), 1.0, true});
      }
      if (round == 1) runtime.signals.SetSimulatedValues(hashes[d], batch, runtime.clock.Now());
      if (round == 2) static_cast<void>(runtime.signals.SetSensorInputsNow({&hashes[d], 1}, moves, {&count, 1}));
    }
    runtime.clock.SetManualTime(1.0105 + round * 0.02);  // past every key's next frame
    std::vector<SignalMeasurement> records(keys.size());
    ASSERT_EQ(runtime.signals.Read(keys, records.data(), "drive", false, 0.0), kOK);
    for (int d = 0; d < kDevices; ++d) {
      for (int s = 0; s < kSignals; ++s) {
        ASSERT_EQ(runtime.signals.SimulatedValue(hashes[d], kFirstId + s), own(d, s) + round);
        ASSERT_EQ(records[d * kSignals + s].value, own(d, s) + round) << "device " << d << ", signal " << s;
      }
    }
  }
}

// A sensor stands for as many device objects as the program made of it,
// here more than the store keeps the states of from the check of a move to
// the move itself, each with its own offset on the signal moved by the
// difference (the first one with none set yet). Every object moves by the
// same difference from its own offset; an input that would carry one of
// them past the largest double changes none and ends the call.
TEST(SignalStoreFrames, SensorInputsMoveEveryDeviceObjectFromItsOwnOffset) {
  zephrin_test::StandaloneServices runtime;
  constexpr int kObjects = 12;
  constexpr uint16_t kMoved = 0xF000;  // by the difference
  constexpr uint16_t kSet = 0xF001;    // to the value
  std::vector<uint32_t> hashes;
  for (int d = 0; d < kObjects; ++d) {
    hashes.push_back(runtime.devices.Register(7, "angulon", "bus" + std::to_string(d)));
    if (d > 0) runtime.signals.SetSimulatedValue(hashes.back(), kMoved, 10.0 * d);
  }
  runtime.signals.SetSimulatedValue(hashes.back(), kMoved, 1e308);
  const SignalStore::SensorValue values[] = {{kSet, 2.0, false}, {kMoved, 0.5, true},    // input 1
                                             {kMoved, 0.25, true}, {kSet, 3.0, false},   // input 2
                                             {kMoved, 1e308, true}, {kSet, 4.0, false},  // refused
                                             {kSet, 5.0, false}};
  const uint8_t counts[] = {2, 2, 2, 1};
  EXPECT_EQ(runtime.signals.SetSensorInputsNow(hashes, values, counts), 2u);
  for (int d = 0; d < kObjects; ++d) {
    const double offset = d == kObjects - 1 ? 1e308 : 10.0 * d;
    EXPECT_EQ(runtime.signals.SimulatedValue(hashes[d], kMoved), offset + 0.75) << "object " << d;
    EXPECT_EQ(runtime.signals.SimulatedValue(hashes[d], kSet), 3.0) << "object " << d;
  }
}

// The states a caller keeps for its sensor batches serve only the store
// that found them: the same batch handed to a store built in the old one's
// place finds its keys there afresh, and moves on from that store's values.
TEST(SignalStoreFrames, KeptSensorStatesServeOnlyTheStoreThatFoundThem) {
  constexpr uint16_t kMoved = 0xF000;  // by the difference
  constexpr uint16_t kSet = 0xF001;    // to the value
  const SignalStore::SensorValue values[] = {{kSet, 2.0, false}, {kMoved, 0.5, true}};
  const uint8_t counts[] = {2};
  SignalStore::SensorStates kept;
  std::optional<zephrin_test::StandaloneServices> runtime;
  for (int store = 0; store < 2; ++store) {
    runtime.emplace();  // where the one before was
    const uint32_t hash = runtime->devices.Register(7, "angulon", "drive");
    const SignalStore::SensorInputs sensor{{&hash, 1}, counts};
    for (int step = 1; step <= 3; ++step) {
      ASSERT_EQ(runtime->signals.SetSensorInputsNow({&sensor, 1}, values, &kept), 1u);
      EXPECT_EQ(runtime->signals.SimulatedValue(hash, kMoved), 0.5 * step) << "store " << store;
      EXPECT_EQ(runtime->signals.SimulatedValue(hash, kSet), 2.0) << "store " << store;
    }
  }
}

// A batch handed over step after step with kept states: whatever the steps
// before it, each step checks every move against the values as the inputs
// before it in the same step leave them, refuses from the first move that
// would not stay finite on, and skips a value that is not finite.
TEST(SignalStoreFrames, KeptSensorStatesMoveEachStepAsAFreshBatch) {
  constexpr uint16_t kMoved = 0xF000;  // by the difference
  constexpr uint16_t kSet = 0xF001;    // to the value
  constexpr uint16_t kOther = 0xF002;  // by the difference, the second input
  constexpr double kInf = std::numeric_limits<double>::infinity();
  zephrin_test::StandaloneServices runtime;
  const uint32_t hash = runtime.devices.Register(7, "angulon", "drive");
  auto step = [&](SignalStore::SensorStates& kept, std::span<const SignalStore::SensorValue> values,
                  std::span<const uint8_t> counts) {
    const SignalStore::SensorInputs sensor{{&hash, 1}, counts};
    return runtime.signals.SetSensorInputsNow({&sensor, 1}, values, &kept);
  };
  auto value = [&](uint16_t id) { return runtime.signals.SimulatedValue(hash, id); };
  {
    // Two inputs on distinct keys: the second one's move refused.
    SignalStore::SensorStates kept;
    const uint8_t counts[] = {2, 1};
    for (int i = 0; i < 3; ++i) {
      const SignalStore::SensorValue values[] = {{kSet, 1.0 + i, false}, {kMoved, 1.0, true}, {kOther, 2.0, true}};
      ASSERT_EQ(step(kept, values, counts), 2u);
    }
    EXPECT_EQ(value(kMoved), 3.0);
    EXPECT_EQ(value(kOther), 6.0);
    const SignalStore::SensorValue overflow[] = {{kSet, 7.0, false}, {kMoved, 1.0, true}, {kOther, kInf, true}};
    EXPECT_EQ(step(kept, overflow, counts), 1u);
    EXPECT_EQ(value(kSet), 7.0);
    EXPECT_EQ(value(kMoved), 4.0);
    EXPECT_EQ(value(kOther), 6.0);
    // A set value that is not finite is skipped; the rest move.
    const SignalStore::SensorValue skipped[] = {{kSet, kInf, false}, {kMoved, 1.0, true}, {kOther, 1.0, true}};
    EXPECT_EQ(step(kept, skipped, counts), 2u);
    EXPECT_EQ(value(kSet), 7.0);
    EXPECT_EQ(value(kMoved), 5.0);
    EXPECT_EQ(value(kOther), 7.0);
    // The first input refused: nothing moves.
    const SignalStore::SensorValue first[] = {{kSet, 8.0, false}, {kMoved, kInf, true}, {kOther, 1.0, true}};
    EXPECT_EQ(step(kept, first, counts), 0u);
    EXPECT_EQ(value(kSet), 7.0);
    EXPECT_EQ(value(kOther), 7.0);
  }
  {
    // Two inputs moving the same key: the second is checked after the first.
    SignalStore::SensorStates kept;
    const uint8_t counts[] = {1, 1};
    const SignalStore::SensorValue small[] = {{kMoved, 1.0, true}, {kMoved, 1.0, true}};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(step(kept, small, counts), 2u);
    EXPECT_EQ(value(kMoved), 11.0);
    const SignalStore::SensorValue large[] = {{kMoved, 1e308, true}, {kMoved, 1e308, true}};
    EXPECT_EQ(step(kept, large, counts), 1u);
    EXPECT_EQ(value(kMoved), 11.0 + 1e308);
  }
}

// A group read gives each key the frame it gets when read alone, whichever
// keys come before it in the group: keys on the same frequency or another,
// a value changed between two frames (its key still sends the older value
// until the next frame), values set a step ahead of the clock, a signal
// stopped mid-way, untouched keys, a device on another bus. Each record is
// written whole, whatever the caller's buffer held.
TEST(SignalStoreReads, GroupsReadEachKeyAsItReadsAlone) {
  zephrin_test::StandaloneServices runtime;
  namespace angulon = ids::angulon;
  const uint32_t a = runtime.devices.Register(4, "angulon", "drive");
  const uint32_t b = runtime.devices.Register(5, "angulon", "drive");
  const uint32_t other = runtime.devices.Register(6, "angulon", "chassis");
  ASSERT_EQ(runtime.signals.SetFrequency("drive", a, angulon::kPosition, 250), kOK);
  ASSERT_EQ(runtime.signals.SetFrequency("drive", a, angulon::kVelocity, 250), kOK);
  ASSERT_EQ(runtime.signals.SetFrequency("drive", b, angulon::kPosition, 250), kOK);
  ASSERT_EQ(runtime.signals.SetFrequency("drive", b, angulon::kVelocity, 100), kOK);
  // a's velocity changes now and then, its position at every step: the
  // position's newest value has not been sent yet when the velocity's has.
  const uint64_t keys[] = {MakeSignalKey(a, angulon::kVelocity),     MakeSignalKey(a, angulon::kPosition),
                           MakeSignalKey(b, angulon::kPosition),     MakeSignalKey(b, angulon::kVelocity),
                           MakeSignalKey(a, angulon::kSupplyVoltage), MakeSignalKey(other, angulon::kPosition),
                           MakeSignalKey(a, angulon::kAbsolutePosition), MakeSignalKey(b, angulon::kAbsolutePosition)};
  constexpr size_t kKeys = std::size(keys);

  for (int step = 1; step <= 60; ++step) {
    SCOPED_TRACE(step);
    // Off the whole milliseconds, so that changes fall between frames.
    const double now = 1.0 + step * 0.0007;
    runtime.clock.SetManualTime(now);
    runtime.signals.SetSimulatedValue(a, angulon::kPosition, step * 0.5);
    if (step % 4 == 0) runtime.signals.SetSimulatedValue(a, angulon::kVelocity, -step * 1.0);
    const SignalStore::ValueUpdate ahead{angulon::kPosition, step * 2.0, 0};
    runtime.signals.SetSimulatedValues(b, {&ahead, 1}, now + 0.001);
    runtime.signals.SetSimulatedValue(b, angulon::kVelocity, step * 3.0);
    if (step == 30) {
      ASSERT_EQ(runtime.signals.SetFrequency("drive", a, angulon::kSupplyVoltage, 0), kOK);
    }

    using Bytes = std::array<unsigned char, sizeof(SignalMeasurement)>;
    Bytes garbage;
    garbage.fill(0xA5);
    SignalMeasurement group[kKeys];
    for (SignalMeasurement& record : group) record = std::bit_cast<SignalMeasurement>(garbage);
    const int status = runtime.signals.Read(keys, group, "drive", false, 0.0);
    int expected = kOK;
    for (size_t i = 0; i < kKeys; ++i) {
      SCOPED_TRACE(i);
      SignalMeasurement alone{};
      const int own = runtime.signals.Read({&keys[i], 1}, &alone, "drive", false, 0.0);
      if (expected == kOK) expected = own;
      EXPECT_EQ(group[i].value, alone.value);
      EXPECT_EQ(group[i].systemTime, alone.systemTime);
      EXPECT_EQ(group[i].status, alone.status);
      EXPECT_EQ(std::bit_cast<Bytes>(group[i]), std::bit_cast<Bytes>(alone));
    }
    EXPECT_EQ(status, expected);
  }
}

// Many devices over more buses than the store tells apart by index (and
// more devices than it remembers without a search): a group read of all
// their keys on one bus hands each key on that bus its own value and every
// other key nothing, for each bus in turn, and again once a device is gone.
TEST(SignalStoreReads, GroupsFindEachDeviceOnItsOwnBus) {
  zephrin_test::StandaloneServices runtime;
  constexpr int kBuses = 12;
  constexpr int kDevices = 150;
  const uint16_t id = ids::angulon::kPosition;
  std::vector<uint64_t> keys;
  for (int d = 0; d < kDevices; ++d) {
    const uint32_t hash = runtime.devices.Register(d, "angulon", "bus" + std::to_string(d % kBuses));
    runtime.signals.SetSimulatedValue(hash, id, 1.0 + d);
    keys.push_back(MakeSignalKey(hash, id));
  }
  runtime.clock.SetManualTime(1.5);
  const auto expectOnBus = [&](int gone) {
    for (int bus = 0; bus < kBuses; ++bus) {
      SCOPED_TRACE(bus);
      const std::string name = "bus" + std::to_string(bus);
      std::vector<SignalMeasurement> records(keys.size());
      EXPECT_EQ(runtime.signals.Read(keys, records.data(), name, false, 0.0), kRxTimeout);
      for (int d = 0; d < kDevices; ++d) {
        const bool onBus = d % kBuses == bus && d != gone;
        ASSERT_EQ(records[d].status, onBus ? kOK : kRxTimeout) << "device " << d;
        ASSERT_EQ(records[d].value, onBus ? 1.0 + d : 0.0) << "device " << d;
      }
    }
  };
  expectOnBus(-1);
  ASSERT_TRUE(runtime.devices.SetPresent(platform::SignalKeyDeviceHash(keys[40]), false));
  expectOnBus(40);
}

// While a replay source is installed it answers every read, and waits end
// when the replay time reaches its next sample.
TEST(SignalStoreReplay, ReplaySourceReplacesSimulation) {
  zephrin_test::StandaloneServices runtime;
  auto read = [&](uint32_t hash, uint16_t id, int* status) {
    const uint64_t key = MakeSignalKey(hash, id);
    SignalMeasurement m{};
    *status = runtime.signals.Read({&key, 1}, &m, "", false, 0.0);
    return m;
  };
  struct Source : kvor::zephrin::runtime::signals::ReplaySampleSource {
    // One signal logged at 1.5 and 2.0 with values 10 and 20.
    bool Latest(uint64_t, double t, SignalMeasurement& out, double& sampleTime) const override {
      if (t < 1.5) return false;
      sampleTime = t < 2.0 ? 1.5 : 2.0;
      out = SignalMeasurement{};
      out.value = sampleTime == 1.5 ? 10 : 20;
      out.systemTime = sampleTime;
      return true;
    }
    double NextSampleTime(uint64_t, double t) const override { return t < 1.5 ? 1.5 : t < 2.0 ? 2.0 : INFINITY; }
  };
  runtime.signals.SetReplaySource(std::make_shared<Source>());
  const uint32_t hash = harness::DeviceHash(1, "rapax q", "");  // never registered: the log decides
  int status = kOK;
  read(hash, kVelocity, &status);
  EXPECT_EQ(status, kRxTimeout);
  runtime.clock.SetManualTime(1.7);
  EXPECT_EQ(read(hash, kVelocity, &status).value, 10);
  EXPECT_EQ(status, kOK);

  const uint64_t key = MakeSignalKey(hash, kVelocity);
  SignalMeasurement record{};
  std::thread waiter([&] { status = runtime.signals.Read({&key, 1}, &record, "", true, 1.0); });
  runtime.clock.AwaitBlockedWaiters(1);
  runtime.clock.SetManualTime(2.0);
  waiter.join();
  EXPECT_EQ(status, kOK);
  EXPECT_EQ(record.value, 20);
}

}  // namespace
