#pragma once

// The copy rule every request follows when it is sent: the device's
// last-control slot ends up equal to the request, allocating only when the
// slot held another type of request before. Re-sending the same type every
// loop iteration therefore costs one assignment and no allocation.

#include <kvor/zephrin6/controls/ControlRequest.hpp>

#include <memory>

namespace kvor::zephrin6::controls::internal {

/// Makes `slot` hold a copy of `request`: nothing happens when the slot holds
/// `request` itself, a request of type T is assigned in place, anything else
/// is replaced by a new shared copy.
/// @throws std::bad_alloc when the new copy cannot be allocated.
template <class T>
void StoreLastControl(const T& request, std::shared_ptr<ControlRequest>& slot) {
  if (slot.get() == &request) return;
  if (auto* same = dynamic_cast<T*>(slot.get())) {
    *same = request;
    return;
  }
  slot = std::make_shared<T>(request);
}

}  // namespace kvor::zephrin6::controls::internal
