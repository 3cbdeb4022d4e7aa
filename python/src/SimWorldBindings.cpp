// zephrin6.swerve.SimField and SimBattery: the field and the battery a
// simulated drivetrain can be given (SwerveDrivetrain.set_sim_field and
// set_sim_battery). The field is a plain record like the module constants;
// the battery keeps its own checks, so its settings are properties whose
// setters raise ValueError for what the battery refuses.
#include <kvor/zephrin6/swerve/sim/SimBattery.hpp>
#include <kvor/zephrin6/swerve/sim/SimField.hpp>

#include <pybind11/stl.h>

#include <string>

#include "Bindings.hpp"
#include "Fields.hpp"

namespace zephrin6_python {

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::swerve::sim::SimBattery;
using kvor::zephrin6::swerve::sim::SimField;

void BindField(py::module_& swerve) {
  py::class_<SimField> cls(swerve, "SimField",
                           R"(The field a simulated robot drives on: a walled rectangle with one corner at
the origin (x along the length, y along the width), convex obstacles in it
(3 to 8 corners each, in field coordinates, at most 64), and the chassis that
hits them. Give it to SwerveDrivetrain.set_sim_field, then place the robot
with reset_sim_pose. Lists are copied in and out: assign a whole list to
change one.)");
  DefField(cls, "length", &SimField::Length, "Length of the walled rectangle (x), metres.");
  DefField(cls, "width", &SimField::Width, "Width of the walled rectangle (y), metres.");
  DefField(cls, "obstacles", &SimField::Obstacles, "Convex obstacles, each a list of its corners (Translation2d).");
  DefField(cls, "bumper_footprint", &SimField::BumperFootprint,
           "The bumper outline in robot coordinates (x forward, y left); empty for the rectangle round the "
           "module locations grown by bumper_margin.");
  DefField(cls, "bumper_margin", &SimField::BumperMargin,
           "How far the bumpers stand out beyond the module locations, metres.");
  DefField(cls, "chassis_mass", &SimField::ChassisMass, "Mass of the whole robot, kilograms.");
  DefField(cls, "chassis_moment_of_inertia", &SimField::ChassisMomentOfInertia,
           "Moment of inertia about the robot's centre, kg m^2; 0 for a uniform plate filling the outline.");
  DefKeywordInitAndRepr(cls);
  cls.def(
      "check", [](const SimField& field) { return field.Check() == StatusCode::OK; },
      "Whether the simulation can take this field (sizes, mass and polygons).");
}

/// A battery setting through the battery's own check.
template <class Unit>
void DefSetting(py::class_<SimBattery>& cls, const char* name, Unit (SimBattery::*get)() const,
                StatusCode (SimBattery::*set)(Unit), const char* doc) {
  cls.def_property(
      name, [get](const SimBattery& battery) { return (battery.*get)().value(); },
      [set, name](SimBattery& battery, double value) {
        if ((battery.*set)(Unit{value}) != StatusCode::OK) {
          throw py::value_error(std::string("the battery cannot take ") + name + " = " +
                                py::repr(py::float_(value)).cast<std::string>());
        }
      },
      doc);
}

void BindBattery(py::module_& swerve) {
  py::class_<SimBattery> cls(swerve, "SimBattery",
                             R"(The battery a simulated drivetrain draws on when it is stepped without a
supply voltage: open-circuit voltage behind an internal resistance, browning
out below a threshold (motor controllers disabled until the voltage is back).
SwerveDrivetrain.set_sim_battery takes one; get_sim_battery returns a copy
with the voltage and current of the last step.)");
  cls.def(py::init<>(), "12.5 V behind 0.02 ohm, browning out below 6.8 V, unloaded.");
  DefSetting(cls, "open_circuit_voltage", &SimBattery::GetOpenCircuitVoltage, &SimBattery::SetOpenCircuitVoltage,
             "The voltage at no load (positive), volts.");
  DefSetting(cls, "resistance", &SimBattery::GetResistance, &SimBattery::SetResistance,
             "Internal resistance with breaker and wiring (0 or more), ohms.");
  DefSetting(cls, "brownout_voltage", &SimBattery::GetBrownoutVoltage, &SimBattery::SetBrownoutVoltage,
             "Below this voltage the robot browns out (0 or more), volts.");
  cls.def_property_readonly(
      "voltage", [](const SimBattery& battery) { return battery.GetVoltage().value(); },
      "The loaded voltage after the last step, volts.");
  cls.def_property_readonly(
      "current", [](const SimBattery& battery) { return battery.GetCurrent().value(); },
      "The current drawn at the last step, amperes.");
  cls.def_property_readonly("browned_out", &SimBattery::IsBrownedOut, "Whether the robot is browned out.");
  cls.def("__repr__", [](const SimBattery& battery) {
    return "SimBattery(open_circuit_voltage=" + py::repr(py::float_(battery.GetOpenCircuitVoltage().value())).cast<std::string>() +
           ", resistance=" + py::repr(py::float_(battery.GetResistance().value())).cast<std::string>() +
           ", brownout_voltage=" + py::repr(py::float_(battery.GetBrownoutVoltage().value())).cast<std::string>() +
           ", voltage=" + py::repr(py::float_(battery.GetVoltage().value())).cast<std::string>() +
           ", browned_out=" + (battery.IsBrownedOut() ? "True" : "False") + ")";
  });
}

}  // namespace

void BindSimWorld(py::module_& swerve) {
  BindField(swerve);
  BindBattery(swerve);
}

}  // namespace zephrin6_python
