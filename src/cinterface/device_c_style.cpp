// The generic C functions over every device class (device_c_style.h). The
// per-model and per-request code is generated (generated/DeviceTables.inc);
// what is written here is the look-ups by handle, ID and table position, the
// argument checks and the copying of signal records and config values.

#include <kvor/zephrin6/hardware/device_c_style.h>

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/configs/ParentConfigurator.hpp>
#include <kvor/zephrin6/controls/Controls.hpp>
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreDistix.hpp>
#include <kvor/zephrin6/hardware/core/CorePortis.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>
#include <kvor/zephrin6/mechanisms/DifferentialMechanism.hpp>
#include <kvor/zephrin6/mechanisms/SimpleDifferentialMechanism.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "cinterface/internal/ArgumentCheck.hpp"
#include "cinterface/internal/DeviceRegistry.hpp"
#include "cinterface/internal/RequestTable.hpp"
#include "configs/internal/ConfigFields.hpp"

namespace kvor::zephrin6::cinterface {

/// One getter of a model: looks the signal up (creating it on first use) and
/// reads it as `mode` says.
struct SignalEntry {
  int id;
  BaseStatusSignal& (*read)(hardware::ParentDevice& device, int mode, double timeout);
};

/// One device model: its text, how to build it and its getters by signal ID.
struct DeviceModel {
  const char* model;
  void (*make)(DeviceEntry& entry, int deviceId, const std::string& canbus);
  const SignalEntry* signals;
  std::size_t signalCount;
};

}  // namespace kvor::zephrin6::cinterface

namespace {

namespace hw = kvor::zephrin6::hardware::core;
namespace traits = kvor::zephrin6::hardware::traits;
namespace signals = kvor::zephrin6::signals;
namespace controls = kvor::zephrin6::controls;
namespace config_ids = kvor::zephrin6::configs::ids;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::BaseStatusSignal;
using kvor::zephrin6::StatusSignal;
using kvor::zephrin6::cinterface::ArgumentCheck;
using kvor::zephrin6::cinterface::DeviceEntry;
using kvor::zephrin6::cinterface::DeviceModel;
using kvor::zephrin6::cinterface::MechanismEntry;
using kvor::zephrin6::cinterface::RequestEntry;
using kvor::zephrin6::cinterface::SignalEntry;

/// One simulation-state method of a model: an input (`set`) or an output (`get`).
struct SimCallEntry {
  int model;  // index in kModels of the model whose simulation state has the method
  StatusCode (*set)(kvor::zephrin6::hardware::ParentDevice& device, double value);
  double (*get)(kvor::zephrin6::hardware::ParentDevice& device);
};

/// One configurator action of a model: the config ID its config text carries.
struct ActionEntry {
  int model;  // index in kModels of the model whose configurator has the action
  int configId;
};

template <class Device, class T, StatusSignal<T>& (Device::*Getter)(bool)>
BaseStatusSignal& ReadSignal(kvor::zephrin6::hardware::ParentDevice& device, int mode, double timeout) {
  StatusSignal<T>& signal = (static_cast<Device&>(device).*Getter)(mode == C_KVOR_ZEPHRIN6_SIGNAL_GET);
  if (mode == C_KVOR_ZEPHRIN6_SIGNAL_REFRESH) signal.Refresh();
  if (mode == C_KVOR_ZEPHRIN6_SIGNAL_WAIT) signal.WaitForUpdate(units::time::second_t{timeout});
  return signal;
}

template <class Device>
void MakeDevice(DeviceEntry& entry, int deviceId, const std::string& canbus) {
  auto device = std::make_unique<Device>(deviceId, canbus);
  entry.configurator = &device->GetConfigurator();
  if constexpr (std::is_base_of_v<traits::HasRapaxControls, Device>) entry.controls = device.get();
  if constexpr (std::is_base_of_v<traits::SupportsFOC, Device>) entry.foc = device.get();
  if constexpr (std::is_base_of_v<traits::SupportsMusic, Device>) entry.music = device.get();
  if constexpr (std::is_same_v<hw::CoreRapaxQ, Device>) entry.rapaxQ = device.get();
  entry.device = std::move(device);
}

/// An int field of a request from its double: the callers checked that it
/// is finite; out-of-range values are clamped rather than cast undefined.
int ToInt(double value) {
  constexpr double kLowest = std::numeric_limits<int>::min();
  constexpr double kHighest = std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp(value, kLowest, kHighest));
}

