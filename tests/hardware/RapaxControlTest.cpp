// The motor controllers' control path: SetControl through the ControlRequest
// base finds every accepted request type and refuses the others, and the
// configuration shortcuts reach the configurator with the right timeout.
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>

#include <kvor/zephrin6/controls/Controls.hpp>
#include <kvor/zephrin6/controls/EmptyControl.hpp>

#include <kvor/zephrin/platform/Configs.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin/runtime/harness/Configs.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "support/RuntimeFixture.hpp"

namespace {

using namespace kvor::zephrin6;
using namespace kvor::zephrin6::hardware;
using namespace kvor::zephrin6::hardware::core;
using kvor::zephrin::StatusCode;
namespace harness = kvor::zephrin::runtime::harness;
using namespace units::literals;

// A request type no device knows.
class HomemadeRequest : public controls::ControlRequest {
 public:
  HomemadeRequest() : ControlRequest{"HomemadeRequest"} {}
  kvor::zephrin::StatusCode SendRequest(const char*, uint32_t, std::shared_ptr<ControlRequest>&) const override {
    ADD_FAILURE() << "a device sent a request type it does not accept";
    return StatusCode::OK;
  }
  std::map<std::string, std::string> GetControlInfo() const override { return {{"Name", name}}; }
  std::string ToString() const override { return "Control: HomemadeRequest\n"; }
};

// Sends one default-built request of every type the rapax q accepts through
// the ControlRequest overload of `device`, expecting the device to send those
// in `accepted` and to refuse the rest with NotSupported without a call.
template <class Device>
void CheckDispatch(Device& device, uint32_t hash, const std::set<std::string>& accepted) {
#define KVOR_DEVICE_REQUEST(Class, Type)                                                           \
  if constexpr (std::is_same_v<Class, CoreRapaxQ>) {                                               \
    const Type request;                                                                            \
    const std::string name = request.name;                                                         \
    SCOPED_TRACE(name);                                                                            \
    const auto before = harness::ControlCallCount(hash);                                           \
    const controls::ControlRequest& base = request;                                                \
    if (accepted.count(name) != 0) {                                                               \
      EXPECT_EQ(device.SetControl(base), StatusCode::OK);                                          \
      auto call = harness::LastControlCall(hash);                                                  \
      ASSERT_TRUE(call.has_value());                                                               \
      EXPECT_EQ(call->function, "c_kvor_zephrin6_RequestControl" + name);                          \
      EXPECT_EQ(harness::ControlCallCount(hash), before + 1);                                      \
    } else {                                                                                       \
      EXPECT_EQ(device.SetControl(base), StatusCode::NotSupported);                                \
      EXPECT_EQ(harness::ControlCallCount(hash), before);                                          \
    }                                                                                              \
  }
#include "hardware/generated/DeviceGetters.inc"
#undef KVOR_DEVICE_REQUEST

  SCOPED_TRACE("requests no device accepts");
  const auto before = harness::ControlCallCount(hash);
  EXPECT_EQ(device.SetControl(static_cast<const controls::ControlRequest&>(controls::EmptyControl{})),
            StatusCode::NotSupported);
  EXPECT_EQ(device.SetControl(static_cast<const controls::ControlRequest&>(HomemadeRequest{})),
            StatusCode::NotSupported);
  EXPECT_EQ(harness::ControlCallCount(hash), before);
}

template <class Device>
std::set<std::string> AcceptedBy() {
  std::set<std::string> names;
#define KVOR_DEVICE_REQUEST(Class, Type) \
  if constexpr (std::is_same_v<Class, Device>) names.insert(Type{}.name);
#include "hardware/generated/DeviceGetters.inc"
#undef KVOR_DEVICE_REQUEST
  return names;
}

class RapaxControlTest : public zephrin_test::RuntimeTest {};

// Through a ControlRequest reference, the rapax q sends all 61 request types it
// accepts; the rapax w sends its 45 and refuses torque-current requests and
// tones; neither sends an empty control or a request type it does not know.
TEST_F(RapaxControlTest, BaseOverloadDispatchesAcceptedTypesAndRefusesTheRest) {
  const auto q = AcceptedBy<CoreRapaxQ>();
  const auto w = AcceptedBy<CoreRapaxW>();
  EXPECT_EQ(q.size(), 61u);
  EXPECT_EQ(w.size(), 45u);
  EXPECT_EQ(w.count("TorqueCurrentFOC") + w.count("MusicTone") + w.count("Diff_TorqueCurrentFOC_Velocity"), 0u);

  {
    SCOPED_TRACE("rapax q");
    CoreRapaxQ device{1, "drive"};
    CheckDispatch(device, harness::DeviceHash(1, "rapax q", "drive"), q);
  }
  {
    SCOPED_TRACE("rapax w");
    CoreRapaxW device{1, "drive"};
    CheckDispatch(device, harness::DeviceHash(1, "rapax w", "drive"), w);
  }
}

// The typed overload and the base overload send the same call, fields
// included, and a failing send is reported at the request's location.
TEST_F(RapaxControlTest, TypedAndBaseOverloadsSendTheSameCall) {
  CoreRapaxQ device{2, ""};
  const uint32_t hash = harness::DeviceHash(2, "rapax q", "");
  const auto request = controls::VoltageOut{6_V}.WithLimitReverseMotion(true);
  ASSERT_EQ(device.SetControl(request), StatusCode::OK);
  const auto typed = harness::LastControlCall(hash);
  traits::CommonRapax& common = device;
  ASSERT_EQ(common.SetControl(static_cast<const controls::ControlRequest&>(request)), StatusCode::OK);
  const auto viaBase = harness::LastControlCall(hash);
  ASSERT_TRUE(typed && viaBase);
  EXPECT_EQ(harness::ToString(*typed), harness::ToString(*viaBase));

  harness::SetControlStatus(hash, StatusCode::TxFailed);
  EXPECT_EQ(device.SetControl(request), StatusCode::TxFailed);
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].location, "rapax q 2 (\"\") Control Request VoltageOut");
}

