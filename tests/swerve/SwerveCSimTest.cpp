// The C interface's simulation and manual odometry step: a program stepping
// the manual clock drives the simulated robot where its request says, the
// simulation thread runs beside the program's own samples and is stopped by
// the drivetrain's destruction, and absent IDs and refused arguments get the
// neutral results.
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "support/RuntimeFixture.hpp"
#include "swerve/CInterfaceRig.hpp"

namespace {

using namespace c_rig;

class SwerveCSimTest : public zephrin_test::RuntimeTest {
 protected:
  /// The rig's square drivetrain with steer gains (so the azimuths hold),
  /// created while the manual clock moves. @return its ID.
  static int CreateSteering() {
    _swerve_drivetrain_constants_t* constants = c_kvor_zephrin6_swerve_create_drivetrain_constants(kBus, kAuklet2Id);
    _swerve_module_constants_arr_t* modules = SquareModuleConstants();
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(c_kvor_zephrin6_swerve_set_module_gains(modules, i, 0, 60.0, 0.0, 0.5, 0.0, 0.0, 0.0), 0);
    }
    int id = 0;
    RunWhileTimePasses([&] { id = c_kvor_zephrin6_swerve_create_drivetrain(constants, modules, 4); });
    Release(constants);
    Release(modules);
    return id;
  }
  static _swerve_pose_t Pose(int id) {
    _swerve_pose_t pose{-1.0, -1.0, -1.0};
    EXPECT_TRUE(c_kvor_zephrin6_swerve_drivetrain_sim_get_pose(id, &pose));
    return pose;
  }
};

// Stepping clock, physics and odometry by hand for 1 s at 0.5 m/s
// robot-centric (open-loop voltage): the true robot goes forward, a little
// over half a metre (the rig says 4 m/s at 12 V; the simulated motors make
// 5.2), and odometry follows it.
TEST_F(SwerveCSimTest, SteppedSimulationDrivesWhereTheRequestSays) {
  const int id = CreateSteering();
  ASSERT_NE(id, 0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(id, 0, 1, false, 0.5, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0);
  for (int tick = 1; tick <= 1000; ++tick) {
    harness::AdvanceTime(0.001);
    ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update(id, 0.001, 12.0), 0);
    if (tick % 4 == 0) {
      ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_odom_run_once(id), 0);
    }
  }
  const _swerve_pose_t truth = Pose(id);
  EXPECT_GT(truth.x, 0.4);
  EXPECT_LT(truth.x, 0.7);
  EXPECT_NEAR(truth.y, 0.0, 0.02);
  _swerve_drive_state_t state{};
  std::array<_swerve_module_state_t, 4> states{}, targets{};
  std::array<_swerve_module_position_t, 4> positions{};
  state.ModuleStates = states.data();
  state.ModuleTargets = targets.data();
  state.ModulePositions = positions.data();
  c_kvor_zephrin6_swerve_drivetrain_get_state(id, &state);
  EXPECT_NEAR(state.PoseX, truth.x, 0.02);
  EXPECT_EQ(state.FailedDaqs, 0);

  // Refused, changing nothing: a dt or supply that is not a time or a
  // voltage.
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update(id, std::nan(""), 12.0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update(id, -0.001, 12.0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update(id, 0.001, INFINITY), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_start(id, 0.0, 12.0), -1002);
  EXPECT_EQ(Pose(id).x, truth.x);
  Destroy(id);
}

// The simulation thread moves the robot while the program samples odometry
// itself; the odometry thread refuses a manual step while it runs; the
// drivetrain's destruction stops the simulation thread (no explicit stop).
TEST_F(SwerveCSimTest, SimulationThreadRunsBesideManualSamplesAndEndsWithTheDrivetrain) {
  const int id = CreateSteering();
  ASSERT_NE(id, 0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(id, 0, 1, false, 0.5, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0);
  ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_start(id, 0.0005, 12.0), 0);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_start(id, 0.0005, 12.0), 0) << "a second start does nothing";
  // The thread integrates whatever the clock moved each wall-clock period;
  // the program keeps moving the clock and sampling until it sees motion.
  for (int i = 0; i < 100000 && Pose(id).x < 0.05; ++i) {
    harness::AdvanceTime(0.004);
    std::this_thread::yield();
    static_cast<void>(c_kvor_zephrin6_swerve_drivetrain_odom_run_once(id));  // counted in the state
  }
  EXPECT_GT(Pose(id).x, 0.05) << "the thread moved the robot";

  c_kvor_zephrin6_swerve_drivetrain_odom_start(id);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_odom_run_once(id), -100);
  RunWhileTimePasses([&] { c_kvor_zephrin6_swerve_drivetrain_odom_stop(id); });
  Destroy(id);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update(id, 0.001, 12.0), -1002);
}