#include "cinterface/generated/DeviceTables.inc"

kvor::zephrin6::cinterface::DeviceRegistry& Registry() { return kvor::zephrin6::cinterface::DeviceRegistry::Instance(); }

const SignalEntry* FindSignal(const DeviceModel& model, int signalId) {
  const SignalEntry* end = model.signals + model.signalCount;
  const SignalEntry* it =
      std::lower_bound(model.signals, end, signalId, [](const SignalEntry& e, int id) { return e.id < id; });
  return it != end && it->id == signalId ? it : nullptr;
}

double TimeOrNaN(const kvor::zephrin6::SignalTimestamp& stamp) {
  return stamp.IsValid() ? stamp.GetTime().value() : std::numeric_limits<double>::quiet_NaN();
}

void WriteRecord(const BaseStatusSignal& signal, double* out) {
  const auto& stamps = signal.GetAllTimestamps();
  out[0] = signal.GetValueAsDouble();
  out[1] = TimeOrNaN(stamps.GetSystemTimestamp());
  out[2] = TimeOrNaN(stamps.GetBustrelTimestamp());
  out[3] = TimeOrNaN(stamps.GetDeviceTimestamp());
  out[4] = static_cast<double>(static_cast<int32_t>(signal.GetStatus()));
}

/// The device's signal `signalId` looked up without a read, or null.
BaseStatusSignal* Lookup(const DeviceEntry& entry, int signalId) {
  const SignalEntry* found = FindSignal(*entry.model, signalId);
  if (found == nullptr) return nullptr;
  std::atomic<BaseStatusSignal*>& slot = entry.looked[static_cast<std::size_t>(found - entry.model->signals)];
  BaseStatusSignal* signal = slot.load(std::memory_order_acquire);
  if (signal == nullptr) {
    // Two threads may both look it up: the device's cache gives both the same signal.
    signal = &found->read(*entry.device, C_KVOR_ZEPHRIN6_SIGNAL_CACHED, 0.0);
    slot.store(signal, std::memory_order_release);
  }
  return signal;
}

constexpr std::size_t kMaxBusName = 64;

}  // namespace

const RequestEntry* kvor::zephrin6::cinterface::FindRequest(int typeId, std::size_t fieldCount) {
  const bool known = typeId >= 0 && static_cast<std::size_t>(typeId) < std::size(kRequests);
  return known && kRequests[typeId].fieldCount + 1 == fieldCount ? &kRequests[typeId] : nullptr;
}

extern "C" {

int32_t c_kvor_zephrin6_device_create(int32_t model, int32_t deviceId, const char* canbus) {
  ArgumentCheck check(__func__);
  check.Require(model >= 0 && static_cast<std::size_t>(model) < std::size(kModels), "unknown model")
      .Require(canbus != nullptr && ::strnlen(canbus, kMaxBusName) < kMaxBusName,
               "the bus name is null or 64 characters or longer");
  if (!check.Passed()) return 0;
  auto entry = std::make_shared<DeviceEntry>();
  entry->model = &kModels[model];
  entry->looked = std::make_unique<std::atomic<BaseStatusSignal*>[]>(entry->model->signalCount);
  entry->model->make(*entry, deviceId, canbus);
  return Registry().Add(std::move(entry));
}

void c_kvor_zephrin6_device_destroy(int32_t handle) { Registry().Remove(handle); }

int32_t c_kvor_zephrin6_device_signal_read(int32_t handle, int32_t signalId, int32_t mode, double timeoutSeconds,
                                           double* out) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  if (entry == nullptr || out == nullptr) return StatusCode::InvalidParamValue;
  const SignalEntry* found = FindSignal(*entry->model, signalId);
  ArgumentCheck check(__func__);
  check.Require(found != nullptr, "the device has no signal of that ID")
      .Require(mode >= C_KVOR_ZEPHRIN6_SIGNAL_GET && mode <= C_KVOR_ZEPHRIN6_SIGNAL_CACHED, "unknown read mode")
      .Finite("timeoutSeconds", timeoutSeconds);
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  const BaseStatusSignal& signal = found->read(*entry->device, mode, timeoutSeconds);
  WriteRecord(signal, out);
  return signal.GetStatus();
}

