#pragma once

// CommonRapax is what every motor controller of the library offers: the shared
// controls (HasRapaxControls) and the shared status signals with position
// setting and sticky-fault clearing (HasRapaxSignals). Write code against it
// to drive either model. It is a pure interface implemented by the device
// classes, which are not copyable: take it by reference. Thread safety is the
// device's.

#include <kvor/zephrin6/hardware/traits/HasRapaxControls.hpp>
#include <kvor/zephrin6/hardware/traits/HasRapaxSignals.hpp>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::hardware::traits {

class ZEPHRIN6_API CommonRapax : public HasRapaxControls, public HasRapaxSignals {
 public:
  ~CommonRapax() override = default;
};

}  // namespace kvor::zephrin6::hardware::traits
