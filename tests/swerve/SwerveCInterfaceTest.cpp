// The swerve drivetrain through its C interface, on the manual clock: IDs,
// refused creations, neutral results for unknown drivetrains and modules,
// requests installed and applied once, callbacks that call back in, and the
// header compiled as C.
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "support/RuntimeFixture.hpp"
#include "swerve/CInterfaceRig.hpp"

extern "C" {
int swerve_c_header_check(void);
void swerve_c_record_layout(size_t out[6]);
}

namespace {

using namespace c_rig;

constexpr int kInvalidParamValue = -1002;

class SwerveCInterfaceTest : public zephrin_test::RuntimeTest {
 protected:
  void TearDown() override {
    for (int id : created_) Destroy(id);
    RuntimeTest::TearDown();
  }
  int Create(double frequencyHz = 0.0) {
    const int id = CreateSquare(frequencyHz);
    created_.push_back(id);
    return id;
  }
  /// Control calls received by every motor of the square drivetrain.
  static std::size_t MotorCalls() {
    std::size_t calls = 0;
    for (std::size_t i = 0; i < 4; ++i)
      calls += harness::ControlCallCount(SteerHash(i)) + harness::ControlCallCount(DriveHash(i));
    return calls;
  }
  static std::size_t InvalidParamReports() {
    std::size_t count = 0;
    for (const auto& report : harness::Reports()) count += report.code == kInvalidParamValue ? 1 : 0;
    return count;
  }

  std::vector<int> created_;
};

// IDs count up from the first and are never handed out again; the odometry
// rate is the bus's default unless one is given.
TEST_F(SwerveCInterfaceTest, IdsCountUpAndAreNeverReused) {
  const int first = Create();
  const int second = Create(50.0);
  EXPECT_GE(first, 1);
  EXPECT_EQ(second, first + 1);
  Destroy(first);
  const int third = Create();
  EXPECT_EQ(third, second + 1);

  EXPECT_FALSE(c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(first));
  EXPECT_TRUE(c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(third));
  EXPECT_DOUBLE_EQ(c_kvor_zephrin6_swerve_drivetrain_get_odometry_frequency(second), 50.0);
  EXPECT_DOUBLE_EQ(c_kvor_zephrin6_swerve_drivetrain_get_odometry_frequency(third), 250.0);
}

// Handles that are missing, swapped or too short are refused with a report,
// create nothing and use up no ID.
TEST_F(SwerveCInterfaceTest, RefusesBadConstantsWithoutUsingAnId) {
  const int before = Create();
  _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants(kBus, kAuklet2Id);
  _swerve_module_constants_arr_t* modules = SquareModuleConstants();
  const double deviations[3] = {0.1, 0.1, 0.1};
  struct Case {
    const char* what;
    std::function<int()> create;
  };
  const std::vector<Case> cases = {
      {"no drivetrain constants", [&] { return c_kvor_zephrin6_swerve_create_drivetrain(nullptr, modules, 4); }},
      {"handles swapped",
       [&] {
         return c_kvor_zephrin6_swerve_create_drivetrain(
             reinterpret_cast<const _swerve_drivetrain_constants_t*>(modules),
             reinterpret_cast<const _swerve_module_constants_arr_t*>(constants), 4);
       }},
      {"more modules than constants", [&] { return c_kvor_zephrin6_swerve_create_drivetrain(constants, modules, 5); }},
      {"no module constants", [&] { return c_kvor_zephrin6_swerve_create_drivetrain(constants, nullptr, 1); }},
      {"no module constants and no modules",
       [&] { return c_kvor_zephrin6_swerve_create_drivetrain(constants, nullptr, 0); }},
      {"no modules", [&] { return c_kvor_zephrin6_swerve_create_drivetrain(constants, modules, 0); }},
      {"no modules at a rate",
       [&] { return c_kvor_zephrin6_swerve_create_drivetrain_with_freq(constants, modules, 0, 100.0); }},
      {"no deviations",
       [&] {
         return c_kvor_zephrin6_swerve_create_drivetrain_with_stddev(constants, deviations, nullptr, modules, 4, 0.0);
       }},
      {"a rate that is not a number",
       [&] {
         return c_kvor_zephrin6_swerve_create_drivetrain_with_freq(constants, modules, 4,
                                                                   std::numeric_limits<double>::quiet_NaN());
       }},
      {"an infinite rate",
       [&] {
         return c_kvor_zephrin6_swerve_create_drivetrain_with_freq(constants, modules, 4,
                                                                   std::numeric_limits<double>::infinity());
       }},
      {"a negative rate",
       [&] { return c_kvor_zephrin6_swerve_create_drivetrain_with_freq(constants, modules, 4, -50.0); }},
      {"a deviation that is not a number",
       [&] {
         const double bad[3] = {0.1, std::numeric_limits<double>::quiet_NaN(), 0.1};
         return c_kvor_zephrin6_swerve_create_drivetrain_with_stddev(constants, deviations, bad, modules, 4, 0.0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    harness::ClearReports();
    // A creation that went ahead would wait for frames on the manual clock.
    int created = -1;
    RunWhileTimePasses([&] { created = c.create(); });
    EXPECT_EQ(created, 0);
    EXPECT_EQ(InvalidParamReports(), 1u);
    if (created > 0) Destroy(created);
  }

  // A module beyond the array, a number that is not finite, or no array at
  // all fill nothing.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_constants(modules, 4, 1, 2, 3, 0, 0, 0, false, false, false, 6, 12, 0,
                                                        0.05, 0, 0, 120, 4, 0, 0, 0, 0, 0, 0, 0),
            nullptr);
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_constants(modules, 0, 1, 2, 3, 0, 0, 0, false, false, false, 6, 12, 0,
                                                        nan, 0, 0, 120, 4, 0, 0, 0, 0, 0, 0, 0),
            nullptr);
  EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_constants(nullptr, 0, 1, 2, 3, 0, 0, 0, false, false, false, 6, 12, 0,
                                                        0.05, 0, 0, 120, 4, 0, 0, 0, 0, 0, 0, 0),
            nullptr);
  EXPECT_EQ(c_kvor_zephrin6_swerve_create_drivetrain_constants(nullptr, 1), nullptr);

