#include "configs/FactoryDefaults.hpp"

#include <vector>

#include "configs/ConfigText.hpp"

namespace kvor::zephrin::runtime::configs {
namespace {

enum class Kind { Int, Double };

struct Row {
  std::string_view model;
  int id;
  Kind kind;
  double value;
};

constexpr Row kRows[] = {
#define KVOR_FACTORY_DEFAULT(model, id, kind, value) {model, id, Kind::kind, value},
#include "configs/generated/FactoryDefaults.inc"
#undef KVOR_FACTORY_DEFAULT
};

using Pieces = std::map<int, std::string>;

std::map<std::string, Pieces, std::less<>> BuildTable() {
  std::map<std::string, Pieces, std::less<>> table;
  for (const Row& row : kRows) {
    Pieces& pieces = table[std::string(row.model)];
    pieces[row.id] = row.kind == Kind::Int ? FormatInt(row.id, static_cast<int>(row.value))
                                           : FormatDouble(row.id, row.value);
  }
  return table;
}

}  // namespace

const std::map<int, std::string>& FactoryPieces(std::string_view model) {
  static const auto table = BuildTable();
  static const Pieces none;
  auto it = table.find(model);
  return it == table.end() ? none : it->second;
}

}  // namespace kvor::zephrin::runtime::configs
