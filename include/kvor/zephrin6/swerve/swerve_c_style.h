#ifndef KVOR_ZEPHRIN6_SWERVE_SWERVE_C_STYLE_H
#define KVOR_ZEPHRIN6_SWERVE_SWERVE_C_STYLE_H

/*
 * The swerve drivetrain as plain C: for code that cannot use the library's
 * C++ classes (the JVM bindings, other languages' foreign-function layers).
 * Drivetrains live in a process-wide registry and are named by an integer
 * ID that the creation functions hand out: 1 for the first drivetrain, then
 * counting up, never reused. Every other function takes that ID; an ID that
 * names no drivetrain (never created, or destroyed) and a module index at or
 * beyond the module count are not errors, the functions then do nothing and
 * return a neutral result (false, 0, a zero record, or -1002
 * InvalidParamValue for a status).
 *
 * Refused arguments: an int that selects one of two values (request types,
 * closed-loop outputs, the neutral mode) must be 0 or 1, and
 * every double of a constants record, a creation, a request or a module
 * command must be finite (not NaN, not infinite). A call with any other
 * value does nothing and reports InvalidParamValue (-1002) through the
 * device runtime's error reporting, naming the function and the argument;
 * what it returns then is said at each declaration (0 for a creation, NULL
 * for a module record, -1002 for a status; a function without a result
 * changes nothing: an installed request stays installed). A refusal is
 * reported even for an unknown ID; the result is the same. Pose resets,
 * vision measurements, their standard deviations and the operator's forward
 * direction refuse numbers that are not finite as well: the drivetrain keeps
 * what it had and reports it (at most once a second for a stream of vision
 * measurements).
 *
 * Units: every quantity is a double in metres, metres per second, radians,
 * radians per second, seconds or hertz, as each declaration says.
 *
 * Ownership: the constants handles belong to the caller, who releases them
 * with c_kvor_zephrin6_free_memory (the device runtime's release function)
 * once the drivetrains are created; drivetrains belong to the registry until
 * c_kvor_zephrin6_swerve_destroy_drivetrain. Records handed to callbacks are
 * valid during the call only.
 *
 * Threads: every function may be called from any thread. A drivetrain cannot
 * be destroyed while another call uses it: destruction waits for the calls in
 * progress, while new calls already find nothing. Telemetry and control callbacks
 * run on the drivetrain's odometry thread and may call these functions, but
 * not the creation or destruction functions (those are refused there: they
 * would wait for the very thread that runs the callback).
 *
 * Process exit: a program may exit with drivetrains still created and
 * running. The exit (exit() or a return from main in C; System.exit or the
 * end of the program in a JVM, through a shutdown hook the JVM bindings
 * register when they load) stops every callback first and then every
 * odometry thread, waiting half a second at most: a thread still inside a
 * callback that does not return by then is left behind rather than joined,
 * so the exit never hangs on it. Drivetrains are not destroyed at exit; the
 * device runtime then completes and closes a log it is writing. From the
 * start of the exit on, no callback is called, creation returns 0 and
 * c_kvor_zephrin6_swerve_drivetrain_odom_start does nothing.
 *
 * The header is C11 and C++; it includes no C++ header.
 */

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

/* Exported from the library, which is built with hidden visibility. The same
 * definition as the C++ side's, so either may come first. */
#ifndef ZEPHRIN6_API
#define ZEPHRIN6_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Records ----
 * The records below and the Java classes that mirror them in the JVM
 * bindings (SwerveJNI.DriveState and the others) come from one table,
 * tools/jni/state_records.py. Change the table and rerun the script
 * instead of editing them here. */

/** One module's wheel speed and azimuth. */
typedef struct _swerve_module_state_t {
    double speed; /**< wheel speed, m/s */
    double angle; /**< azimuth, radians */
} _swerve_module_state_t;

/** One module's distance rolled and azimuth. */
typedef struct _swerve_module_position_t {
    double distance; /**< distance rolled, metres */
    double angle;    /**< azimuth, radians */
} _swerve_module_position_t;

/** A pose on the field. */
typedef struct _swerve_pose_t {
    double x;     /**< metres */
    double y;     /**< metres */
    double theta; /**< heading, radians */
} _swerve_pose_t;

/** A drivetrain's state after one odometry sample. The three arrays have one
 *  entry per module, in module order. */
