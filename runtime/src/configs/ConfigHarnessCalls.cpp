#include <kvor/zephrin/runtime/harness/Configs.hpp>

#include "configs/ConfigStore.hpp"
#include "configs/ConfigText.hpp"
#include "core/Runtime.hpp"

namespace kvor::zephrin::runtime::harness {

std::string StoredConfigText(uint32_t deviceHash) { return Runtime::Acquire()->Configs().StoredText(deviceHash); }

std::optional<double> StoredConfigValue(uint32_t deviceHash, int configId) {
  auto piece = configs::FindLast(StoredConfigText(deviceHash), configId);
  return piece ? std::optional<double>(piece->asDouble) : std::nullopt;
}

std::vector<ConfigCall> ConfigCalls(uint32_t deviceHash) {
  std::vector<ConfigCall> calls;
  for (const auto& c : Runtime::Acquire()->Configs().Calls(deviceHash)) {
    calls.push_back({c.isSet, c.text, c.timeoutSeconds, c.firstFlag, c.actionFlag, c.status});
  }
  return calls;
}

void FailNextConfigCalls(uint32_t deviceHash, int count, int status) {
  Runtime::Acquire()->Configs().InjectFailures(deviceHash, count, status);
}

}  // namespace kvor::zephrin::runtime::harness
