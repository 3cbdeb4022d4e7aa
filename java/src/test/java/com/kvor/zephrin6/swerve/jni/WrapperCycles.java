package com.kvor.zephrin6.swerve.jni;

import com.kvor.zephrin6.swerve.SwerveDrivetrain;
import com.kvor.zephrin6.swerve.SwerveModuleConstants;
import com.kvor.zephrin6.swerve.SwerveRequest;
import java.io.IOException;
import java.lang.management.ManagementFactory;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;

/**
 * Opens and closes the Java {@link SwerveDrivetrain} wrapper many times, as a program that
 * rebuilds its drivetrain would: each cycle creates a four-module drivetrain, registers a
 * telemetry and a control function, starts odometry, waits for a sample, installs a request,
 * reads the state and closes. Afterwards nothing may be left: no drivetrain in the library's
 * registry, no callback context, no global reference, no odometry thread; and over the second
 * half of the cycles neither the C heap nor the Java heap (after a full collection) may grow
 * by more than a few hundred bytes per cycle (resident memory is printed for reference).
 * Prints the figures, then PASS (exit 0) or each failure (exit 1).
 *
 * <p>Argument: the number of cycles (default 1000).
 */
public final class WrapperCycles {
    /** Growth per cycle over the second half that counts as a leak. */
    private static final long C_HEAP_BYTES_PER_CYCLE = 256;
    private static final long JAVA_HEAP_BYTES_PER_CYCLE = 256;
    private static int failures;

    private WrapperCycles() {}

    public static void main(String[] args) throws Exception {
        int cycles = args.length > 0 ? Integer.parseInt(args[0]) : 1000;
        // Warm up first: the JIT, the runtime's device records and the thread caches settle.
        for (int i = 0; i < 50; ++i) {
            cycle();
        }
        long start = System.nanoTime();
        for (int i = 0; i < cycles / 2; ++i) {
            cycle();
        }
        Snapshot half = Snapshot.take();
        for (int i = cycles / 2; i < cycles; ++i) {
            cycle();
        }
        Snapshot end = Snapshot.take();
        double seconds = (System.nanoTime() - start) / 1e9;
        int measured = cycles - cycles / 2;

        check(SwerveJNITestHooks.liveDrivetrains() == 0,
                SwerveJNITestHooks.liveDrivetrains() + " drivetrain(s) left in the registry");
        check(SwerveJNITestHooks.liveCallbackContexts() == 0,
                SwerveJNITestHooks.liveCallbackContexts() + " callback context(s) left");
        check(SwerveJNITestHooks.liveGlobalReferences() == 0,
                SwerveJNITestHooks.liveGlobalReferences() + " global reference(s) left");
        check(odometryThreadsGone(), "an odometry thread is still attached to the JVM");

        double cHeapPerCycle = (end.cHeap - half.cHeap) / (double) measured;
        double javaHeapPerCycle = (end.javaHeap - half.javaHeap) / (double) measured;
        double rssPerCycle = (end.rss - half.rss) / (double) measured;
        System.out.printf("%d cycles in %.1f s; second half, per cycle: C heap %+.0f B, Java heap %+.0f B,"
                + " resident %+.0f B%n", cycles, seconds, cHeapPerCycle, javaHeapPerCycle, rssPerCycle);
        check(cHeapPerCycle <= C_HEAP_BYTES_PER_CYCLE,
                String.format("the C heap grew %.0f bytes per cycle", cHeapPerCycle));
        check(javaHeapPerCycle <= JAVA_HEAP_BYTES_PER_CYCLE,
                String.format("the Java heap grew %.0f bytes per cycle", javaHeapPerCycle));
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

    private static SwerveModuleConstants module(int i) {
        double[][] corners = {{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}};
        return new SwerveModuleConstants()
                .withIds(10 + i, 20 + i, 30 + i)
                .withLocation(corners[i][0], corners[i][1])
                .withGearRatios(6.0, 12.8, 0.0)
                .withWheelRadius(0.05)
                .withSpeedAt12Volts(4.0);
    }

    private static void cycle() throws InterruptedException {
        CountDownLatch sampled = new CountDownLatch(1);
        try (SwerveDrivetrain drivetrain = new SwerveDrivetrain("drivebus", 40, module(0), module(1), module(2),
                module(3))) {
            drivetrain.registerTelemetry(state -> sampled.countDown());
            drivetrain.setControlFunction(params -> 0);
            drivetrain.startOdometry();
            if (!sampled.await(5, TimeUnit.SECONDS)) {
                check(false, "no sample within 5 s");
            }
            drivetrain.setControl(new SwerveRequest.FieldCentric().withVelocityX(1.0));
            drivetrain.getState();
        }
    }

    private static boolean odometryThreadsGone() throws InterruptedException {
        // A detached thread leaves the JVM's list a moment after its native thread ends.
        for (int i = 0; i < 100; ++i) {
            boolean found = false;
            for (Thread thread : Thread.getAllStackTraces().keySet()) {
                found |= thread.getName().equals("zephrin6 odometry");
            }
            if (!found) {
                return true;
            }
            Thread.sleep(10);
        }
        return false;
    }

    /** What the process holds at one moment, after a full collection. */
    private static final class Snapshot {
        long cHeap;
        long javaHeap;
        long rss;

        static Snapshot take() throws IOException, InterruptedException {
            for (int i = 0; i < 3; ++i) {
                System.gc();
                Thread.sleep(20);
            }
            Snapshot snapshot = new Snapshot();
            snapshot.javaHeap = ManagementFactory.getMemoryMXBean().getHeapMemoryUsage().getUsed();
            snapshot.cHeap = SwerveJNITestHooks.cHeapBytesInUse();
            for (String line : Files.readAllLines(Paths.get("/proc/self/status"))) {
                if (line.startsWith("VmRSS:")) {
                    snapshot.rss = Long.parseLong(line.replaceAll("[^0-9]", "")) * 1024;
                }
            }
            return snapshot;
        }
    }
}
