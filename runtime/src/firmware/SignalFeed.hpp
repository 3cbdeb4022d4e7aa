#pragma once

// Which signals of one simulated device go to the signal store, and when: a
// signal is handed over at the step in which one of its frames falls (at its
// applied update frequency), and only when its value changed since it was
// last handed over, so that a 1 kHz simulation writes no more than the bus
// would carry. The frequencies are read from the signal store again whenever
// its frame schedule changes. Owned by the firmware service next to its
// device; not thread-safe.
//
// Reading the values. Most signals a motor sends every few steps follow its
// state (voltages, currents, position, the loop's terms); asking for each
// by ID would cost a dispatch per signal. A device may therefore place such
// signals in slots of one array that it fills in a single pass when any of
// them is due, and answer only the others (faults, constants) one by one.
// Either way the values are those of the device at the step, so where a
// signal's value comes from never changes what is handed over.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "signals/SignalStore.hpp"

namespace kvor::zephrin::runtime::firmware {

class SignalFeed {
 public:
  using Value = signals::SignalStore::ValueUpdate;
  /// The slot of a signal among those its device fills together, or -1.
  using SlotOf = int (*)(uint16_t signalId);
  /// Whether the device answers a signal alone without filling its slots.
  using AnswersAlone = bool (*)(uint16_t signalId);

  /// The catalogue signals a device of `model` publishes itself: one entry
  /// per signal (the primary ID of a mode-dependent one), without the
  /// compliancy number, which the signal store serves. `slotOf` places the
  /// signals the device fills together in an array of `slots` values (see
  /// Collect); without it every signal is answered on its own. A group due
  /// with only a few slotted signals, all of which `answersAlone` names,
  /// asks for them alone instead of filling every slot.
  SignalFeed(uint32_t deviceHash, std::string_view model, SlotOf slotOf = nullptr, int slots = 0,
             AnswersAlone answersAlone = nullptr);

  /// Reads the applied update frequencies of the device's signals; every
  /// signal is handed over again at its next frame.
  void Reschedule(const signals::SignalStore& store);

  /// Makes every signal count as changed: the next collection hands it over
  /// whatever its value.
  void Invalidate() {
    for (Entry& entry : entries_) entry.lastReported = kNeverHanded;
  }

  /// Appends to `batch` every signal with a frame in [t, t + step) whose
  /// value changed. `device.FillSlots(values, reportedIds)` writes every
  /// slot's value and the ID it is reported under where that is not the
  /// signal's own (called at most once per collection, and only when a
  /// signal with a slot is due);
  /// `device.Signal(id, reportedId)` returns the value of a signal without one.
  template <class Device>
  void Collect(double t, double step, const Device& device, std::vector<Value>& batch) {
    // Most steps fall in the quiet window: decided here, inline.
    if (t >= quietFrom_ && t + step < quietEnd_) return;
    CollectDue(t, step, device, batch);
  }
  /// Appends every signal (the device's first publication).
  template <class Device>
  void CollectAll(const Device& device, std::vector<Value>& batch);

 private:
  /// The reported ID of an entry not handed over since it was last
  /// invalidated: no signal is reported under ID 0, so any value differs.
  static constexpr uint16_t kNeverHanded = 0;
  struct Entry {
    uint16_t id = 0;
    int16_t slot = -1;  ///< where the device writes its value, or -1: asked alone
    bool cheapAlone = true;  ///< whether the device answers it alone without filling the slots
    uint16_t lastReported = kNeverHanded;
    double last = 0.0;
  };
  struct Group {
    double hz = 0.0;
    // The members, entries_[begin, end): each group's entries lie together,
    // in the catalogue's order, so that its loop walks them one after the
    // other.
    uint32_t begin = 0, end = 0;
    bool hasSlots = false;    // whether a member has a slot
    bool allSlotted = false;  // whether every member has one
    // Whether the members are asked alone unless the slots are filled
    // already: a few slotted members that the device answers alone cost
    // less than filling every slot (odometry's fast position and velocity).
    bool askAlone = false;
    // The group's first frame at or after the step time `checked`, as a
    // frame index: no step from `checked` on sends a frame before it, so a
    // step that ends before it needs no rounding.
    double checked = std::numeric_limits<double>::infinity();
    double next = 0.0;
    // A step that ends before this time skips the group (see QuietEnd).
    double quietEnd = -std::numeric_limits<double>::infinity();
  };
  /// The earliest step end at which the group's test finds frame `next`
  /// due: every step that ends before it skips the group.
  static double QuietEnd(double next, double hz);
  /// Hands `entry` over when its value or reported ID changed. Inline, the
  /// hand-over too: the batch keeps its storage from step to step, so
  /// appending is a few stores.
  [[gnu::always_inline]] void Offer(Entry& entry, double value, uint16_t reported, std::vector<Value>& batch) {
    if (value == entry.last && reported == entry.lastReported) return;
    entry.last = value;
    entry.lastReported = reported;
    batch.push_back(Value{entry.id, value, reported == entry.id ? uint16_t{0} : reported});
  }
  /// Offers `entry`, whose slot (if it has one) is filled. Always inlined
  /// into the loops over a group's members.
  template <class Device>
  [[gnu::always_inline]] void OfferEntry(Entry& entry, const Device& device, const double* values,
                                         const uint16_t* reportedIds, std::vector<Value>& batch);
  /// Offers `entry` as the device answers it alone.
  template <class Device>
  [[gnu::always_inline]] void OfferAlone(Entry& entry, const Device& device, std::vector<Value>& batch) {
    uint16_t reported = entry.id;
    const double value = device.Signal(entry.id, reported);
    Offer(entry, value, reported, batch);
  }
  template <class Device>
  [[gnu::noinline]] void CollectDue(double t, double step, const Device& device, std::vector<Value>& batch);

