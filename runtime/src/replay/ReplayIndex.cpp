#include "replay/ReplayIndex.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#include "wisp/Status.hpp"

namespace kvor::zephrin::runtime::replay {

namespace {

// Whether every frame has a finite receive time and each key's frames come
// at strictly rising times in file order, as the writer records them. Keys
// are few (one per device signal), so an open-addressed table of their last
// times stays in cache.
bool TimesRiseWithinEachKey(std::span<const wisp::Frame> frames) {
  struct Slot {
    uint64_t key;
    double last;
  };
  constexpr uint64_t kEmpty = ~uint64_t{0};  // a key's top 16 bits are always zero
  std::vector<Slot> slots(256, Slot{kEmpty, 0.0});
  std::size_t used = 0;
  auto find = [&slots](uint64_t key) -> Slot& {
    const std::size_t mask = slots.size() - 1;
    std::size_t i = (key * 0x9E3779B97F4A7C15ull) >> 32 & mask;
    while (slots[i].key != kEmpty && slots[i].key != key) i = (i + 1) & mask;
    return slots[i];
  };
  for (const wisp::Frame& frame : frames) {
    const double time = frame.value.systemTime;
    if (!std::isfinite(time)) return false;
    Slot& slot = find(frame.Key());
    if (slot.key != kEmpty) {
      if (!(time > slot.last)) return false;
      slot.last = time;
      continue;
    }
    slot = Slot{frame.Key(), time};
    if (2 * ++used <= slots.size()) continue;
    std::vector<Slot> old(slots.size() * 2, Slot{kEmpty, 0.0});
    old.swap(slots);
    for (const Slot& kept : old) {
      if (kept.key != kEmpty) find(kept.key) = kept;
    }
  }
  return true;
}

}  // namespace

ReplayIndex::ReplayIndex(wisp::WispLog log) : log_(std::move(log)) {
  auto& frames = log_.frames;
  const auto byKeyThenTime = [](const wisp::Frame& a, const wisp::Frame& b) {
    return a.Key() != b.Key() ? a.Key() < b.Key() : a.value.systemTime < b.value.systemTime;
  };
  // Frames with equal key and time keep the order they were recorded in, so
  // the later one wins. A log as the writer makes it has no such pair: then
  // the order is unique and an in-place sort finds it without the buffer of
  // half the log a stable sort takes (whose fresh pages cost more than the
  // sorting). Otherwise, or with a time that does not compare, the stable
  // sort decides.
  if (TimesRiseWithinEachKey(frames)) {
    std::sort(frames.begin(), frames.end(), byKeyThenTime);
  } else {
    std::stable_sort(frames.begin(), frames.end(), byKeyThenTime);
  }
  for (uint32_t i = 0; i < frames.size();) {
    const uint64_t key = frames[i].Key();
    uint32_t end = i + 1;
    while (end < frames.size() && frames[end].Key() == key) ++end;
    ranges_.emplace(key, std::make_pair(i, end));
    i = end;
  }

  for (const auto& definition : log_.userSignals) {
    if (definition.index >= userDefinitions_.size()) userDefinitions_.resize(definition.index + 1u, nullptr);
    userDefinitions_[definition.index] = &definition;
  }
  for (uint32_t i = 0; i < log_.userSamples.size(); ++i) {
    const auto definition = log_.userSamples[i].definition;
    if (definition >= userDefinitions_.size() || userDefinitions_[definition] == nullptr) continue;
    auto& samples = userByName_[userDefinitions_[definition]->name];
    samples.push_back(i);
  }
  for (auto& [name, samples] : userByName_) {
    std::stable_sort(samples.begin(), samples.end(), [this](uint32_t a, uint32_t b) {
      return log_.userSamples[a].time < log_.userSamples[b].time;
    });
  }
}

std::span<const wisp::Frame> ReplayIndex::FramesOf(uint64_t key) const {
  const auto found = ranges_.find(key);
  if (found == ranges_.end()) return {};
  return std::span(log_.frames).subspan(found->second.first, found->second.second - found->second.first);
}

const wisp::Frame* ReplayIndex::FirstAfter(std::span<const wisp::Frame> frames, double time) {
  const auto after = std::upper_bound(frames.begin(), frames.end(), time, [](double t, const wisp::Frame& f) {
    return t < f.value.systemTime;
  });
  return frames.data() + (after - frames.begin());
}

const wisp::FrameValue* ReplayIndex::Latest(uint64_t key, double time) const {
  const auto frames = FramesOf(key);
  const wisp::Frame* after = FirstAfter(frames, time);
  return after == frames.data() ? nullptr : &(after - 1)->value;
}

bool ReplayIndex::NextAfter(uint64_t key, double time, double& next) const {
  const auto frames = FramesOf(key);
  const wisp::Frame* after = FirstAfter(frames, time);
  if (after == frames.data() + frames.size()) return false;
  next = after->value.systemTime;
  return true;
}

ReplayIndex::UserRead ReplayIndex::LatestUser(std::string_view name, double time) const {
  const auto found = userByName_.find(name);
  if (found == userByName_.end()) return {wisp::kNotFound, nullptr, nullptr};
  const auto& samples = found->second;
  const auto after = std::upper_bound(samples.begin(), samples.end(), time, [this](double t, uint32_t i) {
    return t < log_.userSamples[i].time;
  });
  if (after == samples.begin()) return {wisp::kSigNotUpdated, nullptr, nullptr};
  const wisp::UserSample& sample = log_.userSamples[*std::prev(after)];
  return {wisp::kOK, userDefinitions_[sample.definition], &sample};
}

}  // namespace kvor::zephrin::runtime::replay
