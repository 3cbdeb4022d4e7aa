// fuzz-seeds: writes the seed corpus of the fuzz targets from real runs of
// the library on simulated devices, so that fuzzing starts from what the
// runtime really writes and stores.
//
//   fuzz-seeds OUTDIR
//
// writes OUTDIR/wisp_reader/ (logs of several devices with user signals of
// every type: as recorded, with its last chunk torn, and stored
// uncompressed so that mutations reach the records directly) and
// OUTDIR/config_text/ (the config texts two devices stored after their
// configurations were applied). The committed corpus under fuzz/corpus/ was
// made this way; rerun it when the log or config text format changes.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <kvor/zephrin/platform/Logging.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>
#include <kvor/zephrin6/Zephrin6.hpp>
#include <set>
#include <string>

#include "wisp/ChunkBuilder.hpp"
#include "wisp/WispChunkReader.hpp"
#include "wisp/WispFileWriter.hpp"

namespace {

namespace fs = std::filesystem;
namespace harness = kvor::zephrin::runtime::harness;
namespace wisp = kvor::zephrin::runtime::wisp;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::SignalLogger;
using namespace units::literals;

// Stops the tool at a step that failed: a seed written after it would not
// hold what its name says.
void Require(bool ok, const char* step) {
  if (!ok) {
    std::cerr << "fuzz-seeds: " << step << " failed\n";
    std::exit(1);
  }
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The user signals a robot program writes in one loop, one of every type.
void WriteUserSignals(int loop) {
  const std::array<bool, 3> flags{loop % 2 == 0, true, false};
  const std::array<int64_t, 2> tags{loop, 7};
  const std::array<float, 2> angles{0.5f * loop, -1.5f};
  const std::array<double, 3> pose{0.1 * loop, 2.0, 0.01};
  const std::array<uint8_t, 2> raw{0xbe, static_cast<uint8_t>(loop)};
  const StatusCode written[] = {
      SignalLogger::WriteRaw("blob", raw),
      SignalLogger::WriteBoolean("intake/hasPiece", loop % 3 == 0),
      SignalLogger::WriteInteger("loop", loop),
      SignalLogger::WriteFloat("shooter/rpm", 50.5f * loop, "rpm"),
      SignalLogger::WriteDouble("arm/angle", 0.02 * loop, "deg"),
      SignalLogger::WriteString("mode", loop < 3 ? "auto" : "teleop"),
      SignalLogger::WriteBooleanArray("faults", flags),
      SignalLogger::WriteIntegerArray("tags", tags),
      SignalLogger::WriteFloatArray("modules", angles, "deg"),
      SignalLogger::WriteDoubleArray("pose", pose, "m"),
  };
  for (StatusCode status : written) Require(status.IsOK(), "writing a user signal");
}

// Records `seconds` of two motor controllers and an encoder with user
// signals every 20 ms; returns the log's path.
std::string Record(const fs::path& folder, double seconds) {
  harness::Reset();
  harness::SetReportEcho(false);
  harness::UseManualClock(1.0);
  Require(kvor::zephrin::platform::can::CANComm_SetLoggerPath(folder.c_str()) == 0, "setting the log folder");
  kvor::zephrin6::hardware::core::CoreRapaxQ left(1, "drivebus");
  kvor::zephrin6::hardware::core::CoreRapaxQ right(2, "drivebus");
  kvor::zephrin6::hardware::core::CoreAngulon encoder(3, "");
  Require(SignalLogger::Start() == StatusCode::OK, "starting the log");
  for (int loop = 0; loop * 0.02 < seconds; ++loop) {
    WriteUserSignals(loop);
    harness::AdvanceTime(0.02);
  }
  Require(SignalLogger::Stop() == StatusCode::OK, "stopping the log");
  return harness::LastLogFile();
}

// The log's first chunk stored uncompressed, with one frame per device
// signal so that the seed stays small, then a clean stop.
void WriteUncompressed(const std::string& from, const fs::path& to) {
  wisp::WispChunkReader reader;
  Require(reader.Open(from) == 0, "reading the recorded log");
  wisp::WispFileWriter writer;
  Require(writer.Open(to.string(), reader.Header().startTime, reader.Header().wallClockStart,
                      wisp::Compression::None),
          "creating the uncompressed log");
  wisp::WispChunk chunk;
  Require(reader.Next(chunk), "reading the first chunk");
  wisp::ChunkBuilder builder;
  for (const auto& d : chunk.devices) Require(builder.AddDevice(d), "copying a device");
  for (const auto& s : chunk.signals) Require(builder.AddSignalDefinition(s), "copying a signal");
  for (const auto& u : chunk.userSignals) Require(builder.AddUserSignalDefinition(u), "copying a user signal");
  std::set<uint64_t> seen;
  for (const auto& f : chunk.frames) {
    if (seen.insert(f.Key()).second) builder.AddFrame(f);
  }
  for (const auto& s : chunk.userSamples) builder.AddUserSample(s);
  Require(writer.WriteChunk(builder), "writing the first chunk");
  builder.Clear();
  builder.AddDropped(chunk.lastTime, 3);
  builder.AddEnd(chunk.lastTime);
  Require(writer.WriteChunk(builder), "writing the end");
}

void ConfigSeeds(const fs::path& folder) {
  harness::Reset();
  harness::SetReportEcho(false);
  harness::UseManualClock(1.0);
  kvor::zephrin6::hardware::core::CoreRapaxQ motor(5, "drivebus");
  kvor::zephrin6::configs::RapaxQConfiguration motorConfig;
  motorConfig.MotorOutput.NeutralMode = kvor::zephrin6::signals::NeutralModeValue::Brake;
  motorConfig.CurrentLimits.StatorCurrentLimit = 40_A;
  motorConfig.Slot0.kP = 2.5;
  Require(motor.GetConfigurator().Apply(motorConfig) == StatusCode::OK, "configuring the motor");
  WriteFile(folder / "rapax_q.txt", harness::StoredConfigText(motor.GetDeviceHash()));

  kvor::zephrin6::hardware::core::CoreAngulon encoder(6, "");
  kvor::zephrin6::configs::AngulonConfiguration encoderConfig;
  Require(encoder.GetConfigurator().Apply(encoderConfig) == StatusCode::OK, "configuring the encoder");
  WriteFile(folder / "angulon.txt", harness::StoredConfigText(encoder.GetDeviceHash()));
  harness::Reset();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz-seeds OUTDIR\n";
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path logs = out / "wisp_reader", configs = out / "config_text", scratch = out / "scratch";
  fs::create_directories(logs);
  fs::create_directories(configs);

  const std::string recorded = Record(scratch, 0.25);
  fs::copy_file(recorded, logs / "three_devices.wisp", fs::copy_options::overwrite_existing);
  fs::copy_file(recorded, logs / "torn_last_chunk.wisp", fs::copy_options::overwrite_existing);
  fs::resize_file(logs / "torn_last_chunk.wisp", fs::file_size(recorded) - 9);
  WriteUncompressed(recorded, logs / "uncompressed_first_chunk.wisp");
  harness::Reset();
  fs::remove_all(scratch);

  ConfigSeeds(configs);
  for (const auto& entry : fs::directory_iterator(out / "wisp_reader")) {
    std::cout << entry.path().string() << " " << fs::file_size(entry.path()) << " bytes\n";
  }
  return 0;
}
