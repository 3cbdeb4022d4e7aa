#include <kvor/zephrin6/signals/SignalTimestamp.hpp>

#include <kvor/zephrin/platform/Time.hpp>

namespace kvor::zephrin6 {

units::time::second_t SignalTimestamp::GetLatency() const {
  return units::time::second_t{utils::GetCurrentTimeSeconds() - time_};
}

}  // namespace kvor::zephrin6
