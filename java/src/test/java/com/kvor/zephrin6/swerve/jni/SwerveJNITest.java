package com.kvor.zephrin6.swerve.jni;

import static com.kvor.zephrin6.swerve.jni.TestSupport.SPEED_AT_12_VOLTS;
import static com.kvor.zephrin6.swerve.jni.TestSupport.check;
import static com.kvor.zephrin6.swerve.jni.TestSupport.squareDrivetrain;

import com.kvor.zephrin6.swerve.SwerveDrivetrain;
import com.kvor.zephrin6.swerve.SwerveRequest;
import java.lang.management.ManagementFactory;
import java.lang.reflect.Field;
import java.lang.reflect.Modifier;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.atomic.AtomicInteger;
import java.util.concurrent.atomic.AtomicReference;

/**
 * The JVM bindings in a real JVM, on the simulated runtime's real clock: a four-module
 * drivetrain runs its odometry thread and calls Java telemetry and control functions on it;
 * requests, state reads and pose sampling go through the native layer; callbacks registered
 * and released 10,000 times leave no global reference behind. Also prints what one state read
 * and one telemetry callback cost. Prints PASS and exits 0, or prints each failure and exits 1.
 */
public final class SwerveJNITest {
    private static final int TIMED_CALLS = 100_000;

    private SwerveJNITest() {}

    public static void main(String[] args) throws Exception {
        recordsHaveTheContractedFields();
        callbacksRunOnTheOdometryThread();
        registrationsLeaveNoGlobalReferences();
        check(SwerveJNITestHooks.liveGlobalReferences() == 0, "every global reference released at the end");
        TestSupport.finish();
    }

    private static boolean near(double actual, double expected, double tolerance) {
        return Math.abs(actual - expected) <= tolerance;
    }

    /**
     * A few fields of the classes the native layer reads and writes, copied by hand from their
     * documented list: the classes and the native layer's field IDs are generated from one
     * table, so a slip there would still load, and only a check like this one would notice.
     */
    private static void recordsHaveTheContractedFields() {
        Object[][] rows = {
            {SwerveJNI.class, "driveState", SwerveJNI.DriveState.class},
            {SwerveJNI.class, "moduleApplyParams", SwerveJNI.ModuleApplyParams.class},
            {SwerveJNI.ModulePosition.class, "distance", double.class},
            {SwerveJNI.DriveState.class, "PoseTheta", double.class},
            {SwerveJNI.DriveState.class, "ModuleTargets", SwerveJNI.ModuleState[].class},
            {SwerveJNI.DriveState.class, "ModulePositions", SwerveJNI.ModulePosition[].class},
            {SwerveJNI.DriveState.class, "FailedDaqs", int.class},
            {SwerveJNI.ControlParams.class, "kMaxSpeedMps", double.class},
            {SwerveJNI.ControlParams.class, "currentChassisSpeedOmega", double.class},
            {SwerveJNI.ModuleApplyParams.class, "state", SwerveJNI.ModuleState.class},
            {SwerveJNI.ModuleApplyParams.class, "steerRequest", int.class},
            {SwerveJNI.ModuleApplyParams.class, "enableFOC", boolean.class},
        };
        for (Object[] row : rows) {
            Class<?> owner = (Class<?>) row[0];
            String what = owner.getSimpleName() + "." + row[1];
            try {
                Field field = owner.getField((String) row[1]);
                check(field.getType() == row[2] && !Modifier.isStatic(field.getModifiers()),
                        what + " is a " + ((Class<?>) row[2]).getSimpleName() + " instance field");
            } catch (NoSuchFieldException missing) {
                check(false, what + " exists");
            }
        }
    }

    /** Counts telemetry calls and lets the test wait for the next few. */
    private static final class SampleCounter {
        private final AtomicInteger samples = new AtomicInteger();
        private volatile CountDownLatch next = new CountDownLatch(0);

        void sample() {
            samples.incrementAndGet();
            next.countDown();
        }

        /** Waits up to 10 s for {@code count} more samples. */
        boolean await(int count) throws InterruptedException {
            next = new CountDownLatch(count);
            return next.await(10, TimeUnit.SECONDS);
        }
    }

