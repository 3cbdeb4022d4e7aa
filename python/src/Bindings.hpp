#pragma once

// What the binding sources of the zephrin6 Python extension share: the
// function each source defines to fill its part of the module, and the small
// helpers that keep the bindings uniform (SI floats in and out of unit-typed
// fields, finite-number checks at the boundary, waits on the manual clock).
//
// Python sees plain floats in SI units (metres, seconds, radians, volts);
// the C++ side keeps its unit-typed quantities. A number that is not finite
// never reaches the library's long-lived state from Python: the operations
// that would store one raise ValueError instead.

#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>

#include <pybind11/pybind11.h>

#include <cmath>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zephrin6_python {

namespace py = pybind11;

/// zephrin6.StatusCode and the process-wide pieces (shutdown hook).
void BindCore(py::module_& module);
/// zephrin6.swerve's values, kinematics, estimator and PID controller.
void BindGeometry(py::module_& swerve);
/// zephrin6.swerve's enumerations of module types, and zephrin6.swerve.requests.
void BindRequests(py::module_& swerve, py::module_& requests);
/// zephrin6.swerve's constants, factory, state and drivetrain.
void BindDrivetrain(py::module_& swerve);
/// zephrin6.swerve.SimField and SimBattery (before BindDrivetrain, whose
/// methods take them).
void BindSimWorld(py::module_& swerve);
/// zephrin6.sim (the runtime's clock, reports and reset), zephrin6.logging
/// and zephrin6.logging.replay.
void BindRuntime(py::module_& sim, py::module_& logging, py::module_& replay);
/// zephrin6.wisp's log reader.
void BindWisp(py::module_& wisp);

/// Closes every drivetrain (threads stopped, devices freed).
void CloseAllDrivetrains();
/// The same at interpreter exit, before Python stops running code on other
/// threads: callbacks into Python end for good.
void StopAllDrivetrains();
/// How many drivetrains are open.
std::size_t OpenDrivetrains();

/// `value`, or ValueError naming `what` when it is not finite.
inline double Finite(double value, const char* what) {
  if (!std::isfinite(value)) throw py::value_error(std::string(what) + " must be a finite number");
  return value;
}
inline const kvor::zephrin6::swerve::Rotation2d& Finite(const kvor::zephrin6::swerve::Rotation2d& rotation,
                                                        const char* what) {
  Finite(rotation.Radians().value(), what);
  return rotation;
}
inline const kvor::zephrin6::swerve::Translation2d& Finite(const kvor::zephrin6::swerve::Translation2d& translation,
                                                           const char* what) {
  Finite(translation.X().value(), what);
  Finite(translation.Y().value(), what);
  return translation;
}
inline const kvor::zephrin6::swerve::Pose2d& Finite(const kvor::zephrin6::swerve::Pose2d& pose, const char* what) {
  Finite(pose.Translation(), what);
  Finite(pose.Rotation(), what);
  return pose;
}

/// Runs `call` (with the GIL released by the caller) while, on the manual
/// clock, a helper thread moves time on in small steps: for the operations
/// that wait for new device frames (building a drivetrain, stopping its
/// odometry thread, re-reading the modules), which would otherwise wait
/// forever for time that nobody moves. How much time passes is not fixed.
/// On the real clock it just runs `call`.
void WhileManualTimeRuns(const std::function<void()>& call);

/// `bytes` as Python text. Texts from logs and devices may hold any bytes:
/// what is not UTF-8 becomes replacement characters rather than an error.
inline py::str Text(std::string_view bytes) {
  PyObject* text = PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "replace");
  if (text == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

/// Defines a read-write float property `name` for a unit-typed member.
template <class Class, class Unit, class... Options>
void DefUnit(py::class_<Class, Options...>& cls, const char* name, Unit Class::*member, const char* doc) {
  cls.def_property(
      name, [member](const Class& self) { return (self.*member).value(); },
      [member](Class& self, double value) { self.*member = Unit{value}; }, doc);
}

}  // namespace zephrin6_python
