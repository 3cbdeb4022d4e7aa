#pragma once

// A FrameSource for tests: a fixed set of signals, each carrying frame k at
// k / hz seconds with value k * scale, so a test knows exactly which frames a
// log must hold.

#include <cmath>
#include <vector>

#include "logging/FrameSource.hpp"

namespace zephrin_test {

class ScriptedFrameSource : public kvor::zephrin::runtime::logging::FrameSource {
 public:
  struct Signal {
    uint32_t deviceHash;
    uint16_t signalId;
    double hz;
    double scale = 1.0;
  };
  explicit ScriptedFrameSource(std::vector<Signal> signals) : signals_(std::move(signals)) {}

  void CollectFrames(double after, double upTo,
                     const std::function<void(const kvor::zephrin::runtime::logging::BusFrame&)>& sink) override {
    for (const auto& s : signals_) {
      for (auto k = static_cast<int64_t>(std::floor(after * s.hz)) + 1; k / s.hz <= upTo; ++k) {
        kvor::zephrin::runtime::logging::BusFrame bus;
        bus.frame.deviceHash = s.deviceHash;
        bus.frame.signalId = s.signalId;
        const double t = k / s.hz;
        bus.frame.value = {double(k) * s.scale, t, t - 0.0005, t - 0.001, 0, s.signalId};
        bus.bus = "drivebus";
        bus.model = "rapax q";
        bus.deviceId = static_cast<int32_t>(s.deviceHash & 0x3F);
        sink(bus);
      }
    }
  }

  kvor::zephrin::runtime::wisp::SignalDefinition Describe(uint16_t signalId) override {
    return {signalId, "Signal" + std::to_string(signalId), "turns"};
  }

 private:
  std::vector<Signal> signals_;
};

}  // namespace zephrin_test
