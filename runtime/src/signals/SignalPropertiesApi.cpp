// c_kvor_zephrin6_get_rets: signal properties straight from the catalogue.

#include <kvor/zephrin/platform/Signals.hpp>

#include "signals/SignalCatalogue.hpp"
#include "signals/Status.hpp"

namespace rs = kvor::zephrin::runtime::signals;
namespace platform = kvor::zephrin::platform;

extern "C" int c_kvor_zephrin6_get_rets(uint16_t signalId, int /*selector*/, platform::SignalProperties* properties) {
  if (properties == nullptr) return rs::kInvalidParamValue;
  const auto* entry = rs::FindSignal(signalId);
  if (entry == nullptr) return rs::kSignalLookupFailed;
  properties->name = entry->name;
  properties->defaultFrequencyHz = entry->defaultHz;
  properties->units = entry->units;
  properties->valueType = entry->valueType;
  properties->primaryId = entry->primaryId;
  properties->reportOnConstruction = entry->reportOnConstruction ? 1 : 0;
  return rs::kOK;
}