    private static void callbacksRunOnTheOdometryThread() throws InterruptedException {
        Thread main = Thread.currentThread();
        AtomicReference<Thread> telemetryThread = new AtomicReference<>();
        AtomicReference<Thread> controlThread = new AtomicReference<>();
        AtomicInteger moduleEntries = new AtomicInteger();
        AtomicInteger controls = new AtomicInteger();
        AtomicReference<double[]> seenParams = new AtomicReference<>();
        AtomicInteger callbackFailures = new AtomicInteger();
        AtomicReference<Throwable> refusedInside = new AtomicReference<>();
        SampleCounter counter = new SampleCounter();

        try (SwerveDrivetrain drivetrain = squareDrivetrain(40)) {
            check(drivetrain.isOnCANFD(), "a named bus is CAN FD");
            check(drivetrain.getOdometryFrequency() == 250.0, "250 Hz on CAN FD");
            check(drivetrain.samplePoseAt(0.0) == null, "no pose to sample before the first sample");

            drivetrain.registerTelemetry(state -> {
                telemetryThread.set(Thread.currentThread());
                moduleEntries.set(state.ModuleStates.length);
                counter.sample();
            });
            drivetrain.setControlFunction(params -> {
                controlThread.set(Thread.currentThread());
                seenParams.set(new double[] {params.kMaxSpeedMps, params.updatePeriod, params.timestamp});
                controls.incrementAndGet();
                try {
                    drivetrain.setControl(new SwerveRequest.Idle());
                } catch (IllegalStateException expected) {
                    refusedInside.set(expected);
                }
                return 0;
            });
            drivetrain.startOdometry();
            check(counter.await(50), "50 samples within 10 s");

            Thread odometry = telemetryThread.get();
            check(odometry != null && odometry != main, "telemetry ran on a thread of its own");
            check(controlThread.get() == odometry, "control ran on the same thread as telemetry");
            check(odometry != null && odometry.getName().equals("zephrin6 odometry"), "the odometry thread is named");
            check(moduleEntries.get() == 4, "telemetry saw four modules");
            double[] params = seenParams.get();
            check(params != null && params[0] == SPEED_AT_12_VOLTS, "control saw the top speed");
            check(params != null && near(params[1], 0.004, 1e-12), "control saw the 4 ms period");
            check(refusedInside.get() != null, "registrations are refused inside a callback");

            SwerveJNI.DriveState state = drivetrain.getState();
            check(drivetrain.isOdometryValid(), "odometry valid after 50 samples");
            // On a busy machine some samples miss a frame; they still count.
            check(state.SuccessfulDaqs + state.FailedDaqs >= 50,
                    "at least 50 samples counted, got " + (state.SuccessfulDaqs + state.FailedDaqs));
            check(state.Timestamp > 0 && params != null && state.Timestamp >= params[2], "the state is recent");
            check(state.OdometryPeriod > 0.001 && state.OdometryPeriod < 0.1,
                    "a plausible averaged period (4 ms nominal), got " + state.OdometryPeriod);
            double[] pose = drivetrain.samplePoseAt(state.Timestamp);
            check(pose != null && pose.length == 3, "a pose sampled at the last sample's time");

            // Without a control function the drivetrain stops calling Java for commands.
            drivetrain.setControlFunction(null);
            check(counter.await(2), "samples go on");
            int controlsBefore = controls.get();
            check(counter.await(10), "samples go on without control");
            check(controls.get() == controlsBefore, "no control calls after clearing the control");

            // A field-centric request gives every module the commanded speed.
            drivetrain.setControl(new SwerveRequest.FieldCentric().withVelocityX(1.0));
            check(counter.await(3), "samples go on with a request");
            state = drivetrain.getState();
            for (int i = 0; i < 4; ++i) {
                check(near(state.ModuleTargets[i].speed, 1.0, 1e-9), "module " + i + " aims for 1 m/s");
            }

            // A telemetry function that throws goes to the thread's handler; samples go on.
            Thread.UncaughtExceptionHandler previousHandler = Thread.getDefaultUncaughtExceptionHandler();
            Thread.setDefaultUncaughtExceptionHandler((thread, failure) -> callbackFailures.incrementAndGet());
            drivetrain.registerTelemetry(ignored -> {
                counter.sample();
                throw new IllegalStateException("a telemetry function that fails");
            });
            check(counter.await(5), "samples go on while telemetry throws");
            drivetrain.registerTelemetry(ignored -> counter.sample());
            check(callbackFailures.get() >= 5, "each failure reached the uncaught-exception handler");
            Thread.setDefaultUncaughtExceptionHandler(previousHandler);

            measure(drivetrain);
        }
        for (Thread thread : Thread.getAllStackTraces().keySet()) {
            check(!thread.getName().equals("zephrin6 odometry"), "the odometry thread was detached when it ended");
        }
    }

