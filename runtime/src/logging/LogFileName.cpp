#include "logging/LogFileName.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace kvor::zephrin::runtime::logging {

std::string CreateLogFile(const std::string& folder, std::time_t when) {
  std::tm utc{};
  gmtime_r(&when, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "zephrin_%Y%m%d_%H%M%S", &utc);
  const std::string base = (std::filesystem::path(folder) / stamp).string();
  // O_EXCL makes the check and the creation one step: of two programs
  // asking for the same name, exactly one gets it and the other moves on.
  constexpr int kMaxSuffix = 10000;
  for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
    const std::string name = suffix == 1 ? base + ".wisp" : base + "_" + std::to_string(suffix) + ".wisp";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) return {};
  }
  return {};
}

}  // namespace kvor::zephrin::runtime::logging
