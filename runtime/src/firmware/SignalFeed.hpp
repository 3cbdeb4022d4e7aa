#pragma once

// Which signals of one simulated device go to the signal store, and when: a
// signal is handed over at the step in which one of its frames falls (at its
// applied update frequency), and only when its value changed since it was
// last handed over, so that a 1 kHz simulation writes no more than the bus
// would carry. The frequencies are read from the signal store again whenever
// its frame schedule changes. Owned by the firmware service next to its
// device; not thread-safe.

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::firmware {

class SignalFeed {
 public:
  using Value = signals::SignalStore::ValueUpdate;

  /// The catalogue signals a device of `model` publishes itself: one entry
  /// per signal (the primary ID of a mode-dependent one), without the
  /// compliancy number, which the signal store serves.
  SignalFeed(uint32_t deviceHash, std::string_view model);

  /// Reads the applied update frequencies of the device's signals; every
  /// signal is handed over again at its next frame.
  void Reschedule(const signals::SignalStore& store);

  /// Makes every signal count as changed: the next collection hands it over
  /// whatever its value.
  void Invalidate() {
    for (Entry& entry : entries_) entry.written = false;
  }

  /// Appends to `batch` every signal with a frame in [t, t + step) whose
  /// value changed. `valueOf(id, reportedId)` returns a signal's value.
  template <class ValueOf>
  void Collect(double t, double step, ValueOf valueOf, std::vector<Value>& batch);
  /// Appends every signal (the device's first publication).
  template <class ValueOf>
  void CollectAll(ValueOf valueOf, std::vector<Value>& batch);

 private:
  struct Entry {
    uint16_t id = 0;
    double last = 0.0;
    uint16_t lastReported = 0;
    bool written = false;
  };
  struct Group {
    double hz = 0.0;
    std::vector<uint32_t> members;  // indices into entries_
    // The group's first frame at or after the step time `checked`, as a
    // frame index: no step from `checked` on sends a frame before it, so a
    // step that ends before it needs no rounding.
    double checked = std::numeric_limits<double>::infinity();
    double next = 0.0;
  };
  template <class ValueOf>
  void Offer(Entry& entry, ValueOf& valueOf, std::vector<Value>& batch);

  uint32_t hash_;
  std::vector<Entry> entries_;
  std::vector<Group> groups_;
};

template <class ValueOf>
void SignalFeed::Offer(Entry& entry, ValueOf& valueOf, std::vector<Value>& batch) {
  uint16_t reported = entry.id;
  const double value = valueOf(entry.id, reported);
  if (entry.written && value == entry.last && reported == entry.lastReported) return;
  entry.written = true;
  entry.last = value;
  entry.lastReported = reported;
  batch.push_back(Value{entry.id, value, reported == entry.id ? uint16_t{0} : reported});
}

template <class ValueOf>
void SignalFeed::Collect(double t, double step, ValueOf valueOf, std::vector<Value>& batch) {
  for (Group& group : groups_) {
    const double end = (t + step) * group.hz - 1e-9;
    if (t >= group.checked && end <= group.next) continue;
    // The first frame at or after t, with the signal store's tolerance.
    const double first = std::ceil(t * group.hz - 1e-9);
    group.checked = t;
    group.next = first;
    if (first >= end) continue;
    for (uint32_t i : group.members) Offer(entries_[i], valueOf, batch);
  }
}

template <class ValueOf>
void SignalFeed::CollectAll(ValueOf valueOf, std::vector<Value>& batch) {
  for (Entry& entry : entries_) Offer(entry, valueOf, batch);
}

}  // namespace kvor::zephrin::runtime::firmware
