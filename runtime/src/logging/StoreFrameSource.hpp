#pragma once

// The logger's default frame source: the frames the signal store's
// simulated bus carries.

#include <memory>

#include "logging/FrameSource.hpp"

namespace kvor::zephrin::runtime::signals {
class SignalStore;
}

namespace kvor::zephrin::runtime::logging {

/// A FrameSource over `store`, which must outlive it.
std::shared_ptr<FrameSource> MakeStoreFrameSource(const signals::SignalStore& store);

}  // namespace kvor::zephrin::runtime::logging
