#include <kvor/zephrin6/configs/AngulonConfigurator.hpp>
#include <kvor/zephrin6/configs/RapaxQConfigurator.hpp>
#include <kvor/zephrin6/configs/RapaxWConfigurator.hpp>

#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include <atomic>
#include <thread>
#include <vector>

#include "support/RuntimeFixture.hpp"

namespace harness = kvor::zephrin::runtime::harness;
namespace ids = kvor::zephrin::signal_ids;
using namespace kvor::zephrin6::configs;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::hardware::DeviceIdentifier;
using namespace units::literals;

namespace {

class Configurator : public zephrin_test::RuntimeTest {
 protected:
  // Constructed at t = 1.0 on the manual clock.
  void SetUp() override {
    RuntimeTest::SetUp();
    rapax = std::make_unique<RapaxQConfigurator>(DeviceIdentifier(3, "rapax q", "drive"));
  }
  uint32_t Hash() const { return rapax->GetDeviceIdentifier().GetDeviceHash(); }
  double Served(uint16_t signalId) const {
    uint64_t key = Hash() | (uint64_t{signalId} << 32);
    kvor::zephrin::platform::SignalMeasurement record{};
    EXPECT_EQ(c_kvor_zephrin6_get_signal(1, &key, &record, "drive", false, 0.0), 0);
    return record.value;
  }
  std::unique_ptr<RapaxQConfigurator> rapax;
};

int CountCode(int code) {
  int n = 0;
  for (const auto& r : harness::Reports()) n += r.code == code;
  return n;
}

}  // namespace

// The frequency watch: a run of calls less than 1 s apart warns from the
// first call more than 3 s after the run began, on every further call; slow
// calls and start-up bursts never warn.
TEST_F(Configurator, FrequencyWatchWarnsOnlyOnLongRunsOfCloseCalls) {
  struct Scenario {
    const char* name;
    double firstCall;  // seconds after construction
    double spacing;
    int calls;
    std::vector<int> warnedCalls;  // indices of the calls that warn
  };
  const Scenario scenarios[] = {
      {"eleven calls 0.5 s apart from 10 s", 10.0, 0.5, 11, {7, 8, 9, 10}},
      {"calls 1.5 s apart", 10.0, 1.5, 11, {}},
      {"start-up burst", 0.0, 0.25, 20, {}},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    harness::SetTime(1.0);
    RapaxQConfigurator configurator(DeviceIdentifier(4, "rapax q", ""));
    std::vector<int> warned;
    for (int i = 0; i < s.calls; ++i) {
      harness::SetTime(1.0 + s.firstCall + i * s.spacing);
      harness::ClearReports();
      EXPECT_EQ(configurator.Apply(MotorOutputConfigs{}), StatusCode::OK);
      if (CountCode(StatusCode::FrequentConfigCalls) > 0) warned.push_back(i);
    }
    EXPECT_EQ(warned, s.warnedCalls);
  }
}

// The warning is a warning with its own location; refreshes count as calls.
TEST_F(Configurator, FrequencyWarningLocationAndRefreshes) {
  harness::SetTime(20.0);
  MotorOutputConfigs output;
  for (int i = 0; i < 9; ++i) {
    harness::AdvanceTime(0.5);
    if (i % 2) {
      EXPECT_EQ(rapax->Refresh(output), StatusCode::OK);
    } else {
      EXPECT_EQ(rapax->Apply(output), StatusCode::OK);
    }
  }
  auto reports = harness::Reports();
  ASSERT_FALSE(reports.empty());
  EXPECT_FALSE(reports.back().isError);
  EXPECT_EQ(reports.back().code, 10002);
  EXPECT_EQ(reports.back().location, "rapax q 3 (\"drive\") Config");
}

// A zero timeout comes back from the runtime as TimeoutCannotBeZero: quiet on
// apply and actions, reported on refresh.
TEST_F(Configurator, ZeroTimeoutReportedOnRefreshOnly) {
  MotorOutputConfigs output;
  EXPECT_EQ(rapax->Apply(output, 0_s), StatusCode::TimeoutCannotBeZero);
  EXPECT_EQ(rapax->ClearStickyFault_Hardware(0_s), StatusCode::TimeoutCannotBeZero);
  EXPECT_TRUE(harness::Reports().empty());
  EXPECT_EQ(rapax->Refresh(output, 0_s), StatusCode::TimeoutCannotBeZero);
  auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].code, -10032);
  EXPECT_EQ(reports[0].location, "rapax q 3 (\"drive\") Refresh Config");
}

