// The zephrin6 extension module: its submodules (zephrin6.swerve,
// zephrin6.swerve.requests, zephrin6.sim, zephrin6.logging, zephrin6.wisp),
// which the package's Python modules re-export, and the status codes every
// part returns.

#include <kvor/zephrin/StatusCodes.hpp>

#include <utility>

#include "Bindings.hpp"

namespace zephrin6_python {

using kvor::zephrin::StatusCode;

void BindCore(py::module_& module) {
  py::class_<StatusCode> status(module, "StatusCode", R"doc(
The result of an operation of the library or its device runtime: 0 is
success, a positive value a warning, a negative value an error. Compares
equal to its integer value and to other StatusCodes; every named code is a
class attribute (StatusCode.OK, StatusCode.InvalidParamValue, ...).)doc");
  status.def(py::init<int32_t>(), py::arg("value"), "The status with this integer value.")
      .def_property_readonly("value", &StatusCode::value, "The integer value.")
      .def_property_readonly("name", &StatusCode::GetName, "The name, or a text saying it has none.")
      .def_property_readonly("description", &StatusCode::GetDescription, "The description reports show.")
      .def("is_ok", &StatusCode::IsOK, "True for 0 only.")
      .def("is_warning", &StatusCode::IsWarning, "True for positive values.")
      .def("is_error", &StatusCode::IsError, "True for negative values.")
      .def("__int__", &StatusCode::value)
      .def("__index__", &StatusCode::value)
      .def("__hash__", [](StatusCode self) { return py::hash(py::int_(self.value())); })
      .def("__eq__", [](StatusCode self, StatusCode other) { return self.value() == other.value(); })
      .def("__eq__", [](StatusCode self, int64_t other) { return self.value() == other; })
      .def("__repr__", [](StatusCode self) {
        return std::string("StatusCode.") + self.GetName() + " (" + std::to_string(self.value()) + ")";
      });
  py::implicitly_convertible<int32_t, StatusCode>();
  status.attr("__module__") = "zephrin6";
#define KVOR_STATUS_CODE(value, name, description) status.attr(#name) = StatusCode(value);
#include <kvor/zephrin/platform/StatusCodes.def>
#undef KVOR_STATUS_CODE

  module.def("_stop_all_drivetrains", &StopAllDrivetrains,
             "Closes every drivetrain and ends callbacks into Python (run at interpreter exit).");
  module.def("_close_all_drivetrains", &CloseAllDrivetrains,
             "Closes every drivetrain (for test fixtures that start each test afresh).");
}

}  // namespace zephrin6_python

PYBIND11_MODULE(_zephrin6, module) {
  using namespace zephrin6_python;
  module.doc() = "The compiled part of the zephrin6 package; import zephrin6 and its submodules instead.";
  // The submodules are made first, under the extension's own name (that is
  // how they are registered), then take the names users import them by, so
  // that their classes print as zephrin6.swerve.Pose2d, not
  // zephrin6._zephrin6.swerve.Pose2d.
  py::module_ swerve = module.def_submodule("swerve", "The swerve drivetrain and its geometry.");
  py::module_ requests = swerve.def_submodule("requests", "The requests a swerve drivetrain drives by.");
  py::module_ sim = module.def_submodule("sim", "The device runtime's clock, its reports and its reset.");
  py::module_ logging = module.def_submodule("logging", "User signals into the log.");
  py::module_ replay = logging.def_submodule("replay", "Replay of a recorded .wisp log.");
  py::module_ wisp = module.def_submodule("wisp", "Reading .wisp logs.");
  for (auto [submodule, name] : {std::pair{&swerve, "zephrin6.swerve"},
                                 {&requests, "zephrin6.swerve.requests"},
                                 {&sim, "zephrin6.sim"},
                                 {&logging, "zephrin6.logging"},
                                 {&replay, "zephrin6.logging.replay"},
                                 {&wisp, "zephrin6.wisp"}}) {
    submodule->attr("__name__") = name;
  }

  BindCore(module);
  BindGeometry(swerve);
  BindRequests(swerve, requests);
  BindSimWorld(swerve);
  BindDrivetrain(swerve);
  BindRuntime(sim, logging, replay);
  BindWisp(wisp);
}
