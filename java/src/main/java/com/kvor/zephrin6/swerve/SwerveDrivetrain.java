package com.kvor.zephrin6.swerve;

import com.kvor.zephrin6.sim.SimClock;
import com.kvor.zephrin6.swerve.jni.SwerveJNI;
import java.util.Objects;
import java.util.function.Consumer;
import java.util.function.IntSupplier;
import java.util.function.ToIntFunction;

/**
 * A swerve drivetrain: a heading sensor (auklet 2) and one module per {@link
 * SwerveModuleConstants}, all on one CAN bus, with an odometry thread that samples every device,
 * tracks the robot's pose and applies the installed {@link SwerveRequest}. It runs in the native
 * library; in simulation (no robot, no log loaded) the library's runtime simulates the devices.
 *
 * <pre>{@code
 * try (SwerveDrivetrain drivetrain =
 *         new SwerveDrivetrain("drivebus", 40, frontLeft, frontRight, backLeft, backRight)) {
 *     drivetrain.registerTelemetry(state -> log(state.PoseX, state.PoseY));
 *     drivetrain.startOdometry();
 *     SwerveRequest.FieldCentric drive = new SwerveRequest.FieldCentric();
 *     while (enabled()) {
 *         drivetrain.setControl(drive.withVelocityX(joystickX * maxSpeed).withRotationalRate(turnRate));
 *         SwerveJNI.DriveState state = drivetrain.getState();
 *         ...
 *     }
 * }
 * }</pre>
 *
 * <p>Threads: every method may be called from any thread; objects a method returns for reuse
 * belong to the calling thread. Telemetry and control functions run on the drivetrain's odometry
 * thread, one sample at a time; keep them short, the thread waits for them. They may read the
 * drivetrain and apply requests once, but not change what is registered or close it (that throws
 * {@link IllegalStateException}): do that from the program's own threads. An exception they throw
 * goes to the odometry thread's uncaught-exception handler and the sample carries on.
 *
 * <p>Ownership: the drivetrain holds native resources until {@link #close}. A program that ends
 * without closing it (or calls {@link System#exit}) still exits promptly: when the JVM exits,
 * the library's shutdown hook stops every telemetry and control function and every odometry
 * thread, and the memory goes with the process.
 *
 * <p>Units: metres, metres per second, radians, radians per second, seconds, hertz.
 */
public final class SwerveDrivetrain implements AutoCloseable {
    /** Set while a telemetry or control function of any drivetrain runs on this thread. */
    private static final ThreadLocal<Boolean> inCallback = ThreadLocal.withInitial(() -> false);

    /** Drivetrains built and not closed yet, in this JVM. */
    private static final java.util.concurrent.atomic.AtomicInteger open =
            new java.util.concurrent.atomic.AtomicInteger();

    private final int id;
    private final int moduleCount;
    /** Each thread's own scratch objects, so that no call waits for another thread's. */
    private final ThreadLocal<SwerveJNI> calls;
    /** Written by the odometry thread before each telemetry call. */
    private final SwerveJNI telemetryJni;
    /** Written by the odometry thread before each control call. */
    private final SwerveJNI controlJni;
    // Registrations and closing happen on program threads only, under this object's lock; the
    // odometry thread never takes it, so holding it while the library waits for a sample is safe.
    private long telemetryHandle;
    private long controlHandle;
    private volatile boolean closed;

    /** A drivetrain sampling at the bus's default rate (250 Hz on CAN FD, 100 Hz otherwise). */
    public SwerveDrivetrain(String canBusName, int auklet2Id, SwerveModuleConstants... modules) {
        this(canBusName, auklet2Id, 0.0, modules);
    }