typedef struct _swerve_drive_state_t {
    double PoseX;                               /**< fused pose estimate: x, metres */
    double PoseY;                               /**< fused pose estimate: y, metres */
    double PoseTheta;                           /**< fused pose estimate: heading, radians */
    double SpeedsVx;                            /**< measured robot-relative speed forward, m/s */
    double SpeedsVy;                            /**< measured speed to the left, m/s */
    double SpeedsOmega;                         /**< measured turning rate, rad/s */
    _swerve_module_state_t *ModuleStates;       /**< measured module states */
    _swerve_module_state_t *ModuleTargets;      /**< states the modules were last told to reach */
    _swerve_module_position_t *ModulePositions; /**< module positions */
    double RawHeading;                          /**< gyro heading without the odometry's offset, radians */
    double Timestamp;                           /**< time of the sample, seconds on the runtime's clock */
    double OdometryPeriod;                      /**< time between samples averaged over the last 50, seconds */
    int32_t SuccessfulDaqs;                     /**< samples whose signals all arrived in time */
    int32_t FailedDaqs;                         /**< samples with some signal late or missing */
} _swerve_drive_state_t;

/** What a control callback is given every sample. */
typedef struct _swerve_control_params_t {
    double kMaxSpeedMps;             /**< drivetrain top speed, m/s */
    double operatorForwardDirection; /**< field direction the operator calls forward, radians */
    double currentChassisSpeedVx;    /**< measured robot-relative speed forward, m/s */
    double currentChassisSpeedVy;    /**< measured speed to the left, m/s */
    double currentChassisSpeedOmega; /**< measured turning rate, rad/s */
    double currentPoseX;             /**< fused pose estimate: x, metres */
    double currentPoseY;             /**< fused pose estimate: y, metres */
    double currentPoseTheta;         /**< fused pose estimate: heading, radians */
    double timestamp;                /**< time of the sample, seconds */
    double updatePeriod;             /**< 1 / odometry frequency, seconds */
} _swerve_control_params_t;

/** One command for one module. */
typedef struct _swerve_module_apply_params_t {
    _swerve_module_state_t state;  /**< wheel speed (m/s) and azimuth (radians) to reach */
    double wheelForceFeedforwardX; /**< force to push with along the robot's x axis, newtons */
    double wheelForceFeedforwardY; /**< force to push with along the robot's y axis, newtons */
    int32_t driveRequest;          /**< 0 open-loop voltage, 1 velocity */
    int32_t steerRequest;          /**< 0 profiled (exponential) motion, 1 position */
    double updatePeriod;           /**< control period, seconds; 0 for no steer feed-forward */
    bool enableFOC;                /**< field-oriented commutation where the motor can */
} _swerve_module_apply_params_t;

/* ---- End of the generated records ---- */

/** Drivetrain constants: the bus name and the heading sensor's CAN ID. Opaque. */
typedef struct _swerve_drivetrain_constants_t _swerve_drivetrain_constants_t;
/** An array of module constants. Opaque. */
typedef struct _swerve_module_constants_arr_t _swerve_module_constants_arr_t;

/** Called on the odometry thread after every sample with the new state
 *  (valid during the call only). */
typedef void (*_swerve_telemetry_callback_t)(void *context, const _swerve_drive_state_t *state);
/** Called on the odometry thread every sample to command the modules; returns
 *  a status code (0 OK). */
typedef int (*_swerve_control_callback_t)(void *context, const _swerve_control_params_t *params);

/* ---- Constants ---- */

/** Drivetrain constants for the bus `canBusName` ("" for the controller's
 *  own classic CAN bus, any other name a CAN FD bus) and the
 *  heading sensor with CAN ID `auklet2Id`. The text is not copied: it must
 *  stay valid until the drivetrains are created.
 *  @return the handle, or NULL when `canBusName` is NULL or memory ran out. */
ZEPHRIN6_API _swerve_drivetrain_constants_t *c_kvor_zephrin6_swerve_create_drivetrain_constants(const char *canBusName,
                                                                                             int auklet2Id);

/** `count` module constants, every field zero; fill them with
 *  c_kvor_zephrin6_swerve_set_module_constants.
 *  @return the handle, or NULL when memory ran out. */
