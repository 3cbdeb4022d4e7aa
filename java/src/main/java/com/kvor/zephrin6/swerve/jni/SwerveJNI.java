package com.kvor.zephrin6.swerve.jni;

import java.util.function.IntSupplier;

/**
 * The swerve drivetrain's native interface: one native method per function of the library's
 * swerve C interface, working on drivetrains named by the integer IDs the creation methods
 * return. Most programs use {@link com.kvor.zephrin6.swerve.SwerveDrivetrain}, which wraps
 * this class; use it directly only for what the wrapper does not offer.
 *
 * <p>Each instance owns five scratch objects that the native methods read or write instead
 * of creating objects per call: {@link #driveState} (written by {@link #JNI_GetState} and by a
 * registered telemetry callback), {@link #controlParams} (written before each call of a
 * registered control callback), {@link #moduleApplyParams} (read by {@link #JNI_Module_Apply}),
 * {@link #moduleState} and {@link #modulePosition} (written by the module getters). An instance
 * is therefore not thread-safe: give each thread, and each registered callback, its own.
 *
 * <p>Units: metres, metres per second, radians, radians per second, seconds, hertz, newtons.
 *
 * <p>Parameter order: the drivetrain ID comes first, then every argument in the order of the C
 * function the method calls, whatever its type; the native layer passes them through in that
 * order. Booleans, ints, longs (handles) and arrays therefore sit between doubles wherever the
 * C function has them, e.g. {@link #JNI_SetControl_FieldCentric} takes the request types, the
 * desaturation flag and the forward perspective before the velocities.
 *
 * <p>Handles ({@code long}): constants handles are released with {@link #JNI_DestroyConstants}
 * once the drivetrain is created; callback handles with {@link #JNI_DestroyControl} or
 * {@link #JNI_DestroyTelemetry}, but only after the drivetrain no longer holds them (another
 * callback was registered, the callback was cleared with {@code null}, or the drivetrain was
 * destroyed). A handle of 0 means nothing was created and may be released harmlessly.
 *
 * <p>Unknown drivetrain IDs and module indices are not errors: calls do nothing and return
 * false, 0, zeros or -1002. No method throws for bad input.
 */
public class SwerveJNI {
    static {
        System.loadLibrary("KVOR_Zephrin6_Replay");
        // Whatever a program leaves running, its odometry threads must be out of Java before the
        // JVM halts: a thread that calls into a halted JVM never returns, and the exit would wait
        // for it. The hook stops every callback and odometry thread (half a second at most).
        try {
            Runtime.getRuntime().addShutdownHook(new Thread(SwerveJNI::JNI_StopAllForExit, "zephrin6 shutdown"));
        } catch (IllegalStateException exiting) {
            // Loaded while the JVM already exits: nothing can have started yet.
        }
    }

    /**
     * Stops every telemetry and control callback and every odometry thread of every drivetrain,
     * for good: the exit of the JVM. Run by the shutdown hook this class registers when it loads;
     * drivetrains are not destroyed, and no drivetrain can be created or started afterwards.
     */
    private static native void JNI_StopAllForExit();

    // ---- State records ----
    // These classes and the scratch fields below mirror the records of the C interface
    // and come from one table, tools/jni/state_records.py, which also gives the native
    // layer its field IDs. Change the table and rerun the script instead of editing them.

    /** One module's wheel speed and azimuth. */
    public static class ModuleState {
        /** Wheel speed, m/s. */
        public double speed;
        /** Azimuth, radians. */
        public double angle;
    }

    /** One module's distance rolled and azimuth. */
    public static class ModulePosition {
        /** Distance rolled, metres. */
        public double distance;
        /** Azimuth, radians. */
        public double angle;
    }