// A failing config call is returned and reported once, as an error at the
// apply location; the next call works again.
TEST_F(Configurator, InjectedFailureReportedOnce) {
  harness::FailNextConfigCalls(Hash(), 1, StatusCode::ConfigFailed);
  EXPECT_EQ(rapax->Apply(CurrentLimitsConfigs{}), StatusCode::ConfigFailed);
  EXPECT_EQ(rapax->Apply(CurrentLimitsConfigs{}), StatusCode::OK);
  auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].isError);
  EXPECT_EQ(reports[0].code, -129);
  EXPECT_EQ(reports[0].location, "rapax q 3 (\"drive\") Apply Config");
}

// What is applied is what a later refresh reads back, group by group and as
// a whole configuration, and a refresh of another group changes nothing.
TEST_F(Configurator, AppliedValuesReadBack) {
  RapaxQConfiguration applied;
  applied.MotorOutput.WithNeutralMode(1).WithPeakReverseDutyCycle(-0.5);
  applied.Slot1.WithkP(12.5).WithGravityType(1);
  applied.CurrentLimits.WithStatorCurrentLimit(60_A);
  ASSERT_EQ(rapax->Apply(applied), StatusCode::OK);

  RapaxQConfiguration read;
  ASSERT_EQ(rapax->Refresh(read), StatusCode::OK);
  EXPECT_EQ(read.Serialize(), applied.Serialize());

  SlotConfigs slot;
  slot.SlotNumber = 1;
  ASSERT_EQ(rapax->Refresh(slot), StatusCode::OK);
  EXPECT_EQ(slot.kP, 12.5);
  EXPECT_EQ(slot.GravityType, 1);

  // The rapax w shares the common groups and keeps its own.
  RapaxWConfigurator w(DeviceIdentifier(3, "rapax w", "drive"));
  ASSERT_EQ(w.Apply(MotorOutputConfigs{}.WithInverted(1)), StatusCode::OK);
  ASSERT_EQ(w.Apply(ExternalFeedbackConfigs{}.WithQuadratureEdgesPerRotation(2048)), StatusCode::OK);
  RapaxWConfiguration wRead;
  ASSERT_EQ(w.Refresh(wRead), StatusCode::OK);
  EXPECT_EQ(wRead.MotorOutput.Inverted, 1);
  EXPECT_EQ(wRead.ExternalFeedback.QuadratureEdgesPerRotation, 2048);
  EXPECT_EQ(wRead.MotorOutput.NeutralMode, 0);  // the rapax q's settings stay on the rapax q
}

// An invalid slot throws before anything reaches the device.
TEST_F(Configurator, InvalidSlotThrowsBeforeSending) {
  SlotConfigs slot;
  slot.SlotNumber = 3;
  EXPECT_THROW(static_cast<void>(rapax->Apply(slot)), std::out_of_range);  // throws: no status
  EXPECT_THROW(static_cast<void>(rapax->Refresh(slot)), std::out_of_range);
  // The refresh fetched the text before deserialising; nothing was written.
  for (const auto& call : harness::ConfigCalls(Hash())) EXPECT_FALSE(call.isSet);
}

