#pragma once

// Error reporting and stack traces of the device runtime. Every failure the
// library notices is shown to the user through c_kvor_zephrin_report_error;
// the runtime prints one readable block to standard error and keeps the report
// for the test harness. Both calls are thread-safe.

#include <string>
#include <kvor/zephrin/platform/Export.hpp>

extern "C" {

/// Shows an error (isError != 0) or a warning to the user.
/// @param isError  1 for an error, 0 for a warning.
/// @param code     the status value, or 0 for a free message in `details`.
/// @param isLVCode reserved, always 0.
/// @param details  description of the code, or the free message.
/// @param location where it happened, e.g. `rapax q 3 ("") Status Signal Position`.
/// @param callStack stack text from GetStackTrace, may be empty.
/// @return 0 (OK).
ZEPHRIN_RUNTIME_API int c_kvor_zephrin_report_error(int isError, int code, int isLVCode, const char* details,
                                const char* location, const char* callStack);
}

namespace kvor::zephrin::platform {

/// The demangled call stack of the caller, one frame per line ("\tat <function>"),
/// innermost first. `depth` frames above the caller of GetStackTrace are
/// skipped: depth 0 starts at the caller itself, depth 1 at the caller's caller.
ZEPHRIN_RUNTIME_API std::string GetStackTrace(int depth);

}  // namespace kvor::zephrin::platform
