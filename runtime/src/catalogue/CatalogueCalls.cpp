// c_kvor_zephrin6_get_rets: signal properties straight from the catalogue.

#include <kvor/zephrin/platform/Signals.hpp>

#include "catalogue/SignalCatalogue.hpp"
#include "core/Status.hpp"

namespace rt = kvor::zephrin::runtime;
namespace catalogue = kvor::zephrin::runtime::catalogue;
namespace platform = kvor::zephrin::platform;

extern "C" int c_kvor_zephrin6_get_rets(uint16_t signalId, int /*selector*/, platform::SignalProperties* properties) {
  if (properties == nullptr) return rt::kInvalidParamValue;
  const auto* entry = catalogue::FindSignal(signalId);
  if (entry == nullptr) return rt::kSignalLookupFailed;
  properties->name = entry->name;
  properties->defaultFrequencyHz = entry->defaultHz;
  properties->units = entry->units;
  properties->valueType = entry->valueType;
  properties->primaryId = entry->primaryId;
  properties->reportOnConstruction = entry->reportOnConstruction ? 1 : 0;
  return rt::kOK;
}
