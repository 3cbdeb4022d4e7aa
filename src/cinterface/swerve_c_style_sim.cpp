// The C interface's simulation and manual stepping of a drivetrain: the
// physics simulation the registry keeps beside each drivetrain, and one
// odometry sample on the caller's thread. Same conventions as
// swerve_c_style.cpp: unknown IDs get the neutral result, refused arguments
// are reported once and change nothing.
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>

#include <vector>

#include "cinterface/internal/ArgumentCheck.hpp"
#include "cinterface/internal/CallbackScope.hpp"
#include "cinterface/internal/DrivetrainRegistry.hpp"

using kvor::zephrin::StatusCode;
using kvor::zephrin6::swerve::Translation2d;
using kvor::zephrin6::swerve::sim::SimBattery;
using kvor::zephrin6::swerve::sim::SimField;
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

/// A polygon of `corners` x, y pairs, or false when the count is beyond
/// what a field takes (checked before anything is read) or the array is
/// missing.
bool ReadPolygon(const double* xy, std::size_t corners, std::vector<Translation2d>& out) {
  if (corners > SimField::kMaxVertices || (corners > 0 && xy == nullptr)) return false;
  out.clear();
  for (std::size_t i = 0; i < corners; ++i) {
    out.emplace_back(units::length::meter_t{xy[2 * i]}, units::length::meter_t{xy[2 * i + 1]});
  }
  return true;
}

/// The SimField the C struct describes, or false when its arrays cannot be
/// read; the field's own Check judges the numbers.
bool ReadField(const _swerve_sim_field_t& c, SimField& field) {
  field.Length = units::length::meter_t{c.length};
  field.Width = units::length::meter_t{c.width};
  field.BumperMargin = units::length::meter_t{c.bumperMargin};
  field.ChassisMass = units::mass::kilogram_t{c.chassisMass};
  field.ChassisMomentOfInertia = units::moment_of_inertia::kilogram_square_meter_t{c.chassisMomentOfInertia};
  if (!ReadPolygon(c.bumperXY, c.bumperCorners, field.BumperFootprint)) return false;
  if (c.obstacleCount > SimField::kMaxObstacles || (c.obstacleCount > 0 && c.obstacleCorners == nullptr)) return false;
  const double* xy = c.obstacleXY;
  for (std::size_t i = 0; i < c.obstacleCount; ++i) {
    std::vector<Translation2d> obstacle;
    if (!ReadPolygon(xy, c.obstacleCorners[i], obstacle)) return false;
    xy += 2 * c.obstacleCorners[i];
    field.Obstacles.push_back(std::move(obstacle));
  }
  return true;
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

int c_kvor_zephrin6_swerve_drivetrain_sim_set_field(int id, const _swerve_sim_field_t* field) {
  cinterface::ArgumentCheck check("c_kvor_zephrin6_swerve_drivetrain_sim_set_field");
  SimField read;
  check.Require(field != nullptr, "a NULL field")
      .Require(field == nullptr || ReadField(*field, read), "a polygon array missing or over the field's limits");
  if (!check.Passed()) return kAbsent;
  return Registry().WithSim(id, kAbsent, [&](SimSwerveDrivetrain& sim) { return static_cast<int>(sim.SetField(read)); });
}

void c_kvor_zephrin6_swerve_drivetrain_sim_clear_field(int id) {
  static_cast<void>(Registry().WithSim(id, 0, [](SimSwerveDrivetrain& sim) {
    sim.ClearField();
    return 0;
  }));
}

int c_kvor_zephrin6_swerve_drivetrain_sim_reset_pose(int id, double x, double y, double theta) {
  cinterface::ArgumentCheck check("c_kvor_zephrin6_swerve_drivetrain_sim_reset_pose");
  check.Finite("x", x).Finite("y", y).Finite("theta", theta);
  if (!check.Passed()) return kAbsent;
  const kvor::zephrin6::swerve::Pose2d pose{units::length::meter_t{x}, units::length::meter_t{y},
                                            kvor::zephrin6::swerve::Rotation2d{units::angle::radian_t{theta}}};
  return Registry().WithSim(id, kAbsent, [&](SimSwerveDrivetrain& sim) { return static_cast<int>(sim.ResetPose(pose)); });
}

int c_kvor_zephrin6_swerve_drivetrain_sim_set_battery(int id, double openCircuitVolts, double resistanceOhms,
                                                      double brownoutVolts) {
  SimBattery battery;
  cinterface::ArgumentCheck check("c_kvor_zephrin6_swerve_drivetrain_sim_set_battery");
  check.Require(battery.SetOpenCircuitVoltage(units::voltage::volt_t{openCircuitVolts}) == StatusCode::OK,
                "an open-circuit voltage that is not a positive finite number")
      .Require(battery.SetResistance(units::impedance::ohm_t{resistanceOhms}) == StatusCode::OK,
               "a resistance that is negative or not finite")
      .Require(battery.SetBrownoutVoltage(units::voltage::volt_t{brownoutVolts}) == StatusCode::OK,
               "a brownout voltage that is negative or not finite");
  if (!check.Passed()) return kAbsent;
  return Registry().WithSim(id, kAbsent, [&](SimSwerveDrivetrain& sim) {
    sim.SetBattery(battery);
    return 0;
  });
}

bool c_kvor_zephrin6_swerve_drivetrain_sim_get_battery(int id, _swerve_sim_battery_t* out) {
  if (out == nullptr) return false;
  return Registry().WithSim(id, false, [&](SimSwerveDrivetrain& sim) {
    const SimBattery battery = sim.GetBattery();
    *out = {battery.GetOpenCircuitVoltage().value(), battery.GetResistance().value(),
            battery.GetBrownoutVoltage().value(),    battery.GetVoltage().value(),
            battery.GetCurrent().value(),            battery.IsBrownedOut()};
    return true;
  });
}

int c_kvor_zephrin6_swerve_drivetrain_sim_update_on_battery(int id, double dtSeconds) {
  cinterface::ArgumentCheck check("c_kvor_zephrin6_swerve_drivetrain_sim_update_on_battery");
  check.Finite("dtSeconds", dtSeconds).Require(!(dtSeconds < 0.0), "a negative time step");
  if (!check.Passed()) return kAbsent;
  return Registry().WithSim(id, kAbsent,
                            [&](SimSwerveDrivetrain& sim) { return static_cast<int>(sim.Update(units::time::second_t{dtSeconds})); });
}

int c_kvor_zephrin6_swerve_drivetrain_sim_start_on_battery(int id, double periodSeconds) {
  cinterface::ArgumentCheck check("c_kvor_zephrin6_swerve_drivetrain_sim_start_on_battery");
  check.Finite("periodSeconds", periodSeconds).Require(periodSeconds > 0.0, "a period that is not positive");
  if (!check.Passed()) return kAbsent;
  return Registry().WithSim(id, kAbsent, [&](SimSwerveDrivetrain& sim) {
    return static_cast<int>(sim.StartThread(units::time::second_t{periodSeconds}));
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
