// The C interface's records against their documented layout. The header's
// structs and the JVM bindings' classes are both generated from one table,
// so a slip in that table would pass every other test: the rows below are
// copied by hand from the documented records (fields in order, doubles and
// pointers of 8 bytes, int32 of 4, natural alignment), not from the table.
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <gtest/gtest.h>

#include <cstddef>

namespace {

struct Row {
  const char* what;
  std::size_t actual;
  std::size_t documented;
};

// Callers compiled against an earlier header, and the bindings' copies,
// find every field where the documented order puts it.
TEST(SwerveCRecords, KeepTheDocumentedLayout) {
  const Row rows[] = {
      {"sizeof module state", sizeof(_swerve_module_state_t), 16},
      {"module state angle", offsetof(_swerve_module_state_t, angle), 8},
      {"module position angle", offsetof(_swerve_module_position_t, angle), 8},
      {"sizeof pose", sizeof(_swerve_pose_t), 24},
      {"drive state SpeedsOmega", offsetof(_swerve_drive_state_t, SpeedsOmega), 40},
      {"drive state ModuleStates", offsetof(_swerve_drive_state_t, ModuleStates), 48},
      {"drive state ModulePositions", offsetof(_swerve_drive_state_t, ModulePositions), 64},
      {"drive state RawHeading", offsetof(_swerve_drive_state_t, RawHeading), 72},
      {"drive state SuccessfulDaqs", offsetof(_swerve_drive_state_t, SuccessfulDaqs), 96},
      {"drive state FailedDaqs", offsetof(_swerve_drive_state_t, FailedDaqs), 100},
      {"sizeof drive state", sizeof(_swerve_drive_state_t), 104},
      {"control params operatorForwardDirection", offsetof(_swerve_control_params_t, operatorForwardDirection), 8},
      {"control params currentPoseTheta", offsetof(_swerve_control_params_t, currentPoseTheta), 56},
      {"sizeof control params", sizeof(_swerve_control_params_t), 80},
      {"module apply wheelForceFeedforwardX", offsetof(_swerve_module_apply_params_t, wheelForceFeedforwardX), 16},
      {"module apply steerRequest", offsetof(_swerve_module_apply_params_t, steerRequest), 36},
      {"module apply updatePeriod", offsetof(_swerve_module_apply_params_t, updatePeriod), 40},
      {"module apply enableFOC", offsetof(_swerve_module_apply_params_t, enableFOC), 48},
      {"sizeof module apply", sizeof(_swerve_module_apply_params_t), 56},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.actual, row.documented);
  }
}

}  // namespace
