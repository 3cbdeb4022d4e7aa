package com.kvor.zephrin6;

/**
 * The program's own signals in the signal log: the same {@code .wisp} log the devices' signals
 * go to, which {@link WispReplay} plays back and the wisp tool exports. Set a folder, start,
 * write samples of named signals (each with its units text), stop:
 *
 * <pre>{@code
 * SignalLogger.setPath("logs");
 * SignalLogger.start();
 * SignalLogger.writeDoubleArray("Robot/Pose", new double[] {x, y, theta}, "m, m, rad");
 * SignalLogger.stop();
 * }</pre>
 *
 * <p>Every method returns the runtime's status (0 OK, negative errors, for example -10015
 * InvalidSize for a payload that does not fit one record: more than 31 doubles or 255 bytes of
 * text). Null names, values or texts and latencies that are negative or not finite are a
 * programming error and throw. Static and stateless; any thread.
 */
public final class SignalLogger {
    static {
        System.loadLibrary("KVOR_Zephrin6_Replay");
    }

    private SignalLogger() {}

    /** Sets the folder new logs are written to. */
    public static int setPath(String path) {
        return nSetPath(require(path, "path"));
    }

    /** Starts a new log. */
    public static int start() {
        return nStart();
    }

    /** Completes and closes the log. */
    public static int stop() {
        return nStop();
    }

    /** One sample of a double signal with its units text. */
    public static int writeDouble(String name, double value, String units) {
        return writeDouble(name, value, units, 0.0);
    }

    /** As above for a sample already {@code latencySeconds} old. */
    public static int writeDouble(String name, double value, String units, double latencySeconds) {
        return nWriteDouble(require(name, "name"), value, units == null ? "" : units, latency(latencySeconds));
    }

    /** One sample of a double-array signal (31 values at most). */
    public static int writeDoubleArray(String name, double[] values, String units) {
        return writeDoubleArray(name, values, units, 0.0);
    }

    /** As above for a sample already {@code latencySeconds} old. */
    public static int writeDoubleArray(String name, double[] values, String units, double latencySeconds) {
        return nWriteDoubleArray(
                require(name, "name"), require(values, "values"), units == null ? "" : units, latency(latencySeconds));
    }

    /** One sample of a boolean signal. */
    public static int writeBoolean(String name, boolean value) {
        return nWriteBoolean(require(name, "name"), value, 0.0);
    }

    /** One sample of an integer signal with its units text. */
    public static int writeInteger(String name, long value, String units) {
        return nWriteInteger(require(name, "name"), value, units == null ? "" : units, 0.0);
    }

    /** One sample of a string signal (255 bytes of UTF-8 at most). */
    public static int writeString(String name, String value) {
        return nWriteString(require(name, "name"), require(value, "value"), 0.0);
    }

    static <T> T require(T value, String what) {
        if (value == null) {
            throw new NullPointerException(what + " must not be null");
        }
        return value;
    }

    private static double latency(double seconds) {
        if (!Double.isFinite(seconds) || seconds < 0.0) {
            throw new IllegalArgumentException("a latency is a finite number of seconds of 0 or more, not " + seconds);
        }
        return seconds;
    }

    private static native int nSetPath(String path);

    private static native int nStart();

    private static native int nStop();

    private static native int nWriteDouble(String name, double value, String units, double latencySeconds);

    private static native int nWriteDoubleArray(String name, double[] values, String units, double latencySeconds);

    private static native int nWriteBoolean(String name, boolean value, double latencySeconds);

    private static native int nWriteInteger(String name, long value, String units, double latencySeconds);

    private static native int nWriteString(String name, String value, double latencySeconds);
}
