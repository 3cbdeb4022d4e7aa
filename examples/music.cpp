// Music on motors: an Orchestra plays a tune file on two simulated motor
// controllers, each an instrument sounding one track, and this program
// prints every change of note with the tune's time.
//
//   tools/music/write_tune.py tools/music/scale.notes scale.ztune
//   ./build/bin/music scale.ztune                # on the manual clock: at once
//   ./build/bin/music scale.ztune --real-clock   # at the tune's own pace
//
// The runtime's music engine sends each instrument a MusicTone request at
// every note's start and end. On the manual clock the music moves only when
// the program moves the clock, so the whole tune plays in a blink and the
// same way every time; on the real clock it plays at its own pace while the
// program looks in every 10 ms. What each motor is playing is read from the
// requests the runtime received, through the harness (examples and tests
// only; a robot program would hear it).
#include <kvor/zephrin6/core/Orchestra.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <variant>
#include <vector>

using namespace kvor::zephrin6;
namespace harness = kvor::zephrin::runtime::harness;

namespace {

constexpr double kLook = 0.010;  // how often the program looks at the music, seconds

// "A4 440.0 Hz": the nearest note of equal temperament and the frequency,
// or "silent".
std::string Note(double hz) {
  if (!(hz > 0)) return "silent";
  static const char* const kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  const long midi = std::lround(69 + 12 * std::log2(hz / 440.0));
  const long name = ((midi % 12) + 12) % 12;
  char text[48];
  std::snprintf(text, sizeof text, "%s%ld %.1f Hz", kNames[name], midi / 12 - 1, hz);
  return text;
}

// The tone the music engine last sent a motor, hertz (0: silent).
double Tone(const hardware::ParentDevice& motor) {
  const auto call = harness::LastControlCall(motor.GetDeviceHash());
  if (!call || call->function != "c_kvor_zephrin6_RequestControlMusicTone" || call->arguments.size() < 4) return 0;
  const double* hz = std::get_if<double>(&call->arguments[3]);
  return hz != nullptr ? *hz : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool realClock = argc == 3 && std::strcmp(argv[2], "--real-clock") == 0;
  if (argc < 2 || (argc == 3 && !realClock) || argc > 3) {
    std::printf("Plays a tune file on two simulated motors.\n"
                "Usage: music TUNE.ztune [--real-clock]\n"
                "Write a tune from a list of notes first:\n"
                "  tools/music/write_tune.py tools/music/scale.notes scale.ztune\n");
    return 2;
  }
  harness::SetReportEcho(false);  // a refused file is said below, once
  if (!realClock) harness::UseManualClock(1.0);

  // The first motor plays track 0, the second track 1 (silent when the
  // tune has one track only).
  hardware::core::CoreRapaxQ melody(1, "music");
  hardware::core::CoreRapaxQ bass(2, "music");
  Orchestra orchestra({melody, bass}, argv[1]);
  if (!orchestra.GetConstructionStatus().IsOK()) {
    std::printf("Could not load %s: %s\n", argv[1], orchestra.GetConstructionStatus().GetName());
    return 1;
  }
  if (const auto status = orchestra.Play(); !status.IsOK()) {
    std::printf("Could not play %s: %s\n", argv[1], status.GetName());
    return 1;
  }
  std::printf("Playing %s on the %s clock.\n   time  state    motor 1 (track 0)      motor 2 (track 1)\n", argv[1],
              realClock ? "real" : "manual");

  double melodyHz = -1, bassHz = -1;
  const auto wallStart = std::chrono::steady_clock::now();
  for (;;) {
    const bool playing = orchestra.IsPlaying();
    if (!playing) break;
    if (Tone(melody) != melodyHz || Tone(bass) != bassHz) {
      melodyHz = Tone(melody);
      bassHz = Tone(bass);
      std::printf("%7.3f  playing  %-21s  %s\n", orchestra.GetCurrentTime(), Note(melodyHz).c_str(),
                  Note(bassHz).c_str());
    }
    if (realClock) {
      std::this_thread::sleep_for(std::chrono::duration<double>(kLook));
    } else {
      harness::AdvanceTime(kLook);
      harness::AwaitMusic();  // the tones due by now have been sent
    }
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  std::printf("  end    stopped  the tune is over; the orchestra rewound to %.3f s (%.2f s of wall time)\n",
              orchestra.GetCurrentTime(), wall);
  return 0;
}
