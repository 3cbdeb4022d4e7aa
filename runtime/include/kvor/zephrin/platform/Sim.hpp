#pragma once

// The device runtime's simulator: device objects announce themselves with
// SimCreate, a physics model outside the library feeds the simulated devices
// named inputs (supply voltage, rotor position, limit switches ...) and reads
// back named outputs (motor voltage, currents ...). A simulated device is
// addressed by its device type and its device ID. Every call is thread-safe
// and returns at once.

#include <cstdint>
#include <span>
#include <string_view>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::platform {

/// Simulator device types, one per device model.
enum class DeviceType : int32_t {
  RapaxQ = 5,
  Angulon = 6,
  Auklet2 = 7,
  RapaxW = 8,
  Distix = 9,
  Portis = 10,
};

/// Registers the simulated device (`deviceType`, `deviceId`). Returns 0, 1202
/// SimDeviceAlreadyExists when it was created before (the device keeps its
/// state), or -1002 InvalidParamValue for a type outside the table above.
ZEPHRIN_RUNTIME_API int32_t SimCreate(DeviceType deviceType, int32_t deviceId);

/// Sets the physics input `physicsType` (for example "SupplyVoltage", in the
/// unit the device's simulation state documents) of a created device to
/// `value`; the device's signals follow (a rotor position moves RotorPosition
/// and Position, a yaw moves Yaw ...). A motor controller or IMU takes the
/// input at its next firmware step (every millisecond of runtime time); a
/// motor whose rotor velocity no input ever set turns a bare rotor on its own,
/// and an IMU angle no input ever set integrates its angular velocity. Returns 0; 1200 SimDeviceNotFound for
/// a device never created; 1201 SimPhysicsTypeNotSupported for an input the
/// device type does not have; -1002 InvalidParamValue for a value that is
/// not finite. A refused input changes nothing.
ZEPHRIN_RUNTIME_API int32_t SimSetPhysicsInput(DeviceType deviceType, int32_t deviceId,
                                               std::string_view physicsType, double value);

/// The index of physics input `physicsType` of a device type, for
/// SimSetPhysicsInputAt: a physics model that sets the same inputs every
/// step looks each name up once. The index stays the same for as long as
/// the library is loaded, whatever runtime is current. -1 for an input the
/// device type does not have.
ZEPHRIN_RUNTIME_API int32_t SimPhysicsInputIndex(DeviceType deviceType, std::string_view physicsType);

/// SimSetPhysicsInput for the input at `inputIndex` (SimPhysicsInputIndex):
/// the same statuses, 1201 SimPhysicsTypeNotSupported for an index the
/// device type does not have.
ZEPHRIN_RUNTIME_API int32_t SimSetPhysicsInputAt(DeviceType deviceType, int32_t deviceId, int32_t inputIndex,
                                                 double value);

/// One input of SimSetPhysicsInputsAt: its index and its value.
struct SimInputValue {
  int32_t inputIndex;
  double value;
};

/// Sets several physics inputs of one device in one call, in order, each as
/// SimSetPhysicsInputAt sets it (a physics model hands a device its inputs
/// of one step together). Returns 0 when every input was taken, else the
/// status of the first one refused (1200 SimDeviceNotFound for a device
/// never created, which takes none); a refused input changes nothing and
/// the ones after it are still set. The device's last error is that of its
/// last input.
ZEPHRIN_RUNTIME_API int32_t SimSetPhysicsInputsAt(DeviceType deviceType, int32_t deviceId,
                                                  std::span<const SimInputValue> inputs);

/// The inputs of one device for SimSetDevicesPhysicsInputs, and the status
/// SimSetPhysicsInputsAt returns for them.
struct SimDeviceInputs {
  DeviceType deviceType;
  int32_t deviceId;
  std::span<const SimInputValue> inputs;
  int32_t status = 0;
};

/// SimSetPhysicsInputsAt for each of `devices` in order, each status into
/// its entry, in one call: a physics model that feeds a whole mechanism
/// (a drivetrain's motors, encoders and IMU) every step crosses into the
/// runtime once, and no firmware step falls between the devices.
ZEPHRIN_RUNTIME_API void SimSetDevicesPhysicsInputs(std::span<SimDeviceInputs> devices);

/// Reads the physics output `physicsType` ("MotorVoltage", "TorqueCurrent",
/// "SupplyCurrent" of a motor controller, in the motor's own direction) of a
/// created device into `value`, as the device's simulated firmware drives it
/// at its last step (0 before any device object of it received a request). Returns 0; 1200
/// SimDeviceNotFound or 1201 SimPhysicsTypeNotSupported, leaving `value` alone.
ZEPHRIN_RUNTIME_API int32_t SimGetPhysicsValue(DeviceType deviceType, int32_t deviceId,
                                               std::string_view physicsType, double& value);

/// One read of SimGetPhysicsValues: the device and output, as
/// SimGetPhysicsValue takes them, its value and its status.
struct SimOutputRead {
  DeviceType deviceType;
  int32_t deviceId;
  std::string_view physicsType;
  double value = 0.0;  // left alone when the read fails
  int32_t status = 0;
};

/// SimGetPhysicsValue for each of `reads` in order, in one call, from one
/// firmware state: a physics model reads all the motors of a mechanism at once.
ZEPHRIN_RUNTIME_API void SimGetPhysicsValues(std::span<SimOutputRead> reads);

/// The status of the most recent simulator call for this device (1200
/// SimDeviceNotFound for a device never created).
ZEPHRIN_RUNTIME_API int32_t SimGetLastError(DeviceType deviceType, int32_t deviceId);

}  // namespace kvor::zephrin::platform
