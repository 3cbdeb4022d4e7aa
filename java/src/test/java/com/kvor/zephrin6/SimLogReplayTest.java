package com.kvor.zephrin6;

import com.kvor.zephrin6.sim.SimClock;
import com.kvor.zephrin6.swerve.SimBatteryState;
import com.kvor.zephrin6.swerve.SimField;
import com.kvor.zephrin6.swerve.SwerveDrivetrain;
import com.kvor.zephrin6.swerve.SwerveModuleConstants;
import com.kvor.zephrin6.swerve.SwerveRequest;
import com.kvor.zephrin6.swerve.jni.SwerveJNI;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.stream.Stream;

/**
 * Java programs on the manual clock: a simulated drivetrain driven field-centric and
 * robot-centric moves the true pose as asked while odometry follows; a log written from Java
 * holds the Java signals once exported, and its replay re-runs odometry to the same poses bit
 * for bit; bad input gets a clear exception or the neutral result. Runs under -Xcheck:jni in
 * ctest (properties zephrin6.wisp: the wisp tool, zephrin6.work: a scratch folder). Prints PASS
 * and exits 0, or each failure and exits 1.
 */
public final class SimLogReplayTest {
    private static final double TICK = 0.001;
    private static final int TICKS_PER_SAMPLE = 4;
    private static int failures;

    private SimLogReplayTest() {}

    public static void main(String[] args) throws Exception {
        drivesWhereTheRequestsSay();
        fieldStopsTheRobotAndTheBatterySags();
        logsAndReplaysBitForBit();
        badInputGetsClearErrors();
        if (failures > 0) {
            System.out.println(failures + " check(s) failed");
            System.exit(1);
        }
        System.out.println("PASS");
    }

    private static void check(boolean condition, String what) {
        if (!condition) {
            ++failures;
            System.out.println("FAIL: " + what);
        }
    }

    /** A fresh runtime on the manual clock and the square drivetrain of the Java demo. */
    private static SwerveDrivetrain freshDrivetrain() {
        SimClock.resetRuntime();
        SimClock.useManual(100.0);
        double[][] corners = {{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}};
        double speedAt12Volts = 100.0 / 6.75 * 2.0 * Math.PI * 0.05;
        SwerveModuleConstants[] modules = new SwerveModuleConstants[4];
        for (int i = 0; i < 4; ++i) {
            modules[i] = new SwerveModuleConstants()
                    .withIds(1 + 3 * i, 2 + 3 * i, 3 + 3 * i)
                    .withLocation(corners[i][0], corners[i][1])
                    .withGearRatios(6.75, 150.0 / 7.0, 3.5)
                    .withWheelRadius(0.05)
                    .withSpeedAt12Volts(speedAt12Volts)
                    .withSteerMotorGains(60.0, 0.0, 0.5, 0.0, 0.0, 0.0)
                    .withDriveMotorGains(0.1, 0.0, 0.0, 0.2, 0.12, 0.0)
                    .withSlipCurrent(120.0)
                    .withSimulation(0.004, 0.03, 0.2, 0.2);
        }
        return new SwerveDrivetrain("drivebus", 13, modules);
    }

    /** Drives for {@code seconds} on the manual clock, odometry at 250 Hz; calls {@code sample} after each. */
    private static void drive(SwerveDrivetrain drivetrain, double seconds, Runnable sample) {
        long ticks = Math.round(seconds / TICK);
        for (long tick = 1; tick <= ticks; ++tick) {
            SimClock.advance(TICK);
            drivetrain.updateSim(TICK, 12.0);
            if (tick % TICKS_PER_SAMPLE == 0) {
                check(drivetrain.stepOdometry() == 0, "every odometry sample reads every device");
                sample.run();
            }
        }
    }

    private static double[] odometry(SwerveDrivetrain drivetrain) {
        SwerveJNI.DriveState state = drivetrain.getState();
        return new double[] {state.PoseX, state.PoseY, state.PoseTheta};
    }

    /** Drives {@code request} for 2 s from the origin; {truth..., odometry...}. */
    private static double[][] twoSecondsOf(SwerveRequest request, double operatorForward) {
        try (SwerveDrivetrain drivetrain = freshDrivetrain()) {
            drivetrain.setOperatorPerspectiveForward(operatorForward);
            drivetrain.setControl(request);
            drive(drivetrain, 2.0, () -> {});
            return new double[][] {drivetrain.getSimPose(), odometry(drivetrain)};
        }
    }

