#include "catalogue/SignalCatalogue.hpp"

#include <algorithm>
#include <array>

namespace kvor::zephrin::runtime::catalogue {
namespace {

constexpr CatalogueEntry kEntries[] = {
#define KVOR_SIGNAL(id, name, type, units, hz, report, primary, mask) \
  {id, name, type, units, hz, report, primary, mask},
#include "catalogue/generated/SignalCatalogue.inc"
#undef KVOR_SIGNAL
};

constexpr std::string_view kModels[] = {
#define KVOR_SIGNAL_MODEL(bit, model) model,
#include "catalogue/generated/SignalCatalogue.inc"
#undef KVOR_SIGNAL_MODEL
};

constexpr bool SortedById() {
  for (size_t i = 1; i < std::size(kEntries); ++i) {
    if (kEntries[i - 1].id >= kEntries[i].id) return false;
  }
  return true;
}
static_assert(SortedById(), "the generated catalogue must be sorted by ID for the binary search");

}  // namespace

std::span<const CatalogueEntry> AllSignals() { return kEntries; }

const CatalogueEntry* FindSignal(uint16_t signalId) {
  const auto* it = std::lower_bound(std::begin(kEntries), std::end(kEntries), signalId,
                                    [](const CatalogueEntry& e, uint16_t id) { return e.id < id; });
  return (it != std::end(kEntries) && it->id == signalId) ? it : nullptr;
}

uint32_t ModelMask(std::string_view model) {
  for (size_t bit = 0; bit < std::size(kModels); ++bit) {
    if (kModels[bit] == model) return 1u << bit;
  }
  return 0;
}

bool ModelPublishes(const CatalogueEntry& entry, uint32_t modelMask) {
  return modelMask == 0 || (entry.modelMask & modelMask) != 0;
}

}  // namespace kvor::zephrin::runtime::catalogue