    /**
     * A drivetrain on the bus {@code canBusName} ("" for the controller's own classic bus, any
     * other name a CAN FD bus), with the auklet 2 of CAN ID {@code auklet2Id}, one module per
     * constants entry (in that order), sampling at {@code odometryFrequencyHz} (0 for the
     * default). Its odometry thread is not started yet: see {@link #startOdometry}, or step it
     * with {@link #stepOdometry}. Creation reads every device, waiting up to 0.05 s for each (on
     * the manual clock of {@link SimClock}, time is moved on meanwhile), and configures every
     * module's motors and encoder from its constants (see {@link SwerveModuleConstants}).
     *
     * @throws IllegalArgumentException when the library refuses the constants (it reports why)
     */
    public SwerveDrivetrain(
            String canBusName, int auklet2Id, double odometryFrequencyHz, SwerveModuleConstants... modules) {
        moduleCount = modules.length;
        calls = ThreadLocal.withInitial(() -> new SwerveJNI(moduleCount));
        telemetryJni = new SwerveJNI(moduleCount);
        controlJni = new SwerveJNI(0);
        SwerveJNI jni = calls.get();
        long drivetrainConstants = jni.JNI_CreateDrivetrainConstants(canBusName, auklet2Id);
        long moduleConstants = jni.JNI_CreateModuleConstantsArr(moduleCount);
        try {
            for (int i = 0; i < moduleCount; ++i) {
                if (!set(jni, moduleConstants, i, modules[i])) {
                    throw new IllegalArgumentException("module " + i + " has a number that is not finite");
                }
            }
            // Building reads every device, waiting for its frames: on the manual clock time
            // must move meanwhile.
            int[] created = new int[1];
            SimClock.whileTimeRuns(() -> created[0] = jni.JNI_CreateDrivetrainWithFreq(
                    drivetrainConstants, moduleConstants, moduleCount, odometryFrequencyHz));
            id = created[0];
        } finally {
            // The drivetrain keeps copies of what it needs.
            jni.JNI_DestroyConstants(drivetrainConstants);
            jni.JNI_DestroyConstants(moduleConstants);
        }
        if (id == 0) {
            throw new IllegalArgumentException("the library refused the drivetrain constants");
        }
        open.incrementAndGet();
    }

    /** How many drivetrains this JVM has built and not closed. */
    public static int openDrivetrains() {
        return open.get();
    }

    private static boolean set(SwerveJNI jni, long handle, int index, SwerveModuleConstants m) {
        double[] s = m.steerGains;
        double[] d = m.driveGains;
        return jni.JNI_SetModuleGains(handle, index, 0, s[0], s[1], s[2], s[3], s[4], s[5]) == 0
                && jni.JNI_SetModuleGains(handle, index, 1, d[0], d[1], d[2], d[3], d[4], d[5]) == 0
                && jni.JNI_SetModuleConstants(handle, index, m.steerMotorId, m.driveMotorId, m.encoderId,
                m.encoderOffset, m.locationX, m.locationY, m.driveMotorInverted, m.steerMotorInverted,
                m.encoderInverted, m.driveMotorGearRatio, m.steerMotorGearRatio, m.couplingGearRatio, m.wheelRadius,
                m.steerMotorClosedLoopOutput.value, m.driveMotorClosedLoopOutput.value, m.slipCurrent,
                m.speedAt12Volts, m.driveMotorType.value, m.steerMotorType.value, m.feedbackSource, m.steerInertia,
                m.driveInertia, m.steerFrictionVoltage, m.driveFrictionVoltage) != 0;
    }

    /** The drivetrain's ID in the native library (for {@link SwerveJNI} calls of your own). */
    public int getId() {
        return id;
    }

    /** How many modules the drivetrain has. */
    public int getModuleCount() {
        return moduleCount;
    }

    /** Starts the odometry thread (nothing when it runs). */
    public void startOdometry() {
        calls.get().JNI_Odom_Start(id);
    }

    /**
     * Stops the odometry thread and waits for its current sample (on the manual clock of {@link
     * SimClock}, time is moved on meanwhile, as the sample may be waiting for frames).
     */
    public void stopOdometry() {
        SwerveJNI jni = calls.get();
        SimClock.whileTimeRuns(() -> jni.JNI_Odom_Stop(id));
    }

    /** Asks for real-time priority {@code priority} (1 to 99) for the odometry thread. */
    public void setOdometryThreadPriority(int priority) {
        calls.get().JNI_Odom_SetThreadPriority(id, priority);
    }

    /**
     * Calls {@code telemetry} on the odometry thread after every sample with the new state. The
     * state object is reused: read it during the call, copy what you keep. {@code null} stops
     * the calls.
     */
    public void registerTelemetry(Consumer<SwerveJNI.DriveState> telemetry) {
        checkNotInCallback();
        Runnable callback = telemetry == null ? null : () -> {
            inCallback.set(true);
            try {
                telemetry.accept(telemetryJni.driveState);
            } catch (Throwable failure) {
                report(failure);
            } finally {
                inCallback.set(false);
            }
        };
        synchronized (this) {
            checkOpen();
            long previous = telemetryHandle;
            telemetryHandle = telemetryJni.JNI_RegisterTelemetry(id, callback);
            telemetryJni.JNI_DestroyTelemetry(previous);
        }
    }

