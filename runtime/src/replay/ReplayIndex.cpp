#include "replay/ReplayIndex.hpp"

#include <algorithm>

#include "wisp/Status.hpp"

namespace kvor::zephrin::runtime::replay {

ReplayIndex::ReplayIndex(wisp::WispLog log) : log_(std::move(log)) {
  auto& frames = log_.frames;
  // Stable, so frames with equal times keep the order they were recorded in
  // and the later one wins.
  std::stable_sort(frames.begin(), frames.end(), [](const wisp::Frame& a, const wisp::Frame& b) {
    return a.Key() != b.Key() ? a.Key() < b.Key() : a.value.systemTime < b.value.systemTime;
  });
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