ZEPHRIN6_API _swerve_module_constants_arr_t *c_kvor_zephrin6_swerve_create_module_constants_arr(size_t count);

/** Sets module `index` of `moduleConstants`. IDs are CAN IDs; the encoder
 *  offset is in rotations; locations in metres (x forward, y left of the
 *  robot centre); gear ratios are motor rotations per wheel rotation (drive),
 *  per azimuth rotation (steer) and drive motor rotations per azimuth
 *  rotation (coupling); the wheel radius in metres; closed-loop outputs
 *  0 voltage or 1 torque current; the slip current in amperes; the speed at
 *  12 V in m/s; motor types 0 for a rapax q, any other value a rapax w; the feedback
 *  source says where the steer motor takes the azimuth from (0 its rotor,
 *  1 the encoder remotely, 2 fused, 3 synchronised; see
 *  kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp); inertias in kg m^2;
 *  friction voltages in volts. Gains are set with
 *  c_kvor_zephrin6_swerve_set_module_gains.
 *  @return the filled record, or NULL (nothing written, InvalidParamValue
 *          reported) for a NULL handle, an index beyond the array, a number
 *          that is not finite, or a closed-loop output other than 0 or 1. */
ZEPHRIN6_API void *c_kvor_zephrin6_swerve_set_module_constants(
    _swerve_module_constants_arr_t *moduleConstants, size_t index, int steerMotorId, int driveMotorId, int encoderId,
    double encoderOffset, double locationX, double locationY, bool driveMotorInverted, bool steerMotorInverted,
    bool encoderInverted, double driveMotorGearRatio, double steerMotorGearRatio, double couplingGearRatio,
    double wheelRadius, int steerMotorClosedLoopOutput, int driveMotorClosedLoopOutput, double slipCurrent,
    double speedAt12Volts, int driveMotorType, int steerMotorType, int feedbackSource, double steerInertia,
    double driveInertia, double steerFrictionVoltage, double driveFrictionVoltage);

/** Sets the closed-loop gains (slot 0) of module `index`'s steer motor
 *  (`motor` 0) or drive motor (`motor` 1): kP, kI, kD and kS, kV, kA in the
 *  units of the motor's closed-loop output (volts or amperes per rotation,
 *  per rotation per second, ...).
 *  @return 0; -1002 InvalidParamValue (reported, nothing written) for a NULL
 *          handle, an index beyond the array, a motor other than 0 or 1 or
 *          a gain that is not finite. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_set_module_gains(_swerve_module_constants_arr_t *moduleConstants,
                                                        size_t index, int motor, double kP, double kI, double kD,
                                                        double kS, double kV, double kA);

/* ---- Creation ---- */

/* Every creation function configures each module's steer motor, drive motor
 * and azimuth encoder (an angulon) from its constants before it returns, as
 * kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp lists: gains, azimuth
 * feedback and ratio, continuous wrap, inversions, the slip current as the
 * drive motor's stator current limit, the encoder's offset and direction. A
 * device that refuses is retried a few times (each try bounded by 0.1 s),
 * then reported with its module; the drivetrain is created all the same. */

/** Creates a drivetrain from the constants and the first `moduleCount` module
 *  constants, at the default odometry rate (250 Hz on CAN FD, 100 Hz
 *  otherwise) and standard deviations 0.1 (odometry) and 0.9 (vision). Its
 *  odometry thread is not started. Creation reads every device, waiting up
 *  to 0.05 s for each.
 *  @return the new ID, or 0 (nothing created, InvalidParamValue reported)
 *          for a NULL handle (either of them) or one of the other kind, no
 *          modules (`moduleCount` 0), more modules than the array holds, or
 *          a call from a drivetrain callback; 0 without a report once the
 *          process exit has begun. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_create_drivetrain(const _swerve_drivetrain_constants_t *drivetrainConstants,
                                                        const _swerve_module_constants_arr_t *moduleConstants,
                                                        size_t moduleCount);

/** As c_kvor_zephrin6_swerve_create_drivetrain at `odometryFrequencyHz`
 *  samples per second (0 for the default).
 *  @return the new ID, or 0 as above and for a rate that is negative or not
 *          finite. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_create_drivetrain_with_freq(
    const _swerve_drivetrain_constants_t *drivetrainConstants, const _swerve_module_constants_arr_t *moduleConstants,
    size_t moduleCount, double odometryFrequencyHz);

/** As c_kvor_zephrin6_swerve_create_drivetrain_with_freq with the trust in
 *  odometry and in vision measurements: x, y (metres) and heading (radians),
 *  three values each; smaller is more trusted.
 *  @return the new ID, or 0 as above and for a NULL array or a value that
 *          is not finite. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_create_drivetrain_with_stddev(
    const _swerve_drivetrain_constants_t *drivetrainConstants, const double odometryStdDev[3],
    const double visionStdDev[3], const _swerve_module_constants_arr_t *moduleConstants, size_t moduleCount,
    double odometryFrequencyHz);

/** Removes drivetrain `id` from the registry and destroys it, after its
 *  odometry thread has stopped. Nothing for an unknown ID; refused (reported)
 *  from a drivetrain callback. Once the process exit has begun it waits half
 *  a second at most, and leaves a drivetrain whose thread is still busy to
 *  the end of the process. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_destroy_drivetrain(int id);

/* ---- Drivetrain ---- */

