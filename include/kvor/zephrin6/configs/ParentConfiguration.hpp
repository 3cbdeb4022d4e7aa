#pragma once

// ParentConfiguration is the interface of every configuration group and
// whole-device configuration: a value that turns itself into the runtime's
// config text (Serialize), reads itself back from such text (Deserialize) and
// prints itself for people (ToString). It owns nothing; groups are plain
// values passed by reference to the configurators. The destructor is
// protected and not virtual because nothing is deleted through this
// interface. Not synchronised: a group shared between threads needs the
// caller's lock.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/signals/ISerializable.hpp>

#include <iosfwd>
#include <string>

namespace kvor::zephrin6::configs {

class ZEPHRIN6_API ParentConfiguration : public signals::ISerializable {
 public:
  /// A readable multi-line text: a header line, then one line per field with
  /// its value and unit.
  virtual std::string ToString() const = 0;
  /// Reads the fields present in `text` (config text as Serialize produces
  /// or a configurator's Refresh receives); absent fields keep their values.
  /// Returns OK.
  virtual kvor::zephrin::StatusCode Deserialize(const std::string& text) = 0;

 protected:
  ParentConfiguration() = default;
  ParentConfiguration(const ParentConfiguration&) = default;
  ParentConfiguration& operator=(const ParentConfiguration&) = default;
  ~ParentConfiguration() = default;
};

/// Writes `config.ToString()` to `os`.
ZEPHRIN6_API std::ostream& operator<<(std::ostream& os, const ParentConfiguration& config);

}  // namespace kvor::zephrin6::configs
