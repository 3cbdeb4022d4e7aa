#pragma once

// The whole public API of the zephrin6 device library in one include. Robot
// programs that care about compile time include only the headers they use.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/controls/Controls.hpp>
#include <kvor/zephrin6/core/CANBus.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreDistix.hpp>
#include <kvor/zephrin6/hardware/core/CorePortis.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>
#include <kvor/zephrin6/units/Units.hpp>
