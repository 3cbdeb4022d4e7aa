#include "firmware/SignalFeed.hpp"

#include <kvor/zephrin/platform/SignalIds.hpp>

#include <algorithm>

#include "catalogue/SignalCatalogue.hpp"

namespace kvor::zephrin::runtime::firmware {
namespace {

constexpr uint16_t kCompliancyId = signal_ids::common::kCompliancy;

}  // namespace

SignalFeed::SignalFeed(uint32_t deviceHash, std::string_view model) : hash_(deviceHash) {
  const uint32_t mask = catalogue::ModelMask(model);
  for (const catalogue::CatalogueEntry& entry : catalogue::AllSignals()) {
    if (entry.primaryId != entry.id || entry.id == kCompliancyId) continue;
    if (mask == 0 || !catalogue::ModelPublishes(entry, mask)) continue;
    entries_.push_back(Entry{entry.id});
  }
}

void SignalFeed::Reschedule(const signals::SignalStore& store) {
  // A key released by the harness holds the harness's value: write it anew.
  Invalidate();
  groups_.clear();
  for (uint32_t i = 0; i < entries_.size(); ++i) {
    const double hz = store.AppliedFrequency(hash_, entries_[i].id);
    if (!(hz > 0.0)) continue;
    auto it = std::find_if(groups_.begin(), groups_.end(), [hz](const Group& g) { return g.hz == hz; });
    if (it == groups_.end()) it = groups_.insert(groups_.end(), Group{hz, {}});
    it->members.push_back(i);
  }
}

}  // namespace kvor::zephrin::runtime::firmware