    /**
     * A drivetrain's state after one odometry sample. The three arrays have one entry per module,
     * in module order.
     */
    public static class DriveState {
        /** Fused pose estimate: x, metres. */
        public double PoseX;
        /** Fused pose estimate: y, metres. */
        public double PoseY;
        /** Fused pose estimate: heading, radians. */
        public double PoseTheta;
        /** Measured robot-relative speed forward, m/s. */
        public double SpeedsVx;
        /** Measured speed to the left, m/s. */
        public double SpeedsVy;
        /** Measured turning rate, rad/s. */
        public double SpeedsOmega;
        /** Measured module states. */
        public ModuleState[] ModuleStates;
        /** States the modules were last told to reach. */
        public ModuleState[] ModuleTargets;
        /** Module positions. */
        public ModulePosition[] ModulePositions;
        /** Gyro heading without the odometry's offset, radians. */
        public double RawHeading;
        /** Time of the sample, seconds on the runtime's clock. */
        public double Timestamp;
        /** Time between samples averaged over the last 50, seconds. */
        public double OdometryPeriod;
        /** Samples whose signals all arrived in time. */
        public int SuccessfulDaqs;
        /** Samples with some signal late or missing. */
        public int FailedDaqs;

        /** A DriveState without module entries (only the numbers are filled in). */
        public DriveState() {
            this(0);
        }

        /** A DriveState with room for {@code moduleCount} modules. */
        public DriveState(int moduleCount) {
            ModuleStates = new ModuleState[moduleCount];
            ModuleTargets = new ModuleState[moduleCount];
            ModulePositions = new ModulePosition[moduleCount];
            for (int i = 0; i < moduleCount; ++i) {
                ModuleStates[i] = new ModuleState();
                ModuleTargets[i] = new ModuleState();
                ModulePositions[i] = new ModulePosition();
            }
        }
    }

    /** What a control callback is given every sample. */
    public static class ControlParams {
        /** Drivetrain top speed, m/s. */
        public double kMaxSpeedMps;
        /** Field direction the operator calls forward, radians. */
        public double operatorForwardDirection;
        /** Measured robot-relative speed forward, m/s. */
        public double currentChassisSpeedVx;
        /** Measured speed to the left, m/s. */
        public double currentChassisSpeedVy;
        /** Measured turning rate, rad/s. */
        public double currentChassisSpeedOmega;
        /** Fused pose estimate: x, metres. */
        public double currentPoseX;
        /** Fused pose estimate: y, metres. */
        public double currentPoseY;
        /** Fused pose estimate: heading, radians. */
        public double currentPoseTheta;
        /** Time of the sample, seconds. */
        public double timestamp;
        /** 1 / odometry frequency, seconds. */
        public double updatePeriod;
    }

    /** One command for one module. */
    public static class ModuleApplyParams {
        /** Wheel speed (m/s) and azimuth (radians) to reach. */
        public ModuleState state = new ModuleState();
        /** Force to push with along the robot's x axis, newtons. */
        public double wheelForceFeedforwardX;
        /** Force to push with along the robot's y axis, newtons. */
        public double wheelForceFeedforwardY;
        /** 0 open-loop voltage, 1 velocity. */
        public int driveRequest;
        /** 0 profiled (exponential) motion, 1 position. */
        public int steerRequest;
        /** Control period, seconds; 0 for no steer feed-forward. */
        public double updatePeriod;
        /** Field-oriented commutation where the motor can. */
        public boolean enableFOC;
    }

    /** Written by {@link #JNI_GetState} and a telemetry callback. */
    public DriveState driveState;
    /** Written before each call of a control callback. */
    public ControlParams controlParams = new ControlParams();
    /** Read by {@link #JNI_Module_Apply}. */
    public ModuleApplyParams moduleApplyParams = new ModuleApplyParams();
    /** Written by the module state getters. */
    public ModuleState moduleState = new ModuleState();
    /** Written by the module position getters. */
    public ModulePosition modulePosition = new ModulePosition();

    // ---- End of the generated records ----

    /** An instance whose drive state has no room for modules. */
    public SwerveJNI() {
        this(0);
    }

    /** An instance whose drive state has room for {@code moduleCount} modules. */
    public SwerveJNI(int moduleCount) {
        driveState = new DriveState(moduleCount);
    }

