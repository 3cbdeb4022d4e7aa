import com.kvor.zephrin6.SignalLogger;
import com.kvor.zephrin6.WispReplay;
import com.kvor.zephrin6.sim.SimClock;
import com.kvor.zephrin6.swerve.SwerveDrivetrain;
import com.kvor.zephrin6.swerve.SwerveModuleConstants;
import com.kvor.zephrin6.swerve.SwerveRequest;
import java.io.File;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.stream.Stream;

/**
 * The figure-eight of {@code make demo}, driven from Java ({@code make java-demo} runs it). A
 * four-module swerve drivetrain, with no robot at all, drives a figure-eight (4 m by 2 m) for ten
 * seconds of robot time while the library's odometry tracks it; everything is logged, and the
 * log is replayed to run the same odometry again:
 *
 * <ol>
 *   <li>Live. The runtime simulates the motor controllers and the auklet 2; the drivetrain's
 *       simulation stands in for the robot's wheels and body. The clock is manual: every
 *       millisecond the program moves it, then the simulated robot; odometry samples every
 *       fourth millisecond (250 Hz); and every 20 ms the robot program's loop sends a
 *       field-centric request (the path's velocity plus a correction towards it) while a
 *       heading controller turns the robot as it goes.
 *   <li>Replay. As a program that replays a log starts: a fresh runtime, a drivetrain built
 *       with the robot at rest, the log loaded; odometry runs at the live samples' instants and
 *       must give the same poses, bit for bit.
 *   <li>Results, as the C++ demo prints them.
 * </ol>
 *
 * The log goes to the folder given as the first argument (build/demo/java/ by default).
 */
public final class SwerveSimDemo {
    private static final double TICK = 0.001; // physics step, seconds
    private static final int TICKS_PER_SAMPLE = 4; // odometry at 250 Hz
    private static final int TICKS_PER_LOOP = 20; // the robot program's 20 ms loop
    private static final double DRIVE_SECONDS = 10.0;
    // The runtime time at which the robot is ready, the log starts and the figure-eight begins,
    // seconds (the clock starts at 100 s).
    private static final double READY_TIME = 110.0;

    // ---- The robot: four modules on "drivebus", as the C++ demo's ----

    private static final double DRIVE_GEAR_RATIO = 6.75;
    private static final double STEER_GEAR_RATIO = 150.0 / 7.0;
    private static final double WHEEL_RADIUS = 0.05; // metres
    // The simulated motors turn at 500 RPM per volt: 100 turns per second at 12 V, which the
    // drive gearing and the wheel make this many m/s.
    private static final double SPEED_AT_12_VOLTS = 100.0 / DRIVE_GEAR_RATIO * 2.0 * Math.PI * WHEEL_RADIUS;

    private SwerveSimDemo() {}

    private static SwerveModuleConstants[] modules() {
        double[][] corners = {{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}};
        SwerveModuleConstants[] modules = new SwerveModuleConstants[4];
        for (int i = 0; i < 4; ++i) {
            modules[i] = new SwerveModuleConstants()
                    .withIds(1 + 3 * i, 2 + 3 * i, 3 + 3 * i)
                    .withLocation(corners[i][0], corners[i][1])
                    .withGearRatios(DRIVE_GEAR_RATIO, STEER_GEAR_RATIO, 3.5)
                    .withWheelRadius(WHEEL_RADIUS)
                    .withSpeedAt12Volts(SPEED_AT_12_VOLTS)
                    // Volts per rotation of azimuth error; volts per rotor turn per second.
                    .withSteerMotorGains(60.0, 0.0, 0.5, 0.0, 0.0, 0.0)
                    .withDriveMotorGains(0.1, 0.0, 0.0, 0.2, 0.12, 0.0)
                    .withSlipCurrent(120.0)
                    // What the simulation needs: a wheel carrying a quarter of a 50 kg robot, a
                    // light azimuth, and a little friction in each.
                    .withSimulation(0.004, 0.03, 0.2, 0.2);
        }
        return modules;
    }

    /** Builds the drivetrain; this program samples odometry itself, so its thread does not run. */
    private static SwerveDrivetrain buildDrivetrain() {
        return new SwerveDrivetrain("drivebus", 13, modules());
    }

    // ---- The path: a figure-eight, 4 m by 2 m, once in ten seconds ----

    /** Position (m) and velocity (m/s) on the path at {@code t} seconds: {x, y, vx, vy}. */
    private static double[] figureEight(double t) {
        double w = 2.0 * Math.PI / DRIVE_SECONDS;
        return new double[] {
            2.0 * Math.sin(w * t), Math.sin(2.0 * w * t), 2.0 * w * Math.cos(w * t), 2.0 * w * Math.cos(2.0 * w * t)
        };
    }

    /** The robot turns an eighth of a turn each way as it goes round. */
    private static double targetHeading(double t) {
        return Math.PI / 4.0 * Math.sin(2.0 * Math.PI * t / DRIVE_SECONDS);
    }

