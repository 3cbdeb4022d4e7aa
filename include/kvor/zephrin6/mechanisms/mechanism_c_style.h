#ifndef KVOR_ZEPHRIN6_MECHANISMS_MECHANISM_C_STYLE_H
#define KVOR_ZEPHRIN6_MECHANISMS_MECHANISM_C_STYLE_H

/*
 * The differential mechanisms as plain C, for the JVM bindings. A mechanism
 * is built over devices of device_c_style.h (two rapax q motor controllers,
 * optionally an auklet 2 or an angulon measuring the difference) and named by
 * a positive handle, never reused; it keeps its devices alive until it is
 * destroyed, even when their handles are destroyed first. A handle that names
 * nothing gives -1002 InvalidParamValue (false or 0 for the queries) and
 * changes nothing. Requests are sent by type ID with their fields in order as
 * in device_c_style.h; a type the mechanism does not take gives -10005
 * NotSupported. Drive a mechanism from one thread, as its C++ class says.
 */

#include <stddef.h>
#include <stdint.h>

#include <kvor/zephrin6/Export.hpp>

#ifdef __cplusplus
extern "C" {
#endif

/** Builds a mechanism: `simple` 0 for the one commanded with pairs of requests (their compounds), 1 for
 *  the one commanded with single differential requests. `sensorHandle` 0 measures the difference with
 *  the follower's rotor; an auklet 2 uses its angle `imuAxis` (0 yaw, 1 pitch, 2 roll); an angulon its
 *  position. @return the mechanism's handle, or 0 when a handle names no device of a fitting model. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_mechanism_create(int32_t simple, int32_t leaderHandle, int32_t followerHandle,
                                                      int32_t followerOpposesLeader, int32_t sensorHandle,
                                                      int32_t imuAxis);
/** Destroys the mechanism. */
ZEPHRIN6_API void c_kvor_zephrin6_mechanism_destroy(int32_t handle);
/** Supervises the devices; call it every loop before commanding. */
ZEPHRIN6_API void c_kvor_zephrin6_mechanism_periodic(int32_t handle);
/** Sends request type `typeId` with `count` values (fields, then update frequency). @return its status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_mechanism_set_control(int32_t handle, int32_t typeId, const double* fields,
                                                           size_t count);
/** Puts both devices in neutral (0), coast (1) or static brake (2) without the gate. @return the status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_mechanism_set_neutral(int32_t handle, int32_t how);
/** Applies the difference-sensor configuration, each device tried up to `retries` times. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_mechanism_apply_configs(int32_t handle, int32_t retries);
/** Clears the latched requirement; the next periodic call decides whether to drive. */
ZEPHRIN6_API void c_kvor_zephrin6_mechanism_clear_user_requirement(int32_t handle);
/** The supervision state into state[0..4]: disabled, requires user action, the disabled reason, the
 *  requires-user reason and whether the configuration was applied. @return false for an unknown handle. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_mechanism_state(int32_t handle, int32_t* state);

#ifdef __cplusplus
}
#endif

#endif
