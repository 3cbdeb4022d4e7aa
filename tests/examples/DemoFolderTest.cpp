// The demo's output folder keeps the last few runs' logs with their exports,
// removes older ones and exports of older runs, and links the newest; paths
// are shown relative to where the user stands.

#include "DemoFolder.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <set>

namespace {

namespace fs = std::filesystem;

class DemoFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("zephrin_demo_folder_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // A file written `age` seconds ago.
  fs::path File(const std::string& name, int age = 0) {
    const fs::path path = folder_ / name;
    std::ofstream(path) << name;
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(age));
    return path;
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename().string());
    return names;
  }

  fs::path folder_;
};

// Of six runs' logs three are kept: the new one and the two before it, each
// with its exports; older logs go with their exports, and so does what was
// exported from the previous `latest`. The plot stays.
TEST_F(DemoFolderTest, KeepsTheLastRunsAndNoStaleExport) {
  for (int run = 1; run <= 5; ++run) File("zephrin_2026120" + std::to_string(run) + ".wisp", 100 - run);
  File("zephrin_20261201.wpilog", 50);
  File("zephrin_20261205.csv", 10);
  File("latest.wpilog", 5);
  File("figure_eight.svg", 5);
  fs::create_symlink("zephrin_20261205.wisp", folder_ / "latest.wisp");
  const fs::path log = File("zephrin_20261206.wisp");

  const demo::KeptLogs kept = demo::KeepLatest(folder_, log, 3);
  EXPECT_EQ(kept.kept, 3u);
  EXPECT_EQ(kept.removed.size(), 3u);
  EXPECT_EQ(Names(), (std::set<std::string>{"zephrin_20261204.wisp", "zephrin_20261205.wisp", "zephrin_20261205.csv",
                                            "zephrin_20261206.wisp", "latest.wisp", "figure_eight.svg"}));
  EXPECT_EQ(fs::read_symlink(folder_ / "latest.wisp"), "zephrin_20261206.wisp");
  EXPECT_TRUE(fs::equivalent(folder_ / "latest.wisp", log));

  // A first run in an empty folder keeps its log and links it.
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  const demo::KeptLogs first = demo::KeepLatest(folder_, File("zephrin_1.wisp"), 3);
  EXPECT_EQ(first.kept, 1u);
  EXPECT_TRUE(first.removed.empty());
  EXPECT_EQ(Names(), (std::set<std::string>{"zephrin_1.wisp", "latest.wisp"}));
}

// A path under the current directory is shown relative to it, any other
// as it is.
TEST_F(DemoFolderTest, PathsAreShownFromWhereTheUserStands) {
  const fs::path before = fs::current_path();
  fs::current_path(folder_.parent_path());
  EXPECT_EQ(demo::Shown(folder_ / "demo" / "x.wisp"), (folder_.filename() / "demo" / "x.wisp").string());
  fs::current_path(folder_);
  EXPECT_EQ(demo::Shown("/elsewhere/x.wisp"), "/elsewhere/x.wisp");
  EXPECT_EQ(demo::Shown(folder_.parent_path() / "x.wisp"), (folder_.parent_path() / "x.wisp").string());
  fs::current_path(before);
}

}  // namespace
