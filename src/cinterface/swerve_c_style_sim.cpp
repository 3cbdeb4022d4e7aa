// The C interface's simulation and manual stepping of a drivetrain: the
// physics simulation the registry keeps beside each drivetrain, and one
// odometry sample on the caller's thread. Same conventions as
// swerve_c_style.cpp: unknown IDs get the neutral result, refused arguments
// are reported once and change nothing.
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include "cinterface/internal/ArgumentCheck.hpp"
#include "cinterface/internal/CallbackScope.hpp"
#include "cinterface/internal/DrivetrainRegistry.hpp"

using kvor::zephrin::StatusCode;
using kvor::zephrin6::swerve::sim::SimSwerveDrivetrain;
namespace cinterface = kvor::zephrin6::cinterface;

namespace {

constexpr int kAbsent = StatusCode::InvalidParamValue;

cinterface::DrivetrainRegistry& Registry() { return cinterface::DrivetrainRegistry::Instance(); }

/// Screens a supply voltage: finite and not negative.
bool SupplyPasses(cinterface::ArgumentCheck& check, double supplyVolts) {
  check.Finite("supplyVolts", supplyVolts).Require(!(supplyVolts < 0.0), "a negative supply voltage");
  return check.Passed();
}

}  // namespace

extern "C" {

int c_kvor_zephrin6_swerve_drivetrain_odom_run_once(int id) {
  if (cinterface::CallbackScope::Active()) {
    // A sample inside a sample's callback would nest the drivetrain's loop.
    cinterface::ReportRefusedCall("c_kvor_zephrin6_swerve_drivetrain_odom_run_once",
                                  "called from a drivetrain callback");
    return kAbsent;
  }
  return Registry().With(id, kAbsent, [](kvor::zephrin6::swerve::impl::SwerveDrivetrainImpl& drivetrain) {
    return static_cast<int>(drivetrain.GetOdometryThread().RunOnce());
  });
}

int c_kvor_zephrin6_swerve_drivetrain_sim_start(int id, double periodSeconds, double supplyVolts) {
  cinterface::ArgumentCheck check("c_kvor_zephrin6_swerve_drivetrain_sim_start");
  check.Finite("periodSeconds", periodSeconds).Require(periodSeconds > 0.0, "a period that is not positive");
  if (!SupplyPasses(check, supplyVolts)) return kAbsent;
  return Registry().WithSim(id, kAbsent, [&](SimSwerveDrivetrain& sim) {
    return static_cast<int>(
        sim.StartThread(units::time::second_t{periodSeconds}, units::voltage::volt_t{supplyVolts}));
  });
}

void c_kvor_zephrin6_swerve_drivetrain_sim_stop(int id) { Registry().StopSim(id); }

int c_kvor_zephrin6_swerve_drivetrain_sim_update(int id, double dtSeconds, double supplyVolts) {
  cinterface::ArgumentCheck check("c_kvor_zephrin6_swerve_drivetrain_sim_update");
  check.Finite("dtSeconds", dtSeconds).Require(!(dtSeconds < 0.0), "a negative time step");
  if (!SupplyPasses(check, supplyVolts)) return kAbsent;
  return Registry().WithSim(id, kAbsent, [&](SimSwerveDrivetrain& sim) {
    return static_cast<int>(sim.Update(units::time::second_t{dtSeconds}, units::voltage::volt_t{supplyVolts}));
  });
}

bool c_kvor_zephrin6_swerve_drivetrain_sim_get_pose(int id, _swerve_pose_t* out) {
  if (out == nullptr) return false;
  return Registry().WithSim(id, false, [&](SimSwerveDrivetrain& sim) {
    const auto pose = sim.GetPose();
    *out = {pose.X().value(), pose.Y().value(), pose.Rotation().Radians().value()};
    return true;
  });
}

}  // extern "C"
