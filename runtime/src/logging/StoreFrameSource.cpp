#include "logging/StoreFrameSource.hpp"

#include <kvor/zephrin/platform/Signals.hpp>

#include "catalogue/SignalCatalogue.hpp"
#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::logging {
namespace {

// Records what the signal store's simulated bus carries: every signal of
// every present device at its applied frequency, and harness-published
// samples. While a log is replayed the store carries nothing of its own.
class StoreFrameSource final : public FrameSource {
 public:
  explicit StoreFrameSource(const signals::SignalStore& store) : store_(store) {}

  void CollectFrames(double after, double upTo, const std::function<void(const BusFrame&)>& sink) override {
    store_.ForEachFrame(after, upTo, [&](const signals::SignalStore::BusFrame& bus) {
      const auto& m = bus.measurement;
      BusFrame frame;
      frame.frame.deviceHash = platform::SignalKeyDeviceHash(bus.key);
      frame.frame.signalId = platform::SignalKeySignalId(bus.key);
      frame.frame.value = {m.value, m.systemTime, m.bustrelTime, m.deviceTime, m.status, m.reportedId};
      frame.bus = bus.bus;
      frame.model = bus.model;
      frame.deviceId = bus.deviceId;
      sink(frame);
    });
  }

  wisp::SignalDefinition Describe(uint16_t signalId) override {
    wisp::SignalDefinition definition{signalId, {}, {}};
    if (const catalogue::CatalogueEntry* entry = catalogue::FindSignal(signalId)) {
      definition.name = entry->name;
      definition.units = entry->units;
    }
    return definition;
  }

 private:
  const signals::SignalStore& store_;
};

}  // namespace

std::shared_ptr<FrameSource> MakeStoreFrameSource(const signals::SignalStore& store) {
  return std::make_shared<StoreFrameSource>(store);
}

}  // namespace kvor::zephrin::runtime::logging
