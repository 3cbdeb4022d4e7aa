#include "wisp/WispReader.hpp"

#include <algorithm>
#include <limits>

#include "wisp/Status.hpp"
#include "wisp/WispChunkReader.hpp"

namespace kvor::zephrin::runtime::wisp {
namespace {

template <class T>
void Append(std::vector<T>& to, std::vector<T>& from) {
  to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

WispLog ReadAll(WispChunkReader& reader) {
  WispLog log;
  log.header = reader.Header();
  if (reader.Report().status == kOK) {
    const uint64_t fileBytes = reader.Report().fileBytes;
    const uint64_t perByte = std::numeric_limits<uint64_t>::max() / kLogRecordBytesPerFileByte;
    const uint64_t budget = fileBytes >= perByte ? std::numeric_limits<uint64_t>::max()
                                                 : kLogRecordBytesBase + kLogRecordBytesPerFileByte * fileBytes;
    reader.SetRecordBudget(budget);
    // Sized once: growing a vector of tens of megabytes copies it over and
    // over and touches twice the memory, which on a loaded or virtual machine
    // costs more than reading the log. The headers may overstate the count
    // (damage found later, records of other kinds), never past the budget.
    log.frames.reserve(static_cast<std::size_t>(std::min(reader.FramesAhead(), budget / sizeof(Frame))));
    log.firstTime = log.lastTime = log.header.startTime;
    WispChunk chunk;
    while (reader.Next(chunk)) {
      Append(log.signals, chunk.signals);
      Append(log.devices, chunk.devices);
      Append(log.frames, chunk.frames);
      Append(log.userSignals, chunk.userSignals);
      Append(log.userSamples, chunk.userSamples);
      for (const DroppedSamples& d : chunk.dropped) log.droppedSamples += d.count;
      if (chunk.hasTime) {
        log.firstTime = std::min(log.firstTime, chunk.firstTime);
        log.lastTime = std::max(log.lastTime, chunk.lastTime);
      }
    }
  }
  log.report = reader.Report();
  return log;
}

}  // namespace

WispLog WispReader::Read(std::span<const uint8_t> bytes) {
  WispChunkReader reader;
  reader.Open(bytes);
  return ReadAll(reader);
}

WispLog WispReader::ReadFile(const std::string& path) {
  WispChunkReader reader;
  reader.Open(path);
  return ReadAll(reader);
}

}  // namespace kvor::zephrin::runtime::wisp
