package com.kvor.zephrin6.swerve.jni;

import static com.kvor.zephrin6.swerve.jni.TestSupport.check;
import static com.kvor.zephrin6.swerve.jni.TestSupport.squareDrivetrain;

import com.kvor.zephrin6.swerve.SwerveDrivetrain;
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
 * registry, no callback context, no global reference, no thread attached to the JVM; and over
 * the measured cycles (after a warm-up in which the allocator, the runtime's device records and
 * the JVM settle) neither the C heap nor the Java heap (after a full collection) may grow by
 * more than a few hundred bytes per cycle. Resident memory is printed for reference only: the
 * JVM touches more of its heap as it goes, in steps that have nothing to do with the cycles.
 * Run it with -Xint: the JIT compilers borrow C heap by the megabyte for a while and would
 * blur the figure. Prints the figures, then PASS (exit 0) or each failure (exit 1).
 *
 * <p>Arguments: the number of measured cycles (default 600) and of warm-up cycles (default 300).
 */
public final class WrapperCycles {
    /** Growth per cycle over the second half that counts as a leak. */
    private static final long C_HEAP_BYTES_PER_CYCLE = 512;
    private static final long JAVA_HEAP_BYTES_PER_CYCLE = 256;

    private WrapperCycles() {}

    public static void main(String[] args) throws Exception {
        int cycles = args.length > 0 ? Integer.parseInt(args[0]) : 600;
        // Every cycle configures every device, and the simulating runtime records each device's
        // last 256 config calls: the warm-up outlasts that record's filling.
        int warmUp = args.length > 1 ? Integer.parseInt(args[1]) : 300;
        new SwerveJNI();  // loads the library, where the hooks live
        Snapshot.take();  // the management beans it uses are made once, here
        long start = System.nanoTime();
        for (int i = 0; i < warmUp; ++i) {
            cycle();
        }
        Snapshot before = Snapshot.take();
        for (int i = 0; i < cycles; ++i) {
            cycle();
        }
        Snapshot after = Snapshot.take();
        double seconds = (System.nanoTime() - start) / 1e9;

        check(SwerveJNITestHooks.liveDrivetrains() == 0,
                SwerveJNITestHooks.liveDrivetrains() + " drivetrain(s) left in the registry");
        check(SwerveJNITestHooks.liveCallbackContexts() == 0,
                SwerveJNITestHooks.liveCallbackContexts() + " callback context(s) left");
        check(SwerveJNITestHooks.liveGlobalReferences() == 0,
                SwerveJNITestHooks.liveGlobalReferences() + " global reference(s) left");
        check(attachmentsGone(), SwerveJNITestHooks.liveAttachedThreads() + " odometry thread(s) still attached");

        double cHeapPerCycle = (after.cHeap - before.cHeap) / (double) cycles;
        double javaHeapPerCycle = (after.javaHeap - before.javaHeap) / (double) cycles;
        double rssPerCycle = (after.rss - before.rss) / (double) cycles;
        System.out.printf("%d + %d cycles in %.1f s; per measured cycle: C heap %+.0f B, Java heap %+.0f B,"
                + " resident %+.0f B (resident now %d KB)%n", warmUp, cycles, seconds, cHeapPerCycle,
                javaHeapPerCycle, rssPerCycle, after.rss / 1024);
        check(cHeapPerCycle <= C_HEAP_BYTES_PER_CYCLE,
                String.format("the C heap grew %.0f bytes per cycle", cHeapPerCycle));
        check(javaHeapPerCycle <= JAVA_HEAP_BYTES_PER_CYCLE,
                String.format("the Java heap grew %.0f bytes per cycle", javaHeapPerCycle));
        TestSupport.finish();
    }

    private static void cycle() throws InterruptedException {
        CountDownLatch sampled = new CountDownLatch(1);
        try (SwerveDrivetrain drivetrain = squareDrivetrain(40)) {
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

    private static boolean attachmentsGone() throws InterruptedException {
        // A thread detaches as it ends, a moment after the close that stopped it returned.
        for (int i = 0; i < 100 && SwerveJNITestHooks.liveAttachedThreads() != 0; ++i) {
            Thread.sleep(10);
        }
        return SwerveJNITestHooks.liveAttachedThreads() == 0;
    }

    /** What the process holds at one moment, after a full collection. */
    private static final class Snapshot {
        long cHeap;
        long javaHeap;
        long rss;

        static Snapshot take() throws IOException, InterruptedException {
            Snapshot snapshot = new Snapshot();
            snapshot.javaHeap = Long.MAX_VALUE;
            snapshot.cHeap = Long.MAX_VALUE;
            // The JIT compilers borrow C heap for a while now and then; the least of a few
            // readings leaves their passing peaks out.
            for (int i = 0; i < 5; ++i) {
                System.gc();
                Thread.sleep(50);
                snapshot.javaHeap =
                        Math.min(snapshot.javaHeap, ManagementFactory.getMemoryMXBean().getHeapMemoryUsage().getUsed());
                snapshot.cHeap = Math.min(snapshot.cHeap, SwerveJNITestHooks.cHeapBytesInUse());
            }
            for (String line : Files.readAllLines(Paths.get("/proc/self/status"))) {
                if (line.startsWith("VmRSS:")) {
                    snapshot.rss = Long.parseLong(line.replaceAll("[^0-9]", "")) * 1024;
                }
            }
            return snapshot;
        }
    }
}
