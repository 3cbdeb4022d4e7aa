package com.kvor.zephrin6;

/**
 * Replay of a recorded {@code .wisp} log: while a log is loaded, the devices' signals and the
 * runtime's clock come from it, so a program re-runs its odometry on what the robot measured. A
 * loaded log starts paused at its beginning; {@link #play} follows the wall clock, and while
 * paused {@link #step} moves the replay by exactly the step. The program's own signals (written
 * with {@link SignalLogger}) are read back with the getters, which return the latest sample at or
 * before the replay time.
 *
 * <pre>{@code
 * WispReplay.loadFile("logs/run.wisp");
 * while (!WispReplay.isFinished()) {
 *     WispReplay.step(0.004);
 *     drivetrain.stepOdometry();
 *     WispReplay.Read<double[]> truth = WispReplay.getDoubleArray("Robot/TruePose");
 * }
 * WispReplay.closeFile();
 * }</pre>
 *
 * <p>Control methods return the runtime's status (0 OK). Static; any thread (the runtime
 * serialises its replay). Times are seconds.
 */
public final class WispReplay {
    static {
        System.loadLibrary("KVOR_Zephrin6_Replay");
    }

    private static final int INVALID_FILE = -10034;
    private static final int WISP_LOG_TOO_OLD = -10035;
    private static final int WISP_LOG_TOO_NEW = -10036;

    /** Set when a step reached the end of the log; cleared by loading, closing and stopping. */
    private static volatile boolean reachedEnd;
    /** Set by play, cleared by pause, stop, loading and closing. */
    private static volatile boolean playing;

    private WispReplay() {}

    /**
     * One user signal read back: its value (null when the read failed), the time of its sample
     * and the runtime's status (0 OK; -10004 NotFound for a name the log does not hold, -1002
     * for a signal of another type, -1200 before its first sample, -10009 without a log).
     */
    public record Read<T>(T value, double timestampSeconds, int status) {
        /** Whether the read found a value. */
        public boolean ok() {
            return status == 0;
        }
    }

    /**
     * Loads the log at {@code path}, paused at its start.
     *
     * @return 0, or the runtime's status for other failures (-10039 while another log is loaded)
     * @throws IllegalArgumentException when the file cannot be read, or its format is too old or
     *     too new for this library, with a message saying which
     */
    public static int loadFile(String path) {
        int status = nLoadFile(SignalLogger.require(path, "path"));
        switch (status) {
            case INVALID_FILE:
                throw new IllegalArgumentException("Could not open or read the given file: " + path);
            case WISP_LOG_TOO_OLD:
                throw new IllegalArgumentException("The given wisp log requires an older version of Zephrin API: "
                        + path);
            case WISP_LOG_TOO_NEW:
                throw new IllegalArgumentException("The given wisp log requires a newer version of Zephrin API: "
                        + path);
            default:
                break;
        }
        if (status == 0) {
            reachedEnd = false;
            playing = false;
        }
        return status;
    }

    /** Closes the loaded log; the runtime simulates live again. */
    public static int closeFile() {
        reachedEnd = false;
        playing = false;
        return nCloseFile();
    }

    /** Whether a log is loaded. */
    public static boolean isFileLoaded() {
        return nIsFileLoaded();
    }

    /** Plays the log on the wall clock. */
    public static int play() {
        int status = nPlay();
        playing = status == 0;
        return status;
    }

    /** Pauses the replay. */
    public static int pause() {
        playing = false;
        return nPause();
    }

    /** Pauses and rewinds to the log's start. */
    public static int stop() {
        playing = false;
        reachedEnd = false;
        return nStop();
    }

    /**
     * Moves a paused replay forward by {@code seconds} (clamped at the end of the log).
     *
     * @return 0, -10038 while playing, -10009 without a log
     * @throws IllegalArgumentException for a step that is negative or not finite
     */
    public static int step(double seconds) {
        if (!Double.isFinite(seconds) || seconds < 0.0) {
            throw new IllegalArgumentException("a replay steps by a finite number of seconds of 0 or more, not "
                    + seconds);
        }
        double[] moved = new double[1];
        int status = nStepTiming(seconds, moved);
        // A rounding error of the clock's sum is not the end of the log.
        if (status == 0 && moved[0] < seconds - 1e-9) {
            reachedEnd = true;
        }
        return status;
    }

    /**
     * Whether the replay reached the end of the log: a step that could not move the whole step,
     * or playback that stopped running by itself. False without a log.
     */
    public static boolean isFinished() {
        if (!nIsFileLoaded()) {
            return false;
        }
        return reachedEnd || (playing && !nIsRunning());
    }

    /** The runtime's clock (the replay clock while a log is loaded), seconds. */
    public static double timeSeconds() {
        return nTimeSeconds();
    }

    /** The double user signal {@code name}. */
    public static Read<Double> getDouble(String name) {
        double[] out = new double[2];
        int status = nGetDouble(SignalLogger.require(name, "name"), out);
        return status == 0 ? new Read<>(out[0], out[1], 0) : new Read<>(null, 0.0, status);
    }

    /** The double-array user signal {@code name} (8 values at most come back from a log). */
    public static Read<double[]> getDoubleArray(String name) {
        double[] out = new double[2];
        double[] values = nGetDoubleArray(SignalLogger.require(name, "name"), out);
        return new Read<>(values, values == null ? 0.0 : out[1], (int) out[0]);
    }

    /** The boolean user signal {@code name}. */
    public static Read<Boolean> getBoolean(String name) {
        boolean[] value = new boolean[1];
        double[] out = new double[1];
        int status = nGetBoolean(SignalLogger.require(name, "name"), value, out);
        return status == 0 ? new Read<>(value[0], out[0], 0) : new Read<>(null, 0.0, status);
    }

    /** The integer user signal {@code name}. */
    public static Read<Long> getInteger(String name) {
        long[] value = new long[1];
        double[] out = new double[1];
        int status = nGetInteger(SignalLogger.require(name, "name"), value, out);
        return status == 0 ? new Read<>(value[0], out[0], 0) : new Read<>(null, 0.0, status);
    }

    /** The string user signal {@code name} (64 bytes at most come back from a log). */
    public static Read<String> getString(String name) {
        double[] out = new double[2];
        String value = nGetString(SignalLogger.require(name, "name"), out);
        return new Read<>(value, value == null ? 0.0 : out[1], (int) out[0]);
    }

    private static native int nLoadFile(String path);

    private static native int nCloseFile();

    private static native boolean nIsFileLoaded();

    private static native int nPlay();

    private static native int nPause();

    private static native int nStop();

    private static native boolean nIsRunning();

    private static native int nStepTiming(double stepSeconds, double[] moved);

    private static native double nTimeSeconds();

    private static native int nGetDouble(String name, double[] valueAndTime);

    private static native double[] nGetDoubleArray(String name, double[] statusAndTime);

    private static native int nGetBoolean(String name, boolean[] value, double[] time);

    private static native int nGetInteger(String name, long[] value, double[] time);

    private static native String nGetString(String name, double[] statusAndTime);
}
