#pragma once

// The shared status values under short names for the config service
// (configs::kRxTimeout, ...), taken from the one status table.

#include <cstdint>

namespace kvor::zephrin::runtime::configs {

enum Status : int32_t {
#define KVOR_STATUS_CODE(value, name, description) k##name = value,
#include <kvor/zephrin/platform/StatusCodes.def>
#undef KVOR_STATUS_CODE
};

}  // namespace kvor::zephrin::runtime::configs
