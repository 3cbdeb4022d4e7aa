#pragma once

// The runtime is built with hidden visibility: only its platform calls and
// its test harness carry ZEPHRIN_RUNTIME_API and are exported. Its services
// stay private, so another runtime honouring the same calls can stand in.

#define ZEPHRIN_RUNTIME_API __attribute__((visibility("default")))
