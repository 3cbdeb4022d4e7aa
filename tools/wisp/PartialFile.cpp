#include "PartialFile.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <memory>
#include <vector>

namespace wisp_tool {

namespace {

constexpr const char* kSuffix = ".partial-";
constexpr std::size_t kRandomChars = 6;  // what mkstemp puts in place of XXXXXX

bool SameInode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether `name` still names the file open as `fd`.
bool Names(int fd, const std::string& name) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::lstat(name.c_str(), &named) == 0 && SameInode(open, named);
}

// Whether `entry` is a partial file of the output named `base`.
bool IsPartialOf(const std::string& entry, const std::string& base) {
  const std::string prefix = base + kSuffix;
  if (entry.size() != prefix.size() + kRandomChars || entry.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
    if (!std::isalnum(static_cast<unsigned char>(entry[i]))) return false;
  }
  return true;
}

}  // namespace

std::FILE* CreatePartial(const std::string& path, std::string& partial) {
  for (;;) {
    std::vector<char> name(path.begin(), path.end());
    const std::string suffix = std::string(kSuffix) + std::string(kRandomChars, 'X');
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return nullptr;
    partial = name.data();
    // Another export cleaning up may have found the file in the instant
    // between its creation and the lock, found it unlocked and removed it:
    // then it is no longer ours to write, and a new one is made. (Where the
    // file system has no locks, no export can take one to remove it.)
    if (::flock(fd, LOCK_EX) == 0 && !Names(fd, partial)) {
      ::close(fd);
      continue;
    }
    // mkstemp makes the file private; an export is shared like any file the
    // user creates.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
      const int error = errno;
      ::unlink(partial.c_str());
      ::close(fd);
      errno = error;
    }
    return file;
  }
}

int RemoveStalePartials(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!IsPartialOf(entry->d_name, base)) continue;
    const std::string name = (slash == std::string::npos ? "" : folder) + entry->d_name;
    const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    // A lock we can take is one no live export holds.
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && Names(fd, name) &&
        ::unlink(name.c_str()) == 0) {
      ++removed;
    }
    ::close(fd);
  }
  return removed;
}

}  // namespace wisp_tool