/** Whether the drivetrain's bus is CAN FD. @return false for an unknown ID. */
ZEPHRIN6_API bool c_kvor_zephrin6_swerve_drivetrain_is_on_can_fd(int id);
/** Odometry samples per second, hertz. @return 0 for an unknown ID. */
ZEPHRIN6_API double c_kvor_zephrin6_swerve_drivetrain_get_odometry_frequency(int id);
/** True once more than two samples read every signal in time.
 *  @return false for an unknown ID. */
ZEPHRIN6_API bool c_kvor_zephrin6_swerve_drivetrain_is_odometry_valid(int id);
/** Makes `callback` (with `context`) the drive request called every sample;
 *  its int result is the request's status. NULL installs a request that
 *  sends nothing. Not called any more once the process exit has begun. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_control(int id, void *context,
                                                              _swerve_control_callback_t callback);
/** Copies the state of the last sample into `out`. Its three array pointers
 *  must each hold the drivetrain's module count of entries (a NULL one is
 *  skipped). Nothing for an unknown ID or a NULL `out`. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_get_state(int id, _swerve_drive_state_t *out);
/** Makes `callback` (with `context`) the function called after every sample;
 *  NULL removes it. Not called any more once the process exit has begun. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_register_telemetry(int id, void *context,
                                                                     _swerve_telemetry_callback_t callback);
/** Sets the neutral mode of every drive motor (0 coast, 1 brake), 0.1 s per
 *  motor. @return the first failing module's status, 0 OK, -1002 for an
 *  unknown ID or (reported, nothing configured) a mode other than 0 or 1. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_config_neutral_mode(int id, int neutralMode);
/** Zeroes the drive positions and restarts odometry at the origin. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_tare_everything(int id);
/** Sets the estimated heading to the operator's forward direction, so that
 *  the way the robot faces now is forward for field-centric driving. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_seed_field_centric(int id);
/** Moves the pose estimate to (x, y) metres, heading theta radians. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_reset_pose(int id, double x, double y, double theta);
/** Moves the pose estimate to (x, y) metres, keeping the heading. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_reset_translation(int id, double x, double y);
/** Sets the estimated heading, radians. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_reset_rotation(int id, double theta);
/** Sets the field direction the operator calls forward, radians. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_operator_perspective_forward(int id, double theta);
/** The field direction the operator calls forward, radians.
 *  @return 0 for an unknown ID. */
ZEPHRIN6_API double c_kvor_zephrin6_swerve_drivetrain_get_operator_forward_direction(int id);
/** Fuses a pose (x, y metres, theta radians) measured at `timestamp`
 *  (seconds on the runtime's clock). */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement(int id, double x, double y, double theta,
                                                                         double timestamp);
/** As c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement, first setting
 *  the vision standard deviations (x, y metres, heading radians) for this
 *  and later measurements. A NULL `stdDevs` adds nothing. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_add_vision_measurement_with_stddev(int id, double x, double y,
                                                                                     double theta, double timestamp,
                                                                                     const double stdDevs[3]);
/** Sets the vision standard deviations (x, y metres, heading radians).
 *  Nothing for a NULL `stdDevs`. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_vision_measurement_stddevs(int id, const double stdDevs[3]);
/** The fused pose at `timestamp` (seconds).
 *  @return true with *out written; false, *out untouched, when there is no
 *          sample yet (or for an unknown ID or a NULL `out`). */