  // Closed-loop outputs are 0 or 1; anything else would leave a motor
  // without commands. Each is refused with one report and leaves the record
  // as it was. A motor type other than 0 is a rapax w, and the feedback
  // source is the program's own value: both are kept as given.
  auto setModule = [&](int steerOutput, int driveOutput, int driveType, int steerType, int feedbackSource) {
    return c_kvor_zephrin6_swerve_set_module_constants(modules, 0, 1, 2, 3, 0, 0.3, 0.3, false, false, false, 6, 12,
                                                       0, 0.05, steerOutput, driveOutput, 120, 4, driveType, steerType,
                                                       feedbackSource, 0, 0, 0, 0);
  };
  struct EnumCase {
    const char* what;
    int steerOutput, driveOutput, driveType, steerType;
  };
  for (const EnumCase& c : {EnumCase{"steer closed-loop output 2", 2, 0, 0, 0},
                            EnumCase{"drive closed-loop output -1", 0, -1, 0, 0}}) {
    SCOPED_TRACE(c.what);
    harness::ClearReports();
    EXPECT_EQ(setModule(c.steerOutput, c.driveOutput, c.driveType, c.steerType, 0), nullptr);
    EXPECT_EQ(InvalidParamReports(), 1u);
  }
  harness::ClearReports();
  EXPECT_NE(setModule(1, 1, 2, 7, 12345), nullptr);
  EXPECT_EQ(InvalidParamReports(), 0u);
  Release(constants);
  Release(modules);

  EXPECT_EQ(Create(), before + 1);
}

