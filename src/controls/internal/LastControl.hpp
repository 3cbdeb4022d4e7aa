#pragma once

// The copy rule every request follows when it is sent: the device's
// last-control slot ends up equal to the request. The slot's object is
// assigned in place only when the slot is its sole owner; an object that
// anyone else holds (a snapshot handed out by the device) is left as it is
// and the slot gets a new copy. Re-sending the same type every loop
// iteration therefore costs one assignment and no allocation, and nobody
// ever sees a request they hold change under them.

#include <kvor/zephrin6/controls/ControlRequest.hpp>

#include <memory>
#include <typeinfo>

namespace kvor::zephrin6::controls::internal {

/// StoreLastControl's rarer cases, kept out of line so that the common one
/// stays small enough to be inlined into every send.
template <class T>
[[gnu::noinline]] void ReplaceLastControl(const T& request, std::shared_ptr<ControlRequest>& slot) {
  if (slot.use_count() == 1 && slot.get() != nullptr) {
    if (auto* same = dynamic_cast<T*>(slot.get())) {
      *same = request;
      return;
    }
  }
  slot = std::make_shared<T>(request);
}

/// Makes `slot` hold a copy of `request`: nothing happens when the slot holds
/// `request` itself, a request of type T that only the slot owns is assigned
/// in place, anything else is replaced by a new shared copy. The caller
/// guards the slot (the device's control lock) and keeps its own reference
/// to any object it lent out for as long as another thread may read it, so
/// that a use count of 1 really means nobody else looks at the object.
/// @throws std::bad_alloc when the new copy cannot be allocated.
template <class T>
inline void StoreLastControl(const T& request, std::shared_ptr<ControlRequest>& slot) {
  ControlRequest* held = slot.get();
  if (held == &request) return;
  // The exact type, as a loop sends it, is told without dynamic_cast.
  if (held != nullptr && slot.use_count() == 1 && typeid(*held) == typeid(T)) {
    *static_cast<T*>(held) = request;
    return;
  }
  ReplaceLastControl(request, slot);
}

}  // namespace kvor::zephrin6::controls::internal
