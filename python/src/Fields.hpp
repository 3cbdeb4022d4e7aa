#pragma once

// The field-by-field binding of the plain records Python programs fill in
// (swerve requests, module constants and their factory): each C++ field
// becomes an attribute with the snake_case name, plus a with_<name> method
// that sets it and returns the same object for chaining, as the C++ With...
// setters do; the class takes its fields as keyword arguments and prints
// them all in its repr. Unit-typed fields are floats in their SI unit.
// Numbers that are not finite are refused with ValueError as they are set,
// so none reaches a drivetrain.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <units.h>

#include <string>
#include <type_traits>
#include <vector>

#include "Bindings.hpp"

namespace zephrin6_python {

/// How a stored field of type T crosses to Python and back.
template <class T>
struct FieldCodec {
  using Python = T;
  static const T& Out(const T& value) { return value; }
  static T In(const Python& value, const char*) { return value; }
};
template <>
struct FieldCodec<double> {
  using Python = double;
  static double Out(double value) { return value; }
  static double In(double value, const char* name) { return Finite(value, name); }
};
template <class U>
requires units::traits::is_unit_t<U>::value struct FieldCodec<U> {
  using Python = double;
  static double Out(const U& value) { return value.value(); }
  static U In(double value, const char* name) { return U{Finite(value, name)}; }
};
template <class U>
requires units::traits::is_unit_t<U>::value struct FieldCodec<std::vector<U>> {
  using Python = std::vector<double>;
  static Python Out(const std::vector<U>& values) {
    Python out;
    out.reserve(values.size());
    for (const U& value : values) out.push_back(value.value());
    return out;
  }
  static std::vector<U> In(const Python& values, const char* name) {
    std::vector<U> in;
    in.reserve(values.size());
    for (double value : values) in.emplace_back(Finite(value, name));
    return in;
  }
};

/// The object itself holds the fields.
struct OwnFields {
  template <class C>
  C& operator()(C& self) const {
    return self;
  }
};

/// Binds field `member` of the record `Access` finds in a C (the C itself by
/// default) as attribute `name` and method with_<name>.
template <class Access = OwnFields, class C, class Owner, class T, class... Options>
void DefField(py::class_<C, Options...>& cls, const char* name, T Owner::*member, const char* doc) {
  using Codec = FieldCodec<T>;
  using Python = typename Codec::Python;
  cls.def_property(
      name, [member](C& self) { return Codec::Out(Access{}(self).*member); },
      [member, name](C& self, const Python& value) { Access{}(self).*member = Codec::In(value, name); }, doc);
  cls.def(("with_" + std::string(name)).c_str(),
          [member, name](C& self, const Python& value) -> C& {
            Access{}(self).*member = Codec::In(value, name);
            return self;
          },
          py::arg(name), py::return_value_policy::reference,
          (std::string("Sets ") + name + " and returns this object, for chaining.").c_str());
}

/// Whether `name` is one of the fields (properties) of class `type`.
inline bool IsField(const py::handle& type, const std::string& name) {
  const py::dict attributes = type.attr("__dict__");
  return attributes.contains(name) &&
         py::isinstance(attributes[name.c_str()], py::module_::import("builtins").attr("property"));
}

/// The keyword-argument constructor (each keyword sets the field of that
/// name through its checks; any other keyword is a TypeError) and the repr
/// that lists every field in declaration order. C must be default- and
/// copy-constructible.
template <class C, class... Options>
void DefKeywordInitAndRepr(py::class_<C, Options...>& cls) {
  cls.def(py::init([](const py::kwargs& fields) {
            py::object object = py::cast(C{});
            const py::handle type = py::type::of(object);
            for (auto [name, value] : fields) {
              const std::string key = py::str(name);
              if (!IsField(type, key)) {
                throw py::type_error(type.attr("__name__").cast<std::string>() +
                                     "() got an unexpected keyword argument '" + key + "'");
              }
              py::setattr(object, name, value);
            }
            return object.cast<C>();
          }),
          "Made with the given fields set (keyword arguments only); the others keep their defaults.");
  cls.def("__repr__", [](const py::object& self) {
    const py::handle type = py::type::of(self);
    std::string text = type.attr("__name__").cast<std::string>() + "(";
    bool first = true;
    for (auto [name, value] : type.attr("__dict__").cast<py::dict>()) {
      const std::string key = py::str(name);
      if (!IsField(type, key)) continue;
      text += (first ? "" : ", ") + key + "=" + static_cast<std::string>(py::repr(self.attr(name)));
      first = false;
    }
    return text + ")";
  });
}

}  // namespace zephrin6_python
