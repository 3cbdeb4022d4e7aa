#pragma once

// Thread scheduling and usage reporting of the device runtime. The library's
// own threads (the swerve odometry thread) ask the runtime for their
// scheduling priority rather than calling the operating system, so the
// runtime can apply the robot controller's policy, or record the request in
// simulation. Both calls are thread-safe and never block.

#include <string_view>
#include <thread>

#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime {

/// Asks for `thread` to run at real-time `priority` (1 lowest to 99 highest)
/// when `enabled`, or at the normal time-shared policy when not. The runtime
/// records the request (the harness reads it back) and applies it when the
/// process may; a process without the privilege keeps the normal policy,
/// which is not an error.
/// @return 0, or -1002 InvalidParamValue for a thread that is not running or
///         a priority outside 1..99.
[[nodiscard]] ZEPHRIN_RUNTIME_API int SetThreadSchedPriority(std::thread& thread, int priority, bool enabled);

}  // namespace kvor::zephrin::runtime

namespace kvor::zephrin::platform {

/// Records that the program uses a feature of the library: `resource` and
/// `instance` name the feature, `context`, `a`, `b` and `feature` qualify it.
/// The values are opaque to the runtime, which only keeps them (the harness
/// reads them back). @return 0.
ZEPHRIN_RUNTIME_API int FRC_Report(int resource, int instance, std::string_view context, int a, int b,
                                   const char* feature);

}  // namespace kvor::zephrin::platform
