package com.kvor.zephrin6.hardware.jni;

/**
 * The native side of every device, signal, request and configuration class: one generic call per
 * kind of operation, with a device handle, a signal ID, a request type ID or config IDs, over the
 * library's plain C device functions. The generated Java classes call these; a program uses the
 * device classes instead. A handle that names no device gives status -1002 (InvalidParamValue) and
 * changes nothing; no call throws or allocates on the Java heap except {@link #signalUnits}.
 */
public final class DeviceJNI {
    static {
        System.loadLibrary("KVOR_Zephrin6_Replay");
    }

    private DeviceJNI() {}

    /** Doubles per signal in a signal record: value, system, bustrel and device time (NaN when absent), status. */
    public static final int RECORD_SIZE = 5;
    /** Read mode: what a device getter does (read, report a failure once the signal existed). */
    public static final int READ_GET = 0;
    /** Read mode: the latest sample, failures reported. */
    public static final int READ_REFRESH = 1;
    /** Read mode: wait up to the timeout for a new sample. */
    public static final int READ_WAIT = 2;
    /** Read mode: the last sample read, nothing asked of the runtime. */
    public static final int READ_CACHED = 3;

    /** Builds device {@code model} (the index of its Java class); returns its handle, 0 when refused. */
    public static native int create(int model, int deviceId, String canbus);

    /** Destroys the device of {@code handle}. */
    public static native void destroy(int handle);

    /** Reads one signal into {@code out[0..4]}; returns its status. */
    public static native int readSignal(int handle, int signalId, int mode, double timeoutSeconds, double[] out);

    /** Reads {@code count} signals together into {@code out[5 * i ...]}; returns the overall status. */
    public static native int readAll(int[] handles, int[] signalIds, int count, double timeoutSeconds, double[] out);

    /** Asks the device to publish the signal at {@code hertz}; returns the runtime's status. */
    public static native int setUpdateFrequency(int handle, int signalId, double hertz);

    /** The signal's units text ("" when it has none or is unknown). */
    public static native String signalUnits(int handle, int signalId);

    /** Sends request type {@code typeId}: {@code count} fields in order, the update frequency last. */
    public static native int sendRequest(int handle, int typeId, double[] fields, int count);

    /** Calls simulation-state input {@code callId} with {@code value}; returns the simulator's status. */
    public static native int simSet(int handle, int callId, double value);

    /** Reads simulation-state output {@code callId} (a status as its number); NaN when refused. */
    public static native double simGet(int handle, int callId);

    /** Runs configurator action {@code actionId} with {@code value}; returns the configurator's status. */
    public static native int configAction(int handle, int actionId, double value, double timeoutSeconds);

    /** Applies {@code count} settings as one config text; returns the configurator's status. */
    public static native int applyConfig(int handle, int[] configIds, int[] kinds, double[] values, int count,
            double timeoutSeconds);

    /** Reads the device's settings into {@code values}; returns the configurator's status. */
    public static native int refreshConfig(int handle, int[] configIds, int[] kinds, double[] values, int count,
            double timeoutSeconds);

    // ---- Differential mechanisms ----

    /** Builds a mechanism (simple 0: commanded with request pairs, 1: with single requests); 0 when refused. */
    public static native int mechanismCreate(int simple, int leader, int follower, boolean followerOpposesLeader,
            int sensor, int imuAxis);

    /** Destroys the mechanism. */
    public static native void mechanismDestroy(int handle);

    /** Supervises the mechanism's devices. */
    public static native void mechanismPeriodic(int handle);

    /** Sends request type {@code typeId} through the mechanism: fields in order, the update frequency last. */
    public static native int mechanismSetControl(int handle, int typeId, double[] fields, int count);

    /** Neutral (0), coast (1) or static brake (2) on both devices. */
    public static native int mechanismSetNeutral(int handle, int how);

    /** Applies the difference-sensor configuration, each device tried up to {@code retries} times. */
    public static native int mechanismApplyConfigs(int handle, int retries);

    /** Clears the latched requirement. */
    public static native void mechanismClearUserRequirement(int handle);

    /** Fills state[0..4] (disabled, requires user action, the two reasons, configs applied); false when unknown. */
    public static native boolean mechanismState(int handle, int[] state);

    // ---- Orchestra ----

    /** Opens an orchestra; returns its handle. */
    public static native int orchestraCreate();

    /** Closes the orchestra. */
    public static native void orchestraDestroy(int handle);

    /** Adds device {@code device} playing {@code track} (negative: the next free one). */
    public static native int orchestraAddInstrument(int handle, int device, int track);

    /** Removes every instrument. */
    public static native int orchestraClearInstruments(int handle);

    /** Loads a tune file. */
    public static native int orchestraLoadMusic(int handle, String path);

    /** Plays (0), pauses (1) or stops (2) the music. */
    public static native int orchestraControl(int handle, int action);

    /** Whether the music plays. */
    public static native boolean orchestraIsPlaying(int handle);

    /** Where the music is, seconds. */
    public static native double orchestraCurrentTime(int handle);
}
