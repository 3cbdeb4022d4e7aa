// Every getter of every device class against the signal catalogue the runtime
// serves: the ID it reads, its name, units, value type, the report-on-
// construction flag and, for mode-dependent signals, the IDs of its map.
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreDistix.hpp>
#include <kvor/zephrin6/hardware/core/CorePortis.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>

#include <map>
#include <set>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "support/RuntimeFixture.hpp"

namespace {

using namespace kvor::zephrin6;
using namespace kvor::zephrin6::hardware::core;
namespace harness = kvor::zephrin::runtime::harness;

struct Row {
  int id;
  std::string_view name, type, units;
  bool report;
  int primary;
  unsigned models;
};

constexpr Row kCatalogue[] = {
#define KVOR_SIGNAL(id, name, type, units, hz, report, primary, models) {id, name, type, units, report, primary, models},
#include "catalogue/generated/SignalCatalogue.inc"
#undef KVOR_SIGNAL
};

unsigned ModelBit(std::string_view model) {
#define KVOR_SIGNAL_MODEL(bit, text) \
  if (model == text) return 1u << (bit);
#include "catalogue/generated/SignalCatalogue.inc"
#undef KVOR_SIGNAL_MODEL
  return 0;
}

const Row* FindRow(std::string_view name, unsigned modelBit) {
  for (const Row& row : kCatalogue) {
    if (row.name == name && (row.models & modelBit) != 0 && row.primary == row.id) return &row;
  }
  return nullptr;
}

const Row* FindRow(int id) {
  for (const Row& row : kCatalogue) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// The StatusSignal type each catalogue value type must come back as.
std::type_index ExpectedType(std::string_view type) {
  using namespace units;
  static const std::map<std::string_view, std::type_index> types = {
      {"int", typeid(StatusSignal<int>)},
      {"bool", typeid(StatusSignal<bool>)},
      {"double", typeid(StatusSignal<double>)},
      {"scalar", typeid(StatusSignal<dimensionless::scalar_t>)},
      {"volt", typeid(StatusSignal<voltage::volt_t>)},
      {"ampere", typeid(StatusSignal<current::ampere_t>)},
      {"celsius", typeid(StatusSignal<temperature::celsius_t>)},
      {"turn", typeid(StatusSignal<angle::turn_t>)},
      {"turns_per_second", typeid(StatusSignal<angular_velocity::turns_per_second_t>)},
      {"turns_per_second_squared", typeid(StatusSignal<angular_acceleration::turns_per_second_squared_t>)},
      {"degree", typeid(StatusSignal<angle::degree_t>)},
      {"degrees_per_second", typeid(StatusSignal<angular_velocity::degrees_per_second_t>)},
      {"standard_gravity", typeid(StatusSignal<acceleration::standard_gravity_t>)},
      {"microtesla", typeid(StatusSignal<magnetic_field_strength::microtesla_t>)},
      {"second", typeid(StatusSignal<time::second_t>)},
      {"microsecond", typeid(StatusSignal<time::microsecond_t>)},
      {"meter", typeid(StatusSignal<length::meter_t>)},
      {"newton_meters_per_ampere", typeid(StatusSignal<torque_constant::newton_meters_per_ampere_t>)},
      {"rpm_per_volt", typeid(StatusSignal<velocity_constant::rpm_per_volt_t>)},
      {"AppliedRotorPolarityValue", typeid(StatusSignal<signals::AppliedRotorPolarityValue>)},
      {"BridgeOutputValue", typeid(StatusSignal<signals::BridgeOutputValue>)},
      {"ConnectedMotorValue", typeid(StatusSignal<signals::ConnectedMotorValue>)},
      {"ControlModeValue", typeid(StatusSignal<signals::ControlModeValue>)},
      {"DeviceEnableValue", typeid(StatusSignal<signals::DeviceEnableValue>)},
      {"DifferentialControlModeValue", typeid(StatusSignal<signals::DifferentialControlModeValue>)},
      {"ExternalMotorTempStatusValue", typeid(StatusSignal<signals::ExternalMotorTempStatusValue>)},
      {"ForwardLimitValue", typeid(StatusSignal<signals::ForwardLimitValue>)},
      {"MagnetHealthValue", typeid(StatusSignal<signals::MagnetHealthValue>)},
      {"MeasurementHealthValue", typeid(StatusSignal<signals::MeasurementHealthValue>)},
      {"KinetraIsRunningValue", typeid(StatusSignal<signals::KinetraIsRunningValue>)},
      {"MotorOutputStatusValue", typeid(StatusSignal<signals::MotorOutputStatusValue>)},
      {"ReverseLimitValue", typeid(StatusSignal<signals::ReverseLimitValue>)},
      {"S1StateValue", typeid(StatusSignal<signals::S1StateValue>)},
      {"S2StateValue", typeid(StatusSignal<signals::S2StateValue>)},
  };
  auto it = types.find(type);
  return it == types.end() ? std::type_index(typeid(void)) : it->second;
}

template <class Device>
using Getter = BaseStatusSignal& (*)(Device&, bool);

// Every getter of Device, named after its signal.
template <class Device>
std::vector<std::pair<std::string_view, Getter<Device>>> GettersOf() {
  std::vector<std::pair<std::string_view, Getter<Device>>> getters;
#define KVOR_DEVICE_GETTER(Class, Name)                                                           \
  if constexpr (std::is_same_v<Device, Class>) {                                                  \
    getters.emplace_back(#Name, [](Device& d, bool refresh) -> BaseStatusSignal& { return d.Get##Name(refresh); }); \
  }
#include "hardware/generated/DeviceGetters.inc"
#undef KVOR_DEVICE_GETTER
  return getters;
}

int ReportsAt(std::string_view locationEnd) {
  int count = 0;
  for (const auto& report : harness::Reports()) count += report.location.ends_with(locationEnd) ? 1 : 0;
  return count;
}

class DeviceCatalogueTest : public zephrin_test::RuntimeTest {
 protected:
  // Calls every getter of one device class and compares what it returns with
  // the catalogue row of its name. The ID is checked by behaviour: each signal
  // gets a distinct simulated value, which only a read of the right ID returns.
  template <class Device>
  void CheckEveryGetter(std::string_view model) {
    SCOPED_TRACE(model);
    const unsigned bit = ModelBit(model);
    ASSERT_NE(bit, 0u);
    Device device{7, "drive"};
    Device silent{8, "drive"};  // absent: every first read fails
    const uint32_t hash = harness::DeviceHash(7, model, "drive");
    ASSERT_TRUE(harness::SetDevicePresent(harness::DeviceHash(8, model, "drive"), false));

    std::set<std::string_view> expected;
    for (const Row& row : kCatalogue) {
      if ((row.models & bit) && row.primary == row.id && row.name != "ResetFlags" && row.name != "Compliancy") {
        expected.insert(row.name);
      }
    }
    std::set<std::string_view> seen;
    for (const auto& [name, get] : GettersOf<Device>()) {
      SCOPED_TRACE(name);
      const Row* row = FindRow(name, bit);
      ASSERT_NE(row, nullptr) << "getter without a catalogue row";
      seen.insert(name);

      harness::SetSimulatedValue(hash, static_cast<uint16_t>(row->id), row->id + 0.25);
      BaseStatusSignal& signal = get(device, true);
      EXPECT_EQ(signal.GetName(), name);
      EXPECT_EQ(signal.GetUnits(), row->units);
      EXPECT_EQ(std::type_index(typeid(signal)), ExpectedType(row->type)) << row->type;
      EXPECT_EQ(signal.GetValueAsDouble(), row->id + 0.25);
      EXPECT_EQ(&get(device, false), &signal);

      harness::ClearReports();
      get(silent, true);
      EXPECT_EQ(ReportsAt(std::string(" Status Signal ") + std::string(name)), row->report ? 1 : 0);
    }
    EXPECT_EQ(seen, expected);
  }

  // Publishes each ID of every mode-dependent signal in turn as the reported
  // ID and checks that the signal takes that ID's units.
  template <class Device>
  void CheckModeDependentUnits(std::string_view model) {
    SCOPED_TRACE(model);
    Device device{5, "drive"};
    const uint32_t hash = harness::DeviceHash(5, model, "drive");
    int checked = 0;
    for (const auto& [name, get] : GettersOf<Device>()) {
      const Row* primary = FindRow(name, ModelBit(model));
      if (primary->type != "double") continue;
      for (int id = primary->id; FindRow(id) != nullptr && FindRow(id)->primary == primary->id; ++id) {
        SCOPED_TRACE(id);
        harness::SignalSample sample;
        sample.value = 1.5;
        sample.reportedId = static_cast<uint16_t>(id);
        harness::PublishSignal(hash, static_cast<uint16_t>(primary->id), sample);
        BaseStatusSignal& signal = get(device, true);
        EXPECT_EQ(signal.GetUnits(), FindRow(id)->units);
        ++checked;
      }
    }
    EXPECT_EQ(checked, 10 * 3 + 7 * 2);  // ten signals with three IDs, seven with two
  }
};

// Every getter of the motor controllers reads its own ID with the catalogue's
// name, units, type and report flag, and no catalogue signal lacks a getter.
TEST_F(DeviceCatalogueTest, MotorControllerGettersMatchTheCatalogue) {
  CheckEveryGetter<CoreRapaxQ>("rapax q");
  CheckEveryGetter<CoreRapaxW>("rapax w");
}

// The same for the four sensors.
TEST_F(DeviceCatalogueTest, SensorGettersMatchTheCatalogue) {
  CheckEveryGetter<CoreAngulon>("angulon");
  CheckEveryGetter<CoreAuklet2>("auklet 2");
  CheckEveryGetter<CoreDistix>("distix");
  CheckEveryGetter<CorePortis>("portis");
}

// A closed-loop signal reported under another of its IDs (the device runs
// another output domain) takes the units of that ID.
TEST_F(DeviceCatalogueTest, ModeDependentSignalUnitsFollowTheReportedId) {
  CheckModeDependentUnits<CoreRapaxQ>("rapax q");
  CheckModeDependentUnits<CoreRapaxW>("rapax w");
}

}  // namespace