    /** Installs {@code request}, applied every sample from the next one on. */
    public void setControl(SwerveRequest request) {
        checkNotInCallback();
        synchronized (this) {
            checkOpen();
            request.install(calls.get(), id);
            // The request replaced any control function, which can go now.
            controlJni.JNI_DestroyControl(controlHandle);
            controlHandle = 0;
        }
    }

    /**
     * Makes {@code control} the drive request: every sample it gets the sample's parameters (a
     * reused object) on the odometry thread and commands the modules itself, returning a status
     * (0 OK). {@code null} installs a request that sends nothing, so the motors keep their last
     * command.
     */
    public void setControlFunction(ToIntFunction<SwerveJNI.ControlParams> control) {
        checkNotInCallback();
        IntSupplier callback = control == null ? null : () -> {
            inCallback.set(true);
            try {
                return control.applyAsInt(controlJni.controlParams);
            } catch (Throwable failure) {
                report(failure);
                return -1;
            } finally {
                inCallback.set(false);
            }
        };
        synchronized (this) {
            checkOpen();
            long previous = controlHandle;
            controlHandle = controlJni.JNI_SetControl(id, callback);
            controlJni.JNI_DestroyControl(previous);
        }
    }

    /**
     * Registrations change what the odometry thread runs and wait for its current sample, so they
     * come from program threads; checked before taking this object's lock.
     */
    private static void checkNotInCallback() {
        if (inCallback.get()) {
            throw new IllegalStateException("a telemetry or control function cannot change registrations or close");
        }
    }

    private void checkOpen() {
        if (closed) {
            throw new IllegalStateException("the drivetrain is closed");
        }
    }

    /** Applies {@code request} once, now, with the last sample's parameters. Returns its status (0 OK). */
    public int applyOnce(SwerveRequest request) {
        return request.applyOnce(calls.get(), id);
    }

    /** The state of the last sample, in an object reused by this thread's next call. */
    public SwerveJNI.DriveState getState() {
        SwerveJNI jni = calls.get();
        jni.JNI_GetState(id);
        return jni.driveState;
    }

    /** The fused pose {x, y, theta} at {@code timestamp} (seconds), or null before any sample. */
    public double[] samplePoseAt(double timestamp) {
        return calls.get().JNI_SamplePoseAt(id, timestamp);
    }

    /** Moves the pose estimate to (x, y) metres, heading theta radians. */
    public void resetPose(double x, double y, double theta) {
        calls.get().JNI_ResetPose(id, x, y, theta);
    }

    /** Moves the pose estimate to (x, y) metres, keeping the heading. */
    public void resetTranslation(double x, double y) {
        calls.get().JNI_ResetTranslation(id, x, y);
    }

    /** Sets the estimated heading, radians. */
    public void resetRotation(double theta) {
        calls.get().JNI_ResetRotation(id, theta);
    }

    /**
     * Sets the estimated heading to the operator's forward direction, so that the way the robot
     * faces now is forward for field-centric driving.
     */
    public void seedFieldCentric() {
        calls.get().JNI_SeedFieldCentric(id);
    }

    /** Zeroes the drive positions and restarts odometry at the origin. */
    public void tareEverything() {
        calls.get().JNI_TareEverything(id);
    }

    /** Sets the field direction the operator calls forward, radians. */
    public void setOperatorPerspectiveForward(double theta) {
        calls.get().JNI_SetOperatorPerspectiveForward(id, theta);
    }

    /** The field direction the operator calls forward, radians. */
    public double getOperatorForwardDirection() {
        return calls.get().JNI_GetOperatorForwardDirection(id);
    }

    /** Fuses a pose measured at {@code timestamp} (seconds on the runtime's clock). */
    public void addVisionMeasurement(double x, double y, double theta, double timestamp) {
        calls.get().JNI_AddVisionMeasurement(id, x, y, theta, timestamp);
    }

