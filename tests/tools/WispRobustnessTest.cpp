// Whatever file `wisp` is handed, it ends with a documented exit status and a
// message, within a bounded amount of memory.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "support/CraftedLogs.hpp"
#include "tools/ToolsFixture.hpp"

namespace {

using namespace zephrin_test;
using kvor::zephrin::runtime::wisp::ChunkBuilder;
using kvor::zephrin::runtime::wisp::kMaxChunkPayload;

class WispRobustnessTest : public ToolsTest {};

// Every command on every kind of bad input: no abort, a status the command
// documents, and a message.
TEST_F(WispRobustnessTest, NoInputMakesAnyCommandAbort) {
  const std::string torn = Scratch("torn.wisp");
  std::filesystem::copy_file(Recorded(), torn);
  std::filesystem::resize_file(torn, std::filesystem::file_size(torn) / 2 + 7);
  std::mt19937 random(5);
  std::vector<char> noise(20000);
  for (auto& b : noise) b = static_cast<char>(random());
  std::ofstream(Scratch("noise.wisp"), std::ios::binary).write(noise.data(), noise.size());

  const std::string inputs[] = {folder_.string(), "/dev/zero", torn, Scratch("noise.wisp")};
  for (const std::string& input : inputs) {
    for (const std::string command : {"info", "dump", "check", "export", "diff"}) {
      SCOPED_TRACE(command + " " + input);
      std::vector<std::string> arguments{command, input};
      if (command == "export") arguments.insert(arguments.end(), {"-o", Scratch("out.wpilog")});
      if (command == "diff") arguments.push_back(Recorded());
      const ToolResult run = Wisp(arguments);
      ASSERT_TRUE(run.exited) << "ended by signal " << run.signal << ": " << run.err;
      const bool log = input == torn;
      const bool verdict = command == "check" || command == "diff";  // 0, 1 or 2
      EXPECT_EQ(run.status, verdict ? (log ? 1 : 2) : (log ? 0 : 1));
      EXPECT_FALSE((log ? run.out + run.err : run.err).empty());
    }
  }
}

// A file that does not exist is named as such, with a status of its own,
// by every command: a mistyped path is not a damaged log.
TEST_F(WispRobustnessTest, MissingFileIsSaidToNotExist) {
  const std::string missing = Scratch("missing.wisp");
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"info", missing},
                                             {"dump", missing},
                                             {"check", missing},
                                             {"export", missing, "-o", Scratch("out.wpilog")},
                                             {"diff", Recorded(), missing},
                                             {"diff", missing, Recorded()}}) {
    SCOPED_TRACE(arguments.front());
    const ToolResult run = Wisp(arguments);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "wisp: " + missing + " does not exist\n");
  }
}

// Small crafted logs that unfold into gigabytes of records (one of 18 KB
// used to need 1.4 GB) are read up to the bound they pass, by every command,
// in far less than a gigabyte of address space.
TEST_F(WispRobustnessTest, CraftedLogsStayWithinBoundedMemory) {
  struct Case {
    const char* what;
    int chunks;
    std::function<void(ChunkBuilder&)> fill;
    std::vector<std::string> commands;
    int checkStatus;
  } cases[] = {
      {"chunks claiming 64 MiB",
       4,
       [](ChunkBuilder& c) { FillWithUserSamples(c, 64u << 20); },
       {"info", "dump", "check", "export", "diff"},
       1},
      {"a chunk of user samples taking 90 MiB once read",
       2,
       [](ChunkBuilder& c) { FillWithUserSamples(c, kMaxChunkPayload); },
       {"info", "dump", "check", "export", "diff"},
       1},
      // Only a reader that keeps the whole log in memory has a bound to
      // pass here; check holds one chunk at a time and reads it all.
      {"chunks of frames past the whole-log bound",
       6,
       [](ChunkBuilder& c) { FillWithFrames(c, kMaxChunkPayload); },
       {"info", "check"},
       0},
  };
  for (const auto& c : cases) {
    const std::string path = Scratch("crafted.wisp");
    WriteCraftedLog(path, c.chunks, c.fill);
    for (const std::string& command : c.commands) {
      SCOPED_TRACE(std::string(c.what) + ": " + command);
      std::vector<std::string> arguments{command, path};
      if (command == "export") arguments.insert(arguments.end(), {"-o", Scratch("out.wpilog")});
      if (command == "diff") arguments.push_back(path);
      const ToolResult run = Wisp(arguments, 1024);
      ASSERT_TRUE(run.exited) << "ended by signal " << run.signal;
      // Readable up to the bound: check calls that damage, the others say
      // so and carry on; with no chunk before the bound there is nothing to
      // export.
      const int status = command == "check" ? c.checkStatus : command == "export" ? 1 : 0;
      EXPECT_EQ(run.status, status) << run.err;
      if (command != "check") {
        EXPECT_TRUE(run.err.find("damaged") != std::string::npos || run.out.find("DAMAGED") != std::string::npos)
            << run.out << run.err;
      }
    }
  }
}

}  // namespace