// An ID that names no drivetrain gets the neutral results.
TEST_F(SwerveCSimTest, AbsentDrivetrainsGetNeutralResults) {
  _swerve_pose_t pose{7.0, 7.0, 7.0};
  EXPECT_FALSE(c_kvor_zephrin6_swerve_drivetrain_sim_get_pose(99, &pose));
  EXPECT_EQ(pose.x, 7.0);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update(99, 0.001, 12.0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_start(99, 0.01, 12.0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_odom_run_once(99), -1002);
  c_kvor_zephrin6_swerve_drivetrain_sim_stop(99);
  EXPECT_FALSE(c_kvor_zephrin6_swerve_drivetrain_sim_get_pose(99, nullptr));
}

// On a 3 m square field the robot driven at the wall for 3 s (it would
// roll about 2 m on an endless floor) stops with its bumper (0.3 m module
// corners plus the 0.15 m margin) at the wall; a battery with a stiff
// internal resistance sags while the motors pull on it.
TEST_F(SwerveCSimTest, FieldStopsTheRobotAndTheBatterySags) {
  const int id = CreateSteering();
  ASSERT_NE(id, 0);
  const _swerve_sim_field_t field{3.0, 3.0, 0.15, 60.0, 0.0, nullptr, 0, nullptr, nullptr, 0};
  ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_field(id, &field), 0);
  ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_reset_pose(id, 1.5, 1.5, 0.0), 0);
  ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_battery(id, 12.5, 0.1, 6.0), 0);
  c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(id, 0, 1, false, 0.5, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0);
  double lowest = 12.5;
  for (int tick = 1; tick <= 3000; ++tick) {
    harness::AdvanceTime(0.001);
    ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update_on_battery(id, 0.001), 0);
    if (tick % 4 == 0) {
      ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_odom_run_once(id), 0);  // applies the request
    }
    _swerve_sim_battery_t battery{};
    ASSERT_TRUE(c_kvor_zephrin6_swerve_drivetrain_sim_get_battery(id, &battery));
    lowest = std::min(lowest, battery.volts);
  }
  EXPECT_NEAR(Pose(id).x, 3.0 - 0.45, 0.02);
  EXPECT_NEAR(Pose(id).y, 1.5, 0.02);
  EXPECT_LT(lowest, 12.0);
  _swerve_sim_battery_t battery{};
  ASSERT_TRUE(c_kvor_zephrin6_swerve_drivetrain_sim_get_battery(id, &battery));
  EXPECT_EQ(battery.openCircuitVolts, 12.5);
  EXPECT_EQ(battery.resistanceOhms, 0.1);
  EXPECT_FALSE(battery.brownedOut);

  c_kvor_zephrin6_swerve_drivetrain_sim_clear_field(id);
  for (int tick = 1; tick <= 500; ++tick) {
    harness::AdvanceTime(0.001);
    ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update_on_battery(id, 0.001), 0);
    if (tick % 4 == 0) {
      ASSERT_EQ(c_kvor_zephrin6_swerve_drivetrain_odom_run_once(id), 0);
    }
  }
  EXPECT_GT(Pose(id).x, 2.7);  // off the field, nothing holds it back
  Destroy(id);
}

// A field or battery the simulation cannot take changes nothing: missing
// arrays, more obstacles or corners than it takes (refused before anything
// is read), numbers that are not finite, a concave obstacle, a bad battery.
TEST_F(SwerveCSimTest, FieldsAndBatteriesItCannotSimulateAreRefused) {
  const int id = CreateSteering();
  ASSERT_NE(id, 0);
  const double square[] = {1, 1, 2, 1, 2, 2, 1, 2};
  const double concave[] = {1, 1, 2, 1, 1.2, 1.2, 1, 2};
  const double nine[18] = {};
  const size_t four[] = {4};
  const size_t tooMany = 9;
  std::vector<size_t> manyCounts(65, 4);
  std::vector<double> manyCorners(65 * 8, 1.0);
  const _swerve_sim_field_t ok{3.0, 3.0, 0.15, 60.0, 0.0, nullptr, 0, square, four, 1};
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_field(id, &ok), 0);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_field(id, nullptr), -1002);
  for (_swerve_sim_field_t bad : {
           _swerve_sim_field_t{NAN, 3.0, 0.15, 60.0, 0.0, nullptr, 0, nullptr, nullptr, 0},
           _swerve_sim_field_t{3.0, 3.0, 0.15, 0.0, 0.0, nullptr, 0, nullptr, nullptr, 0},
           _swerve_sim_field_t{3.0, 3.0, 0.15, 60.0, 0.0, nullptr, 4, nullptr, nullptr, 0},
           _swerve_sim_field_t{3.0, 3.0, 0.15, 60.0, 0.0, nine, 9, nullptr, nullptr, 0},
           _swerve_sim_field_t{3.0, 3.0, 0.15, 60.0, 0.0, nullptr, 0, square, nullptr, 1},
           _swerve_sim_field_t{3.0, 3.0, 0.15, 60.0, 0.0, nullptr, 0, nine, &tooMany, 1},
           _swerve_sim_field_t{3.0, 3.0, 0.15, 60.0, 0.0, nullptr, 0, concave, four, 1},
           _swerve_sim_field_t{3.0, 3.0, 0.15, 60.0, 0.0, nullptr, 0, manyCorners.data(), manyCounts.data(), 65},
       }) {
    EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_field(id, &bad), -1002);
  }
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_reset_pose(id, NAN, 0.0, 0.0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_battery(id, 0.0, 0.02, 6.8), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_battery(id, 12.5, -0.1, 6.8), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_battery(id, 12.5, 0.02, INFINITY), -1002);
  _swerve_sim_battery_t battery{};
  ASSERT_TRUE(c_kvor_zephrin6_swerve_drivetrain_sim_get_battery(id, &battery));
  EXPECT_EQ(battery.openCircuitVolts, 12.5);  // the defaults stand
  EXPECT_EQ(battery.resistanceOhms, 0.02);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_update_on_battery(id, -1.0), -1002);
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_start_on_battery(id, 0.0), -1002);
  EXPECT_FALSE(c_kvor_zephrin6_swerve_drivetrain_sim_get_battery(99, &battery));
  EXPECT_FALSE(c_kvor_zephrin6_swerve_drivetrain_sim_get_battery(id, nullptr));
  EXPECT_EQ(c_kvor_zephrin6_swerve_drivetrain_sim_set_field(99, &ok), -1002);
  c_kvor_zephrin6_swerve_drivetrain_sim_clear_field(99);  // nothing to clear
  Destroy(id);
}

}  // namespace