    /** As above with standard deviations {x, y, theta} for this and later measurements. */
    public void addVisionMeasurement(
            double x, double y, double theta, double timestamp, double[] standardDeviations) {
        requireThree(standardDeviations);
        calls.get().JNI_AddVisionMeasurementWithStdDev(id, x, y, theta, timestamp, standardDeviations);
    }

    /** Sets how much vision measurements are trusted: {x, y (metres), theta (radians)}. */
    public void setVisionMeasurementStdDevs(double[] standardDeviations) {
        requireThree(standardDeviations);
        calls.get().JNI_SetVisionMeasurementStdDevs(id, standardDeviations);
    }

    private static void requireThree(double[] values) {
        if (values == null || values.length != 3) {
            throw new IllegalArgumentException("three standard deviations are needed: x, y and theta");
        }
    }

    /** Sets the neutral mode of every drive motor (0 coast, 1 brake); returns the first failure or 0. */
    public int configNeutralMode(int neutralMode) {
        return calls.get().JNI_ConfigNeutralMode(id, neutralMode);
    }

    /** True once more than two samples read every signal in time. */
    public boolean isOdometryValid() {
        return calls.get().JNI_IsOdometryValid(id);
    }

    /** Whether the drivetrain's bus is CAN FD. */
    public boolean isOnCANFD() {
        return calls.get().JNI_IsOnCANFD(id);
    }

    /** Odometry samples per second. */
    public double getOdometryFrequency() {
        return calls.get().JNI_GetOdometryFrequency(id);
    }

    /** Module {@code index}'s measured speed (m/s) and azimuth (radians), as a new object. */
    public SwerveJNI.ModuleState getModuleCurrentState(int index) {
        SwerveJNI jni = calls.get();
        jni.JNI_Module_GetCurrentState(id, index);
        return copy(jni.moduleState);
    }

    /** The state module {@code index} was last told to reach, as a new object. */
    public SwerveJNI.ModuleState getModuleTargetState(int index) {
        SwerveJNI jni = calls.get();
        jni.JNI_Module_GetTargetState(id, index);
        return copy(jni.moduleState);
    }

    /** Module {@code index}'s distance (metres) and azimuth, reading its signals first if asked. */
    public SwerveJNI.ModulePosition getModulePosition(int index, boolean refresh) {
        SwerveJNI jni = calls.get();
        jni.JNI_Module_GetPosition(id, index, refresh);
        SwerveJNI.ModulePosition position = new SwerveJNI.ModulePosition();
        position.distance = jni.modulePosition.distance;
        position.angle = jni.modulePosition.angle;
        return position;
    }

    /** Sets module {@code index}'s drive position to 0. */
    public void resetModulePosition(int index) {
        calls.get().JNI_Module_ResetPosition(id, index);
    }

    // ---- Simulation and manual stepping ----

    /**
     * Moves the simulated robot on a thread of its own: every {@code periodSeconds} of wall time
     * it integrates the time the runtime's clock moved, with {@code supplyVolts} as the battery.
     * The simulation (built on first use from the module constants: ratios, wheel radius,
     * inertias, friction, slip current) reads the voltages the simulated motors apply and feeds
     * them what they would measure. Nothing when it runs already. Use it or {@link #updateSim},
     * not both.
     *
     * @throws IllegalArgumentException for a period that is not positive and finite or a supply
     *     that is not finite and at least 0
     * @throws IllegalStateException once closed
     */
    public void startSimThread(double periodSeconds, double supplyVolts) {
        if (!(periodSeconds > 0.0) || !Double.isFinite(periodSeconds)) {
            throw new IllegalArgumentException("the simulation period must be a positive finite number of seconds, not "
                    + periodSeconds);
        }
        checkSupply(supplyVolts);
        checkOpen();
        check(calls.get().JNI_Sim_Start(id, periodSeconds, supplyVolts), "startSimThread");
    }

    /** Stops the simulation thread and waits for it (nothing when none runs, or once closed). */
    public void stopSimThread() {
        if (!closed) {
            calls.get().JNI_Sim_Stop(id);
        }
    }

