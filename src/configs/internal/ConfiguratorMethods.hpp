#pragma once

// The configurators' operations all have one of three shapes, so their
// generated sources define them with one line each: every Apply and Refresh
// ends in ParentConfigurator::ApplyConfig or RefreshConfig, every action in
// SendAction, and each form without a timeout calls the one with the default
// timeout. Internal to the library.

#include <kvor/zephrin/StatusCodes.hpp>

#include <units.h>

#include "configs/internal/ConfigIds.hpp"

/// Apply and Refresh of `Configs`, each with and without a timeout.
#define KVOR_CONFIGURATOR_APPLY_REFRESH(Configurator, Configs)                                                       \
  kvor::zephrin::StatusCode Configurator::Apply(const Configs& configs, units::time::second_t timeoutSeconds) const { \
    return ApplyConfig(configs, timeoutSeconds);                                                                      \
  }                                                                                                                   \
  kvor::zephrin::StatusCode Configurator::Apply(const Configs& configs) const {                                       \
    return ApplyConfig(configs, DefaultTimeout());                                                                    \
  }                                                                                                                   \
  kvor::zephrin::StatusCode Configurator::Refresh(Configs& configs, units::time::second_t timeoutSeconds) const {      \
    return RefreshConfig(configs, timeoutSeconds);                                                                    \
  }                                                                                                                   \
  kvor::zephrin::StatusCode Configurator::Refresh(Configs& configs) const {                                           \
    return RefreshConfig(configs, DefaultTimeout());                                                                  \
  }

/// An action that sends `newValue` (a `Quantity`, in its unit) under the
/// config ID `configId`, with and without a timeout.
#define KVOR_CONFIGURATOR_SET(Configurator, Method, Quantity, configId)                                        \
  kvor::zephrin::StatusCode Configurator::Method(Quantity newValue, units::time::second_t timeoutSeconds) const { \
    return SendAction(configId, newValue.value(), timeoutSeconds);                                            \
  }                                                                                                           \
  kvor::zephrin::StatusCode Configurator::Method(Quantity newValue) const {                                   \
    return Method(newValue, DefaultTimeout());                                                                \
  }

/// A clear that sends 0 under the config ID named like the operation
/// (ids::ClearStickyFaults, ids::ClearStickyFault_Hardware, ...), with and
/// without a timeout.
#define KVOR_CONFIGURATOR_CLEAR(Configurator, Method)                                              \
  kvor::zephrin::StatusCode Configurator::Method(units::time::second_t timeoutSeconds) const {     \
    return SendAction(ids::Method, 0.0, timeoutSeconds);                                           \
  }                                                                                                \
  kvor::zephrin::StatusCode Configurator::Method() const { return Method(DefaultTimeout()); }
