#include <kvor/zephrin6/swerve/impl/TimeInterpolatableBuffer.hpp>

#include <bit>
#include <utility>

namespace kvor::zephrin6::swerve::impl {

namespace {
// First ring size; the estimator's 1.5 s at 250 Hz settles at 512 entries.
constexpr std::size_t kInitialCapacity = 16;
static_assert(std::has_single_bit(kInitialCapacity), "At() masks indices into the ring, which Grow keeps a power of two");
}  // namespace

TimeInterpolatableBuffer::TimeInterpolatableBuffer(units::time::second_t historySize, InterpolateFunction interpolate)
    : m_historySize(historySize.value()), m_interpolate(std::move(interpolate)) {}

template <class Predicate>
std::size_t TimeInterpolatableBuffer::PartitionPoint(Predicate before) const noexcept {
  std::size_t low = 0;
  std::size_t count = m_size;
  while (count > 0) {
    const std::size_t half = count / 2;
    if (before(At(low + half).time.value())) {
      low += half + 1;
      count -= half + 1;
    } else {
      count = half;
    }
  }
  return low;
}

void TimeInterpolatableBuffer::Grow() {
  std::vector<Entry> larger(m_ring.empty() ? kInitialCapacity : 2 * m_ring.size());
  for (std::size_t i = 0; i < m_size; ++i) larger[i] = At(i);
  m_ring = std::move(larger);
  m_head = 0;
}

void TimeInterpolatableBuffer::Insert(std::size_t index, const Entry& entry) {
  if (m_size == m_ring.size()) Grow();
  // Out-of-order samples are rare and land near the end, so shifting the
  // tail by one is cheap in practice.
  for (std::size_t i = m_size; i > index; --i) At(i) = At(i - 1);
  At(index) = entry;
  ++m_size;
}

void TimeInterpolatableBuffer::AddSample(units::time::second_t time, const Pose2d& pose) {
  const double t = time.value();
  if (m_size == 0 || t > Back().time.value()) {
    Insert(m_size, Entry{time, pose});
  } else {
    const std::size_t later = PartitionPoint([t](double entryTime) { return entryTime <= t; });
    if (later == 0) {
      Insert(0, Entry{time, pose});
    } else if (later - 1 == 0 || At(later - 1).time.value() < t) {
      Insert(later, Entry{time, pose});
    } else {
      At(later - 1).pose = pose;
    }
  }
  while (m_size > 0 && t - Front().time.value() > m_historySize) {
    m_head = (m_head + 1) & (m_ring.size() - 1);
    --m_size;
  }
}

void TimeInterpolatableBuffer::Clear() noexcept {
  m_head = 0;
  m_size = 0;
}

std::optional<Pose2d> TimeInterpolatableBuffer::Sample(units::time::second_t time) const {
  if (m_size == 0) return std::nullopt;
  const double t = time.value();
  if (Front().time.value() >= t || m_size == 1) return Front().pose;
  if (t > Back().time.value()) return Back().pose;

  const std::size_t upperIndex = PartitionPoint([t](double entryTime) { return entryTime < t; });
  if (upperIndex == 0) return At(0).pose;
  const Entry& lower = At(upperIndex - 1);
  const Entry& upper = At(upperIndex);
  const double fraction = (t - lower.time.value()) / (upper.time.value() - lower.time.value());
  return m_interpolate(lower.pose, upper.pose, fraction);
}

}  // namespace kvor::zephrin6::swerve::impl
