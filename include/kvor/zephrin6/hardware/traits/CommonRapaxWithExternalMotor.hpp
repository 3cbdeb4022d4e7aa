#pragma once

// CommonRapaxWithExternalMotor is a motor controller that drives an external
// motor: everything of CommonRapax plus the external motor's signals, faults
// and clearers (HasExternalMotor). It is a pure interface implemented by the
// device classes, which are not copyable: take it by reference. Thread safety
// is the device's.

#include <kvor/zephrin6/hardware/traits/CommonRapax.hpp>
#include <kvor/zephrin6/hardware/traits/HasExternalMotor.hpp>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::hardware::traits {

class ZEPHRIN6_API CommonRapaxWithExternalMotor : public CommonRapax, public HasExternalMotor {
 public:
  ~CommonRapaxWithExternalMotor() override = default;
};

}  // namespace kvor::zephrin6::hardware::traits