// Request types outside 0 and 1, numbers that are not finite (also among the
// wheel forces a drivetrain uses) and neutral modes outside 0 and 1 are
// refused, each with one report: an apply returns -1002 and commands
// nothing, an install keeps the current request, a module command sends
// nothing.
TEST_F(SwerveCInterfaceTest, RefusesEnumsOutsideTheirValuesAndNumbersThatAreNotFinite) {
  const int id = Create();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double forces[4] = {1, 2, 3, 4};
  const double nanForces[4] = {1, 2, nan, 4};
  // A fifth entry is never used by a four-module drivetrain, so it is not
  // looked at.
  const double unusedNan[5] = {1, 2, 3, 4, nan};

  struct Apply {
    const char* what;
    std::function<int()> call;
  };
  const std::vector<Apply> applies = {
      {"brake, drive type 2", [&] { return c_kvor_zephrin6_swerve_request_apply_swerve_drive_brake(id, 2, 1); }},
      {"brake, steer type -1", [&] { return c_kvor_zephrin6_swerve_request_apply_swerve_drive_brake(id, 0, -1); }},
      {"field-centric, drive type 5",
       [&] { return c_kvor_zephrin6_swerve_request_apply_field_centric(id, 5, 1, true, 0, 1, 0, 0, 0, 0, 0, 0); }},
      {"field-centric, velocity x NaN",
       [&] { return c_kvor_zephrin6_swerve_request_apply_field_centric(id, 0, 1, true, 0, nan, 0, 0, 0, 0, 0, 0); }},
      {"field-centric, deadband infinite",
       [&] { return c_kvor_zephrin6_swerve_request_apply_field_centric(id, 0, 1, true, 0, 1, 0, 0, inf, 0, 0, 0); }},
      {"robot-centric, rate NaN",
       [&] { return c_kvor_zephrin6_swerve_request_apply_robot_centric(id, 0, 1, true, 1, 0, nan, 0, 0, 0, 0); }},
      {"robot-centric, centre y infinite",
       [&] { return c_kvor_zephrin6_swerve_request_apply_robot_centric(id, 0, 1, true, 1, 0, 0, 0, 0, 0, -inf); }},
      {"point wheels, direction NaN",
       [&] { return c_kvor_zephrin6_swerve_request_apply_point_wheels_at(id, 0, 1, nan); }},
      {"point wheels, steer type 3",
       [&] { return c_kvor_zephrin6_swerve_request_apply_point_wheels_at(id, 0, 3, 1.0); }},
      {"robot speeds, vx NaN",
       [&] {
         return c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(id, forces, 4, forces, 4, 0, 1, true, nan, 0,
                                                                        0, 0, 0);
       }},
      {"robot speeds, a force NaN",
       [&] {
         return c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(id, nanForces, 4, forces, 4, 0, 1, true, 1, 0,
                                                                        0, 0, 0);
       }},
      {"field speeds, drive type 9",
       [&] {
         return c_kvor_zephrin6_swerve_request_apply_apply_field_speeds(id, forces, 4, forces, 4, 9, 1, true, 0, 1, 0,
                                                                        0, 0, 0);
       }},
      {"field speeds, a force NaN",
       [&] {
         return c_kvor_zephrin6_swerve_request_apply_apply_field_speeds(id, forces, 4, nanForces, 4, 0, 1, true, 0, 1,
                                                                        0, 0, 0, 0);
       }},
  };
  for (const Apply& apply : applies) {
    SCOPED_TRACE(apply.what);
    harness::ClearReports();
    harness::ClearControlCalls();
    EXPECT_EQ(apply.call(), kInvalidParamValue);
    EXPECT_EQ(InvalidParamReports(), 1u);
    EXPECT_EQ(MotorCalls(), 0u);
  }

  // Force entries past the module count are never read.
  harness::ClearReports();
  EXPECT_EQ(c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(id, unusedNan, 5, forces, 4, 0, 1, true, 0, 0, 0,
                                                                    0, 0),
            0);
  EXPECT_EQ(InvalidParamReports(), 0u);

  // The neutral mode is 0 coast or 1 brake; no motor configuration is touched.
  for (int mode : {2, -1}) {
    SCOPED_TRACE(mode);
    harness::ClearReports();
    EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_config_neutral_mode(id, mode), kInvalidParamValue);
    EXPECT_EQ(InvalidParamReports(), 1u);
  }

  // A module command with a bad request type or a number that is not finite
  // sends nothing.
  for (const _swerve_module_apply_params_t& apply :
       {_swerve_module_apply_params_t{{1.0, 0.5}, 0, 0, 2, 1, 0.004, true},
        _swerve_module_apply_params_t{{1.0, 0.5}, 0, 0, 0, 4, 0.004, true},
        _swerve_module_apply_params_t{{nan, 0.5}, 0, 0, 0, 1, 0.004, true},
        _swerve_module_apply_params_t{{1.0, 0.5}, inf, 0, 0, 1, 0.004, true},
        _swerve_module_apply_params_t{{1.0, 0.5}, 0, 0, 0, 1, nan, true}}) {
    harness::ClearReports();
    harness::ClearControlCalls();
    c_kvor_zephrin6_swerve_module_apply(id, 0, &apply);
    EXPECT_EQ(InvalidParamReports(), 1u);
    EXPECT_EQ(MotorCalls(), 0u);
  }

  // Installing: the request in place goes on (wheels pointed a quarter turn
  // at speed 0) through every refused install.
  CStepper stepper(id);
  stepper.Start();
  c_kvor_zephrin6_swerve_drivetrain_set_control_point_wheels_at(id, 0, 1, kPi / 2);
  stepper.Step();
  harness::ClearReports();
  c_kvor_zephrin6_swerve_drivetrain_set_control_swerve_drive_brake(id, 0, 2);
  c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(id, 0, 1, true, 0, nan, 0, 0, 0, 0, 0, 0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(id, -4, 1, true, 0, 1, 0, 0, 0, 0, 0, 0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(id, 0, 1, true, 1, 0, 0, 0, 0, inf, 0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_point_wheels_at(id, 7, 1, 0.0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_apply_robot_speeds(id, nanForces, 4, forces, 4, 0, 1, true, 1, 0, 0,
                                                                   0, 0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_apply_field_speeds(id, forces, 4, forces, 4, 0, 1, true, 0, 1, nan, 0,
                                                                   0, 0);
  EXPECT_EQ(InvalidParamReports(), 7u);
  harness::ClearControlCalls();
  stepper.Step();
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(SteerTurns(i), 0.25, 1e-12);
    EXPECT_NEAR(DriveVolts(i), 0.0, 1e-12);
  }
  stepper.Stop();
}

// Every per-drivetrain function given an ID that names no drivetrain does
// nothing and returns its neutral result; the runtime receives no command.
TEST_F(SwerveCInterfaceTest, UnknownIdsGetNeutralResults) {
  const int destroyed = Create();
  Destroy(destroyed);
  harness::ClearControlCalls();

  const double forces[4] = {1, 2, 3, 4};
  const double deviations[3] = {0.5, 0.5, 0.5};
  const _swerve_module_apply_params_t apply{{1.0, 0.5}, 0, 0, 0, 1, 0.004, true};
  auto state = [](_swerve_module_state_t s) { return std::abs(s.speed) + std::abs(s.angle); };
  auto position = [](_swerve_module_position_t p) { return std::abs(p.distance) + std::abs(p.angle); };
  // Each call returns its result as a number; calls without a result give 0.
  struct Call {
    const char* name;
    std::function<double(int)> call;
    double neutral;
  };
  const std::vector<Call> calls = {
      {"is_on_can_fd", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(id) ? 1.0 : 0.0; }, 0},
      {"get_odometry_frequency", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_get_odometry_frequency(id); },
       0},
      {"is_odometry_valid", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_is_odometry_valid(id) ? 1.0 : 0.0; },
       0},
      {"config_neutral_mode",
       [](int id) { return double(c_kvor_zephrin6_swerve_drivetrain_config_neutral_mode(id, 1)); }, kInvalidParamValue},
      {"get_operator_forward_direction",
       [](int id) { return c_kvor_zephrin6_swerve_drivetrain_get_operator_forward_direction(id); }, 0},
      {"module_get_position", [&](int id) { return position(c_kvor_zephrin6_swerve_module_get_position(id, 0, true)); },
       0},
      {"module_get_cached_position",
       [&](int id) { return position(c_kvor_zephrin6_swerve_module_get_cached_position(id, 0)); }, 0},
      {"module_get_current_state",
       [&](int id) { return state(c_kvor_zephrin6_swerve_module_get_current_state(id, 0)); }, 0},
      {"module_get_target_state", [&](int id) { return state(c_kvor_zephrin6_swerve_module_get_target_state(id, 0)); },
       0},
      {"request_apply_idle", [](int id) { return double(c_kvor_zephrin6_swerve_request_apply_idle(id)); },
       kInvalidParamValue},
      {"request_apply_swerve_drive_brake",
       [](int id) { return double(c_kvor_zephrin6_swerve_request_apply_swerve_drive_brake(id, 0, 1)); },
       kInvalidParamValue},
      {"request_apply_field_centric",
       [](int id) {
         return double(c_kvor_zephrin6_swerve_request_apply_field_centric(id, 0, 1, true, 0, 1, 0, 0, 0, 0, 0, 0));
       },
       kInvalidParamValue},
      {"request_apply_robot_centric",
       [](int id) {
         return double(c_kvor_zephrin6_swerve_request_apply_robot_centric(id, 0, 1, true, 1, 0, 0, 0, 0, 0, 0));
       },
       kInvalidParamValue},
      {"request_apply_point_wheels_at",
       [](int id) { return double(c_kvor_zephrin6_swerve_request_apply_point_wheels_at(id, 0, 1, 1.0)); },
       kInvalidParamValue},
      {"request_apply_apply_robot_speeds",
       [&](int id) {
         return double(c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(id, forces, 4, forces, 4, 0, 1, true, 1,
                                                                               0, 0, 0, 0));
       },
       kInvalidParamValue},
      {"request_apply_apply_field_speeds",
       [&](int id) {
         return double(c_kvor_zephrin6_swerve_request_apply_apply_field_speeds(id, forces, 4, forces, 4, 0, 1, true, 0,
                                                                               1, 0, 0, 0, 0));
       },
       kInvalidParamValue},
      // Calls without a result: they must simply do nothing.
      {"set_control", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_set_control(id, nullptr, nullptr), 0.0; },
       0},
      {"register_telemetry",
       [](int id) { return c_kvor_zephrin6_swerve_drivetrain_register_telemetry(id, nullptr, nullptr), 0.0; }, 0},
      {"tare_everything", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_tare_everything(id), 0.0; }, 0},
      {"seed_field_centric", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_seed_field_centric(id), 0.0; }, 0},
      {"reset_pose", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_reset_pose(id, 1, 2, 3), 0.0; }, 0},
      {"reset_translation", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_reset_translation(id, 1, 2), 0.0; },
       0},
      {"reset_rotation", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_reset_rotation(id, 1), 0.0; }, 0},
      {"set_operator_perspective_forward",
       [](int id) { return c_kvor_zephrin6_swerve_drivetrain_set_operator_perspective_forward(id, 1), 0.0; }, 0},
      {"add_vision_measurement",
       [](int id) { return c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement(id, 1, 2, 3, 1), 0.0; }, 0},
      {"add_vision_measurement_with_stddev",
       [&](int id) {
         return c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement_with_stddev(id, 1, 2, 3, 1, deviations), 0.0;
       },
       0},
      {"set_vision_measurement_stddevs",
       [&](int id) { return c_kvor_zephrin6_swerve_drivetrain_set_vision_measurement_stddevs(id, deviations), 0.0; },
       0},
      {"odom_start", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_odom_start(id), 0.0; }, 0},
      {"odom_set_thread_priority",
       [](int id) { return c_kvor_zephrin6_swerve_drivetrain_odom_set_thread_priority(id, 5), 0.0; }, 0},
      {"odom_stop", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_odom_stop(id), 0.0; }, 0},
      {"module_apply", [&](int id) { return c_kvor_zephrin6_swerve_module_apply(id, 0, &apply), 0.0; }, 0},
      {"module_reset_position", [](int id) { return c_kvor_zephrin6_swerve_module_reset_position(id, 0), 0.0; }, 0},
      {"set_control_idle", [](int id) { return c_kvor_zephrin6_swerve_drivetrain_set_control_idle(id), 0.0; }, 0},
      {"set_control_field_centric",
       [](int id) {
         return c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(id, 0, 1, true, 0, 1, 0, 0, 0, 0, 0, 0),
                0.0;
       },
       0},
      {"set_control_apply_field_speeds",
       [&](int id) {
         return c_kvor_zephrin6_swerve_drivetrain_set_control_apply_field_speeds(id, forces, 4, forces, 4, 0, 1, true,
                                                                                 0, 1, 0, 0, 0, 0),
                0.0;
       },
       0},
  };
  for (int id : {destroyed, 0, -7, destroyed + 1000}) {
    for (const Call& call : calls) {
      SCOPED_TRACE(std::string(call.name) + " on ID " + std::to_string(id));
      EXPECT_EQ(call.call(id), call.neutral);
    }
    // The state and pose outputs are left as they were.
    _swerve_module_state_t states[1] = {{7, 7}};
    _swerve_drive_state_t out{};
    out.PoseX = 7;
    out.ModuleStates = states;
    c_kvor_zephrin6_swerve_drivetrain_get_state(id, &out);
    EXPECT_EQ(out.PoseX, 7);
    EXPECT_EQ(states[0].speed, 7);
    _swerve_pose_t pose{7, 8, 9};
    EXPECT_FALSE(c_kvor_zephrin6_swerve_drivetrain_sample_pose_at(id, &pose, 1.0));
    EXPECT_EQ(pose.x, 7);
  }
  EXPECT_EQ(MotorCalls(), 0u);
}

