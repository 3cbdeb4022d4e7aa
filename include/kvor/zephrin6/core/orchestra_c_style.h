#ifndef KVOR_ZEPHRIN6_CORE_ORCHESTRA_C_STYLE_H
#define KVOR_ZEPHRIN6_CORE_ORCHESTRA_C_STYLE_H

/*
 * The orchestra as plain C, for the JVM bindings: an orchestra is named by a
 * positive handle (never reused) and its instruments by the device handles of
 * device_c_style.h. A handle that names nothing gives -1002 InvalidParamValue
 * (false or 0 for the queries) and changes nothing. Every function may be
 * called from any thread.
 */

#include <stdint.h>

#include <kvor/zephrin6/Export.hpp>

#ifdef __cplusplus
extern "C" {
#endif

/** Opens an orchestra with no instruments and no music. @return its handle. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_orchestra_create(void);
/** Closes the orchestra, which stops its music. */
ZEPHRIN6_API void c_kvor_zephrin6_orchestra_destroy(int32_t handle);
/** Adds the motor controller of `deviceHandle` as an instrument playing `track` (a negative track: the
 *  next free one). @return the runtime's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_orchestra_add_instrument(int32_t handle, int32_t deviceHandle, int32_t track);
/** Removes every instrument. @return the runtime's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_orchestra_clear_instruments(int32_t handle);
/** Loads the tune file at `filepath` (a path shorter than 4096 bytes). @return the runtime's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_orchestra_load_music(int32_t handle, const char* filepath);
/** Starts or resumes the music. @return the runtime's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_orchestra_play(int32_t handle);
/** Pauses the music where it is. @return the runtime's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_orchestra_pause(int32_t handle);
/** Stops the music and rewinds it. @return the runtime's status. */
ZEPHRIN6_API int32_t c_kvor_zephrin6_orchestra_stop(int32_t handle);
/** Whether the music plays (false for an unknown handle). */
ZEPHRIN6_API int32_t c_kvor_zephrin6_orchestra_is_playing(int32_t handle);
/** Where the music is, seconds from its start (0 for an unknown handle). */
ZEPHRIN6_API double c_kvor_zephrin6_orchestra_current_time(int32_t handle);

#ifdef __cplusplus
}
#endif

#endif
