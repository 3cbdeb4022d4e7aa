// The control entry points' way into the current recorder, and the
// harness's view of the control calls the current runtime received.

#include <kvor/zephrin/runtime/harness/Controls.hpp>

#include <cstdio>

#include "controls/ControlRecorder.hpp"
#include "core/Runtime.hpp"

namespace kvor::zephrin::runtime {

// Here rather than beside the recorder: its slow path builds the runtime,
// which only the library's entry points may reach.
int ControlRecorder::RecordPackedToCurrent(const char* function, const char* network, std::uint32_t deviceHash,
                                           const PackedArgs& args) {
  {
    LockGuard lock(mutex_);
    if (current_ != nullptr) return current_->RecordLocked(function, network, deviceHash, args);
  }
  // No runtime yet: acquiring one builds it, and with it the current recorder.
  const auto runtime = Runtime::Acquire();
  LockGuard lock(mutex_);
  return runtime->Controls().RecordLocked(function, network, deviceHash, args);
}

namespace harness {

std::vector<ControlCall> ControlCalls(std::uint32_t deviceHash) {
  return Runtime::Acquire()->Controls().Calls(deviceHash);
}

std::optional<ControlCall> LastControlCall(std::uint32_t deviceHash) {
  auto calls = Runtime::Acquire()->Controls().Calls(deviceHash);
  if (calls.empty()) return std::nullopt;
  return std::move(calls.back());
}

std::size_t ControlCallCount(std::uint32_t deviceHash) { return Runtime::Acquire()->Controls().Count(deviceHash); }

void ClearControlCalls() { Runtime::Acquire()->Controls().ClearCalls(); }

void SetControlStatus(std::uint32_t deviceHash, int status) {
  Runtime::Acquire()->Controls().SetStatus(deviceHash, status);
}

std::string ToString(const ControlCall& call) {
  std::string text = call.function + "(";
  char buffer[32];
  for (std::size_t i = 0; i < call.arguments.size(); ++i) {
    if (i > 0) text += ", ";
    const ControlArgument& arg = call.arguments[i];
    if (auto* s = std::get_if<std::string>(&arg)) {
      text += '"' + *s + '"';
    } else if (auto* u = std::get_if<std::uint32_t>(&arg)) {
      std::snprintf(buffer, sizeof buffer, "0x%08x", static_cast<unsigned>(*u));
      text += buffer;
    } else if (auto* d = std::get_if<double>(&arg)) {
      std::snprintf(buffer, sizeof buffer, "%g", *d);
      text += buffer;
    } else if (auto* b = std::get_if<bool>(&arg)) {
      text += *b ? "true" : "false";
    } else {
      text += std::to_string(std::get<int>(arg));
    }
  }
  return text + ")";
}

}  // namespace harness
}  // namespace kvor::zephrin::runtime