// A module index equal to the module count (or any beyond) reads zeros and
// commands nothing, while the last module answers normally.
TEST_F(SwerveCInterfaceTest, ModuleIndexAtTheCountGetsZeros) {
  const int id = Create();
  Publish(SteerHash(3), kPositionId, 0.25);
  Publish(DriveHash(3), kVelocityId, 2.0 * kTurnsPerMeter);
  harness::ClearControlCalls();

  const _swerve_module_apply_params_t apply{{1.5, 0.0}, 0, 0, 0, 1, 0.004, true};
  for (std::size_t index : {std::size_t{4}, std::size_t{5}, std::numeric_limits<std::size_t>::max()}) {
    SCOPED_TRACE(index);
    c_kvor_zephrin6_swerve_module_apply(id, index, &apply);
    const _swerve_module_position_t position = c_kvor_zephrin6_swerve_module_get_position(id, index, false);
    const _swerve_module_position_t cached = c_kvor_zephrin6_swerve_module_get_cached_position(id, index);
    const _swerve_module_state_t current = c_kvor_zephrin6_swerve_module_get_current_state(id, index);
    const _swerve_module_state_t target = c_kvor_zephrin6_swerve_module_get_target_state(id, index);
    for (double value : {position.distance, position.angle, cached.distance, cached.angle, current.speed, current.angle,
                         target.speed, target.angle}) {
      EXPECT_EQ(value, 0.0);
    }
  }
  EXPECT_EQ(MotorCalls(), 0u);

  c_kvor_zephrin6_swerve_module_apply(id, 3, &apply);
  EXPECT_EQ(harness::ControlCallCount(SteerHash(3)), 1u);
  EXPECT_EQ(harness::ControlCallCount(DriveHash(3)), 1u);
  EXPECT_NEAR(c_kvor_zephrin6_swerve_module_get_target_state(id, 3).speed, 1.5, 1e-9);
  // A refreshing read waits for new frames, so the clock must move.
  _swerve_module_position_t refreshed{};
  RunWhileTimePasses([&] { refreshed = c_kvor_zephrin6_swerve_module_get_position(id, 3, true); });
  EXPECT_NEAR(refreshed.angle, kPi / 2, 1e-9);
  EXPECT_NEAR(c_kvor_zephrin6_swerve_module_get_cached_position(id, 3).angle, kPi / 2, 1e-9);
  const _swerve_module_state_t current = c_kvor_zephrin6_swerve_module_get_current_state(id, 3);
  EXPECT_NEAR(current.speed, 2.0, 1e-9);
  EXPECT_NEAR(current.angle, kPi / 2, 1e-9);
}