    // ---- Creation and constants ----

    /** Creates a drivetrain (default rate and standard deviations, odometry stopped); 0 if refused. */
    public native int JNI_CreateDrivetrain(long drivetrainConstants, long moduleConstants, int moduleCount);

    /** As {@link #JNI_CreateDrivetrain} at {@code odometryFrequency} hertz (0 for the default). */
    public native int JNI_CreateDrivetrainWithFreq(
            long drivetrainConstants, long moduleConstants, int moduleCount, double odometryFrequency);

    /** As above with odometry and vision standard deviations (three each); 0 unless both have 3. */
    public native int JNI_CreateDrivetrainWithStddev(long drivetrainConstants, double[] odometryStdDev,
            double[] visionStdDev, long moduleConstants, int moduleCount, double odometryFrequency);

    /** Destroys drivetrain {@code id} after stopping its odometry. */
    public native void JNI_DestroyDrivetrain(int id);

    /** Drivetrain constants for a bus and the heading sensor's CAN ID (the name is copied). */
    public native long JNI_CreateDrivetrainConstants(String canBusName, int auklet2Id);

    /** An array of {@code count} module constants, every field zero; 0 for a negative count. */
    public native long JNI_CreateModuleConstantsArr(int count);

    /**
     * Sets module {@code index}; units as {@link com.kvor.zephrin6.swerve.SwerveModuleConstants}.
     * Returns 0 (nothing set) for an index beyond the array or a number that is not finite.
     */
    public native long JNI_SetModuleConstants(long moduleConstants, int index, int steerMotorId, int driveMotorId,
            int encoderId, double encoderOffset, double locationX, double locationY, boolean driveMotorInverted,
            boolean steerMotorInverted, boolean encoderInverted, double driveMotorGearRatio,
            double steerMotorGearRatio, double couplingGearRatio, double wheelRadius, int steerMotorClosedLoopOutput,
            int driveMotorClosedLoopOutput, double slipCurrent, double speedAt12Volts, int driveMotorType,
            int steerMotorType, int feedbackSource, double steerInertia, double driveInertia,
            double steerFrictionVoltage, double driveFrictionVoltage);

    /** Releases a constants handle of either kind. */
    public native void JNI_DestroyConstants(long handle);

    // ---- Drivetrain ----

    public native boolean JNI_IsOnCANFD(int id);

    /** Odometry samples per second. */
    public native double JNI_GetOdometryFrequency(int id);

    public native boolean JNI_IsOdometryValid(int id);

    /**
     * Makes {@code callback} the drive request: before each call {@link #controlParams} holds the
     * sample's parameters, and its int result is the request's status. It runs on the
     * drivetrain's odometry thread. {@code null} installs a request that sends nothing and
     * returns 0. Returns the handle to release once the drivetrain no longer holds it.
     */
    public native long JNI_SetControl(int id, IntSupplier callback);

    /** Releases a control callback handle. */
    public native void JNI_DestroyControl(long handle);

    /** Copies the state of the last sample into {@link #driveState} (as many modules as it has room for). */
    public native void JNI_GetState(int id);

    /**
     * Makes {@code callback} the telemetry function: it runs on the odometry thread after each
     * sample, with {@link #driveState} holding the new state. {@code null} removes it and
     * returns 0. Returns the handle to release once the drivetrain no longer holds it.
     */
    public native long JNI_RegisterTelemetry(int id, Runnable callback);

    /** Releases a telemetry callback handle. */
    public native void JNI_DestroyTelemetry(long handle);

    /** Neutral mode of every drive motor (0 coast, 1 brake); returns the first failure or 0. */
    public native int JNI_ConfigNeutralMode(int id, int neutralMode);

    public native void JNI_TareEverything(int id);

    public native void JNI_SeedFieldCentric(int id);

    public native void JNI_ResetPose(int id, double x, double y, double theta);

    public native void JNI_ResetTranslation(int id, double x, double y);

    public native void JNI_ResetRotation(int id, double theta);