// Actions move the signals the device serves: the position jumps to the new
// value and sticky faults drop to 0; nothing is stored as a setting.
TEST_F(Configurator, ActionsActOnServedSignals) {
  ASSERT_EQ(rapax->SetPosition(2.5_tr), StatusCode::OK);
  EXPECT_EQ(Served(ids::rapax_q::kPosition), 2.5);
  auto calls = harness::ConfigCalls(Hash());
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].text, "1016:d=2.5;");
  EXPECT_TRUE(calls[0].actionFlag);
  EXPECT_FALSE(calls[0].firstFlag);
  EXPECT_DOUBLE_EQ(calls[0].timeoutSeconds, 0.1);

  harness::SetSimulatedValue(Hash(), ids::rapax_q::kStickyFault_Hardware, 1);
  harness::SetSimulatedValue(Hash(), ids::rapax_q::kStickyFault_StatorCurrLimit, 1);
  ASSERT_EQ(rapax->ClearStickyFault_Hardware(), StatusCode::OK);
  EXPECT_EQ(Served(ids::rapax_q::kStickyFault_Hardware), 0);
  EXPECT_EQ(Served(ids::rapax_q::kStickyFault_StatorCurrLimit), 1);
  ASSERT_EQ(rapax->ClearStickyFaults(), StatusCode::OK);
  EXPECT_EQ(Served(ids::rapax_q::kStickyFault_StatorCurrLimit), 0);
  EXPECT_EQ(harness::StoredConfigText(Hash()), "");

  AngulonConfigurator angulon(DeviceIdentifier(5, "angulon", "drive"));
  ASSERT_EQ(angulon.SetPosition(-0.25_tr), StatusCode::OK);
  uint64_t key = angulon.GetDeviceIdentifier().GetDeviceHash() | (uint64_t{ids::angulon::kPosition} << 32);
  kvor::zephrin::platform::SignalMeasurement record{};
  ASSERT_EQ(c_kvor_zephrin6_get_signal(1, &key, &record, "drive", false, 0.0), 0);
  EXPECT_EQ(record.value, -0.25);
}

// An action whose text the runtime cannot write (out of memory, or an ID out
// of its range as here) is refused and reported: sending the empty text
// instead would do nothing and answer OK.
TEST_F(Configurator, AnActionThatCannotBeWrittenIsRefused) {
  struct ActionProbe : ParentConfigurator {
    explicit ActionProbe(DeviceIdentifier id) : ParentConfigurator(std::move(id)) {}
    using ParentConfigurator::SendAction;
  };
  const ActionProbe probe(DeviceIdentifier(3, "rapax q", "drive"));
  harness::ClearReports();
  EXPECT_EQ(probe.SendAction(70000, 1.0, 0.1_s), StatusCode::InvalidParamValue);
  EXPECT_TRUE(harness::ConfigCalls(Hash()).empty());
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].code, StatusCode::InvalidParamValue);
  EXPECT_EQ(reports[0].location, "rapax q 3 (\"drive\") Apply Config");
}

// An absent device keeps the call blocked until the runtime clock passes the
// timeout, then the call fails with RxTimeout, reported at the apply location.
TEST_F(Configurator, AbsentDeviceTimesOutOnTheRuntimeClock) {
  ASSERT_TRUE(harness::SetDevicePresent(Hash(), false));
  std::atomic<bool> done{false};
  StatusCode status;
  std::thread caller([&] {
    status = rapax->Apply(MotorOutputConfigs{});  // default timeout 0.1 s
    done = true;
  });
  harness::AwaitBlockedWaiters(1);
  harness::AdvanceTime(0.06);
  harness::AwaitBlockedWaiters(1);
  EXPECT_FALSE(done);
  harness::AdvanceTime(0.05);
  caller.join();
  EXPECT_EQ(status, StatusCode::RxTimeout);
  auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].location, "rapax q 3 (\"drive\") Apply Config");
}

// Several threads applying and refreshing on one configurator: every call
// completes, and the device ends up holding one thread's complete group.
TEST_F(Configurator, ConcurrentCallsOnOneConfigurator) {
  constexpr int kThreads = 4;
  constexpr int kCalls = 50;
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      MotorOutputConfigs mine;
      mine.WithDutyCycleNeutralDeadband(0.01 * (t + 1)).WithPeakForwardDutyCycle(0.1 * (t + 1));
      for (int i = 0; i < kCalls; ++i) {
        if (rapax->Apply(mine) != StatusCode::OK) ++failures;
        MotorOutputConfigs read;
        if (rapax->Refresh(read) != StatusCode::OK) ++failures;
        bool whole = false;  // both fields from the same thread's apply
        for (int k = 1; k <= kThreads; ++k) {
          whole |= read.DutyCycleNeutralDeadband == 0.01 * k && read.PeakForwardDutyCycle == 0.1 * k;
        }
        if (!whole) ++failures;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(harness::ConfigCalls(Hash()).size(), 256u);
}