ZEPHRIN6_API bool c_kvor_zephrin6_swerve_drivetrain_sample_pose_at(int id, _swerve_pose_t *out, double timestamp);
/** Starts the odometry thread (nothing when it runs, or once the process
 *  exit has begun). */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_odom_start(int id);
/** Stops the odometry thread and waits for its current sample. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_odom_stop(int id);
/** Asks for real-time priority `priority` (1 to 99) for the odometry thread,
 *  applied after its next sample. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_odom_set_thread_priority(int id, int priority);
/** One odometry sample now, on the caller's thread, for programs that step
 *  a manual clock with the odometry thread stopped: reads every module and
 *  the gyro (the latest frames), updates the pose, applies the installed
 *  request and runs the telemetry callback.
 *  @return the read's status (0 OK); -100 TaskIsBusy (nothing done) while
 *          the odometry thread runs; -1002 InvalidParamValue for an unknown
 *          ID. Refused inside a callback (-1002, reported). */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_odom_run_once(int id);

/* ---- Simulation ----
 * The drivetrain's physics simulation (built on first use from the module
 * constants: gear ratios, wheel radius, inertias, friction, slip current,
 * inversions, the angulon encoders): it reads the voltages the simulated
 * motor controllers apply, moves the wheels, azimuths and robot, and feeds
 * the devices what they would measure. Use either the thread or
 * ..._sim_update, not both. */

/** Starts a thread that every `periodSeconds` of wall time moves the
 *  simulated robot by the time the runtime's clock moved, with
 *  `supplyVolts` as the battery. Nothing when it runs.
 *  @return 0; -1002 InvalidParamValue for an unknown ID, a period that is
 *          not positive and finite or a supply that is not finite and at
 *          least 0. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_sim_start(int id, double periodSeconds, double supplyVolts);
/** Stops the simulation thread and waits for it (nothing when none runs). */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_sim_stop(int id);
/** Moves the simulated robot through `dtSeconds` (the time the runtime's
 *  clock just moved; at most 1 s is integrated at once) with `supplyVolts`
 *  as the battery.
 *  @return 0; -1002 InvalidParamValue (nothing moved) for an unknown ID, a
 *          dt that is negative or not finite, or a supply that is not
 *          finite and at least 0. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_sim_update(int id, double dtSeconds, double supplyVolts);
/** Writes the robot's true pose (x, y metres, theta radians) to *out.
 *  @return true; false (nothing written) for an unknown ID or a NULL out. */
ZEPHRIN6_API bool c_kvor_zephrin6_swerve_drivetrain_sim_get_pose(int id, _swerve_pose_t *out);

/** The field a simulated robot drives on: a walled rectangle with one corner
 *  at the origin, convex obstacles in it, and the chassis that hits them.
 *  Polygons are corners as x, y pairs (metres) in either winding order. */
typedef struct _swerve_sim_field_t {
    double length;                 /**< along x, metres (16.54 on a typical field) */
    double width;                  /**< along y, metres (8.07) */
    double bumperMargin;           /**< how far the bumpers stand out beyond the module locations, metres (0.15) */
    double chassisMass;            /**< the whole robot, kilograms (60) */
    double chassisMomentOfInertia; /**< kg m^2; 0 for a uniform plate filling the bumper outline's rectangle */
    const double *bumperXY;        /**< the bumper outline in robot coordinates, or NULL ... */
    size_t bumperCorners;          /**< ... with 0 corners for the rectangle given by bumperMargin */
    const double *obstacleXY;      /**< every obstacle's corners, one obstacle after the other */
    const size_t *obstacleCorners; /**< how many corners each obstacle has (3 to 8) */
    size_t obstacleCount;          /**< at most 64 */
} _swerve_sim_field_t;

/** The simulated battery as the last update without a voltage left it. */
typedef struct _swerve_sim_battery_t {
    double openCircuitVolts; /**< the voltage at no load */
    double resistanceOhms;   /**< internal resistance with breaker and wiring */
    double brownoutVolts;    /**< below this the motor controllers are disabled */
    double volts;            /**< the loaded voltage */
    double amps;             /**< the current drawn */
    bool brownedOut;
} _swerve_sim_battery_t;

