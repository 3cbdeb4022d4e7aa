// Orchestras on simulated motors: tune files loaded (or refused) by the
// runtime's music engine, tones sent to each instrument as the manual clock
// moves, pause and stop, and who owns the runtime's orchestra handle.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/core/Orchestra.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>

#include "support/RuntimeFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin6::Orchestra;
using kvor::zephrin6::hardware::ParentDevice;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
using kvor::zephrin6::hardware::core::CoreRapaxW;
namespace harness = kvor::zephrin::runtime::harness;
namespace fs = std::filesystem;

// One tone as the file stores it: milliseconds and millihertz.
struct FileTone {
  uint32_t startMs;
  uint32_t durationMs;
  uint32_t milliHertz;
};

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The bytes of a tune file, laid out by hand from the format description.
std::vector<uint8_t> TuneBytes(const std::vector<std::vector<FileTone>>& tracks, uint16_t version = 1) {
  std::vector<uint8_t> out{'Z', 'T', 'U', 'N'};
  uint32_t tones = 0;
  for (const auto& track : tracks) tones += static_cast<uint32_t>(track.size());
  Put(out, version, 2);
  Put(out, static_cast<uint32_t>(tracks.size()), 2);
  Put(out, tones, 4);
  Put(out, 0, 4);
  for (const auto& track : tracks) Put(out, static_cast<uint32_t>(track.size()), 4);
  for (const auto& track : tracks) {
    for (const FileTone& tone : track) {
      Put(out, tone.startMs, 4);
      Put(out, tone.durationMs, 4);
      Put(out, tone.milliHertz, 4);
    }
  }
  return out;
}

