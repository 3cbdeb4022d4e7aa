#pragma once

// Runs the built `wisp` tool (its path comes from the build as WISP_TOOL) as
// a child process, the way a user does, and hands back how it ended and what
// it printed. An address-space limit can be set for the child so that a
// test catches a tool that would need gigabytes for a small file; the limit
// is left off under the sanitizers, which reserve far more address space
// than they use.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zephrin_test {

struct ToolResult {
  bool exited = false;  ///< ended by exit, not by a signal (abort, crash, memory limit)
  int status = -1;      ///< exit status when exited
  int signal = 0;       ///< the signal that ended it otherwise
  std::string out;
  std::string err;
};

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kCanLimitAddressSpace = false;
#else
inline constexpr bool kCanLimitAddressSpace = true;
#endif

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// Runs `wisp` with `arguments`; `scratch` is a folder for the captured
/// output; `addressSpaceMiB` limits the child's address space when not 0.
inline ToolResult RunWisp(const std::vector<std::string>& arguments, const std::string& scratch,
                          uint64_t addressSpaceMiB = 0) {
  const std::string outPath = scratch + "/tool.out", errPath = scratch + "/tool.err";
  std::vector<std::string> words{WISP_TOOL};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  const pid_t child = ::fork();
  if (child == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (addressSpaceMiB != 0 && kCanLimitAddressSpace) {
      const rlimit limit{addressSpaceMiB << 20, addressSpaceMiB << 20};
      ::setrlimit(RLIMIT_AS, &limit);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ToolResult result;
  result.exited = WIFEXITED(status);
  result.status = result.exited ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.out = Slurp(outPath);
  result.err = Slurp(errPath);
  return result;
}

}  // namespace zephrin_test
