#include <kvor/zephrin/platform/Reporting.hpp>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

#include "core/ReportLog.hpp"
#include "core/Runtime.hpp"

namespace kvor::zephrin::platform {
namespace {

std::string Demangle(const char* symbol) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(symbol, nullptr, nullptr, &status), &std::free);
  return (status == 0 && demangled) ? std::string(demangled.get()) : std::string(symbol);
}

}  // namespace

std::string GetStackTrace(int depth) {
  constexpr int kMaxFrames = 64;
  void* frames[kMaxFrames];
  int count = backtrace(frames, kMaxFrames);
  // Usually frame 0 is this function, but a sanitizer's interceptor of
  // backtrace() adds a frame of its own above it: count from our own frame.
  int self = 0;
  for (int i = 0; i < count && i < 4; ++i) {
    Dl_info info{};
    if (dladdr(frames[i], &info) != 0 && info.dli_sname != nullptr &&
        std::strstr(info.dli_sname, "GetStackTrace") != nullptr) {
      self = i;
      break;
    }
  }
  int first = self + 1 + (depth > 0 ? depth : 0);
  std::ostringstream out;
  for (int i = first; i < count; ++i) {
    Dl_info info{};
    out << "\tat ";
    if (dladdr(frames[i], &info) != 0 && info.dli_sname != nullptr) {
      out << Demangle(info.dli_sname);
    } else if (info.dli_fname != nullptr) {
      out << info.dli_fname << " [" << frames[i] << ']';
    } else {
      out << frames[i];
    }
    out << '\n';
  }
  return out.str();
}

}  // namespace kvor::zephrin::platform

extern "C" int c_kvor_zephrin_report_error(int isError, int code, int /*isLVCode*/, const char* details,
                                           const char* location, const char* callStack) {
  kvor::zephrin::runtime::Runtime::Acquire()->Reports().Add(isError != 0, code, details ? details : "",
                                                            location ? location : "", callStack ? callStack : "");
  return 0;
}

namespace kvor::zephrin::runtime::harness {
std::vector<Report> Reports() { return Runtime::Acquire()->Reports().Snapshot(); }
void ClearReports() { Runtime::Acquire()->Reports().Clear(); }
void SetReportEcho(bool echo) { Runtime::Acquire()->Reports().SetEcho(echo); }
}  // namespace kvor::zephrin::runtime::harness
