#pragma once

// ISerializable is the one interface shared by the value enumerations and the
// configuration groups: anything that can turn itself into the config text the
// device runtime stores. It owns nothing. Objects are used by value or through
// references; the destructor is protected and not virtual because nothing is
// ever deleted through this interface, which keeps Serialize the only virtual
// slot. Implementations are plain values: reading one from several threads is
// safe, writing needs the caller's own synchronisation.

#include <kvor/zephrin6/Export.hpp>

#include <string>

namespace kvor::zephrin6::signals {

class ZEPHRIN6_API ISerializable {
 public:
  /// The object's config text: a value enumeration gives "u_" and its number,
  /// a configuration group the runtime's text of every field. Never throws
  /// except where the implementing class documents it.
  virtual std::string Serialize() const = 0;

 protected:
  constexpr ISerializable() = default;
  constexpr ISerializable(const ISerializable&) = default;
  constexpr ISerializable& operator=(const ISerializable&) = default;
  ~ISerializable() = default;
};

}  // namespace kvor::zephrin6::signals