    public native void JNI_SetOperatorPerspectiveForward(int id, double theta);

    public native double JNI_GetOperatorForwardDirection(int id);

    /** Fuses a pose measured at {@code timestamp} (seconds on the runtime's clock). */
    public native void JNI_AddVisionMeasurement(int id, double x, double y, double theta, double timestamp);

    /** As above, first setting the vision standard deviations (skipped unless 3 of them). */
    public native void JNI_AddVisionMeasurementWithStdDev(
            int id, double x, double y, double theta, double timestamp, double[] stdDevs);

    /** Sets the vision standard deviations (nothing unless 3 of them). */
    public native void JNI_SetVisionMeasurementStdDevs(int id, double[] stdDevs);

    /** The fused pose {x, y, theta} at {@code timestamp}, or null before any sample. */
    public native double[] JNI_SamplePoseAt(int id, double timestamp);

    public native void JNI_Odom_Start(int id);

    public native void JNI_Odom_Stop(int id);

    /** Real-time priority (1 to 99) of the odometry thread, applied after its next sample. */
    public native void JNI_Odom_SetThreadPriority(int id, int priority);

    /** One odometry sample now, on this thread; the read's status, -100 while the thread runs. */
    public native int JNI_Odom_RunOnce(int id);

    /**
     * Slot 0 gains of module {@code index}'s steer motor ({@code motor} 0) or drive motor (1);
     * 0, or -1002 for a refused argument.
     */
    public native int JNI_SetModuleGains(
            long moduleConstants, int index, int motor, double kP, double kI, double kD, double kS, double kV,
            double kA);

    /** Starts the simulation thread (period seconds, battery volts); a status. */
    public native int JNI_Sim_Start(int id, double periodSeconds, double supplyVolts);

    /** Stops the simulation thread and waits for it. */
    public native void JNI_Sim_Stop(int id);

    /** Moves the simulated robot through dt seconds with the battery at supplyVolts; a status. */
    public native int JNI_Sim_Update(int id, double dtSeconds, double supplyVolts);

    /** The simulated robot's true pose {x, y, theta}, or null for an unknown ID. */
    public native double[] JNI_Sim_GetPose(int id);

    /**
     * Puts the simulated robot on a field: {@code sizes} {length, width, bumper margin, mass,
     * moment of inertia}, the bumper's corners as x, y pairs (empty for the default outline), every
     * obstacle's corners one obstacle after the other, and each obstacle's corner count; a status.
     */
    public native int JNI_Sim_SetField(int id, double[] sizes, double[] bumperXY, double[] obstacleXY,
            int[] obstacleCorners);

    /** Takes the simulated robot off its field. */
    public native void JNI_Sim_ClearField(int id);

    /** Moves the simulated robot to (x, y, theta); a status. */
    public native int JNI_Sim_ResetPose(int id, double x, double y, double theta);

    /** Sets the simulated battery (open-circuit volts, ohms, brownout volts); a status. */
    public native int JNI_Sim_SetBattery(int id, double openCircuitVolts, double resistanceOhms, double brownoutVolts);

    /**
     * The simulated battery {open-circuit volts, ohms, brownout volts, loaded volts, amps, browned
     * out (1 or 0)}, or null for an unknown ID.
     */
    public native double[] JNI_Sim_GetBattery(int id);

    /** Moves the simulated robot through dt seconds on the simulated battery; a status. */
    public native int JNI_Sim_UpdateOnBattery(int id, double dtSeconds);

    /** Starts the simulation thread on the simulated battery; a status. */
    public native int JNI_Sim_StartOnBattery(int id, double periodSeconds);

    // ---- Modules ----

    /** Commands module {@code moduleIndex} once with {@link #moduleApplyParams}. */
    public native void JNI_Module_Apply(int id, int moduleIndex);

    /** Writes the module's position into {@link #modulePosition}, reading its signals first if asked. */
    public native void JNI_Module_GetPosition(int id, int moduleIndex, boolean refresh);