// A melody on track 0 (with a rest from 0.5 s to 0.75 s) over a bass note on track 1.
const std::vector<std::vector<FileTone>> kDuet = {
    {{0, 250, 440'000}, {250, 250, 494'000}, {750, 250, 523'000}},
    {{0, 1000, 220'000}},
};

class OrchestraTest : public zephrin_test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    folder_ = fs::temp_directory_path() / ("zephrin_music_" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    RuntimeTest::TearDown();
    fs::remove_all(folder_);
  }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  // Moves the manual clock and waits for the tones that became due.
  static void Advance(double seconds) {
    harness::AdvanceTime(seconds);
    harness::AwaitMusic();
  }

  // The frequencies of the MusicTone calls a device received, in order.
  static std::vector<double> Tones(const ParentDevice& device) {
    std::vector<double> tones;
    for (const auto& call : harness::ControlCalls(device.GetDeviceHash())) {
      if (call.function != "c_kvor_zephrin6_RequestControlMusicTone") continue;
      EXPECT_EQ(std::get<double>(call.arguments[2]), 100.0);  // update frequency
      tones.push_back(std::get<double>(call.arguments[3]));
    }
    return tones;
  }

  fs::path folder_;
};

// Two instruments take tracks 0 and 1 in adding order; a third asks for
// track 0 and doubles the melody; one asking for a track the music lacks
// stays silent. Tones start and stop as simulated time moves, and the
// orchestra stops by itself at the end.
TEST_F(OrchestraTest, PlaysTonesOnEachInstrumentOverSimulatedTime) {
  CoreRapaxQ melody(1, "band");
  CoreRapaxW bass(2, "band");
  CoreRapaxQ doubling(3, "band");
  CoreRapaxQ silent(4, "band");
  Orchestra orchestra({melody, bass}, Write("duet.ztune", TuneBytes(kDuet)).c_str());
  ASSERT_EQ(orchestra.GetConstructionStatus(), StatusCode::OK);
  ASSERT_EQ(orchestra.AddInstrument(doubling, 0), StatusCode::OK);
  ASSERT_EQ(orchestra.AddInstrument(silent, 5), StatusCode::OK);

  ASSERT_EQ(orchestra.Play(), StatusCode::OK);
  EXPECT_TRUE(orchestra.IsPlaying());
  EXPECT_EQ(Tones(melody), (std::vector<double>{440}));
  EXPECT_EQ(Tones(bass), (std::vector<double>{220}));
  Advance(0.25);
  EXPECT_EQ(Tones(melody), (std::vector<double>{440, 494}));  // no silence between joined notes
  Advance(0.25);
  EXPECT_EQ(orchestra.GetCurrentTime(), 0.5);
  EXPECT_EQ(Tones(melody), (std::vector<double>{440, 494, 0}));
  Advance(0.25);
  EXPECT_EQ(Tones(melody), (std::vector<double>{440, 494, 0, 523}));
  Advance(0.25);
  EXPECT_EQ(Tones(melody), (std::vector<double>{440, 494, 0, 523, 0}));
  EXPECT_EQ(Tones(bass), (std::vector<double>{220, 0}));
  EXPECT_EQ(Tones(doubling), Tones(melody));
  EXPECT_TRUE(Tones(silent).empty());
  EXPECT_FALSE(orchestra.IsPlaying());
  EXPECT_EQ(orchestra.GetCurrentTime(), 0.0);

  // Played again with the clock jumping past the whole tune: every note is
  // still sent, in order.
  harness::ClearControlCalls();
  ASSERT_EQ(orchestra.Play(), StatusCode::OK);
  Advance(5.0);
  EXPECT_EQ(Tones(melody), (std::vector<double>{440, 494, 0, 523, 0}));
  EXPECT_EQ(Tones(bass), (std::vector<double>{220, 0}));
}

// A clock that lands a hair before a note's start or the tune's end, as
// one advanced in float steps does (1.0 + 125 x 0.01 is 2.2499999999999956),
// has reached it: the note sounds and the tune ends there. The engine once
// woke for such an event without acting on it, again and again, holding its
// lock, so every later call hung; a watchdog turns that into a failure.
TEST_F(OrchestraTest, EventsAHairAheadOfTheClockAreReached) {
  CoreRapaxQ melody(1, "band");
  Orchestra orchestra({melody}, Write("duet.ztune", TuneBytes(kDuet)).c_str());
  ASSERT_EQ(orchestra.GetConstructionStatus(), StatusCode::OK);
  const double start = harness::Now();
  ASSERT_EQ(orchestra.Play(), StatusCode::OK);

  std::promise<void> finished;
  std::thread player([&] {
    for (double event : {0.25, 0.5, 0.75, 1.0}) {
      harness::SetTime(start + event - 1e-12);
      harness::AwaitMusic();
    }
    finished.set_value();
  });
  if (finished.get_future().wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
    ADD_FAILURE() << "the music engine never caught up with the clock";
    std::fflush(nullptr);
    std::_Exit(1);  // the engine holds its lock for good: nothing can be torn down
  }
  player.join();
  EXPECT_EQ(Tones(melody), (std::vector<double>{440, 494, 0, 523, 0}));
  EXPECT_FALSE(orchestra.IsPlaying());
}

// Pause silences and holds the position; Play resumes the cut note; Stop
// silences and rewinds.
TEST_F(OrchestraTest, PauseHoldsThePositionAndStopRewinds) {
  CoreRapaxQ motor(1, "band");
  Orchestra orchestra(Write("duet.ztune", TuneBytes(kDuet)).c_str());
  ASSERT_EQ(orchestra.AddInstrument(motor), StatusCode::OK);
  ASSERT_EQ(orchestra.Play(), StatusCode::OK);
  Advance(0.375);
  ASSERT_EQ(orchestra.Pause(), StatusCode::OK);
  EXPECT_EQ(Tones(motor), (std::vector<double>{440, 494, 0}));
  Advance(10.0);
  EXPECT_FALSE(orchestra.IsPlaying());
  EXPECT_EQ(orchestra.GetCurrentTime(), 0.375);
  EXPECT_EQ(Tones(motor).size(), 3u);

  ASSERT_EQ(orchestra.Play(), StatusCode::OK);
  EXPECT_EQ(Tones(motor), (std::vector<double>{440, 494, 0, 494}));
  Advance(0.125);
  EXPECT_EQ(Tones(motor), (std::vector<double>{440, 494, 0, 494, 0}));
  EXPECT_EQ(orchestra.GetCurrentTime(), 0.5);

  ASSERT_EQ(orchestra.Stop(), StatusCode::OK);
  EXPECT_EQ(orchestra.GetCurrentTime(), 0.0);
  ASSERT_EQ(orchestra.Play(), StatusCode::OK);
  EXPECT_EQ(Tones(motor).back(), 440);  // from the start again
}

// An instrument added (or moved to another track) mid-tune joins the note
// sounding at that moment instead of replaying what it missed; two
// orchestras keep their own time; closing one silences its instruments.
TEST_F(OrchestraTest, InstrumentsJoinWhereTheMusicIsAndOrchestrasPlayApart) {
  CoreRapaxQ first(1, "band");
  CoreRapaxQ second(2, "band");
  CoreRapaxQ other(3, "band");
  Orchestra duet(Write("duet.ztune", TuneBytes(kDuet)).c_str());
  ASSERT_EQ(duet.AddInstrument(first), StatusCode::OK);
  ASSERT_EQ(duet.Play(), StatusCode::OK);
  Advance(0.625);  // the melody rests, the bass holds
  EXPECT_EQ(Tones(first), (std::vector<double>{440, 494, 0}));

  auto solo = std::make_unique<Orchestra>(Write("solo.ztune", TuneBytes({{{0, 2000, 330'000}}})).c_str());
  ASSERT_EQ(solo->AddInstrument(other), StatusCode::OK);
  ASSERT_EQ(solo->Play(), StatusCode::OK);

  ASSERT_EQ(duet.AddInstrument(second, 1), StatusCode::OK);
  EXPECT_EQ(Tones(second), (std::vector<double>{220}));
  ASSERT_EQ(duet.AddInstrument(first, 1), StatusCode::OK);  // same device: only its track changes
  EXPECT_EQ(Tones(first), (std::vector<double>{440, 494, 0, 220}));

  Advance(0.375);
  EXPECT_FALSE(duet.IsPlaying());
  EXPECT_EQ(Tones(first), (std::vector<double>{440, 494, 0, 220, 0}));
  EXPECT_EQ(Tones(second), (std::vector<double>{220, 0}));
  EXPECT_TRUE(solo->IsPlaying());
  EXPECT_EQ(solo->GetCurrentTime(), 0.375);
  solo.reset();
  EXPECT_EQ(Tones(other), (std::vector<double>{330, 0}));
}

// Each way a file can be wrong gives its status, and a refused file leaves
// the music loaded before it in place.
TEST_F(OrchestraTest, MissingOrMalformedFilesGiveTheirStatus) {
  CoreRapaxQ motor(1, "band");
  Orchestra orchestra;
  ASSERT_EQ(orchestra.AddInstrument(motor), StatusCode::OK);
  EXPECT_EQ(orchestra.Play(), StatusCode::InvalidOrchestraAction);  // nothing loaded yet
  ASSERT_EQ(orchestra.LoadMusic(Write("good.ztune", TuneBytes(kDuet)).c_str()), StatusCode::OK);

  auto withByte = [](std::vector<uint8_t> bytes, size_t at, uint8_t value) {
    bytes[at] = value;
    return bytes;
  };
  auto truncated = TuneBytes(kDuet);
  truncated.pop_back();
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    StatusCode expected;
  };
  const Case cases[] = {
      {"wrong magic", withByte(TuneBytes(kDuet), 0, 'X'), StatusCode::MusicFileInvalid},
      {"header cut short", {'Z', 'T', 'U', 'N', 1, 0}, StatusCode::MusicFileWrongSize},
      {"version 0", TuneBytes(kDuet, 0), StatusCode::MusicFileTooOld},
      {"version 2", TuneBytes(kDuet, 2), StatusCode::MusicFileTooNew},
      {"reserved field set", withByte(TuneBytes(kDuet), 12, 1), StatusCode::MusicFileInvalid},
      {"no tracks", TuneBytes({}), StatusCode::MusicFileInvalid},
      {"65 tracks", TuneBytes(std::vector<std::vector<FileTone>>(65)), StatusCode::MusicFileInvalid},
      {"one byte short", truncated, StatusCode::MusicFileWrongSize},
      {"tone count says more", withByte(TuneBytes(kDuet), 8, 9), StatusCode::MusicFileWrongSize},
      {"track table does not add up", withByte(TuneBytes(kDuet), 16, 2), StatusCode::MusicFileInvalid},
      {"overlapping tones", TuneBytes({{{0, 300, 440'000}, {250, 250, 494'000}}}), StatusCode::MusicFileInvalid},
      {"zero duration", TuneBytes({{{0, 0, 440'000}}}), StatusCode::MusicFileInvalid},
      {"zero frequency", TuneBytes({{{0, 10, 0}}}), StatusCode::MusicFileInvalid},
      {"above 20 kHz", TuneBytes({{{0, 10, 20'000'001}}}), StatusCode::MusicFileInvalid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(orchestra.LoadMusic(Write("bad.ztune", c.bytes).c_str()), c.expected);
  }
  EXPECT_EQ(orchestra.LoadMusic((folder_ / "missing.ztune").c_str()), StatusCode::MusicFileNotFound);
  EXPECT_EQ(orchestra.LoadMusic(folder_.c_str()), StatusCode::MusicFileInvalid);  // a directory
  EXPECT_EQ(orchestra.LoadMusic(nullptr), StatusCode::InvalidParamValue);
  EXPECT_EQ(Orchestra("nowhere.ztune").GetConstructionStatus(), StatusCode::MusicFileNotFound);

  ASSERT_EQ(orchestra.Play(), StatusCode::OK);  // the good music is still there
  EXPECT_EQ(Tones(motor), (std::vector<double>{440}));
  ASSERT_EQ(orchestra.ClearInstruments(), StatusCode::OK);
  EXPECT_EQ(Tones(motor), (std::vector<double>{440, 0}));
  EXPECT_EQ(orchestra.Play(), StatusCode::InvalidOrchestraAction);  // nobody to play
}

// One object owns each runtime orchestra: moves hand it over, destroying a
// moved-from object closes nothing, and an orchestra without a runtime
// instance answers false and 0 instead of failing.
TEST_F(OrchestraTest, OneOwnerClosesEachHandle) {
  {
    Orchestra first;
    Orchestra second(std::move(first));
    EXPECT_EQ(harness::OpenOrchestras(), 1u);
    EXPECT_FALSE(first.IsPlaying());  // NOLINT(bugprone-use-after-move): what a moved-from object says
    EXPECT_EQ(first.GetCurrentTime(), 0.0);
    EXPECT_EQ(first.Play(), StatusCode::InvalidParamValue);
    {
      Orchestra third;
      third = std::move(second);
      EXPECT_EQ(harness::OpenOrchestras(), 1u);  // third's own orchestra was closed by the assignment
      Orchestra gone(std::move(third));
    }
    EXPECT_EQ(harness::OpenOrchestras(), 0u);
    Orchestra fourth;
    EXPECT_EQ(harness::OpenOrchestras(), 1u);
  }
  EXPECT_EQ(harness::OpenOrchestras(), 0u);
}

}  // namespace