    /**
     * Moves the simulated robot through {@code dtSeconds}, the time the program just moved the
     * clock by (at most 1 s is integrated at once), with {@code supplyVolts} as the battery.
     *
     * @throws IllegalArgumentException for a dt that is negative or not finite, or a supply that
     *     is not finite and at least 0
     * @throws IllegalStateException once closed
     */
    public void updateSim(double dtSeconds, double supplyVolts) {
        if (!(dtSeconds >= 0.0) || !Double.isFinite(dtSeconds)) {
            throw new IllegalArgumentException("dt must be a finite number of seconds of 0 or more, not " + dtSeconds);
        }
        checkSupply(supplyVolts);
        checkOpen();
        check(calls.get().JNI_Sim_Update(id, dtSeconds, supplyVolts), "updateSim");
    }

    /**
     * As {@link #startSimThread(double, double)}, with the simulated battery as the supply (see
     * {@link #setSimBattery}).
     *
     * @throws IllegalArgumentException for a period that is not positive and finite
     * @throws IllegalStateException once closed
     */
    public void startSimThread(double periodSeconds) {
        if (!(periodSeconds > 0.0) || !Double.isFinite(periodSeconds)) {
            throw new IllegalArgumentException("the simulation period must be a positive finite number of seconds, not "
                    + periodSeconds);
        }
        checkOpen();
        check(calls.get().JNI_Sim_StartOnBattery(id, periodSeconds), "startSimThread");
    }

    /**
     * As {@link #updateSim(double, double)}, with the simulated battery as the supply: it is drawn
     * on by the supply currents the drivetrain's motor controllers report, and while it is browned
     * out they are disabled.
     *
     * @throws IllegalArgumentException for a dt that is negative or not finite
     * @throws IllegalStateException once closed
     */
    public void updateSim(double dtSeconds) {
        if (!(dtSeconds >= 0.0) || !Double.isFinite(dtSeconds)) {
            throw new IllegalArgumentException("dt must be a finite number of seconds of 0 or more, not " + dtSeconds);
        }
        checkOpen();
        check(calls.get().JNI_Sim_UpdateOnBattery(id, dtSeconds), "updateSim");
    }

    /**
     * Puts the simulated robot on {@code field} from now on; place it with {@link #resetSimPose}.
     * Walls and obstacles stop and push the chassis, and its wheels slip against them.
     *
     * @throws IllegalArgumentException for a field the simulation cannot take (a size, mass or
     *     inertia that is not positive and finite, a polygon that is not convex, has fewer than 3
     *     or more than 8 corners or an odd number of coordinates, more than 64 obstacles)
     * @throws IllegalStateException once closed
     */
    public void setSimField(SimField field) {
        Objects.requireNonNull(field, "field");
        checkOpen();
        double[] sizes = {field.length, field.width, field.bumperMargin, field.chassisMass,
                field.chassisMomentOfInertia};
        int total = 0;
        int[] corners = new int[field.obstacles.size()];
        for (int i = 0; i < corners.length; ++i) {
            double[] xy = field.obstacles.get(i);
            if (xy.length % 2 != 0) {
                throw new IllegalArgumentException("obstacle " + i + " has an odd number of coordinates");
            }
            corners[i] = xy.length / 2;
            total += xy.length;
        }
        double[] all = new double[total];
        int at = 0;
        for (double[] xy : field.obstacles) {
            System.arraycopy(xy, 0, all, at, xy.length);
            at += xy.length;
        }
        if (calls.get().JNI_Sim_SetField(id, sizes, field.bumperFootprint, all, corners) != 0) {
            checkOpen();
            throw new IllegalArgumentException("the simulation cannot take this field (see the report)");
        }
    }

    /** Takes the simulated robot off its field: it drives on an endless floor (nothing once closed). */
    public void clearSimField() {
        if (!closed) {
            calls.get().JNI_Sim_ClearField(id);
        }
    }

    /**
     * Moves the simulated robot to ({@code x}, {@code y}) metres facing {@code thetaRadians}; its
     * wheels keep their motion.
     *
     * @throws IllegalArgumentException for a number that is not finite
     * @throws IllegalStateException once closed
     */
    public void resetSimPose(double x, double y, double thetaRadians) {
        if (!Double.isFinite(x) || !Double.isFinite(y) || !Double.isFinite(thetaRadians)) {
            throw new IllegalArgumentException("a pose must be finite, not (" + x + ", " + y + ", " + thetaRadians + ")");
        }
        checkOpen();
        check(calls.get().JNI_Sim_ResetPose(id, x, y, thetaRadians), "resetSimPose");
    }

