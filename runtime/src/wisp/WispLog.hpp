#pragma once

// Everything read from one .wisp log: its header, the device, signal and
// user-signal definitions, every frame and user sample in file order, and a
// report of how much of the file was intact. Produced by WispReader and
// handed to its caller by value; plain data, no locks.

#include <cstdint>
#include <string>
#include <vector>

#include "wisp/WispFormat.hpp"
#include "wisp/WispRecords.hpp"

namespace kvor::zephrin::runtime::wisp {

/// The file header.
struct WispHeader {
  uint16_t formatVersion = 0;
  Compression compression = Compression::None;
  std::string runtimeVersion;
  double startTime = 0.0;      ///< log time when recording started, seconds
  int64_t wallClockStart = 0;  ///< calendar time of the start, seconds since 1970
};

/// How far a read got.
struct ReadReport {
  /// OK when the header was readable (even if chunks after it were damaged),
  /// else InvalidFile, WispLogTooOld or WispLogTooNew.
  int32_t status = 0;
  /// Why the file was refused when status is not OK ("not a regular file",
  /// "not a .wisp log", ...); empty otherwise.
  std::string refusal;
  uint64_t fileBytes = 0;
  uint64_t intactBytes = 0;  ///< header plus every chunk accepted, from the start of the file
  uint32_t chunks = 0;       ///< chunks accepted
  bool cleanEnd = false;     ///< the writer marked a clean stop
  /// What stopped the read early, with the byte offset of the chunk where it
  /// happened (that offset is intactBytes); empty when the whole file was read.
  std::string damage;

  bool Damaged() const { return !damage.empty(); }
};

struct WispLog {
  WispHeader header;
  std::vector<DeviceInfo> devices;
  std::vector<SignalDefinition> signals;
  std::vector<Frame> frames;
  std::vector<UserSignalDefinition> userSignals;
  std::vector<UserSample> userSamples;
  uint64_t droppedSamples = 0;  ///< user samples the writer had to drop
  /// Time range covered by the accepted chunks, seconds (header start time
  /// when there is none).
  double firstTime = 0.0;
  double lastTime = 0.0;
  ReadReport report;
};

}  // namespace kvor::zephrin::runtime::wisp
