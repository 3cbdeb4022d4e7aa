#include <kvor/zephrin/StatusCodes.hpp>

#include <algorithm>
#include <array>

namespace kvor::zephrin {
namespace {

struct Entry {
  int32_t value;
  const char* name;
  const char* description;
};

constexpr auto kTable = [] {
  std::array table{
#define KVOR_STATUS_CODE(value, name, description) Entry{value, #name, description},
#include <kvor/zephrin/platform/StatusCodes.def>
#undef KVOR_STATUS_CODE
  };
  std::sort(table.begin(), table.end(), [](const Entry& a, const Entry& b) { return a.value < b.value; });
  return table;
}();

static_assert(kTable.size() == 176, "the status table lists every named code once");
static_assert(std::adjacent_find(kTable.begin(), kTable.end(),
                                 [](const Entry& a, const Entry& b) { return a.value == b.value; }) == kTable.end(),
              "status values are unique");

const Entry* Find(int32_t value) noexcept {
  auto it = std::lower_bound(kTable.begin(), kTable.end(), value,
                             [](const Entry& e, int32_t v) { return e.value < v; });
  return (it != kTable.end() && it->value == value) ? &*it : nullptr;
}

}  // namespace

const char* StatusCode::GetName() const noexcept {
  const Entry* e = Find(value_);
  return e ? e->name : "Could not find name for StatusCode";
}

const char* StatusCode::GetDescription() const noexcept {
  const Entry* e = Find(value_);
  return e ? e->description : "Could not find description for StatusCode";
}

std::ostream& operator<<(std::ostream& os, StatusCode status) {
  return os << status.GetName() << " (" << status.value() << ')';
}

}  // namespace kvor::zephrin