// The configuration shortcuts, called through the trait interfaces, send one
// action to the device; without a timeout they wait 0.1 s, and a zero timeout
// comes back as TimeoutCannotBeZero without a report.
TEST_F(RapaxControlTest, ConfigShortcutsForwardToTheConfigurator) {
  CoreRapaxW device{4, "drive"};
  const uint32_t hash = harness::DeviceHash(4, "rapax w", "drive");
  traits::CommonRapaxWithExternalMotor& rapax = device;
  struct Case {
    const char* name;
    int configId;
    double value;
    std::function<StatusCode(units::time::second_t)> withTimeout;
    std::function<StatusCode()> withDefault;
  };
  const Case cases[] = {
      {"SetPosition", 1016, 2.5, [&](auto t) { return rapax.SetPosition(2.5_tr, t); },
       [&] { return rapax.SetPosition(2.5_tr); }},
      {"ClearStickyFaults", 2216, 0, [&](auto t) { return rapax.ClearStickyFaults(t); },
       [&] { return rapax.ClearStickyFaults(); }},
      {"ClearStickyFault_Hardware", 10003, 0, [&](auto t) { return rapax.ClearStickyFault_Hardware(t); },
       [&] { return rapax.ClearStickyFault_Hardware(); }},
      {"ClearStickyFault_StaticBrakeDisabled", 10102, 0,
       [&](auto t) { return rapax.ClearStickyFault_StaticBrakeDisabled(t); },
       [&] { return rapax.ClearStickyFault_StaticBrakeDisabled(); }},
      {"ClearStickyFault_MotorTempSensorTooHot", 10117, 0,
       [&](auto t) { return rapax.ClearStickyFault_MotorTempSensorTooHot(t); },
       [&] { return rapax.ClearStickyFault_MotorTempSensorTooHot(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool useDefault : {true, false}) {
      ASSERT_EQ(useDefault ? c.withDefault() : c.withTimeout(0.25_s), StatusCode::OK);
      const auto calls = harness::ConfigCalls(hash);
      ASSERT_FALSE(calls.empty());
      const auto& last = calls.back();
      EXPECT_TRUE(last.isSet && last.actionFlag);
      EXPECT_DOUBLE_EQ(last.timeoutSeconds, useDefault ? 0.1 : 0.25);
      double value = -1;
      EXPECT_EQ(c_kvor_zephrin6_deserialize_double(c.configId, last.text.c_str(),
                                                   static_cast<uint32_t>(last.text.size()), &value),
                StatusCode::OK);
      EXPECT_EQ(value, c.value);
    }
    harness::ClearReports();
    EXPECT_EQ(c.withTimeout(0_s), StatusCode::TimeoutCannotBeZero);
    EXPECT_TRUE(harness::Reports().empty());
  }
}

}  // namespace
