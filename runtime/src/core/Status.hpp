#pragma once

// The shared status values under short names for the runtime's services
// (runtime::kRxTimeout, runtime::kInvalidParamValue, ...), taken from the one
// status table so that no value is typed twice.

#include <cstdint>

namespace kvor::zephrin::runtime {

enum Status : int32_t {
#define KVOR_STATUS_CODE(value, name, description) k##name = value,
#include <kvor/zephrin/platform/StatusCodes.def>
#undef KVOR_STATUS_CODE
};

}  // namespace kvor::zephrin::runtime