    private static void drivesWhereTheRequestsSay() {
        SwerveRequest.FieldCentric forward = new SwerveRequest.FieldCentric()
                .withDriveRequestType(SwerveRequest.DriveRequestType.VELOCITY)
                .withVelocityX(1.0);
        double[][] ahead = twoSecondsOf(forward, 0.0);
        System.out.println("field-centric 1 m/s, 2 s: true " + str(ahead[0]) + ", odometry " + str(ahead[1]));
        check(ahead[0][0] > 1.85 && ahead[0][0] < 2.02 && Math.abs(ahead[0][1]) < 0.05,
                "1 m/s field-centric for 2 s moves the robot about 2 m forward (true pose " + str(ahead[0]) + ")");
        check(Math.hypot(ahead[1][0] - ahead[0][0], ahead[1][1] - ahead[0][1]) < 0.02,
                "odometry " + str(ahead[1]) + " within 2 cm of the truth " + str(ahead[0]));

        double[][] back = twoSecondsOf(forward, Math.PI);
        System.out.println("operator forward at pi: true " + str(back[0]));
        check(back[0][0] < -1.85 && back[0][0] > -2.02 && Math.abs(back[0][1]) < 0.05,
                "with the operator's forward at pi the robot moves the other way (true pose " + str(back[0]) + ")");

        SwerveRequest.RobotCentric spin = new SwerveRequest.RobotCentric()
                .withDriveRequestType(SwerveRequest.DriveRequestType.VELOCITY)
                .withRotationalRate(1.0);
        double[][] turned = twoSecondsOf(spin, 0.0);
        System.out.println("robot-centric 1 rad/s, 2 s: true " + str(turned[0]) + ", odometry " + str(turned[1]));
        check(turned[0][2] > 1.8 && turned[0][2] < 2.05 && Math.hypot(turned[0][0], turned[0][1]) < 0.05,
                "a 1 rad/s spin for 2 s turns the robot about 2 rad in place (true pose " + str(turned[0]) + ")");
        check(Math.abs(turned[1][2] - turned[0][2]) < 0.01, "the odometry heading follows the spin");
    }

    // On a 3 m square field the robot driven at a wall at 1 m/s for 2.5 s stops with its bumper
    // (0.3 m module corners plus the 0.15 m margin) against it; a battery with a stiff resistance
    // sags, and a field it cannot take is refused.
    private static void fieldStopsTheRobotAndTheBatterySags() {
        try (SwerveDrivetrain drivetrain = freshDrivetrain()) {
            drivetrain.setSimField(new SimField().withLength(3.0).withWidth(3.0)
                    .withObstacle(0.2, 0.2, 0.6, 0.2, 0.6, 0.6, 0.2, 0.6));
            drivetrain.resetSimPose(1.5, 1.5, 0.0);
            drivetrain.setSimBattery(12.5, 0.1, 6.0);
            drivetrain.setControl(new SwerveRequest.RobotCentric()
                    .withDriveRequestType(SwerveRequest.DriveRequestType.VELOCITY)
                    .withVelocityX(1.0));
            double[] lowest = {12.5};
            long ticks = Math.round(2.5 / TICK);
            for (long tick = 1; tick <= ticks; ++tick) {
                SimClock.advance(TICK);
                drivetrain.updateSim(TICK);
                if (tick % TICKS_PER_SAMPLE == 0) {
                    check(drivetrain.stepOdometry() == 0, "every odometry sample on the field reads every device");
                }
                lowest[0] = Math.min(lowest[0], drivetrain.getSimBattery().volts);
            }
            double[] truth = drivetrain.getSimPose();
            check(Math.abs(truth[0] - 2.55) < 0.02 && Math.abs(truth[1] - 1.5) < 0.02,
                    "the wall stops the bumper at x = 2.55 m (true pose " + str(truth) + ")");
            SimBatteryState battery = drivetrain.getSimBattery();
            check(lowest[0] < 12.0 && battery.openCircuitVolts == 12.5 && !battery.brownedOut,
                    "the battery sags under the motors' pull (lowest " + lowest[0] + " V, now " + battery + ")");
            throwsWith(IllegalArgumentException.class, "cannot take", () -> drivetrain.setSimField(
                    new SimField().withObstacle(1.0, 1.0, 2.0, 1.0, 1.2, 1.2, 1.0, 2.0)));
            throwsWith(IllegalArgumentException.class, "odd", () -> drivetrain.setSimField(
                    new SimField().withObstacle(1.0, 1.0, 2.0)));
            throwsWith(IllegalArgumentException.class, "cannot take", () -> drivetrain.setSimField(
                    new SimField().withBumperFootprint(0.5, 0.5, 0.5)));
            throwsWith(IllegalArgumentException.class, "battery", () -> drivetrain.setSimBattery(0.0, 0.02, 6.8));
            throwsWith(IllegalArgumentException.class, "finite", () -> drivetrain.resetSimPose(Double.NaN, 0, 0));
            drivetrain.clearSimField();
        }
    }

