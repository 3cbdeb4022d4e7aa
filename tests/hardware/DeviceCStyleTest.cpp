// The generic device C functions behind the Java device classes: handles
// that outlive their devices, group reads beyond the stack buffers, bounded
// units texts, refused arguments, and a device destroyed while other threads
// read and command it (meant to run under ThreadSanitizer as well).

#include <gtest/gtest.h>

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/hardware/device_c_style.h>
#include <kvor/zephrin6/mechanisms/mechanism_c_style.h>

#include <array>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "support/RuntimeFixture.hpp"

namespace {

namespace harness = kvor::zephrin::runtime::harness;
namespace rapax = kvor::zephrin::signal_ids::rapax_q;
using kvor::zephrin::StatusCode;

constexpr int kRapaxQ = 0;  // model index of the rapax q
constexpr int kRecord = C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE;

class DeviceCStyleTest : public zephrin_test::RuntimeTest {};

// A destroyed or never-created handle gives the neutral results and touches
// nothing; refused arguments are reported and send nothing.
TEST_F(DeviceCStyleTest, UnknownHandlesAndBadArgumentsAreRefused) {
  std::array<double, kRecord> record{};
  EXPECT_EQ(c_kvor_zephrin6_device_signal_read(42, rapax::kPosition, 0, 0.0, record.data()),
            StatusCode::InvalidParamValue);
  EXPECT_EQ(c_kvor_zephrin6_device_create(6, 1, "can"), 0);  // no seventh model
  EXPECT_EQ(c_kvor_zephrin6_device_create(kRapaxQ, 1, nullptr), 0);

  const int32_t motor = c_kvor_zephrin6_device_create(kRapaxQ, 1, "can");
  ASSERT_GT(motor, 0);
  // A signal ID the model has no getter for, an unknown read mode, a NaN timeout.
  EXPECT_EQ(c_kvor_zephrin6_device_signal_read(motor, 1, 0, 0.0, record.data()), StatusCode::InvalidParamValue);
  EXPECT_EQ(c_kvor_zephrin6_device_signal_read(motor, rapax::kPosition, 9, 0.0, record.data()),
            StatusCode::InvalidParamValue);
  EXPECT_EQ(c_kvor_zephrin6_device_signal_read(motor, rapax::kPosition, 2, std::nan(""), record.data()),
            StatusCode::InvalidParamValue);
  // A request with a field too few, an unknown type, a NaN field: nothing reaches the runtime.
  const std::array<double, 8> voltageOut{6.0, 1, 0, 0, 0, 0, 0, 100};  // VoltageOut is type 1 with 7 fields
  const std::size_t before = harness::ControlCallCount(harness::DeviceHash(1, "rapax q", "can"));
  EXPECT_EQ(c_kvor_zephrin6_device_send_request(motor, 1, voltageOut.data(), 7), StatusCode::InvalidParamValue);
  EXPECT_EQ(c_kvor_zephrin6_device_send_request(motor, 9999, voltageOut.data(), 8), StatusCode::InvalidParamValue);
  std::array<double, 8> nanField = voltageOut;
  nanField[0] = std::nan("");
  EXPECT_EQ(c_kvor_zephrin6_device_send_request(motor, 1, nanField.data(), 8), StatusCode::InvalidParamValue);
  EXPECT_EQ(harness::ControlCallCount(harness::DeviceHash(1, "rapax q", "can")), before);
  EXPECT_EQ(c_kvor_zephrin6_device_send_request(motor, 1, voltageOut.data(), 8), StatusCode::OK);

  c_kvor_zephrin6_device_destroy(motor);
  c_kvor_zephrin6_device_destroy(motor);  // twice is harmless
  EXPECT_EQ(c_kvor_zephrin6_device_send_request(motor, 1, voltageOut.data(), 8), StatusCode::InvalidParamValue);
}

// The units text is cut to the caller's buffer and still terminated; the
// whole length comes back.
// Configurator actions by action ID: the rapax q's first is SetPosition,
// whose new position the device then reports; an action of another model,
// a NaN value or timeout and a stale handle are refused.
TEST_F(DeviceCStyleTest, ConfiguratorActionsReachTheDeviceOfTheirModel) {
  constexpr int32_t kRapaxQSetPosition = 0;
  constexpr int kAngulon = 2;
  const int32_t motor = c_kvor_zephrin6_device_create(kRapaxQ, 1, "can");
  const int32_t encoder = c_kvor_zephrin6_device_create(kAngulon, 2, "can");
  ASSERT_GT(motor, 0);
  ASSERT_GT(encoder, 0);
  EXPECT_EQ(c_kvor_zephrin6_device_config_action(motor, kRapaxQSetPosition, 2.5, 0.1), StatusCode::OK);
  harness::AdvanceTime(0.02);
  std::array<double, kRecord> record{};
  ASSERT_EQ(c_kvor_zephrin6_device_signal_read(motor, rapax::kPosition, C_KVOR_ZEPHRIN6_SIGNAL_REFRESH, 0.0,
                                               record.data()),
            StatusCode::OK);
  EXPECT_DOUBLE_EQ(record[0], 2.5);

  EXPECT_EQ(c_kvor_zephrin6_device_config_action(encoder, kRapaxQSetPosition, 1.0, 0.1),
            StatusCode::InvalidParamValue);
  EXPECT_EQ(c_kvor_zephrin6_device_config_action(motor, -1, 1.0, 0.1), StatusCode::InvalidParamValue);
  EXPECT_EQ(c_kvor_zephrin6_device_config_action(motor, 1 << 20, 1.0, 0.1), StatusCode::InvalidParamValue);
  EXPECT_EQ(c_kvor_zephrin6_device_config_action(motor, kRapaxQSetPosition, std::nan(""), 0.1),
            StatusCode::InvalidParamValue);
  EXPECT_EQ(c_kvor_zephrin6_device_config_action(motor, kRapaxQSetPosition, 1.0, INFINITY),
            StatusCode::InvalidParamValue);
  c_kvor_zephrin6_device_destroy(motor);
  EXPECT_EQ(c_kvor_zephrin6_device_config_action(motor, kRapaxQSetPosition, 1.0, 0.1), StatusCode::InvalidParamValue);
  c_kvor_zephrin6_device_destroy(encoder);
}

TEST_F(DeviceCStyleTest, UnitsTextIsBoundedByTheBuffer) {
  const int32_t motor = c_kvor_zephrin6_device_create(kRapaxQ, 1, "can");
  std::array<char, 4> small{'x', 'x', 'x', 'x'};
  EXPECT_EQ(c_kvor_zephrin6_device_signal_units(motor, rapax::kVelocity, small.data(), small.size()), 7u);
  EXPECT_STREQ(small.data(), "tur");  // "turns/s" cut to three characters
  EXPECT_EQ(c_kvor_zephrin6_device_signal_units(motor, rapax::kVelocity, nullptr, 0), 7u);
  c_kvor_zephrin6_device_destroy(motor);
}

// A group larger than the stack buffers (64) is read the same way; a group
// naming a destroyed device is refused as a whole with every record marked.
TEST_F(DeviceCStyleTest, GroupReadsBeyondTheStackBuffers) {
  const int32_t left = c_kvor_zephrin6_device_create(kRapaxQ, 1, "can");
  const int32_t right = c_kvor_zephrin6_device_create(kRapaxQ, 2, "can");
  harness::AdvanceTime(0.1);
  std::vector<int32_t> handles, ids;
  for (int i = 0; i < 70; ++i) {
    handles.push_back(i % 2 == 0 ? left : right);
    ids.push_back(i % 3 == 0 ? rapax::kPosition : rapax::kVelocity);
  }
  std::vector<double> records(handles.size() * kRecord, -1.0);
  EXPECT_EQ(c_kvor_zephrin6_device_signals_read_all(handles.data(), ids.data(), handles.size(), 0.0, records.data()),
            StatusCode::OK);
  for (std::size_t i = 0; i < handles.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(records[i * kRecord + 4], 0.0);         // status OK
    EXPECT_FALSE(std::isnan(records[i * kRecord + 1]));  // a system timestamp
  }
  c_kvor_zephrin6_device_destroy(right);
  EXPECT_EQ(c_kvor_zephrin6_device_signals_read_all(handles.data(), ids.data(), handles.size(), 0.0, records.data()),
            StatusCode::InvalidParamValue);
  c_kvor_zephrin6_device_destroy(left);
}

// A mechanism keeps its devices alive after their handles are destroyed and
// refuses devices of the wrong model.
TEST_F(DeviceCStyleTest, MechanismKeepsItsDevices) {
  const int32_t leader = c_kvor_zephrin6_device_create(kRapaxQ, 1, "can");
  const int32_t follower = c_kvor_zephrin6_device_create(kRapaxQ, 2, "can");
  const int32_t encoder = c_kvor_zephrin6_device_create(2, 3, "can");
  EXPECT_EQ(c_kvor_zephrin6_mechanism_create(0, encoder, follower, 0, 0, 0), 0);  // an angulon cannot lead
  EXPECT_EQ(c_kvor_zephrin6_mechanism_create(0, leader, follower, 0, follower, 0), 0);  // no such sensor
  const int32_t mechanism = c_kvor_zephrin6_mechanism_create(1, leader, follower, 0, encoder, 0);
  ASSERT_GT(mechanism, 0);
  c_kvor_zephrin6_device_destroy(leader);
  c_kvor_zephrin6_device_destroy(follower);
  c_kvor_zephrin6_device_destroy(encoder);
  c_kvor_zephrin6_mechanism_periodic(mechanism);
  EXPECT_EQ(c_kvor_zephrin6_mechanism_set_neutral(mechanism, 1), StatusCode::OK);
  std::array<int32_t, 5> state{};
  EXPECT_EQ(c_kvor_zephrin6_mechanism_state(mechanism, state.data()), 1);
  c_kvor_zephrin6_mechanism_destroy(mechanism);
  EXPECT_EQ(c_kvor_zephrin6_mechanism_state(mechanism, state.data()), 0);
}

// One thread destroys the device while two others keep reading and
// commanding it: every call either works or gets InvalidParamValue.
TEST_F(DeviceCStyleTest, DestroyWhileOtherThreadsUseTheDevice) {
  const int32_t motor = c_kvor_zephrin6_device_create(kRapaxQ, 1, "can");
  harness::AdvanceTime(0.1);
  std::atomic<bool> destroyed{false};
  std::atomic<int> unexpected{0};
  auto reader = [&] {
    std::array<double, kRecord> record{};
    for (int i = 0; i < 2000; ++i) {
      const int32_t status = c_kvor_zephrin6_device_signal_read(motor, rapax::kPosition, 1, 0.0, record.data());
      if (status != StatusCode::OK && status != StatusCode::InvalidParamValue) ++unexpected;
    }
  };
  auto commander = [&] {
    const std::array<double, 8> voltageOut{1.0, 1, 0, 0, 0, 0, 0, 100};
    for (int i = 0; i < 2000; ++i) {
      const int32_t status = c_kvor_zephrin6_device_send_request(motor, 1, voltageOut.data(), 8);
      if (status != StatusCode::OK && status != StatusCode::InvalidParamValue) ++unexpected;
    }
  };
  std::thread a(reader), b(commander);
  std::thread killer([&] {
    c_kvor_zephrin6_device_destroy(motor);
    destroyed = true;
  });
  a.join();
  b.join();
  killer.join();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(unexpected.load(), 0);
}

// A device's first send and first read on two threads: the read may be
// running the firmware check while the send looks at its outcome, which must
// then be the outcome from before the check (nothing read yet: the request
// goes out), never a half-made one. Many fresh devices, since the window is
// narrow.
TEST_F(DeviceCStyleTest, FirstSendBesideTheFirstReadIsNeverRefused) {
  const std::array<double, 8> voltageOut{1.0, 1, 0, 0, 0, 0, 0, 100};
  int refused = 0;
  for (int round = 0; round < 300; ++round) {
    const int32_t motor = c_kvor_zephrin6_device_create(kRapaxQ, 1, "can");
    harness::AdvanceTime(0.1);
    std::atomic<int32_t> sent{StatusCode::OK};
    std::atomic<int> waiting{2};
    auto together = [&waiting] {
      --waiting;
      while (waiting.load() > 0) {
      }
    };
    std::thread reader([&] {
      std::array<double, kRecord> record{};
      together();
      static_cast<void>(c_kvor_zephrin6_device_signal_read(motor, rapax::kPosition, 1, 0.0, record.data()));
    });
    std::thread commander([&] {
      together();
      sent = c_kvor_zephrin6_device_send_request(motor, 1, voltageOut.data(), 8);
    });
    reader.join();
    commander.join();
    if (sent.load() != StatusCode::OK) ++refused;
    c_kvor_zephrin6_device_destroy(motor);
  }
  EXPECT_EQ(refused, 0);
}

}  // namespace