  /// Sets the group's state as seen from the time `from`: its first frame
  /// at or after it, most likely frame `guess` or the one after.
  static void LookFrom(Group& group, double from, double guess) {
    group.checked = from;
    group.next = CeilNear(from * group.hz - 1e-9, guess);
    group.quietEnd = QuietEnd(group.next, group.hz);
  }
  /// std::ceil(x), found without rounding when it is the whole number
  /// `guess` or the one after: a group's frames come one after another, so
  /// a due group nearly always finds the frame it waited for, then the
  /// next. Any other x (a clock set back, several frames in one step, NaN)
  /// is rounded. Beyond 2^53, where guess + 1 is guess again, the second
  /// test cannot hold and the first still bounds x to guess itself.
  static double CeilNear(double x, double guess) {
    if (x > guess - 1.0 && x <= guess) return guess;
    if (x > guess && x <= guess + 1.0) return guess + 1.0;
    return std::ceil(x);
  }
  /// Where in a step a due group looks for its next frame: far enough from
  /// the step's end that the next step's start (its end, rounded) is never
  /// before it.
  static constexpr double kNearlyWholeStep = 0.999;

  uint32_t hash_;
  /// The device's signals, grouped by frequency (see Group), then those it
  /// does not send.
  std::vector<Entry> entries_;
  /// Where in entries_ each signal is, in the catalogue's order.
  std::vector<uint32_t> catalogueOrder_;
  std::vector<Group> groups_;
  // Steps that start at or after quietFrom_ and end before quietEnd_ find
  // every group with nothing due and nothing to recompute (each would skip
  // as above), so a collection there returns at once instead of asking
  // every group.
  double quietFrom_ = std::numeric_limits<double>::infinity();
  double quietEnd_ = -std::numeric_limits<double>::infinity();
  // The slots' values and reported IDs of the collection in progress.
  std::vector<double> slotValues_;
  std::vector<uint16_t> slotReported_;
};

template <class Device>
inline void SignalFeed::OfferEntry(Entry& entry, const Device& device, const double* values,
                                   const uint16_t* reportedIds, std::vector<Value>& batch) {
  if (entry.slot < 0) {
    OfferAlone(entry, device, batch);
    return;
  }
  const auto slot = static_cast<size_t>(entry.slot);
  Offer(entry, values[slot], reportedIds[slot], batch);
}

template <class Device>
void SignalFeed::CollectDue(double t, double step, const Device& device, std::vector<Value>& batch) {
  bool filled = false;
  // The quiet window after this collection, from every group's state.
  double quietFrom = -std::numeric_limits<double>::infinity();
  double quietEnd = std::numeric_limits<double>::infinity();
  for (Group& group : groups_) {
    const double end = (t + step) * group.hz - 1e-9;
    bool due = false;
    if (t < group.checked || end > group.next) {
      // The first frame at or after t, with the signal store's tolerance:
      // usually the frame the group waits for.
      const double first = CeilNear(t * group.hz - 1e-9, group.next);
      if (first >= end) {
        group.checked = t;
        group.next = first;
        group.quietEnd = QuietEnd(first, group.hz);
      } else {
        // Due in this step. Its next frame is looked for from just before
        // the step's end already, so that the next step, which starts after
        // that, skips the group (and the whole feed) instead of looking
        // again.
        LookFrom(group, t + step * kNearlyWholeStep, first);
        due = true;
      }
    }
    quietFrom = std::max(quietFrom, group.checked);
    quietEnd = std::min(quietEnd, group.quietEnd);
    if (!due) continue;
    // Nothing here resizes the vectors: their storage is read through
    // pointers the compiler need not reload after each hand-over.
    Entry* const members = entries_.data() + group.begin;
    Entry* const membersEnd = entries_.data() + group.end;
    if (group.askAlone && !filled) {
      for (Entry* e = members; e != membersEnd; ++e) OfferAlone(*e, device, batch);
      continue;
    }
    if (group.hasSlots && !filled) {
      device.FillSlots(slotValues_.data(), slotReported_.data());
      filled = true;
    }
    const double* const values = slotValues_.data();
    const uint16_t* const reportedIds = slotReported_.data();
    if (group.allSlotted) {
      // The usual frame of state signals: each one's value is in its slot.
      for (Entry* e = members; e != membersEnd; ++e) {
        const auto slot = static_cast<size_t>(e->slot);
        Offer(*e, values[slot], reportedIds[slot], batch);
      }
      continue;
    }
    for (Entry* e = members; e != membersEnd; ++e) OfferEntry(*e, device, values, reportedIds, batch);
  }
  quietFrom_ = quietFrom;
  quietEnd_ = quietEnd;
}

template <class Device>
void SignalFeed::CollectAll(const Device& device, std::vector<Value>& batch) {
  device.FillSlots(slotValues_.data(), slotReported_.data());
  for (uint32_t i : catalogueOrder_) OfferEntry(entries_[i], device, slotValues_.data(), slotReported_.data(), batch);
}

}  // namespace kvor::zephrin::runtime::firmware
