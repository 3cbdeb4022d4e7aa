#pragma once

// The runtime's test harness in one include: manual clock, reset, captured
// reports and the per-service views. For tests, examples and tools only; the
// product's sources never include it.

#include <kvor/zephrin/runtime/harness/CANbus.hpp>
#include <kvor/zephrin/runtime/harness/Clock.hpp>
#include <kvor/zephrin/runtime/harness/Configs.hpp>
#include <kvor/zephrin/runtime/harness/Controls.hpp>
#include <kvor/zephrin/runtime/harness/Logging.hpp>
#include <kvor/zephrin/runtime/harness/Music.hpp>
#include <kvor/zephrin/runtime/harness/Reports.hpp>
#include <kvor/zephrin/runtime/harness/Signals.hpp>
#include <kvor/zephrin/runtime/harness/Sim.hpp>
#include <kvor/zephrin/runtime/harness/Threads.hpp>
