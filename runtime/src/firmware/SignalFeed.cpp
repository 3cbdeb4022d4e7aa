#include "firmware/SignalFeed.hpp"

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "catalogue/SignalCatalogue.hpp"

namespace kvor::zephrin::runtime::firmware {
namespace {

constexpr uint16_t kCompliancyId = signal_ids::common::kCompliancy;

}  // namespace

SignalFeed::SignalFeed(uint32_t deviceHash, std::string_view model, SlotOf slotOf, int slots, AnswersAlone answersAlone)
    : hash_(deviceHash), slotValues_(static_cast<size_t>(std::max(slots, 0))),
      slotReported_(static_cast<size_t>(std::max(slots, 0))) {
  const uint32_t mask = catalogue::ModelMask(model);
  for (const catalogue::CatalogueEntry& entry : catalogue::AllSignals()) {
    if (entry.primaryId != entry.id || entry.id == kCompliancyId) continue;
    if (mask == 0 || !catalogue::ModelPublishes(entry, mask)) continue;
    const int slot = slotOf != nullptr ? slotOf(entry.id) : -1;
    if (slot >= 0 && slot < slots) {
      slotReported_[static_cast<size_t>(slot)] = entry.id;  // until the device reports it under another
      entries_.push_back(Entry{entry.id, static_cast<int16_t>(slot), answersAlone != nullptr && answersAlone(entry.id)});
    } else {
      entries_.push_back(Entry{entry.id});
    }
    catalogueOrder_.push_back(static_cast<uint32_t>(catalogueOrder_.size()));
  }
}

double SignalFeed::QuietEnd(double next, double hz) {
  // A group skips a step at t while t >= checked and (t + step) hz - 1e-9
  // <= next. That test only grows with the step's end, so the ends it skips
  // are those below one double, found here from its rounded estimate by
  // moving a few ulps (positive doubles order as their bits do). Exact to
  // the last bit, the window also takes in the step that ends on the frame
  // itself, which any margin would hand to a look at every group, however
  // large the frame index.
  const auto due = [next, hz](double end) { return end * hz - 1e-9 > next; };
  const auto neighbour = [](double end, int64_t ulps) {
    return std::bit_cast<double>(std::bit_cast<int64_t>(end) + ulps);
  };
  constexpr int kMostUlps = 16;  // the estimate is off by two or three at most
  double end = (next + 1e-9) / hz;
  // Frames at non-negative times have their first due end above zero, so
  // moving down stops before it.
  if (next >= 0.0 && end > 0.0 && end < std::numeric_limits<double>::infinity()) {
    const bool above = due(end);
    for (int i = 0; i < kMostUlps; ++i) {
      const double other = neighbour(end, above ? -1 : 1);
      if (due(other) != above) return above ? end : other;
      end = other;
    }
  }
  // Anything else keeps inside the bound by a margin far above the rounding
  // of either side, a few ulps of the frame index.
  const double margin = 1e-11 + 1e-14 * std::abs(next);
  return (next + (1e-9 - margin)) / hz;
}

void SignalFeed::Reschedule(const signals::SignalStore& store) {
  // A key released by the harness holds the harness's value: write it anew.
  Invalidate();
  groups_.clear();
  quietFrom_ = std::numeric_limits<double>::infinity();  // every group is asked at the next step
  quietEnd_ = -std::numeric_limits<double>::infinity();
  // The group of each signal in the catalogue's order (-1: not sent); the
  // groups in the order of their first signal.
  std::vector<int> groupOf(catalogueOrder_.size(), -1);
  for (size_t k = 0; k < catalogueOrder_.size(); ++k) {
    const double hz = store.AppliedFrequency(hash_, entries_[catalogueOrder_[k]].id);
    if (!(hz > 0.0)) continue;
    auto it = std::find_if(groups_.begin(), groups_.end(), [hz](const Group& g) { return g.hz == hz; });
    if (it == groups_.end()) it = groups_.insert(groups_.end(), Group{hz});
    groupOf[k] = static_cast<int>(it - groups_.begin());
  }
  // Lay the entries out group by group, then those not sent (the last
  // bucket): each bucket starts where the one before ends, and each signal
  // takes the next place of its bucket.
  auto bucket = [this](int group) { return group < 0 ? groups_.size() : static_cast<size_t>(group); };
  std::vector<uint32_t> next(groups_.size() + 1, 0);
  for (int group : groupOf) ++next[bucket(group)];
  uint32_t start = 0;
  for (size_t b = 0; b < next.size(); ++b) {
    const uint32_t size = next[b];
    next[b] = start;
    start += size;
    if (b < groups_.size()) {
      groups_[b].begin = next[b];
      groups_[b].end = start;
    }
  }
  std::vector<Entry> laidOut(entries_.size());
  std::vector<uint32_t> order(catalogueOrder_.size());
  for (size_t k = 0; k < catalogueOrder_.size(); ++k) {
    const uint32_t at = next[bucket(groupOf[k])]++;
    laidOut[at] = entries_[catalogueOrder_[k]];
    order[k] = at;
  }
  entries_ = std::move(laidOut);
  catalogueOrder_ = std::move(order);
  // A due group fills every slot when it holds more than this many slotted
  // signals, or one the device cannot answer alone; asked alone, each costs
  // a small fraction of a fill.
  constexpr size_t kMostAskedAlone = 4;
  for (Group& group : groups_) {
    size_t slotted = 0;
    bool cheap = true;
    for (uint32_t i = group.begin; i < group.end; ++i) {
      if (entries_[i].slot < 0) continue;
      ++slotted;
      cheap = cheap && entries_[i].cheapAlone;
    }
    group.hasSlots = slotted > 0;
    group.allSlotted = slotted == group.end - group.begin;
    group.askAlone = slotted > 0 && slotted <= kMostAskedAlone && cheap;
  }
}

}  // namespace kvor::zephrin::runtime::firmware
