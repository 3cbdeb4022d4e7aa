#pragma once

// TimeInterpolatableBuffer keeps the recent history of robot poses with their
// timestamps (seconds, on the runtime's time base) so that a delayed
// measurement can be compared with where the robot thought it was at the
// measurement's time. Entries older than the history size, counted back from
// the newest sample added, are dropped. Storage is a ring that grows to fit
// the history and is then reused, so a steady stream of samples costs no
// allocation and dropping the oldest entry moves nothing. The buffer owns
// its entries and its interpolation function; it is not thread-safe.

#include <kvor/zephrin6/swerve/Pose2d.hpp>

#include <units.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6::swerve::impl {

class ZEPHRIN6_API TimeInterpolatableBuffer {
 public:
  /// Blends a fraction (0..1) of the way from the first pose to the second.
  using InterpolateFunction = std::function<Pose2d(const Pose2d& start, const Pose2d& end, double fraction)>;

  /// One recorded pose.
  struct Entry {
    /// When the pose was measured, seconds.
    units::time::second_t time{0.0};
    Pose2d pose;
  };

  /// An empty buffer that keeps `historySize` seconds of samples and samples
  /// between entries with `interpolate` (Interpolate of Pose2d.hpp when not
  /// given). Sampling between entries with an empty function throws
  /// std::bad_function_call.
  explicit TimeInterpolatableBuffer(units::time::second_t historySize, InterpolateFunction interpolate = &Interpolate);

  /// Records `pose` at `time` (seconds). Samples may arrive out of order: an
  /// older one is inserted in time order, and one with exactly the time of an
  /// existing entry replaces that entry's pose, except against the very first
  /// entry, where it is inserted after it. Afterwards every entry more than
  /// the history size older than `time` is dropped. Allocates only while the
  /// buffer grows to its working size.
  void AddSample(units::time::second_t time, const Pose2d& pose);

  /// Forgets every entry (the storage is kept for reuse).
  void Clear() noexcept;

  /// The pose at `time`, interpolated between the two entries around it and
  /// clamped to the first and last entries outside the recorded span; empty
  /// when the buffer is. Throws std::bad_function_call when interpolation is
  /// needed and no function was given.
  std::optional<Pose2d> Sample(units::time::second_t time) const;

  /// Whether there are no entries.
  bool Empty() const noexcept { return m_size == 0; }
  /// Number of entries.
  std::size_t Size() const noexcept { return m_size; }
  /// The `index`-th entry, oldest first; `index` must be below Size().
  const Entry& operator[](std::size_t index) const noexcept { return At(index); }
  /// The oldest entry; the buffer must not be empty.
  const Entry& Front() const noexcept { return At(0); }
  /// The newest entry; the buffer must not be empty.
  const Entry& Back() const noexcept { return At(m_size - 1); }
  /// The history size, seconds.
  units::time::second_t HistorySize() const noexcept { return units::time::second_t{m_historySize}; }

 private:
  const Entry& At(std::size_t index) const noexcept { return m_ring[(m_head + index) & (m_ring.size() - 1)]; }
  Entry& At(std::size_t index) noexcept { return m_ring[(m_head + index) & (m_ring.size() - 1)]; }
  /// Index of the first entry for which `before(entry time)` is false.
  template <class Predicate>
  std::size_t PartitionPoint(Predicate before) const noexcept;
  void Insert(std::size_t index, const Entry& entry);
  void Grow();

  double m_historySize;
  InterpolateFunction m_interpolate;
  /// Ring storage; its size is zero or a power of two.
  std::vector<Entry> m_ring;
  std::size_t m_head = 0;
  std::size_t m_size = 0;
};

}  // namespace kvor::zephrin6::swerve::impl