// Before the thread has produced a sample there is no pose to sample, and
// the caller's output is left alone; after one there is.
TEST_F(SwerveCInterfaceTest, SamplePoseBeforeAnySampleLeavesTheOutputAlone) {
  const int id = Create();
  _swerve_pose_t pose{7, 8, 9};
  EXPECT_FALSE(c_kvor_zephrin6_swerve_drivetrain_sample_pose_at(id, &pose, harness::Now()));
  EXPECT_EQ(pose.x, 7);
  EXPECT_EQ(pose.y, 8);
  EXPECT_EQ(pose.theta, 9);

  CStepper stepper(id);
  stepper.Start();
  stepper.Step();
  stepper.Step();
  c_kvor_zephrin6_swerve_drivetrain_reset_pose(id, 1.0, -2.0, 0.5);
  stepper.Step();
  EXPECT_TRUE(c_kvor_zephrin6_swerve_drivetrain_sample_pose_at(id, &pose, harness::Now()));
  EXPECT_NEAR(pose.x, 1.0, 1e-9);
  EXPECT_NEAR(pose.y, -2.0, 1e-9);
  EXPECT_NEAR(pose.theta, 0.5, 1e-9);
  stepper.Stop();
}

// A field-centric request drives every wheel at the commanded speed; a null
// control then stops the commands: the motors receive nothing more.
TEST_F(SwerveCInterfaceTest, NullControlStopsTheModuleCommands) {
  const int id = Create();
  CStepper stepper(id);
  stepper.Start();
  c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(id, 0, 1, true, 0, 2.0, 0, 0, 0, 0, 0, 0);
  stepper.Step();
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(LastCall(DriveHash(i)).function, Function("VoltageOut"));
    EXPECT_NEAR(DriveVolts(i), VoltsFor(2.0), 1e-9);
    EXPECT_NEAR(SteerTurns(i), 0.0, 1e-12);
  }

  c_kvor_zephrin6_swerve_drivetrain_set_control(id, nullptr, nullptr);
  harness::ClearControlCalls();
  for (int i = 0; i < 3; ++i) stepper.Step();
  EXPECT_EQ(MotorCalls(), 0u);
  EXPECT_TRUE(c_kvor_zephrin6_swerve_drivetrain_is_odometry_valid(id));
  stepper.Stop();
}