/** Puts the simulated robot on `field` (place it with ..._sim_reset_pose).
 *  @return 0; -1002 InvalidParamValue, changing nothing, for an unknown ID,
 *          a NULL field or polygon array with corners to read, more than
 *          64 obstacles or 8 corners to a polygon, or a field that cannot
 *          be simulated (sizes, mass or inertia not positive and finite, a
 *          polygon that is not convex, too small or out of reach). */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_sim_set_field(int id, const _swerve_sim_field_t *field);
/** Takes the simulated robot off its field: it drives on an endless floor. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_sim_clear_field(int id);
/** Moves the simulated robot to (x, y, theta) metres and radians; its wheels
 *  keep their motion. @return 0; -1002 InvalidParamValue, nothing moved,
 *  for an unknown ID or a number that is not finite. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_sim_reset_pose(int id, double x, double y, double theta);
/** Sets the simulated battery (its state starts unloaded), which the
 *  updates without a voltage draw on. @return 0; -1002 InvalidParamValue,
 *  changing nothing, for an unknown ID, an open-circuit voltage that is not
 *  positive, or a resistance or brownout voltage that is negative (all
 *  finite). */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_sim_set_battery(int id, double openCircuitVolts,
                                                                  double resistanceOhms, double brownoutVolts);
/** Writes the simulated battery to *out. @return true; false (nothing
 *  written) for an unknown ID or a NULL out. */
ZEPHRIN6_API bool c_kvor_zephrin6_swerve_drivetrain_sim_get_battery(int id, _swerve_sim_battery_t *out);
/** As ..._sim_update, with the battery as the supply: it is drawn on by the
 *  supply currents the drivetrain's motor controllers report, and a
 *  brownout disables them. @return 0; -1002 InvalidParamValue for an
 *  unknown ID or a dt that is negative or not finite. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_sim_update_on_battery(int id, double dtSeconds);
/** As ..._sim_start, with the battery as the supply. @return 0; -1002
 *  InvalidParamValue for an unknown ID or a period that is not positive
 *  and finite. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_drivetrain_sim_start_on_battery(int id, double periodSeconds);

/* ---- Modules ----
 * These wait for the odometry thread's current sample to end. */

/** Commands module `moduleIndex` once (the drivetrain's request overrides it
 *  at the next sample unless that request is idle). Nothing for a NULL
 *  `params`; nothing sent, InvalidParamValue reported, for a request type
 *  other than 0 or 1 or a number in it that is not finite. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_module_apply(int id, size_t moduleIndex,
                                                    const _swerve_module_apply_params_t *params);
/** The module's distance rolled (metres) and azimuth (radians); with
 *  `refresh` its signals are read first (up to 0.05 s). */
ZEPHRIN6_API _swerve_module_position_t c_kvor_zephrin6_swerve_module_get_position(int id, size_t moduleIndex,
                                                                                 bool refresh);
/** The module's position of its last read (usually the last sample's). */
ZEPHRIN6_API _swerve_module_position_t c_kvor_zephrin6_swerve_module_get_cached_position(int id, size_t moduleIndex);
/** The module's wheel speed (m/s) and azimuth (radians) from its latest
 *  signal values. */
ZEPHRIN6_API _swerve_module_state_t c_kvor_zephrin6_swerve_module_get_current_state(int id, size_t moduleIndex);
/** The state the module was last told to reach. */
ZEPHRIN6_API _swerve_module_state_t c_kvor_zephrin6_swerve_module_get_target_state(int id, size_t moduleIndex);
/** Sets the module's drive motor position to 0. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_module_reset_position(int id, size_t moduleIndex);

/* ---- Requests ----
 * drivetrain_set_control_<name> installs the request, applied every sample
 * from the next one on; request_apply_<name> applies it once, now, with the
 * last sample's parameters, and returns its status (0 OK, -1002 for an
 * unknown ID). Request types: drive 0 open-loop voltage, 1 velocity; steer 0
 * profiled motion, 1 position. Forward perspective 0 takes field directions
 * from the operator's forward direction, anything else from the field's x
 * axis. Velocities in m/s, rates in rad/s, the centre of rotation in metres
 * in the robot frame, wheel forces in newtons (one per module, in module
 * order; copied, so the arrays may be reused at once; entries beyond the
 * module count are not read).
 *
 * A request type other than 0 or 1, or a double argument or used wheel
 * force that is not finite, is refused with an InvalidParamValue report:
 * request_apply_<name> then returns -1002 and commands nothing, and
 * drivetrain_set_control_<name> leaves the installed request in place. */

