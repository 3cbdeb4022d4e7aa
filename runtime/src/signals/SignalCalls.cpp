// The signal entry points of the runtime: reads and update frequencies, all
// served by the signal store.

#include <kvor/zephrin/platform/Signals.hpp>

#include <string_view>

#include "core/Runtime.hpp"
#include "core/Status.hpp"
#include "signals/SignalStore.hpp"

namespace rt = kvor::zephrin::runtime;
namespace platform = kvor::zephrin::platform;

namespace {
std::string_view Text(const char* text) { return text != nullptr ? std::string_view(text) : std::string_view(); }
}  // namespace

extern "C" int c_kvor_zephrin6_get_signal(size_t count, const uint64_t* keys, platform::SignalMeasurement* records,
                                          const char* network, bool waitForUpdate, double timeoutSeconds) {
  if (count == 0) return rt::kOK;
  if (keys == nullptr || records == nullptr) return rt::kInvalidParamValue;
  return rt::Runtime::Acquire()->Signals().Read({keys, count}, records, Text(network), waitForUpdate, timeoutSeconds);
}

extern "C" int c_kvor_zephrin6_SetUpdateFrequency(int /*context*/, const char* network, uint32_t deviceHash,
                                                  uint16_t signalId, double frequencyHz, double /*timeoutSeconds*/) {
  return rt::Runtime::Acquire()->Signals().SetFrequency(Text(network), deviceHash, signalId, frequencyHz);
}

extern "C" int c_kvor_zephrin6_SetUpdateFrequencyForAll(int /*context*/, const platform::SignalFrequencyEntry* entries,
                                                        size_t count, double frequencyHz, double /*timeoutSeconds*/) {
  if (count == 0) return rt::kOK;
  if (entries == nullptr) return rt::kInvalidParamValue;
  auto runtime = rt::Runtime::Acquire();
  int first = rt::kOK;
  for (size_t i = 0; i < count; ++i) {
    int status = runtime->Signals().SetFrequency(Text(entries[i].network), platform::SignalKeyDeviceHash(entries[i].key),
                                                 platform::SignalKeySignalId(entries[i].key), frequencyHz);
    if (first == rt::kOK) first = status;
  }
  return first;
}

extern "C" double c_kvor_zephrin6_GetUpdateFrequency(const char* /*network*/, uint32_t deviceHash, uint16_t signalId) {
  return rt::Runtime::Acquire()->Signals().AppliedFrequency(deviceHash, signalId);
}

extern "C" int c_kvor_zephrin6_OptimizeUpdateFrequencies(int /*context*/, const char* network, uint32_t deviceHash,
                                                         double optimizedFreqHz, double /*timeoutSeconds*/) {
  return rt::Runtime::Acquire()->Signals().OptimizeFrequencies(Text(network), deviceHash, optimizedFreqHz);
}

extern "C" int c_kvor_zephrin6_ResetUpdateFrequencies(int /*context*/, const char* network, uint32_t deviceHash,
                                                      double /*timeoutSeconds*/) {
  return rt::Runtime::Acquire()->Signals().ResetFrequencies(Text(network), deviceHash);
}
