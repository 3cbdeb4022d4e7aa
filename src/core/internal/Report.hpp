#pragma once

// The library's one reporting path. Every call site that shows a failure to
// the user goes through these functions, which hand the code, its
// description, a location text and a stack trace to the device runtime's
// reporter. Location texts always start with the device text (see
// DeviceIdentifier::ToString) and are only built when a report is made, so
// the success path allocates nothing.

#include <kvor/zephrin/StatusCodes.hpp>

#include <string>
#include <string_view>

namespace kvor::zephrin6::internal {

/// Reports `code` (as an error when negative, a warning when positive) with
/// its description, `location` and the stack of the caller's caller taken at
/// `stackDepth` (1 for most call sites, 2 for control requests).
void ReportStatus(kvor::zephrin::StatusCode code, std::string_view location, int stackDepth = 1);

/// Reports a free message: code 0, `message` as details and the is-error flag
/// chosen by the caller.
void ReportMessage(bool isError, std::string_view message, std::string_view location, int stackDepth = 1);

/// Location texts of the library's report sites.
std::string StatusSignalLocation(std::string_view deviceText, std::string_view signalName);
std::string ControlRequestLocation(std::string_view deviceText, std::string_view requestName);
std::string ApplyConfigLocation(std::string_view deviceText);
std::string RefreshConfigLocation(std::string_view deviceText);
std::string ConfigLocation(std::string_view deviceText);

}  // namespace kvor::zephrin6::internal
