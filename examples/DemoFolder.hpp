#pragma once

// The demo's output folder, build/demo/: the logs of the last few runs, each
// with whatever was exported from it beside it (same name, another
// extension), `latest.wisp` linking to the newest log so that commands can
// name it, and the plot. The demo calls KeepLatest once its log is written.
// Header-only; not thread-safe (one demo writes the folder at a time).

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace demo {

namespace fs = std::filesystem;

/// `path` as the user would type it from where they stand: relative to the
/// current directory when it lies under it, as it is otherwise.
inline std::string Shown(const fs::path& path) {
  std::error_code error;
  const fs::path here = fs::current_path(error);
  if (error) return path.string();
  const fs::path relative = path.lexically_relative(here);
  if (relative.empty() || *relative.begin() == "..") return path.string();
  return relative.string();
}

/// What KeepLatest did.
struct KeptLogs {
  std::size_t kept = 0;              ///< logs in the folder now, the new one included
  std::vector<fs::path> removed;     ///< older logs removed, with their exports
};

/// Keeps the newest `keep` logs of `folder` (`log` among them) and removes
/// the older ones together with the files exported from them, then points
/// `latest.wisp` at `log`, removing what was exported from the previous
/// `latest` so that no export of an older run sits beside the new log.
inline KeptLogs KeepLatest(const fs::path& folder, const fs::path& log, std::size_t keep) {
  std::error_code error;
  std::vector<fs::directory_entry> logs;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".wisp" && !entry.is_symlink() && entry.is_regular_file()) logs.push_back(entry);
  }
  // Newest first; a run's log is never older than the one before it.
  std::sort(logs.begin(), logs.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
    std::error_code ignored;
    const auto ta = a.last_write_time(ignored), tb = b.last_write_time(ignored);
    return ta != tb ? ta > tb : a.path().filename() > b.path().filename();
  });
  KeptLogs result;
  std::vector<fs::path> stale;
  std::size_t older = 0;
  for (const fs::directory_entry& entry : logs) {
    if (fs::equivalent(entry.path(), log, error) || ++older < keep) {
      ++result.kept;
    } else {
      result.removed.push_back(entry.path());
      stale.push_back(entry.path().stem());
    }
  }
  stale.push_back("latest");
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (std::find(stale.begin(), stale.end(), entry.path().stem()) != stale.end()) fs::remove(entry.path(), error);
  }
  fs::create_symlink(log.filename(), folder / "latest.wisp", error);
  return result;
}

}  // namespace demo
