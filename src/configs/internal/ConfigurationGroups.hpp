#pragma once

// Shared bodies of the whole-device configurations. Each configuration lists
// its groups once, as a tuple of references in its own source file, and these
// helpers walk that tuple to serialise, print or read every group in order,
// so the order of the text can never differ between the three operations.

#include <kvor/zephrin/StatusCodes.hpp>

#include <string>
#include <string_view>
#include <tuple>

namespace kvor::zephrin6::configs::internal {

/// The config texts of every group, concatenated in order.
template <class Groups>
std::string SerializeGroups(const Groups& groups) {
  std::string text;
  std::apply([&](const auto&... group) { (text += ... += group.Serialize()); }, groups);
  return text;
}

/// "Configuration: <model>" followed by the text of every group.
template <class Groups>
std::string PrintGroups(std::string_view model, const Groups& groups) {
  std::string text = "Configuration: ";
  text.append(model).append("\n");
  std::apply([&](const auto&... group) { (text += ... += group.ToString()); }, groups);
  return text;
}

/// Reads every group from `text`; a group keeps the values absent from it.
template <class Groups>
kvor::zephrin::StatusCode DeserializeGroups(const std::string& text, Groups&& groups) {
  std::apply([&](auto&... group) { (group.Deserialize(text), ...); }, groups);
  return kvor::zephrin::StatusCode::OK;
}

}  // namespace kvor::zephrin6::configs::internal
