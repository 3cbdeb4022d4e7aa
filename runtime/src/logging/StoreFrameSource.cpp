#include "logging/StoreFrameSource.hpp"

#include <kvor/zephrin/platform/Signals.hpp>

#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::logging {
namespace {

// Records what the signal store's simulated bus carries: every signal of
// every present device at its applied frequency, and harness-published
// samples. While a log is replayed the store carries nothing of its own.
class StoreFrameSource final : public FrameSource {
 public:
  void CollectFrames(double after, double upTo, const std::function<void(const BusFrame&)>& sink) override {
    signals::SignalStore::Instance().ForEachFrame(after, upTo, [&](const signals::SignalStore::BusFrame& bus) {
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
    platform::SignalProperties properties{};
    wisp::SignalDefinition definition{signalId, {}, {}};
    if (c_kvor_zephrin6_get_rets(signalId, platform::kSignalPropertyUnits, &properties) == 0) {
      if (properties.name != nullptr) definition.name = properties.name;
      if (properties.units != nullptr) definition.units = properties.units;
    }
    return definition;
  }
};

}  // namespace

std::shared_ptr<FrameSource> MakeStoreFrameSource() { return std::make_shared<StoreFrameSource>(); }

}  // namespace kvor::zephrin::runtime::logging
