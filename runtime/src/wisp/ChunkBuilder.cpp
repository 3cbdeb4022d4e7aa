#include "wisp/ChunkBuilder.hpp"

#include <algorithm>

#include "wisp/internal/ByteWriter.hpp"

namespace kvor::zephrin::runtime::wisp {

using internal::ByteWriter;

std::size_t ChunkBuilder::BeginRecord(RecordTag tag) {
  ByteWriter out(payload_);
  out.Put(static_cast<uint8_t>(tag));
  const std::size_t lengthOffset = out.Size();
  out.Put(uint16_t{0});
  ++records_;
  return lengthOffset;
}

void ChunkBuilder::EndRecord(std::size_t lengthOffset) {
  ByteWriter out(payload_);
  const std::size_t body = out.Size() - lengthOffset - sizeof(uint16_t);
  out.PatchAt(lengthOffset, static_cast<uint16_t>(body));
}

void ChunkBuilder::NoteTime(double time) {
  if (!hasTime_) {
    first_ = last_ = time;
    hasTime_ = true;
    return;
  }
  first_ = std::min(first_, time);
  last_ = std::max(last_, time);
}

bool ChunkBuilder::AddSignalDefinition(const SignalDefinition& definition) {
  if (definition.name.size() > kMaxText || definition.units.size() > kMaxText) return false;
  const auto at = BeginRecord(RecordTag::SignalDefinition);
  ByteWriter out(payload_);
  out.Put(definition.signalId);
  out.PutText(definition.name);
  out.PutText(definition.units);
  EndRecord(at);
  return true;
}

bool ChunkBuilder::AddDevice(const DeviceInfo& device) {
  if (device.model.size() > kMaxText || device.bus.size() > kMaxText) return false;
  const auto at = BeginRecord(RecordTag::Device);
  ByteWriter out(payload_);
  out.Put(device.deviceHash);
  out.Put(device.deviceId);
  out.PutText(device.model);
  out.PutText(device.bus);
  EndRecord(at);
  return true;
}

void ChunkBuilder::AddFrame(const Frame& frame) {
  const auto at = BeginRecord(RecordTag::Frame);
  ByteWriter out(payload_);
  out.Put(frame.deviceHash);
  out.Put(frame.signalId);
  out.Put(frame.value.value);
  out.Put(frame.value.reportedId);
  out.Put(frame.value.status);
  out.Put(frame.value.systemTime);
  out.Put(frame.value.bustrelTime);
  out.Put(frame.value.deviceTime);
  EndRecord(at);
  NoteTime(frame.value.systemTime);
}

bool ChunkBuilder::AddUserSignalDefinition(const UserSignalDefinition& definition) {
  if (definition.name.size() > kMaxText || definition.units.size() > kMaxText) return false;
  const auto at = BeginRecord(RecordTag::UserSignalDefinition);
  ByteWriter out(payload_);
  out.Put(definition.index);
  out.Put(definition.type);
  out.PutText(definition.name);
  out.PutText(definition.units);
  EndRecord(at);
  return true;
}

void ChunkBuilder::AddUserSample(const UserSample& sample) {
  const auto at = BeginRecord(RecordTag::UserSample);
  ByteWriter out(payload_);
  out.Put(sample.definition);
  out.Put(sample.time);
  out.Put(sample.size);
  out.PutBytes(sample.payload.data(), std::min<std::size_t>(sample.size, sample.payload.size()));
  EndRecord(at);
  NoteTime(sample.time);
}

void ChunkBuilder::AddDropped(double time, uint64_t count) {
  const auto at = BeginRecord(RecordTag::Dropped);
  ByteWriter out(payload_);
  out.Put(time);
  out.Put(count);
  EndRecord(at);
  NoteTime(time);
}

void ChunkBuilder::AddEnd(double time) {
  const auto at = BeginRecord(RecordTag::End);
  ByteWriter out(payload_);
  out.Put(time);
  EndRecord(at);
  NoteTime(time);
}

void ChunkBuilder::Clear() {
  payload_.clear();
  records_ = 0;
  hasTime_ = false;
  first_ = last_ = 0.0;
}

}  // namespace kvor::zephrin::runtime::wisp
