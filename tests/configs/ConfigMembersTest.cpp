// Walks every member of every configuration group and whole-device
// configuration through its group's own Serialize, Deserialize and ToString.
// The member lists come from the configuration table, not from the field
// walks under test, so a member that a walk skips, reads under another
// member's ID or forgets to print is caught here.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <type_traits>

#include "configs/generated/ConfigMembers.hpp"

namespace {

using config_members::AllConfigs;
using config_members::MembersOf;

template <class T>
concept HasMembers = requires { MembersOf(std::type_identity<T>{}); };

template <class T>
concept ValueEnumeration = requires(T v) { v.value; };

template <class T, class F>
void ForEachMember(F&& f) {
  std::apply([&](const auto&... m) { (f(m), ...); }, MembersOf(std::type_identity<T>{}));
}

// Moves `v` away from its default to a value that no other member shares:
// `n` counts the members changed so far.
template <class T>
void Change(T& v, int& n) {
  ++n;
  if constexpr (HasMembers<T>) {
    ForEachMember<T>([&](const auto& m) { Change(v.*m.pointer, n); });
  } else if constexpr (std::is_same_v<T, bool>) {
    v = !v;
  } else if constexpr (std::is_same_v<T, int>) {
    v += 100 + n;
  } else if constexpr (std::is_same_v<T, double>) {
    v += 0.25 + n;
  } else if constexpr (ValueEnumeration<T>) {
    v.value += 1 + n;  // numbers outside the enumeration must travel too
  } else {
    v = T{v.value() + 0.25 + n};  // a quantity
  }
}

// Expects every member of `actual` to equal that of `expected`, naming the
// member path on failure.
template <class T>
void ExpectSame(const T& expected, const T& actual) {
  if constexpr (HasMembers<T>) {
    ForEachMember<T>([&](const auto& m) {
      SCOPED_TRACE(m.name);
      ExpectSame(expected.*m.pointer, actual.*m.pointer);
    });
  } else if constexpr (ValueEnumeration<T>) {
    EXPECT_EQ(expected.value, actual.value);
  } else if constexpr (std::is_arithmetic_v<T>) {
    EXPECT_EQ(expected, actual);
  } else {
    EXPECT_EQ(expected.value(), actual.value());
  }
}

template <class T>
void CheckRoundTrip() {
  T changed;
  const std::string header = changed.ToString();
  SCOPED_TRACE(header.substr(0, header.find('\n')));
  int n = 0;
  Change(changed, n);
  T reread;
  ASSERT_EQ(reread.Deserialize(changed.Serialize()), kvor::zephrin::StatusCode::OK);
  ExpectSame(changed, reread);

  // Every member is printed: a group prints a "Name: " line per field, a
  // whole-device configuration the full text of each of its groups.
  const std::string printed = changed.ToString();
  ForEachMember<T>([&](const auto& m) {
    using Member = std::remove_cvref_t<decltype(changed.*m.pointer)>;
    if constexpr (HasMembers<Member>) {
      EXPECT_NE(printed.find((changed.*m.pointer).ToString()), std::string::npos) << m.name;
    } else {
      EXPECT_NE(printed.find("\n    " + std::string(m.name) + ": "), std::string::npos) << m.name;
    }
  });
}

}  // namespace

// Every member, set to a value of its own that differs from its default,
// comes back from the group's text unchanged and appears in its printed text.
TEST(ConfigMembers, EveryMemberSurvivesTheTextAndIsPrinted) {
  std::apply([](auto... type) { (CheckRoundTrip<decltype(type)>(), ...); }, AllConfigs{});
}