// What a control callback sees, called from the odometry thread
struct ControlSeen {
  int id = 0;
  int calls = 0;
  std::thread::id thread;
  _swerve_control_params_t params{};
  _swerve_module_state_t targetAfterApply{};
};

int DriveEveryModuleAtOneMetrePerSecond(void* context, const _swerve_control_params_t* params) {
  auto& seen = *static_cast<ControlSeen*>(context);
  ++seen.calls;
  seen.thread = std::this_thread::get_id();
  seen.params = *params;
  const _swerve_module_apply_params_t apply{{1.0, 0.0}, 0, 0, 0, 1, params->updatePeriod, true};
  for (std::size_t i = 0; i < 4; ++i) c_kvor_zephrin6_swerve_module_apply(seen.id, i, &apply);
  seen.targetAfterApply = c_kvor_zephrin6_swerve_module_get_target_state(seen.id, 3);
  return 0;
}

// Control and telemetry callbacks run on the odometry thread with the
// sample's values, may call the interface again (the drivetrain's lock is
// recursive), and may not create or destroy drivetrains.
TEST_F(SwerveCInterfaceTest, CallbacksRunOnTheOdometryThreadAndMayCallBack) {
  const int id = Create();
  c_kvor_zephrin6_swerve_drivetrain_set_operator_perspective_forward(id, 0.5);
  ControlSeen seen;
  seen.id = id;
  c_kvor_zephrin6_swerve_drivetrain_set_control(id, &seen, &DriveEveryModuleAtOneMetrePerSecond);

  CStepper stepper(id);
  _swerve_drive_state_t inside{};
  std::array<_swerve_module_state_t, 4> insideTargets{};
  _swerve_module_state_t insideStates[4];
  _swerve_module_position_t insidePositions[4];
  int pointStatus = 1;
  int createdInside = -1;
  stepper.OnSample([&](const _swerve_drive_state_t&) {
    inside.ModuleStates = insideStates;
    inside.ModuleTargets = insideTargets.data();
    inside.ModulePositions = insidePositions;
    c_kvor_zephrin6_swerve_drivetrain_get_state(id, &inside);
    pointStatus = c_kvor_zephrin6_swerve_request_apply_point_wheels_at(id, 0, 1, kPi / 2);
    c_kvor_zephrin6_swerve_destroy_drivetrain(id);
    createdInside = c_kvor_zephrin6_swerve_create_drivetrain(nullptr, nullptr, 0);
  });
  stepper.Start();
  harness::ClearReports();
  stepper.Step();

  EXPECT_EQ(seen.calls, 1);
  EXPECT_NE(seen.thread, std::this_thread::get_id());
  EXPECT_DOUBLE_EQ(seen.params.kMaxSpeedMps, kSpeedAt12Volts);
  EXPECT_DOUBLE_EQ(seen.params.operatorForwardDirection, 0.5);
  EXPECT_NEAR(seen.params.updatePeriod, 0.004, 1e-15);
  EXPECT_NEAR(seen.targetAfterApply.speed, 1.0, 1e-12);

  // The state read inside the telemetry call is the sample being reported.
  const _swerve_drive_state_t last = stepper.Last();
  EXPECT_EQ(inside.Timestamp, last.Timestamp);
  EXPECT_EQ(seen.params.timestamp, last.Timestamp);
  EXPECT_EQ(inside.SuccessfulDaqs, 1);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(insideTargets[i].speed, 1.0, 1e-12);
    EXPECT_EQ(last.ModuleTargets[i].speed, insideTargets[i].speed);
    // The wheels were pointed sideways after the sample's own request.
    EXPECT_EQ(pointStatus, 0);
    EXPECT_NEAR(SteerTurns(i), 0.25, 1e-12);
  }

  // Destroying and creating were refused; the drivetrain is still there.
  EXPECT_EQ(createdInside, 0);
  EXPECT_EQ(InvalidParamReports(), 2u);
  EXPECT_TRUE(c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(id));
  stepper.OnSample(nullptr);
  stepper.Stop();
}

