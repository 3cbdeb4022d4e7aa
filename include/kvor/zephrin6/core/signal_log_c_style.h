#ifndef KVOR_ZEPHRIN6_CORE_SIGNAL_LOG_C_STYLE_H
#define KVOR_ZEPHRIN6_CORE_SIGNAL_LOG_C_STYLE_H

/*
 * The signal log and its replay as plain C, for the JVM bindings and other
 * foreign-function layers: user signals written into the log the devices go
 * to (SignalLogger), and the control of a .wisp log's replay with the
 * reading back of user signals (WispReplay). Thin calls into the device
 * runtime, with the conventions of swerve_c_style.h: every function returns
 * a status (0 OK, negative errors), a NULL text or array where one is needed
 * is refused with -1002 InvalidParamValue (reported), and nothing ever
 * aborts.
 *
 * Units texts are free text ("m", "m, m, deg"); a NULL units text is "".
 * Latencies say how old a sample already is, in seconds, and must be finite
 * and not negative. Payloads must fit one log record: a string of up to 255
 * bytes, up to 31 doubles; longer ones are refused with -10015 InvalidSize
 * (reported by the runtime's rules), never cut.
 *
 * Replay reads return the latest sample at or before the replay time. A
 * reader that finds no log, no such signal, a signal of another type or no
 * sample yet returns the runtime's status (-10009 NoFile, -10004 NotFound,
 * -1002 InvalidParamValue for the type, -1200 SigNotUpdated) and writes
 * nothing. A replayed payload holds at most 64 bytes: 8 doubles, a string
 * of 64 characters.
 *
 * Threads: any thread; the runtime serialises its logger and its replay.
 * C11 and C++; it includes no C++ header.
 */

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifndef ZEPHRIN6_API
#define ZEPHRIN6_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Signal logger ---- */

/** Sets the folder new logs are written to. @return the runtime's status. */
ZEPHRIN6_API int c_kvor_zephrin6_signal_logger_set_path(const char *path);
/** Starts a new log (the devices' signals and the user signals). */
ZEPHRIN6_API int c_kvor_zephrin6_signal_logger_start(void);
/** Completes and closes the log. */
ZEPHRIN6_API int c_kvor_zephrin6_signal_logger_stop(void);
/** Writes one double sample of user signal `name`, with its units. */
ZEPHRIN6_API int c_kvor_zephrin6_signal_logger_write_double(const char *name, double value, const char *units,
                                                             double latencySeconds);
/** Writes `count` doubles (31 at most) as one sample. */
ZEPHRIN6_API int c_kvor_zephrin6_signal_logger_write_double_array(const char *name, const double *values,
                                                                   size_t count, const char *units,
                                                                   double latencySeconds);
/** Writes one boolean sample. */
ZEPHRIN6_API int c_kvor_zephrin6_signal_logger_write_boolean(const char *name, bool value, double latencySeconds);
/** Writes one 64-bit integer sample, with its units. */
ZEPHRIN6_API int c_kvor_zephrin6_signal_logger_write_integer(const char *name, int64_t value, const char *units,
                                                              double latencySeconds);
/** Writes `length` bytes of text (255 at most) as one sample. */
ZEPHRIN6_API int c_kvor_zephrin6_signal_logger_write_string(const char *name, const char *value, size_t length,
                                                             double latencySeconds);

/* ---- Replay ---- */

/** Loads the .wisp log `path` (paused at its start); device signals and the
 *  clock then come from it.
 *  @return 0; -10034 InvalidFile, -10035 WispLogTooOld, -10036 WispLogTooNew,
 *          or the runtime's other load failures. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_load_file(const char *path);
/** Closes the loaded log; the runtime simulates live again. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_close_file(void);
/** Whether a log is loaded. */
ZEPHRIN6_API bool c_kvor_zephrin6_replay_is_file_loaded(void);
/** Plays the log on the wall clock. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_play(void);
/** Pauses the replay. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_pause(void);
/** Pauses and rewinds to the log's start. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_stop(void);
/** Whether playback runs now (a paused or finished replay does not). */
ZEPHRIN6_API bool c_kvor_zephrin6_replay_is_running(void);
/** Moves a paused replay forward by `stepSeconds`, clamped at the log's end;
 *  *movedSeconds (when not NULL) receives how far the replay clock moved,
 *  less than the step once the end is reached.
 *  @return 0; -10038 CannotStepWhileUnpaused; -1002 for a step that is
 *          negative or not finite; -10009 NoFile. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_step_timing(double stepSeconds, double *movedSeconds);
/** The replay clock (the runtime's current time), seconds. */
ZEPHRIN6_API double c_kvor_zephrin6_replay_time_seconds(void);
/** Reads the double user signal `name` into *value and its sample time
 *  into *timestampSeconds (either may be NULL). */
ZEPHRIN6_API int c_kvor_zephrin6_replay_get_double(const char *name, double *value, double *timestampSeconds);
/** Reads the double-array user signal `name`: up to `capacity` elements
 *  into `values`, the element count into *count (which may exceed the
 *  capacity: then only `capacity` were written). */
ZEPHRIN6_API int c_kvor_zephrin6_replay_get_double_array(const char *name, double *values, size_t capacity,
                                                          size_t *count, double *timestampSeconds);
/** Reads the boolean user signal `name`. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_get_boolean(const char *name, bool *value, double *timestampSeconds);
/** Reads the integer user signal `name`. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_get_integer(const char *name, int64_t *value, double *timestampSeconds);
/** Reads the string user signal `name`: up to `capacity` bytes into
 *  `text` (not terminated), the string's length into *length. */
ZEPHRIN6_API int c_kvor_zephrin6_replay_get_string(const char *name, char *text, size_t capacity, size_t *length,
                                                    double *timestampSeconds);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KVOR_ZEPHRIN6_CORE_SIGNAL_LOG_C_STYLE_H */