    private static void registrationsLeaveNoGlobalReferences() {
        try (SwerveDrivetrain drivetrain = squareDrivetrain(41)) {
            int id = drivetrain.getId();
            SwerveJNI jni = new SwerveJNI(4);
            long before = SwerveJNITestHooks.liveGlobalReferences();
            for (int i = 0; i < 10_000; ++i) {
                long telemetry = jni.JNI_RegisterTelemetry(id, () -> {});
                long control = jni.JNI_SetControl(id, () -> 0);
                if (i == 0) {
                    check(telemetry != 0 && control != 0, "registrations give handles");
                    check(SwerveJNITestHooks.liveGlobalReferences() == before + 6,
                            "each registration holds the callback, its class and the target");
                }
                check(jni.JNI_RegisterTelemetry(id, null) == 0, "clearing telemetry gives no handle");
                check(jni.JNI_SetControl(id, null) == 0, "clearing the control gives no handle");
                jni.JNI_DestroyTelemetry(telemetry);
                jni.JNI_DestroyControl(control);
            }
            jni.JNI_DestroyTelemetry(0);
            jni.JNI_DestroyControl(0);
            check(SwerveJNITestHooks.liveGlobalReferences() == before,
                    "10,000 registrations left " + (SwerveJNITestHooks.liveGlobalReferences() - before) + " behind");

            // Without room for modules, a state read fills in the numbers only.
            SwerveJNI noModules = new SwerveJNI(0);
            noModules.driveState.RawHeading = Double.NaN;
            noModules.JNI_GetState(id);
            check(!Double.isNaN(noModules.driveState.RawHeading), "numbers read without module entries");
            check(noModules.JNI_CreateDrivetrainWithStddev(0, new double[2], new double[3], 0, 0, 0.0) == 0,
                    "two standard deviations are refused");
        }
    }

    /** Prints the cost of one state read and of one telemetry callback (figures, not checks). */
    private static void measure(SwerveDrivetrain drivetrain) {
        int id = drivetrain.getId();
        SwerveJNI jni = new SwerveJNI(4);
        for (int i = 0; i < TIMED_CALLS / 10; ++i) {
            jni.JNI_GetState(id);
        }
        long start = System.nanoTime();
        for (int i = 0; i < TIMED_CALLS; ++i) {
            jni.JNI_GetState(id);
        }
        double getStateNanos = (System.nanoTime() - start) / (double) TIMED_CALLS;

        AtomicInteger calls = new AtomicInteger();
        SwerveJNI telemetryJni = new SwerveJNI(4);
        // Registered on the drivetrain, so that it describes its four modules, then cleared
        // there: the hook calls it directly, and the odometry thread must not call it too.
        long handle = telemetryJni.JNI_RegisterTelemetry(id, calls::incrementAndGet);
        drivetrain.registerTelemetry(null);
        SwerveJNITestHooks.timeTelemetryCallbacks(handle, 4, TIMED_CALLS / 10);
        calls.set(0);
        long telemetryNanos = SwerveJNITestHooks.timeTelemetryCallbacks(handle, 4, TIMED_CALLS);
        telemetryJni.JNI_DestroyTelemetry(handle);
        check(calls.get() == TIMED_CALLS, "every timed telemetry call reached Java");

        // Checked JNI costs several times the plain calls; say so beside the figures.
        boolean checked = ManagementFactory.getRuntimeMXBean().getInputArguments().contains("-Xcheck:jni");
        String note = checked ? ", under -Xcheck:jni" : "";
        System.out.printf("JNI_GetState, 4 modules: %.0f ns per call (%d calls%s)%n", getStateNanos, TIMED_CALLS, note);
        System.out.printf("telemetry callback into Java, 4 modules: %.0f ns per call (%d calls%s)%n",
                telemetryNanos / (double) TIMED_CALLS, TIMED_CALLS, note);
    }
}
