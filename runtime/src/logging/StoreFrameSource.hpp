#pragma once

// The logger's default frame source: the frames the signal store's
// simulated bus carries.

#include <memory>

#include "logging/FrameSource.hpp"

namespace kvor::zephrin::runtime::logging {

/// A FrameSource over the runtime's signal store.
std::shared_ptr<FrameSource> MakeStoreFrameSource();

}  // namespace kvor::zephrin::runtime::logging
