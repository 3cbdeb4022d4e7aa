#include <kvor/zephrin6/configs/RapaxQConfigurator.hpp>

#include "configs/internal/ConfigIds.hpp"

namespace kvor::zephrin6::configs {

using kvor::zephrin::StatusCode;

StatusCode RapaxQConfigurator::Apply(const RapaxQConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const RapaxQConfiguration& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(RapaxQConfiguration& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(RapaxQConfiguration& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const TorqueCurrentConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const TorqueCurrentConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(TorqueCurrentConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(TorqueCurrentConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

StatusCode RapaxQConfigurator::Apply(const FeedbackConfigs& configs, units::time::second_t timeoutSeconds) const {
  return ApplyConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Apply(const FeedbackConfigs& configs) const {
  return ApplyConfig(configs, DefaultTimeout());
}
StatusCode RapaxQConfigurator::Refresh(FeedbackConfigs& configs, units::time::second_t timeoutSeconds) const {
  return RefreshConfig(configs, timeoutSeconds);
}
StatusCode RapaxQConfigurator::Refresh(FeedbackConfigs& configs) const {
  return RefreshConfig(configs, DefaultTimeout());
}

}  // namespace kvor::zephrin6::configs
