#pragma once

// The units this library needs beyond those of <units.h>, defined once with
// the units library's own macros so that they behave like its built-in units.
// Everything the library measures in turns uses `units::angle::turn_t` and the
// compound units below.

#include <units.h>

namespace units {

UNIT_ADD(angular_velocity, turns_per_second, turns_per_second, tps,
         compound_unit<angle::turns, inverse<time::seconds>>)
UNIT_ADD(angular_acceleration, turns_per_second_squared, turns_per_second_squared, tps_sq,
         compound_unit<angle::turns, inverse<squared<time::seconds>>>)
UNIT_ADD(angular_jerk, turns_per_second_cubed, turns_per_second_cubed, tps_cu,
         compound_unit<angle::turns, inverse<cubed<time::seconds>>>)

// A newton-metre per ampere has the dimensions of a weber, whose printing
// functions <units.h> already defines, so this one is declared by type only.
namespace torque_constant {
using newton_meters_per_ampere = compound_unit<torque::newton_meters, inverse<current::amperes>>;
using newton_meters_per_ampere_t = unit_t<newton_meters_per_ampere>;
}  // namespace torque_constant
UNIT_ADD(velocity_constant, rpm_per_volt, rpm_per_volt, rpm_per_V,
         compound_unit<angular_velocity::revolutions_per_minute, inverse<voltage::volts>>)

// Rotational inertia of a mechanism (swerve module constants), kilogram
// square metres. Declared by type only, like the torque constant: nothing
// prints it.
namespace moment_of_inertia {
using kilogram_square_meters = compound_unit<mass::kilograms, squared<length::meters>>;
using kilogram_square_meter_t = unit_t<kilogram_square_meters>;
}  // namespace moment_of_inertia

}  // namespace units
