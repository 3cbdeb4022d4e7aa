#pragma once

// CommonRapaxWithFOC is a motor controller with an integrated motor that it
// commutates field-oriented: everything of CommonRapax plus torque-current
// requests (SupportsFOC) and music tones (SupportsMusic). It is a pure
// interface implemented by the device classes, which are not copyable: take
// it by reference. Thread safety is the device's.

#include <kvor/zephrin6/hardware/traits/CommonRapax.hpp>
#include <kvor/zephrin6/hardware/traits/SupportsFOC.hpp>
#include <kvor/zephrin6/hardware/traits/SupportsMusic.hpp>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::hardware::traits {

class ZEPHRIN6_API CommonRapaxWithFOC : public CommonRapax, public SupportsFOC, public SupportsMusic {
 public:
  ~CommonRapaxWithFOC() override = default;
};

}  // namespace kvor::zephrin6::hardware::traits