int32_t c_kvor_zephrin6_device_signals_read_all(const int32_t* handles, const int32_t* signalIds, size_t count,
                                                double timeoutSeconds, double* out) {
  ArgumentCheck check(__func__);
  check.Require(count == 0 || (handles != nullptr && signalIds != nullptr && out != nullptr), "null array")
      .Finite("timeoutSeconds", timeoutSeconds);
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  // Up to 64 signals on the stack: a robot loop's groups never reach the heap.
  constexpr std::size_t kOnStack = 64;
  std::array<std::shared_ptr<DeviceEntry>, kOnStack> heldOnStack;
  std::array<BaseStatusSignal*, kOnStack> signalsOnStack;
  std::vector<std::shared_ptr<DeviceEntry>> heldOnHeap;
  std::vector<BaseStatusSignal*> signalsOnHeap;
  if (count > kOnStack) {
    heldOnHeap.resize(count);
    signalsOnHeap.resize(count);
  }
  std::span<std::shared_ptr<DeviceEntry>> held =
      count > kOnStack ? std::span(heldOnHeap) : std::span(heldOnStack).first(count);
  std::span<BaseStatusSignal*> list = count > kOnStack ? std::span(signalsOnHeap) : std::span(signalsOnStack).first(count);
  const DeviceEntry* entry = nullptr;  // the device of the signal at hand, held in `held`
  for (std::size_t i = 0; i < count; ++i) {
    // Signals of one device usually come together: look the device up once for them.
    if (i == 0 || handles[i] != handles[i - 1]) {
      held[i] = Registry().Find(handles[i]);
      entry = held[i].get();
    }
    list[i] = entry == nullptr ? nullptr : Lookup(*entry, signalIds[i]);
    if (list[i] == nullptr) {
      check.Require(false, "a handle names no device or the device has no signal of that ID");
      static_cast<void>(check.Passed());  // reports the refusal; the status below says it
      return StatusCode::InvalidParamValue;
    }
  }
  const StatusCode status =
      timeoutSeconds > 0.0
          ? BaseStatusSignal::WaitForAll(units::time::second_t{timeoutSeconds}, std::span<BaseStatusSignal* const>(list))
          : BaseStatusSignal::RefreshAll(std::span<BaseStatusSignal* const>(list));
  for (std::size_t i = 0; i < count; ++i) WriteRecord(*list[i], out + i * C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE);
  return status;
}

int32_t c_kvor_zephrin6_device_signal_set_frequency(int32_t handle, int32_t signalId, double hertz) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  if (entry == nullptr) return StatusCode::InvalidParamValue;
  BaseStatusSignal* signal = Lookup(*entry, signalId);
  ArgumentCheck check(__func__);
  check.Require(signal != nullptr, "the device has no signal of that ID").Finite("hertz", hertz);
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  return signal->SetUpdateFrequency(units::frequency::hertz_t{hertz});
}

size_t c_kvor_zephrin6_device_signal_units(int32_t handle, int32_t signalId, char* buffer, size_t size) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  BaseStatusSignal* signal = entry == nullptr ? nullptr : Lookup(*entry, signalId);
  if (signal == nullptr) return 0;
  const std::string& units = signal->GetUnits();
  if (buffer != nullptr && size > 0) {
    const std::size_t copied = std::min(units.size(), size - 1);
    std::memcpy(buffer, units.data(), copied);
    buffer[copied] = '\0';
  }
  return units.size();
}

int32_t c_kvor_zephrin6_device_send_request(int32_t handle, int32_t typeId, const double* fields, size_t count) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  if (entry == nullptr) return StatusCode::InvalidParamValue;
  const RequestEntry* request = kvor::zephrin6::cinterface::FindRequest(typeId, count);
  ArgumentCheck check(__func__);
  check.Require(request != nullptr, "unknown request type or wrong number of fields").Finite("fields", fields, count);
  if (!check.Passed() || fields == nullptr) return StatusCode::InvalidParamValue;
  return request->send(*entry, fields);
}

