#include "logging/UserSignalBuffer.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include <kvor/zephrin/platform/Logging.hpp>

#include "wisp/Status.hpp"

namespace kvor::zephrin::runtime::logging {

UserSignalBuffer::UserSignalBuffer(std::size_t capacity) { Restart(capacity); }

int32_t UserSignalBuffer::Append(std::string_view name, std::string_view units, uint8_t type, const uint8_t* data,
                                 uint8_t size, double time, double now) {
  LockGuard lock(mutex_);
  auto found = byName_.find(name);
  uint16_t index = 0;
  if (found != byName_.end() && definitions_[found->second].record.type == type &&
      definitions_[found->second].record.units == units) {
    index = found->second;
  } else {
    // A new signal, or one whose units or type changed: samples before and
    // after the change keep the definition they were written with.
    if (definitions_.size() >= static_cast<std::size_t>(platform::can::kMaxUserSignals)) {
      return wisp::kUserSignalLimitExceeded;
    }
    index = static_cast<uint16_t>(definitions_.size());
    definitions_.push_back({{index, type, std::string(name), std::string(units)}, now});
    if (found == byName_.end()) {
      byName_.emplace(std::string(name), index);
    } else {
      found->second = index;
    }
  }

  assert(!ring_.empty() && count_ <= ring_.size() &&
         "Restart sizes the ring to at least one sample and TakeBatch swaps in one of the same size");
  if (count_ == ring_.size()) {
    head_ = (head_ + 1) % ring_.size();
    --count_;
    ++dropped_;
    ++totalDropped_;
  }
  WrittenSample& written = ring_[(head_ + count_) % ring_.size()];
  ++count_;
  written.at = now;
  wisp::UserSample& sample = written.record;
  sample.definition = index;
  sample.time = time;
  sample.size = size;
  if (size > 0) std::memcpy(sample.payload.data(), data, size);
  return wisp::kOK;
}

void UserSignalBuffer::TakeBatch(Batch& batch) {
  batch.definitions.clear();
  LockGuard lock(mutex_);
  batch.definitions.assign(definitions_.begin() + static_cast<std::ptrdiff_t>(definitionsTaken_), definitions_.end());
  definitionsTaken_ = definitions_.size();
  batch.ring.resize(ring_.size());
  std::swap(batch.ring, ring_);
  batch.head = std::exchange(head_, 0);
  batch.count = std::exchange(count_, 0);
  batch.dropped = std::exchange(dropped_, 0);
}

void UserSignalBuffer::Restart(std::size_t capacity) {
  LockGuard lock(mutex_);
  byName_.clear();
  definitions_.clear();
  definitionsTaken_ = 0;
  ring_.assign(std::max<std::size_t>(capacity, 1), WrittenSample{});
  head_ = count_ = 0;
  dropped_ = totalDropped_ = 0;
}

std::size_t UserSignalBuffer::Capacity() const {
  LockGuard lock(mutex_);
  return ring_.size();
}

uint64_t UserSignalBuffer::TotalDropped() const {
  LockGuard lock(mutex_);
  return totalDropped_;
}

}  // namespace kvor::zephrin::runtime::logging
