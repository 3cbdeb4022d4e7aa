#pragma once

// The whole public API of the zephrin6 device library in one include. Robot
// programs that care about compile time include only the headers they use.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/controls/Controls.hpp>
#include <kvor/zephrin6/units/Units.hpp>