    /** A PD controller on the heading, taking the short way round. */
    private static final class HeadingController {
        private static final double KP = 6.0; // rad/s per rad of error
        private static final double KD = 0.2; // rad/s per rad/s of error
        private double previousError;
        private double previousTime = Double.NaN;

        double calculate(double heading, double target, double now) {
            double error = Math.IEEEremainder(target - heading, 2.0 * Math.PI);
            double rate = Double.isNaN(previousTime) || now <= previousTime
                    ? 0.0
                    : (error - previousError) / (now - previousTime);
            previousError = error;
            previousTime = now;
            return KP * error + KD * rate;
        }
    }

    /** One odometry sample: its time, the simulated truth and the odometry, {x, y, theta}. */
    private record Sample(double time, double[] truth, double[] odometry) {
        double positionError() {
            return Math.hypot(odometry[0] - truth[0], odometry[1] - truth[1]);
        }

        double headingErrorDegrees() {
            return Math.toDegrees(Math.IEEEremainder(odometry[2] - truth[2], 2.0 * Math.PI));
        }
    }

    private static double[] pose(SwerveDrivetrain drivetrain) {
        var state = drivetrain.getState();
        return new double[] {state.PoseX, state.PoseY, state.PoseTheta};
    }

    private static boolean sameBits(double[] a, double[] b) {
        for (int i = 0; i < 3; ++i) {
            if (Double.doubleToRawLongBits(a[i]) != Double.doubleToRawLongBits(b[i])) {
                return false;
            }
        }
        return true;
    }

    /** What the live run leaves for the replay and the results. */
    private record LiveRun(List<Sample> samples, double wallSeconds, Path log) {}

    /** 1. Live: drives the figure-eight, sampling odometry at 250 Hz, and logs it. */
    private static LiveRun driveLive(Path folder) throws IOException {
        List<Sample> samples = new ArrayList<>();
        double wallSeconds;
        try (SwerveDrivetrain drivetrain = buildDrivetrain()) {
            // Building took however much clock time the devices needed to answer; the log starts
            // only now, with the robot ready and at rest, at a fixed time, so that every run
            // writes the same log.
            double ready = Math.max(READY_TIME, Math.ceil(SimClock.now()));
            SimClock.advance(ready - SimClock.now());
            check(SignalLogger.setPath(folder.toString()), "set the log's folder");
            check(SignalLogger.start(), "start the log");

            HeadingController heading = new HeadingController();
            SwerveRequest.FieldCentric drive =
                    new SwerveRequest.FieldCentric().withDriveRequestType(SwerveRequest.DriveRequestType.VELOCITY);
            final double pathGain = 2.0; // m/s per metre off the path
            // Odometry samples fall half a tick after the devices' frames.
            double start = SimClock.now() + TICK / 2.0;
            long wallStart = System.nanoTime();
            long ticks = Math.round(DRIVE_SECONDS / TICK);
            for (long tick = 0; tick <= ticks; ++tick) {
                double t = tick * TICK;
                // The physics follows the clock: move it, then the robot.
                double before = SimClock.now();
                SimClock.advance(start + t - before);
                drivetrain.updateSim(SimClock.now() - before, 12.0);
                if (tick > 0 && tick % TICKS_PER_SAMPLE == 0) {
                    // A failed read would show as odometry error in the results.
                    drivetrain.stepOdometry();
                    Sample sample = new Sample(SimClock.now(), drivetrain.getSimPose(), pose(drivetrain));
                    samples.add(sample);
                    SignalLogger.writeDoubleArray("Demo/TruePose", degrees(sample.truth()), "m, m, deg");
                    SignalLogger.writeDoubleArray("Demo/Odometry", degrees(sample.odometry()), "m, m, deg");
                }
                if (tick % TICKS_PER_LOOP == 0) {
                    // The robot program's loop: follow the path, hold the heading.
                    double[] now = pose(drivetrain);
                    double[] target = figureEight(t + TICKS_PER_LOOP * TICK);
                    double rate = heading.calculate(now[2], targetHeading(t), SimClock.now());
                    drivetrain.setControl(drive.withVelocityX(target[2] + pathGain * (target[0] - now[0]))
                            .withVelocityY(target[3] + pathGain * (target[1] - now[1]))
                            .withRotationalRate(rate));
                }
            }
            wallSeconds = (System.nanoTime() - wallStart) / 1e9;
            SimClock.advance(0.1);
            check(SignalLogger.stop(), "complete the log");
        }
        return new LiveRun(samples, wallSeconds, newestLog(folder));
    }

    private static double[] degrees(double[] pose) {
        return new double[] {pose[0], pose[1], Math.toDegrees(pose[2])};
    }

    /** What the replay gives for the results. */
    private record ReplayRun(List<Sample> samples, int differences, double loadSeconds, double wallSeconds) {}

