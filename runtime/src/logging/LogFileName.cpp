#include "logging/LogFileName.hpp"

#include <filesystem>

namespace kvor::zephrin::runtime::logging {

std::string NewLogFileName(const std::string& folder, std::time_t when) {
  std::tm utc{};
  gmtime_r(&when, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "zephrin_%Y%m%d_%H%M%S", &utc);
  const std::filesystem::path base = std::filesystem::path(folder) / stamp;
  std::string name = base.string() + ".wisp";
  for (int suffix = 2; std::filesystem::exists(name); ++suffix) {
    name = base.string() + "_" + std::to_string(suffix) + ".wisp";
  }
  return name;
}

}  // namespace kvor::zephrin::runtime::logging
