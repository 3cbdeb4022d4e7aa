#include <kvor/zephrin6/controls/EmptyControl.hpp>

#include <kvor/zephrin/platform/ControlRequests.hpp>

#include "controls/internal/LastControl.hpp"

namespace kvor::zephrin6::controls {

kvor::zephrin::StatusCode EmptyControl::SendRequest(const char* network, std::uint32_t deviceHash,
                                                    std::shared_ptr<ControlRequest>& req) const {
  internal::StoreLastControl(*this, req);
  return c_kvor_zephrin6_RequestControlEmpty(network, deviceHash, 0.0);
}

std::map<std::string, std::string> EmptyControl::GetControlInfo() const { return {{"Name", name}}; }

std::string EmptyControl::ToString() const { return "class: EmptyControl\n"; }

}  // namespace kvor::zephrin6::controls
