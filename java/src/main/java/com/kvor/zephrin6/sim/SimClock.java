package com.kvor.zephrin6.sim;

import java.util.concurrent.locks.LockSupport;

/**
 * The device runtime's clock, for deterministic programs and tests in simulation. On the real
 * clock (the default) time runs by itself. On the manual clock it stands still until the program
 * moves it with {@link #advance}; every wait of the runtime (signal waits, configuration
 * timeouts) then ends exactly when time passes its deadline, so a run is the same every time and
 * takes only as long as its computing.
 *
 * <pre>{@code
 * SimClock.useManual(100.0);
 * for (int tick = 0; tick < 1000; ++tick) {
 *     SimClock.advance(0.001);
 *     drivetrain.updateSim(0.001, 12.0);
 *     if (tick % 4 == 0) drivetrain.stepOdometry();
 * }
 * }</pre>
 *
 * <p>The clock is process-wide and belongs to the runtime: switch it before building devices.
 * It lives in a small native library of its own ({@code zephrin6_java_sim}, beside the device
 * library), loaded on the first switch; a robot program on the real clock never loads it. Every
 * method may be called from any thread. Times are seconds.
 */
public final class SimClock {
    private static volatile boolean manual;

    private SimClock() {}

    /** The native side, loaded on first use. */
    private static final class Native {
        static {
            System.loadLibrary("zephrin6_java_sim");
        }

        static native void useManual(double startSeconds);

        static native void useReal();

        static native void advance(double seconds);

        static native double now();

        static native void reset();
    }

    /**
     * Switches the runtime to the manual clock, starting at {@code startSeconds}.
     *
     * @throws IllegalArgumentException for a start that is negative or not finite
     */
    public static synchronized void useManual(double startSeconds) {
        if (!Double.isFinite(startSeconds) || startSeconds < 0.0) {
            throw new IllegalArgumentException("the manual clock must start at a finite time of 0 s or more, not "
                    + startSeconds);
        }
        Native.useManual(startSeconds);
        manual = true;
    }

    /**
     * Moves the manual clock forward by {@code seconds} and wakes the runtime's waits.
     *
     * @throws IllegalArgumentException for a step that is negative or not finite
     * @throws IllegalStateException when the clock is not manual (see {@link #useManual})
     */
    public static void advance(double seconds) {
        if (!Double.isFinite(seconds) || seconds < 0.0) {
            throw new IllegalArgumentException("the clock moves by a finite number of seconds of 0 or more, not "
                    + seconds);
        }
        if (!manual) {
            throw new IllegalStateException("the clock is not manual: call SimClock.useManual first");
        }
        Native.advance(seconds);
    }

    /** Switches back to the real clock. */
    public static synchronized void useReal() {
        if (manual) {
            Native.useReal();
        }
        manual = false;
    }

    /**
     * Returns the whole device runtime to the state of a fresh process: no devices, no log
     * loaded or written, the real clock. For a program that replays the log it just wrote as a
     * new program would (the replayed drivetrain then starts at rest, as the log does).
     *
     * @throws IllegalStateException while any {@link com.kvor.zephrin6.swerve.SwerveDrivetrain}
     *     is open (close them first)
     */
    public static synchronized void resetRuntime() {
        if (com.kvor.zephrin6.swerve.SwerveDrivetrain.openDrivetrains() > 0) {
            throw new IllegalStateException("close every SwerveDrivetrain before resetting the runtime");
        }
        Native.reset();
        manual = false;
    }

    /** Whether the manual clock is in use. */
    public static boolean isManual() {
        return manual;
    }

    /** The runtime's current time, seconds (the replay clock while a log is loaded). */
    public static double now() {
        return manual ? Native.now() : com.kvor.zephrin6.WispReplay.timeSeconds();
    }

    /**
     * Runs {@code call} while, on the manual clock, a helper thread moves time on (about 20 times
     * faster than real time), for the steps that wait for devices' frames: building a drivetrain,
     * stopping its odometry thread. On the real clock it just runs {@code call}.
     */
    public static void whileTimeRuns(Runnable call) {
        if (!manual) {
            call.run();
            return;
        }
        Thread mover = new Thread(() -> {
            while (!Thread.currentThread().isInterrupted()) {
                // Steps of a power of two never leave the clock a rounding error short.
                Native.advance(1.0 / 1024.0);
                LockSupport.parkNanos(50_000);
            }
        }, "SimClock.whileTimeRuns");
        mover.setDaemon(true);
        mover.start();
        try {
            call.run();
        } finally {
            mover.interrupt();
            boolean interrupted = false;
            while (mover.isAlive()) {
                try {
                    mover.join();
                } catch (InterruptedException e) {
                    interrupted = true;
                }
            }
            if (interrupted) {
                Thread.currentThread().interrupt();
            }
        }
    }
}
