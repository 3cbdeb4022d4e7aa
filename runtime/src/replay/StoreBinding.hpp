#pragma once

// Connects a loaded log to the signal store: while bound, the store serves
// device signals from the index at the replay time instead of simulating
// them. Kept apart from the engine so that the engine does not depend on the
// store's headers. Called by the ReplayEngine only, under its load lock.

#include <memory>

namespace kvor::zephrin::runtime::replay {

class ReplayIndex;

/// Makes the store serve device signals from `index` at the runtime's
/// current time (the replay clock while a log is loaded).
void BindSignalStore(std::shared_ptr<const ReplayIndex> index);
/// Returns the store to simulation.
void UnbindSignalStore();

}  // namespace kvor::zephrin::runtime::replay