// The wheel forces of a speeds request are copied: the caller may reuse its
// arrays at once. Applied once, the request reaches the motors immediately.
TEST_F(SwerveCInterfaceTest, ForceArraysAreCopiedIntoTheRequest) {
  const int id = Create();
  constexpr double kKt = 0.02;
  constexpr double kStallCurrent = 300.0;
  for (std::size_t i = 0; i < 4; ++i) {
    Publish(DriveHash(i), kMotorKtId, kKt);
    Publish(DriveHash(i), kStallCurrentId, kStallCurrent);
  }
  // Volts of drive feed-forward for a force along the wheel, newtons.
  auto feedforwardVolts = [](double newtons) {
    return 12.0 / kStallCurrent * (newtons * kWheelRadius / kDriveGearRatio / kKt);
  };

  double forcesX[4] = {10, 10, 10, 10};
  double forcesY[4] = {0, 0, 0, 0};
  EXPECT_EQ(
      c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(id, forcesX, 4, forcesY, 4, 0, 1, true, 0, 0, 0, 0, 0),
      0);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(DriveVolts(i), feedforwardVolts(10), 1e-9) << i;

  CStepper stepper(id);
  stepper.Start();
  for (double& force : forcesX) force = 20;
  c_kvor_zephrin6_swerve_drivetrain_set_control_apply_robot_speeds(id, forcesX, 4, forcesY, 4, 0, 1, true, 0, 0, 0, 0,
                                                                   0);
  for (double& force : forcesX) force = 1000;
  stepper.Step();
  stepper.Step();
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(DriveVolts(i), feedforwardVolts(20), 1e-9) << i;
  stepper.Stop();
}

// The header is plain C11 (compiled as such beside this suite), and its
// records are laid out alike in C and C++.
class SwerveCHeader : public zephrin_test::RuntimeTest {};

TEST_F(SwerveCHeader, CompilesAsCWithTheSameLayout) {
  EXPECT_EQ(swerve_c_header_check(), 0);
  size_t layout[6];
  swerve_c_record_layout(layout);
  EXPECT_EQ(layout[0], sizeof(_swerve_drive_state_t));
  EXPECT_EQ(layout[1], offsetof(_swerve_drive_state_t, FailedDaqs));
  EXPECT_EQ(layout[2], sizeof(_swerve_module_apply_params_t));
  EXPECT_EQ(layout[3], offsetof(_swerve_module_apply_params_t, enableFOC));
  EXPECT_EQ(layout[4], sizeof(_swerve_control_params_t));
  EXPECT_EQ(layout[5], offsetof(_swerve_drive_state_t, ModulePositions));
}

}  // namespace