    /**
     * Sets the simulated battery the supply-less {@link #updateSim(double)} and {@link
     * #startSimThread(double)} draw on, unloaded (defaults: 12.5 V, 0.02 ohm, brownout at 6.8 V).
     *
     * @throws IllegalArgumentException for an open-circuit voltage that is not positive, or a
     *     resistance or brownout voltage that is negative (all must be finite)
     * @throws IllegalStateException once closed
     */
    public void setSimBattery(double openCircuitVolts, double resistanceOhms, double brownoutVolts) {
        checkOpen();
        if (calls.get().JNI_Sim_SetBattery(id, openCircuitVolts, resistanceOhms, brownoutVolts) != 0) {
            checkOpen();
            throw new IllegalArgumentException("the simulation cannot take a battery of " + openCircuitVolts + " V, "
                    + resistanceOhms + " ohm, brownout at " + brownoutVolts + " V");
        }
    }

    /**
     * The simulated battery as the last step on it left it.
     *
     * @throws IllegalStateException once closed
     */
    public SimBatteryState getSimBattery() {
        checkOpen();
        double[] values = calls.get().JNI_Sim_GetBattery(id);
        if (values == null) {
            throw new IllegalStateException("the drivetrain is closed");
        }
        return new SimBatteryState(values);
    }

    /**
     * Where the simulated robot truly is: a new {@code double[]{x, y, thetaRadians}} (metres).
     *
     * @throws IllegalStateException once closed
     */
    public double[] getSimPose() {
        checkOpen();
        double[] pose = calls.get().JNI_Sim_GetPose(id);
        if (pose == null) {
            throw new IllegalStateException("the drivetrain is closed");
        }
        return pose;
    }

    /**
     * One odometry sample now, on this thread, for programs that step the clock themselves with
     * the odometry thread stopped: reads every module and the gyro, updates the pose, applies
     * the installed request and runs the telemetry function.
     *
     * @return the read's status (0 OK; a failed read is counted and the sample goes on)
     * @throws IllegalStateException once closed, while the odometry thread runs, or inside a
     *     telemetry or control function
     */
    public int stepOdometry() {
        checkNotInCallback();
        checkOpen();
        int status = calls.get().JNI_Odom_RunOnce(id);
        if (status == TASK_IS_BUSY) {
            throw new IllegalStateException("stepOdometry needs the odometry thread stopped (stopOdometry)");
        }
        return status;
    }

    private static final int TASK_IS_BUSY = -100;

    private static void checkSupply(double supplyVolts) {
        if (!(supplyVolts >= 0.0) || !Double.isFinite(supplyVolts)) {
            throw new IllegalArgumentException("the supply must be a finite number of volts of 0 or more, not "
                    + supplyVolts);
        }
    }

    /** A status the arguments' checks should have made impossible: the drivetrain went away. */
    private void check(int status, String what) {
        if (status != 0) {
            checkOpen();
            throw new IllegalStateException(what + " failed with status " + status);
        }
    }

    private static SwerveJNI.ModuleState copy(SwerveJNI.ModuleState state) {
        SwerveJNI.ModuleState result = new SwerveJNI.ModuleState();
        result.speed = state.speed;
        result.angle = state.angle;
        return result;
    }

    private static void report(Throwable failure) {
        Thread thread = Thread.currentThread();
        thread.getUncaughtExceptionHandler().uncaughtException(thread, failure);
    }

    /**
     * Stops the odometry thread, destroys the drivetrain and releases the callbacks. Calling it
     * again does nothing; other methods must not be called afterwards.
     */
    @Override
    public void close() {
        checkNotInCallback();
        synchronized (this) {
            if (closed) {
                return;
            }
            closed = true;
            SwerveJNI jni = calls.get();
            SimClock.whileTimeRuns(() -> jni.JNI_DestroyDrivetrain(id));
            open.decrementAndGet();
            // The drivetrain is gone, so nothing holds the callbacks any more.
            telemetryJni.JNI_DestroyTelemetry(telemetryHandle);
            controlJni.JNI_DestroyControl(controlHandle);
            telemetryHandle = 0;
            controlHandle = 0;
        }
        // The closing thread's scratch objects go now; other threads' entries go when their
        // maps next clear out entries of collected drivetrains.
        calls.remove();
    }
}