/** Sends nothing; the motors keep their last command. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_control_idle(int id);
/** Applies it once, now. @return its status (0 OK), -1002 for an unknown ID. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_request_apply_idle(int id);

/** Points every wheel along the line from the robot centre through its
 *  module, at speed 0, so the robot resists being pushed. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_control_swerve_drive_brake(int id, int driveRequestType,
                                                                                 int steerRequestType);
/** Applies it once, now. @return its status (0 OK), -1002 for an unknown ID. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_request_apply_swerve_drive_brake(int id, int driveRequestType,
                                                                       int steerRequestType);

/** Drives at field-relative velocities, turning at `rotationalRate`;
 *  translations slower than `deadband` and rates slower than
 *  `rotationalDeadband` count as none. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_control_field_centric(
    int id, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, int forwardPerspective,
    double velocityX, double velocityY, double rotationalRate, double deadband, double rotationalDeadband,
    double centerOfRotationX, double centerOfRotationY);
/** Applies it once, now. @return its status (0 OK), -1002 for an unknown ID. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_request_apply_field_centric(
    int id, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, int forwardPerspective,
    double velocityX, double velocityY, double rotationalRate, double deadband, double rotationalDeadband,
    double centerOfRotationX, double centerOfRotationY);

/** Drives at robot-relative velocities, with deadbands as field-centric. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_control_robot_centric(
    int id, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, double velocityX,
    double velocityY, double rotationalRate, double deadband, double rotationalDeadband, double centerOfRotationX,
    double centerOfRotationY);
/** Applies it once, now. @return its status (0 OK), -1002 for an unknown ID. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_request_apply_robot_centric(
    int id, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, double velocityX,
    double velocityY, double rotationalRate, double deadband, double rotationalDeadband, double centerOfRotationX,
    double centerOfRotationY);

/** Points every wheel at `moduleDirection` (radians, robot frame), speed 0. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_control_point_wheels_at(int id, int driveRequestType,
                                                                              int steerRequestType,
                                                                              double moduleDirection);
/** Applies it once, now. @return its status (0 OK), -1002 for an unknown ID. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_request_apply_point_wheels_at(int id, int driveRequestType,
                                                                    int steerRequestType, double moduleDirection);

/** Drives at robot-relative chassis speeds (vx, vy m/s, omega rad/s) as they
 *  are, with a force per wheel (robot frame) as drive feed-forward. A NULL
 *  array counts as empty. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_control_apply_robot_speeds(
    int id, const double *wheelForceFeedforwardsX, size_t countX, const double *wheelForceFeedforwardsY,
    size_t countY, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, double vx, double vy,
    double omega, double centerOfRotationX, double centerOfRotationY);
/** Applies it once, now. @return its status (0 OK), -1002 for an unknown ID. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_request_apply_apply_robot_speeds(
    int id, const double *wheelForceFeedforwardsX, size_t countX, const double *wheelForceFeedforwardsY,
    size_t countY, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, double vx, double vy,
    double omega, double centerOfRotationX, double centerOfRotationY);

/** Drives at field-relative chassis speeds, with field-relative wheel forces. */
ZEPHRIN6_API void c_kvor_zephrin6_swerve_drivetrain_set_control_apply_field_speeds(
    int id, const double *wheelForceFeedforwardsX, size_t countX, const double *wheelForceFeedforwardsY,
    size_t countY, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, int forwardPerspective,
    double vx, double vy, double omega, double centerOfRotationX, double centerOfRotationY);
/** Applies it once, now. @return its status (0 OK), -1002 for an unknown ID. */
ZEPHRIN6_API int c_kvor_zephrin6_swerve_request_apply_apply_field_speeds(
    int id, const double *wheelForceFeedforwardsX, size_t countX, const double *wheelForceFeedforwardsY,
    size_t countY, int driveRequestType, int steerRequestType, bool desaturateWheelSpeeds, int forwardPerspective,
    double vx, double vy, double omega, double centerOfRotationX, double centerOfRotationY);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KVOR_ZEPHRIN6_SWERVE_SWERVE_C_STYLE_H */
