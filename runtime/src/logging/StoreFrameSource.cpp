#include "logging/StoreFrameSource.hpp"

namespace kvor::zephrin::runtime::logging {

// The signal store does not enumerate its frames yet: logs hold user signals
// only until it does.
std::shared_ptr<FrameSource> MakeStoreFrameSource() { return nullptr; }

}  // namespace kvor::zephrin::runtime::logging
