#ifndef KVOR_ZEPHRIN6_HARDWARE_DEVICE_C_STYLE_H
#define KVOR_ZEPHRIN6_HARDWARE_DEVICE_C_STYLE_H

/*
 * Every device class as plain C, through one generic function per kind of
 * operation: build a device by model number, read one of its signals by
 * signal ID, send a request by request type ID with its fields in order,
 * feed or read its simulation state by call ID, apply or read a
 * configuration given as config IDs and values. The JVM
 * bindings sit on these, so that the generated Java device, request and
 * config classes are plain Java and this layer stays the same size whatever
 * the tables hold.
 *
 * Handles: a creation returns a positive handle (1, 2, ... never reused);
 * a handle that names no device (never created, or destroyed) is not an
 * error, the functions then do nothing and return -1002 InvalidParamValue
 * (or 0 for a count). Models, signal IDs and request type IDs are the
 * positions and numbers of the generated tables (tools/jni/java_devices.py);
 * a signal ID the model has no getter for, an unknown request type, a wrong
 * field count or a field that is not finite is refused with
 * InvalidParamValue and sends nothing. A request type the model cannot
 * follow returns -10005 NotSupported, as the C++ device does.
 *
 * Signal records: `out` holds 5 doubles per signal: the value, the system,
 * bustrel and device timestamps in seconds (NaN when the read did not give
 * that timestamp) and the signal's status code.
 *
 * Threads: every function may be called from any thread; a device is
 * destroyed once the calls that use it have returned. Two threads must not
 * read the same signal at once (as with the C++ signal objects).
 */

#include <stddef.h>
#include <stdint.h>

#include <kvor/zephrin6/Export.hpp>

#ifdef __cplusplus
extern "C" {
#endif

/** Doubles written per signal into a signal record. */
#define C_KVOR_ZEPHRIN6_SIGNAL_RECORD_SIZE 5

/** How c_kvor_zephrin6_device_signal_read reads. */
enum c_kvor_zephrin6_signal_read_mode {
  C_KVOR_ZEPHRIN6_SIGNAL_GET = 0,     /* the getter: look up, read, report a failure once it existed */
  C_KVOR_ZEPHRIN6_SIGNAL_REFRESH = 1, /* the latest sample, failures reported */
  C_KVOR_ZEPHRIN6_SIGNAL_WAIT = 2,    /* wait up to the timeout for a new sample */
  C_KVOR_ZEPHRIN6_SIGNAL_CACHED = 3   /* the last sample read, nothing asked of the runtime */
};

/** Builds device `model` (0 rapax q, 1 rapax w, 2 angulon, 3 auklet 2, 4 distix, 5 portis) with ID
 *  `deviceId` on bus `canbus`. @return its handle, or 0 for an unknown model, a null bus name or one
 *  of 64 characters or more. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_create(int32_t model, int32_t deviceId, const char* canbus);
/** Destroys the device; its signals can no longer be read. Nothing happens for an unknown handle. */
ZEPHRIN6_API void c_kvor_zephrin6_device_destroy(int32_t handle);

/** Reads signal `signalId` of the device as `mode` says (`timeoutSeconds` for a wait) into
 *  out[0..4]. @return the signal's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_signal_read(int32_t handle, int32_t signalId, int32_t mode,
                                                        double timeoutSeconds, double* out);
/** Reads `count` signals (handles[i], signalIds[i]) together, waiting up to `timeoutSeconds` for a
 *  synchronised update (0 refreshes without waiting), into out[5 * i ...]. @return the overall status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_signals_read_all(const int32_t* handles, const int32_t* signalIds,
                                                             size_t count, double timeoutSeconds, double* out);
/** Asks the device to publish signal `signalId` at `hertz`. @return the runtime's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_signal_set_frequency(int32_t handle, int32_t signalId, double hertz);
/** Copies the signal's units text, cut to `size` - 1 bytes, into `buffer` with a terminating zero.
 *  @return the length of the whole text (0 for an unknown handle or signal). */
ZEPHRIN6_API size_t c_kvor_zephrin6_device_signal_units(int32_t handle, int32_t signalId, char* buffer,
                                                        size_t size);

/** Sends request type `typeId` with its `count` fields in order, the update frequency (hertz) last;
 *  booleans are 0 or 1. @return the runtime's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_send_request(int32_t handle, int32_t typeId, const double* fields,
                                                         size_t count);

/** Calls simulation-state input `callId` of the device (a generated call ID of its model) with
 *  `value` (booleans 0 or 1, enumerations their number). @return the simulator's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_sim_set(int32_t handle, int32_t callId, double value);
/** Reads simulation-state output `callId` of the device into `value` (a status as its number).
 *  @return OK, or InvalidParamValue for a call the device's simulation state does not have. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_sim_get(int32_t handle, int32_t callId, double* value);

/** Runs configurator action `actionId` of the device (a generated action ID of its model: a set such
 *  as SetPosition with `value` in its units, or a sticky-fault clear, which ignores `value`), waiting
 *  at most `timeoutSeconds`. @return the configurator's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_config_action(int32_t handle, int32_t actionId, double value,
                                                          double timeoutSeconds);
/** Applies `count` settings (configIds[i], values[i]; kinds[i] 0 for a double, 1 for an integer) as one
 *  config text, waiting at most `timeoutSeconds`. @return the configurator's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_apply_config(int32_t handle, const int32_t* configIds,
                                                         const int32_t* kinds, const double* values, size_t count,
                                                         double timeoutSeconds);
/** Reads the device's config text, waiting at most `timeoutSeconds`, and fills values[i] for every
 *  setting the text holds (the others keep their value). @return the configurator's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_device_refresh_config(int32_t handle, const int32_t* configIds,
                                                           const int32_t* kinds, double* values, size_t count,
                                                           double timeoutSeconds);

#ifdef __cplusplus
}
#endif

#endif
