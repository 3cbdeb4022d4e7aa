#pragma once

// The generated table of request types behind the generic device and
// mechanism C functions: each type ID (a position in the Java request
// classes' table) with its field count and the functions that build the C++
// request from its fields in order and send it to a device or a mechanism.
// The table itself lives in device_c_style.cpp (generated/DeviceTables.inc).

#include <kvor/zephrin/StatusCodes.hpp>

#include <cstddef>
#include <memory>

namespace kvor::zephrin6::mechanisms {
class DifferentialMechanism;
class DifferentialMechanismBase;
class SimpleDifferentialMechanism;
}  // namespace kvor::zephrin6::mechanisms

namespace kvor::zephrin6::cinterface {

struct DeviceEntry;

/// A differential mechanism built through the C functions: exactly one of
/// `full` and `simple` is set, `base` points at it; the device entries keep
/// its devices alive as long as it lives.
struct MechanismEntry {
  std::shared_ptr<DeviceEntry> leader;
  std::shared_ptr<DeviceEntry> follower;
  std::shared_ptr<DeviceEntry> sensor;
  std::unique_ptr<mechanisms::DifferentialMechanism> full;
  std::unique_ptr<mechanisms::SimpleDifferentialMechanism> simple;
  mechanisms::DifferentialMechanismBase* base = nullptr;

  MechanismEntry();
  ~MechanismEntry();
};

/// One request type: its name, its field count (without the update frequency
/// that follows the fields) and its senders; `mechanism` is null for the
/// types no mechanism takes.
struct RequestEntry {
  const char* name;
  std::size_t fieldCount;
  kvor::zephrin::StatusCode (*send)(DeviceEntry& device, const double* values);
  kvor::zephrin::StatusCode (*mechanism)(MechanismEntry& mechanism, const double* values);
};

/// The request type `typeId` when `fieldCount` values (fields and update
/// frequency) fit it; null otherwise.
const RequestEntry* FindRequest(int typeId, std::size_t fieldCount);

}  // namespace kvor::zephrin6::cinterface
