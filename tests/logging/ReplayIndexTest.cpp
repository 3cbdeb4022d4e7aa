#include "replay/ReplayIndex.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using kvor::zephrin::runtime::replay::ReplayIndex;
using kvor::zephrin::runtime::wisp::Frame;
using kvor::zephrin::runtime::wisp::WispLog;

// What the index must answer, found the slow way over the frames in file
// order: the latest frame at or before `time`, the one recorded last among
// frames of equal time.
const Frame* LatestByScan(const std::vector<Frame>& file, uint64_t key, double time) {
  const Frame* best = nullptr;
  for (const Frame& f : file) {
    if (f.Key() != key || !(f.value.systemTime <= time)) continue;
    if (best == nullptr || f.value.systemTime >= best->value.systemTime) best = &f;
  }
  return best;
}

// Logs as the writer makes them (each signal's times rising), and logs with
// repeated times and times out of order, answer every query as a scan of the
// file would: the index sorts the first kind in place and the others stably,
// and the two must agree on everything a replay reads.
TEST(ReplayIndexTest, AnswersAsAScanOfTheFileWouldForAnyFrameOrder) {
  std::mt19937 random(7);
  enum Kind { Rising, RepeatedTimes, Shuffled };
  for (Kind kind : {Rising, RepeatedTimes, Shuffled}) {
    SCOPED_TRACE(kind);
    std::vector<Frame> file;
    for (int step = 0; step < 300; ++step) {
      for (uint32_t device = 1; device <= 4; ++device) {
        for (uint16_t signal = 1; signal <= 5; ++signal) {
          if (random() % 3 == 0) continue;
          Frame f{device * 0x01000193u, signal, {}};
          f.value.systemTime = 10.0 + step * 0.01 + signal * 1e-4;
          f.value.value = static_cast<double>(file.size());  // tells frames apart
          file.push_back(f);
          if (kind == RepeatedTimes && random() % 10 == 0) {
            f.value.value = -f.value.value;  // same time, recorded later: it wins
            file.push_back(f);
          }
        }
      }
    }
    if (kind == Shuffled) std::shuffle(file.begin(), file.end(), random);

    WispLog log;
    log.frames = file;
    const ReplayIndex index(std::move(log));
    for (uint32_t device = 1; device <= 4; ++device) {
      for (uint16_t signal = 1; signal <= 6; ++signal) {
        const uint64_t key = Frame{device * 0x01000193u, signal, {}}.Key();
        for (double time = 9.99; time < 13.02; time += 0.00731) {
          const Frame* expected = LatestByScan(file, key, time);
          const auto* got = index.Latest(key, time);
          ASSERT_EQ(got == nullptr, expected == nullptr) << time;
          if (expected != nullptr) {
            ASSERT_EQ(got->value, expected->value.value) << time;
          }
        }
      }
    }
  }
}

// Times that do not compare (NaN) or are infinite cannot upset the sort: the
// index is built, and finite frames are still found.
TEST(ReplayIndexTest, TimesThatDoNotCompareAreSortedSafely) {
  WispLog log;
  for (int i = 0; i < 200; ++i) {
    Frame f{0x1234, static_cast<uint16_t>(i % 3), {}};
    f.value.value = i;
    f.value.systemTime = i % 17 == 0   ? std::numeric_limits<double>::quiet_NaN()
                         : i % 23 == 0 ? std::numeric_limits<double>::infinity()
                                       : i * 0.01;
    log.frames.push_back(f);
  }
  const ReplayIndex index(std::move(log));
  const uint64_t key = Frame{0x1234, 1, {}}.Key();
  const auto* latest = index.Latest(key, 1.0);
  ASSERT_NE(latest, nullptr);
  EXPECT_TRUE(std::isfinite(latest->systemTime));
  EXPECT_LE(latest->systemTime, 1.0);
}

}  // namespace
