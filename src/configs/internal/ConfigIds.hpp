#pragma once

// Named config IDs (ids::MotorOutput_Inverted, ids::SetPosition, ...) from the
// one table in kvor/zephrin/platform/ConfigIds.def, checked at compile time
// for collisions.

#include <algorithm>
#include <array>

namespace kvor::zephrin6::configs::ids {

#define KVOR_CONFIG_ID(symbol, id) inline constexpr int symbol = id;
#define KVOR_CONFIG_ACTION(symbol, id, effect, sig) inline constexpr int symbol = id;
#include <kvor/zephrin/platform/ConfigIds.def>

namespace internal {
// Two settings that share an ID would overwrite each other in the device's
// stored text; the only sharing allowed is a setting that several groups
// expose under the same symbol, which the table lists once.
inline constexpr auto kAll = std::to_array<int>({
#define KVOR_CONFIG_ID(symbol, id) id,
#define KVOR_CONFIG_ACTION(symbol, id, effect, sig) id,
#include <kvor/zephrin/platform/ConfigIds.def>
});
constexpr bool AllDistinct() {
  auto sorted = kAll;
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}
static_assert(AllDistinct(), "two config IDs in ConfigIds.def collide");
}  // namespace internal

}  // namespace kvor::zephrin6::configs::ids
