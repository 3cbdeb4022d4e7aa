#include <kvor/zephrin/platform/ControlRequests.hpp>

#include "controls/ControlRecorder.hpp"

extern "C" int c_kvor_zephrin6_RequestControlEmpty(const char* network, std::uint32_t deviceHash,
                                                   double updateFreqHz) {
  return kvor::zephrin::runtime::ControlRecorder::Instance().Record("c_kvor_zephrin6_RequestControlEmpty", network,
                                                                    deviceHash, {updateFreqHz});
}
