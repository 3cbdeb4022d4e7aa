#include "replay/StoreBinding.hpp"

#include "replay/ReplayClock.hpp"
#include "replay/ReplayIndex.hpp"

namespace kvor::zephrin::runtime::replay {

// The signal store has no replay hook yet; device signals keep being
// simulated while a log is loaded until it does.
void BindSignalStore(std::shared_ptr<const ReplayIndex> /*index*/, const ReplayClock& /*clock*/) {}
void UnbindSignalStore() {}

}  // namespace kvor::zephrin::runtime::replay
