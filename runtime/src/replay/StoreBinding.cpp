#include "replay/StoreBinding.hpp"

#include <limits>

#include "replay/ReplayIndex.hpp"
#include "signals/ReplaySampleSource.hpp"
#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::replay {
namespace {

// Serves the store's reads from the loaded log. Called with the store's lock
// held: it only searches the immutable index and allocates nothing.
class IndexSampleSource final : public signals::ReplaySampleSource {
 public:
  explicit IndexSampleSource(std::shared_ptr<const ReplayIndex> index) : index_(std::move(index)) {}

  bool Latest(uint64_t key, double timeSeconds, platform::SignalMeasurement& out, double& sampleTime) const override {
    const wisp::FrameValue* frame = index_->Latest(key, timeSeconds);
    if (frame == nullptr) return false;
    out = platform::SignalMeasurement{};
    out.value = frame->value;
    out.reportedId = frame->reportedId;
    out.bustrelTime = frame->bustrelTime;
    out.systemTime = frame->systemTime;
    out.deviceTime = frame->deviceTime;
    out.status = frame->status;
    sampleTime = frame->systemTime;
    return true;
  }

  double NextSampleTime(uint64_t key, double timeSeconds) const override {
    double next = 0.0;
    return index_->NextAfter(key, timeSeconds, next) ? next : std::numeric_limits<double>::infinity();
  }

 private:
  std::shared_ptr<const ReplayIndex> index_;
};

}  // namespace

void BindSignalStore(std::shared_ptr<const ReplayIndex> index) {
  signals::SignalStore::Instance().SetReplaySource(std::make_shared<IndexSampleSource>(std::move(index)));
}

void UnbindSignalStore() { signals::SignalStore::Instance().SetReplaySource(nullptr); }

}  // namespace kvor::zephrin::runtime::replay