    /** 2. Replay: a fresh runtime, the drivetrain built at rest, the log loaded and re-run. */
    private static ReplayRun replayLog(LiveRun live) {
        SimClock.resetRuntime();
        SimClock.useManual(100.0);
        List<Sample> samples = new ArrayList<>();
        int differences = 0;
        double loadSeconds;
        double wallSeconds;
        try (SwerveDrivetrain drivetrain = buildDrivetrain()) {
            long loadStart = System.nanoTime();
            check(WispReplay.loadFile(live.log().toString()), "load the log");
            loadSeconds = (System.nanoTime() - loadStart) / 1e9;
            long wallStart = System.nanoTime();
            for (Sample sample : live.samples()) {
                // Stepping by the difference lands on the live sample's instant.
                WispReplay.step(sample.time() - WispReplay.timeSeconds());
                drivetrain.stepOdometry();
                WispReplay.Read<double[]> logged = WispReplay.getDoubleArray("Demo/TruePose");
                double[] truth = logged.ok() && logged.value().length == 3
                        ? new double[] {logged.value()[0], logged.value()[1], Math.toRadians(logged.value()[2])}
                        : new double[3];
                Sample replayed = new Sample(WispReplay.timeSeconds(), truth, pose(drivetrain));
                samples.add(replayed);
                if (!sameBits(replayed.odometry(), sample.odometry())) {
                    ++differences;
                }
            }
            wallSeconds = (System.nanoTime() - wallStart) / 1e9;
        }
        WispReplay.closeFile();
        return new ReplayRun(samples, differences, loadSeconds, wallSeconds);
    }

    private static void check(int status, String what) {
        if (status != 0) {
            System.out.println("Could not " + what + ": status " + status);
            System.exit(1);
        }
    }

    private static Path newestLog(Path folder) throws IOException {
        try (Stream<Path> files = Files.list(folder)) {
            return files.filter(p -> p.toString().endsWith(".wisp"))
                    .max((a, b) -> Long.compare(a.toFile().lastModified(), b.toFile().lastModified()))
                    .orElseThrow(() -> new IOException("no log was written in " + folder));
        }
    }

    /** 3. Results: how the robot drove, how well odometry followed it, and the replay. */
    private static void printResults(LiveRun live, ReplayRun replay) throws IOException {
        List<Sample> samples = live.samples();
        Sample end = samples.get(samples.size() - 1);
        double endCm = end.positionError() * 100.0;
        double endDeg = Math.abs(end.headingErrorDegrees());
        double worstCm = 0.0;
        double worstDeg = 0.0;
        double driven = 0.0;
        for (int i = 0; i < samples.size(); ++i) {
            worstCm = Math.max(worstCm, samples.get(i).positionError() * 100.0);
            worstDeg = Math.max(worstDeg, Math.abs(samples.get(i).headingErrorDegrees()));
            if (i > 0) {
                double[] a = samples.get(i - 1).truth();
                double[] b = samples.get(i).truth();
                driven += Math.hypot(b[0] - a[0], b[1] - a[1]);
            }
        }
        double[] pathEnd = figureEight(DRIVE_SECONDS);
        double miss = Math.hypot(end.truth()[0] - pathEnd[0], end.truth()[1] - pathEnd[1]);
        System.out.printf("Live: %.0f s of robot time in %.2f s of wall time (%.0fx real time), %d odometry samples.%n",
                DRIVE_SECONDS, live.wallSeconds(), DRIVE_SECONDS / live.wallSeconds(), samples.size());
        System.out.printf("  The robot drove %.1f m and ended %.1f cm from where the figure-eight ends.%n", driven,
                miss * 100.0);
        System.out.printf("  Odometry against the simulated truth at the end: %.2f cm and %.3f deg "
                        + "(goal: 1 cm and 0.5 deg): %s%n",
                endCm, endDeg, endCm <= 1.0 && endDeg <= 0.5 ? "met" : "MISSED");
        System.out.printf("  Largest error on the way: %.2f cm and %.3f deg.%n", worstCm, worstDeg);
        System.out.printf("Log: %s (%.1f MB)%n", live.log(), Files.size(live.log()) / 1e6);
        System.out.printf("Replay: loaded in %.2f s; %d odometry samples over %.0f s of log re-run in %.2f s "
                        + "(%.0fx real time).%n",
                replay.loadSeconds(), replay.samples().size(), DRIVE_SECONDS, replay.wallSeconds(),
                DRIVE_SECONDS / replay.wallSeconds());
        if (replay.differences() == 0) {
            System.out.println("  The replayed odometry is bit-identical to the live odometry at every sample.");
        } else {
            System.out.printf("  The replayed odometry DIFFERS from the live odometry at %d of %d samples.%n",
                    replay.differences(), replay.samples().size());
        }
    }

    public static void main(String[] args) throws IOException {
        Path folder = Path.of(args.length > 0 ? args[0] : "build/demo/java");
        Files.createDirectories(folder);
        // The folder holds the last run's log only.
        for (File old : folder.toFile().listFiles((dir, name) -> name.endsWith(".wisp"))) {
            Files.delete(old.toPath());
        }
        SimClock.useManual(100.0);
        System.out.printf("A swerve drivetrain drives a figure-eight in simulation for %.0f s, then replays its log.%n%n",
                DRIVE_SECONDS);
        LiveRun live = driveLive(folder);
        ReplayRun replay = replayLog(live);
        printResults(live, replay);
        System.exit(replay.differences() == 0 ? 0 : 1);
    }
}