int32_t c_kvor_zephrin6_device_sim_set(int32_t handle, int32_t callId, double value) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  if (entry == nullptr) return StatusCode::InvalidParamValue;
  const bool known = callId >= 0 && static_cast<std::size_t>(callId) < std::size(kSimCalls);
  ArgumentCheck check(__func__);
  check.Require(known && &kModels[kSimCalls[callId].model] == entry->model && kSimCalls[callId].set != nullptr,
                "the device's simulation state has no such input")
      .Finite("value", value);
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  return kSimCalls[callId].set(*entry->device, value);
}

int32_t c_kvor_zephrin6_device_sim_get(int32_t handle, int32_t callId, double* value) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  if (entry == nullptr || value == nullptr) return StatusCode::InvalidParamValue;
  const bool known = callId >= 0 && static_cast<std::size_t>(callId) < std::size(kSimCalls);
  ArgumentCheck check(__func__);
  check.Require(known && &kModels[kSimCalls[callId].model] == entry->model && kSimCalls[callId].get != nullptr,
                "the device's simulation state has no such output");
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  *value = kSimCalls[callId].get(*entry->device);
  return StatusCode::OK;
}

int32_t c_kvor_zephrin6_device_config_action(int32_t handle, int32_t actionId, double value, double timeoutSeconds) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  if (entry == nullptr) return StatusCode::InvalidParamValue;
  const bool known = actionId >= 0 && static_cast<std::size_t>(actionId) < std::size(kActions);
  ArgumentCheck check(__func__);
  check.Require(known && &kModels[kActions[actionId].model] == entry->model, "the device's configurator has no such action")
      .Finite("value", value)
      .Finite("timeoutSeconds", timeoutSeconds);
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  // The config text the configurator's own action method sends: the action's
  // ID with its value, applied even where the device already holds it.
  std::ostringstream text;
  kvor::zephrin6::configs::internal::AppendDouble(text, kActions[actionId].configId, value);
  return entry->configurator->SetConfigsPrivate(text.str(), units::time::second_t{timeoutSeconds}, false, true);
}

int32_t c_kvor_zephrin6_device_apply_config(int32_t handle, const int32_t* configIds, const int32_t* kinds,
                                            const double* values, size_t count, double timeoutSeconds) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  if (entry == nullptr) return StatusCode::InvalidParamValue;
  ArgumentCheck check(__func__);
  check.Require(count == 0 || (configIds != nullptr && kinds != nullptr && values != nullptr), "null array")
      .Finite("values", values, count)
      .Finite("timeoutSeconds", timeoutSeconds);
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  std::ostringstream text;
  for (std::size_t i = 0; i < count; ++i) {
    if (kinds[i] == 0) {
      kvor::zephrin6::configs::internal::AppendDouble(text, configIds[i], values[i]);
    } else {
      kvor::zephrin6::configs::internal::AppendInt(text, configIds[i], ToInt(values[i]));
    }
  }
  return entry->configurator->SetConfigsPrivate(text.str(), units::time::second_t{timeoutSeconds}, false, false);
}

int32_t c_kvor_zephrin6_device_refresh_config(int32_t handle, const int32_t* configIds, const int32_t* kinds,
                                              double* values, size_t count, double timeoutSeconds) {
  const std::shared_ptr<DeviceEntry> entry = Registry().Find(handle);
  if (entry == nullptr) return StatusCode::InvalidParamValue;
  ArgumentCheck check(__func__);
  check.Require(count == 0 || (configIds != nullptr && kinds != nullptr && values != nullptr), "null array")
      .Finite("timeoutSeconds", timeoutSeconds);
  if (!check.Passed()) return StatusCode::InvalidParamValue;
  std::string text;
  const StatusCode status = entry->configurator->GetConfigsPrivate(text, units::time::second_t{timeoutSeconds});
  if (status != StatusCode::OK) return status;
  for (std::size_t i = 0; i < count; ++i) {
    if (kinds[i] == 0) {
      kvor::zephrin6::configs::internal::ReadDouble(text, configIds[i], values[i]);
    } else {
      int value = ToInt(values[i]);
      kvor::zephrin6::configs::internal::ReadInt(text, configIds[i], value);
      values[i] = value;
    }
  }
  return status;
}

}  // extern "C"
