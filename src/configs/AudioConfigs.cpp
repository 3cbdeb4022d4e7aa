#include <kvor/zephrin6/configs/AudioConfigs.hpp>

#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::configs {
namespace {

// The fields in order with their config IDs and printed units.
template <class Group, class Visitor>
void VisitFields(Group& c, Visitor& v) {
  v(ids::Audio_BeepOnBoot, "BeepOnBoot", c.BeepOnBoot);
  v(ids::Audio_BeepOnConfig, "BeepOnConfig", c.BeepOnConfig);
  v(ids::Audio_AllowMusicDuringDisable, "AllowMusicDuringDisable", c.AllowMusicDuringDisable);
}

}  // namespace

KVOR_CONFIG_GROUP_METHODS(AudioConfigs, "Audio")

}  // namespace kvor::zephrin6::configs
