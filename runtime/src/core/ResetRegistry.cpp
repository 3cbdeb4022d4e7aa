#include "core/ResetRegistry.hpp"

#include <mutex>
#include <vector>

namespace kvor::zephrin::runtime {
namespace {
struct Registry {
  std::mutex mutex;
  std::vector<std::function<void()>> hooks;
};
Registry& Instance() {
  static Registry registry;
  return registry;
}
}  // namespace

void RegisterReset(std::function<void()> hook) {
  auto& r = Instance();
  std::lock_guard lock(r.mutex);
  r.hooks.push_back(std::move(hook));
}

void ResetAll() {
  auto& r = Instance();
  std::vector<std::function<void()>> hooks;
  {
    std::lock_guard lock(r.mutex);
    hooks = r.hooks;
  }
  for (auto& hook : hooks) hook();
}

}  // namespace kvor::zephrin::runtime