    /** Writes the module's last read position into {@link #modulePosition}. */
    public native void JNI_Module_GetCachedPosition(int id, int moduleIndex);

    /** Writes the module's measured state into {@link #moduleState}. */
    public native void JNI_Module_GetCurrentState(int id, int moduleIndex);

    /** Writes the state the module was last told to reach into {@link #moduleState}. */
    public native void JNI_Module_GetTargetState(int id, int moduleIndex);

    /** Sets the module's drive motor position to 0. */
    public native void JNI_Module_ResetPosition(int id, int moduleIndex);

    // ---- Requests: SetControl_* installs, Request_Apply_* applies once and returns its status ----

    public native void JNI_SetControl_Idle(int id);

    public native int JNI_Request_Apply_Idle(int id);

    public native void JNI_SetControl_SwerveDriveBrake(int id, int driveRequestType, int steerRequestType);

    public native int JNI_Request_Apply_SwerveDriveBrake(int id, int driveRequestType, int steerRequestType);

    public native void JNI_SetControl_FieldCentric(int id, int driveRequestType, int steerRequestType,
            boolean desaturateWheelSpeeds, int forwardPerspective, double velocityX, double velocityY,
            double rotationalRate, double deadband, double rotationalDeadband, double centerOfRotationX,
            double centerOfRotationY);

    public native int JNI_Request_Apply_FieldCentric(int id, int driveRequestType, int steerRequestType,
            boolean desaturateWheelSpeeds, int forwardPerspective, double velocityX, double velocityY,
            double rotationalRate, double deadband, double rotationalDeadband, double centerOfRotationX,
            double centerOfRotationY);

    public native void JNI_SetControl_RobotCentric(int id, int driveRequestType, int steerRequestType,
            boolean desaturateWheelSpeeds, double velocityX, double velocityY, double rotationalRate,
            double deadband, double rotationalDeadband, double centerOfRotationX, double centerOfRotationY);

    public native int JNI_Request_Apply_RobotCentric(int id, int driveRequestType, int steerRequestType,
            boolean desaturateWheelSpeeds, double velocityX, double velocityY, double rotationalRate,
            double deadband, double rotationalDeadband, double centerOfRotationX, double centerOfRotationY);

    public native void JNI_SetControl_PointWheelsAt(
            int id, int driveRequestType, int steerRequestType, double moduleDirection);

    public native int JNI_Request_Apply_PointWheelsAt(
            int id, int driveRequestType, int steerRequestType, double moduleDirection);

    /** Robot-relative speeds with a force per wheel (newtons, one per module; null for none). */
    public native void JNI_SetControl_ApplyRobotSpeeds(int id, double[] wheelForceFeedforwardsX,
            double[] wheelForceFeedforwardsY, int driveRequestType, int steerRequestType,
            boolean desaturateWheelSpeeds, double vx, double vy, double omega, double centerOfRotationX,
            double centerOfRotationY);

    public native int JNI_Request_Apply_ApplyRobotSpeeds(int id, double[] wheelForceFeedforwardsX,
            double[] wheelForceFeedforwardsY, int driveRequestType, int steerRequestType,
            boolean desaturateWheelSpeeds, double vx, double vy, double omega, double centerOfRotationX,
            double centerOfRotationY);

    /** Field-relative speeds with field-relative forces per wheel. */
    public native void JNI_SetControl_ApplyFieldSpeeds(int id, double[] wheelForceFeedforwardsX,
            double[] wheelForceFeedforwardsY, int driveRequestType, int steerRequestType,
            boolean desaturateWheelSpeeds, int forwardPerspective, double vx, double vy, double omega,
            double centerOfRotationX, double centerOfRotationY);

    public native int JNI_Request_Apply_ApplyFieldSpeeds(int id, double[] wheelForceFeedforwardsX,
            double[] wheelForceFeedforwardsY, int driveRequestType, int steerRequestType,
            boolean desaturateWheelSpeeds, int forwardPerspective, double vx, double vy, double omega,
            double centerOfRotationX, double centerOfRotationY);
}