    private static String str(double[] pose) {
        return String.format("(%.3f, %.3f, %.3f)", pose[0], pose[1], pose[2]);
    }

    /** One live sample: its time and the odometry. */
    private record Sample(double time, double[] odometry) {}

    private static void logsAndReplaysBitForBit() throws Exception {
        Path folder = Path.of(System.getProperty("zephrin6.work", "build/java-test"));
        Files.createDirectories(folder);
        try (Stream<Path> old = Files.list(folder)) {
            for (Path file : (Iterable<Path>) old::iterator) {
                Files.delete(file);
            }
        }
        List<Sample> live = new ArrayList<>();
        Path log;
        try (SwerveDrivetrain drivetrain = freshDrivetrain()) {
            check(SignalLogger.setPath(folder.toString()) == 0, "the log's folder is taken");
            check(SignalLogger.start() == 0, "the log starts");
            drivetrain.setControl(new SwerveRequest.FieldCentric()
                    .withDriveRequestType(SwerveRequest.DriveRequestType.VELOCITY)
                    .withVelocityX(0.8)
                    .withVelocityY(0.3)
                    .withRotationalRate(0.5));
            drive(drivetrain, 1.0, () -> {
                double[] pose = odometry(drivetrain);
                live.add(new Sample(SimClock.now(), pose));
                SignalLogger.writeDoubleArray("Java/Odometry", pose, "m, m, rad");
                SignalLogger.writeDouble("Java/Time", SimClock.now(), "s");
                SignalLogger.writeInteger("Java/Samples", live.size(), "");
                SignalLogger.writeBoolean("Java/Moving", true);
                SignalLogger.writeString("Java/Phase", "figure");
            });
            SimClock.advance(0.1);
            check(SignalLogger.stop() == 0, "the log completes");
        }
        try (Stream<Path> files = Files.list(folder)) {
            log = files.filter(p -> p.toString().endsWith(".wisp")).findFirst().orElseThrow();
        }

        String wisp = System.getProperty("zephrin6.wisp");
        if (wisp != null) {
            Path exported = folder.resolve("run.wpilog");
            Process export = new ProcessBuilder(wisp, "export", log.toString(), "-o", exported.toString())
                    .redirectErrorStream(true)
                    .start();
            String output = new String(export.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
            check(export.waitFor() == 0, "wisp exports the Java log: " + output);
            String bytes = new String(Files.readAllBytes(exported), StandardCharsets.ISO_8859_1);
            for (String name : new String[] {"Java/Odometry", "Java/Time", "Java/Samples", "Java/Moving", "Java/Phase"}) {
                check(bytes.contains(name), "the .wpilog holds the Java signal " + name);
            }
            check(bytes.contains("m, m, rad"), "the .wpilog keeps the Java signal's units");
        }

        // As a program that replays a log starts: a fresh runtime, the drivetrain at rest, the log.
        try (SwerveDrivetrain replayed = freshDrivetrain()) {
            check(WispReplay.loadFile(log.toString()) == 0, "the log loads");
            check(WispReplay.isFileLoaded() && !WispReplay.isFinished(), "a loaded log is not finished");
            int differences = 0;
            for (Sample sample : live) {
                check(WispReplay.step(sample.time() - WispReplay.timeSeconds()) == 0, "the replay steps");
                replayed.stepOdometry();
                double[] pose = odometry(replayed);
                for (int i = 0; i < 3; ++i) {
                    if (Double.doubleToRawLongBits(pose[i]) != Double.doubleToRawLongBits(sample.odometry()[i])) {
                        ++differences;
                        break;
                    }
                }
            }
            check(differences == 0, differences + " of " + live.size() + " replayed poses differ from the live ones");
            Sample last = live.get(live.size() - 1);
            WispReplay.Read<double[]> logged = WispReplay.getDoubleArray("Java/Odometry");
            check(logged.ok() && java.util.Arrays.equals(logged.value(), last.odometry()),
                    "the Java signal reads back as written (status " + logged.status() + ")");
            check(logged.timestampSeconds() == last.time(), "at the time it was written");
            check(Long.valueOf(live.size()).equals(WispReplay.getInteger("Java/Samples").value()), "integers read back");
            check(Boolean.TRUE.equals(WispReplay.getBoolean("Java/Moving").value()), "booleans read back");
            check("figure".equals(WispReplay.getString("Java/Phase").value()), "strings read back");
            WispReplay.Read<Double> mistyped = WispReplay.getDouble("Java/Samples");
            check(!mistyped.ok() && mistyped.value() == null && mistyped.status() == -1002,
                    "an integer read as a double gives -1002 and no value");
            check(WispReplay.getDouble("Java/Nothing").status() == -10004, "an unknown signal is NotFound");
            while (WispReplay.step(0.5) == 0 && !WispReplay.isFinished()) {
                // on to the end of the log
            }
            check(WispReplay.isFinished(), "stepping past the end finishes the replay");
            check(WispReplay.closeFile() == 0 && !WispReplay.isFileLoaded(), "the log closes");
        }
    }

    /** Runs {@code call} and checks that it throws {@code type} with {@code words} in its message. */
    private static void throwsWith(Class<? extends Throwable> type, String words, Runnable call) {
        try {
            call.run();
            check(false, "expected " + type.getSimpleName() + " (" + words + ")");
        } catch (Throwable thrown) {
            check(type.isInstance(thrown) && thrown.getMessage() != null && thrown.getMessage().contains(words),
                    "expected " + type.getSimpleName() + " with \"" + words + "\", got " + thrown);
        }
    }

    private static void badInputGetsClearErrors() {
        SwerveDrivetrain drivetrain = freshDrivetrain();
        throwsWith(IllegalArgumentException.class, "dt", () -> drivetrain.updateSim(Double.NaN, 12.0));
        throwsWith(IllegalArgumentException.class, "supply", () -> drivetrain.updateSim(0.001, -1.0));
        throwsWith(IllegalArgumentException.class, "period", () -> drivetrain.startSimThread(0.0, 12.0));
        throwsWith(NullPointerException.class, "values", () -> SignalLogger.writeDoubleArray("x", null, ""));
        throwsWith(NullPointerException.class, "name", () -> SignalLogger.writeDouble(null, 1.0, ""));
        throwsWith(IllegalArgumentException.class, "latency", () -> SignalLogger.writeDouble("x", 1.0, "", -1.0));
        check(SignalLogger.writeDoubleArray("Java/Long", new double[32], "") == -10015,
                "32 doubles do not fit one record: InvalidSize");
        throwsWith(IllegalArgumentException.class, "Could not open or read",
                () -> WispReplay.loadFile("/nonexistent/run.wisp"));
        throwsWith(IllegalArgumentException.class, "step", () -> WispReplay.step(-1.0));
        check(WispReplay.getDouble("Java/Time").status() == -10009, "reading without a log is NoFile");
        check(!WispReplay.isFinished(), "no log is not a finished log");

        // While the odometry thread runs, a manual step is refused; stopping it on the manual
        // clock does not hang.
        drivetrain.startOdometry();
        throwsWith(IllegalStateException.class, "stopOdometry", drivetrain::stepOdometry);
        drivetrain.stopOdometry();
        check(drivetrain.stepOdometry() == 0, "a stopped thread lets the program step");

        drivetrain.close();
        throwsWith(IllegalStateException.class, "closed", drivetrain::getSimPose);
        throwsWith(IllegalStateException.class, "closed", drivetrain::stepOdometry);
        throwsWith(IllegalStateException.class, "closed", () -> drivetrain.updateSim(0.001, 12.0));
        drivetrain.stopSimThread(); // nothing once closed

        // The native layer on its own: absent IDs and handles give the neutral results.
        SwerveJNI jni = new SwerveJNI(0);
        check(jni.JNI_Sim_GetPose(9999) == null, "no pose for an absent drivetrain");
        check(jni.JNI_Sim_Update(9999, 0.001, 12.0) == -1002, "updating an absent drivetrain is -1002");
        check(jni.JNI_Sim_Start(9999, 0.005, 12.0) == -1002, "starting an absent simulation is -1002");
        jni.JNI_Sim_Stop(9999);
        check(jni.JNI_Odom_RunOnce(9999) == -1002, "stepping an absent drivetrain is -1002");
        check(jni.JNI_SetModuleGains(0, 0, 0, 1, 0, 0, 0, 0, 0) == -1002, "gains without constants are -1002");

        SimClock.useReal();
        throwsWith(IllegalStateException.class, "not manual", () -> SimClock.advance(0.1));
        throwsWith(IllegalArgumentException.class, "finite", () -> SimClock.useManual(Double.NaN));
    }
}
