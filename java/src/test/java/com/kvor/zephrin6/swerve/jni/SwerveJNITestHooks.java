package com.kvor.zephrin6.swerve.jni;

/**
 * Test hooks of the native JVM bindings: what the bindings hold, and a way to time a
 * telemetry callback without waiting for the odometry thread's samples. Needs
 * {@link SwerveJNI} loaded first (it loads the library).
 */
final class SwerveJNITestHooks {
    private SwerveJNITestHooks() {}

    /** Global references the bindings hold right now. */
    static native long liveGlobalReferences();

    /** Callback contexts registered and not yet released. */
    static native long liveCallbackContexts();

    /** Native threads the bindings attached to the JVM and have not detached yet. */
    static native long liveAttachedThreads();

    /** Drivetrains in the C interface's registry (created and not destroyed). */
    static native long liveDrivetrains();

    /** Bytes the process's C heap (malloc) has handed out and not had back. */
    static native long cHeapBytesInUse();

    /**
     * Calls the telemetry callback behind {@code telemetryHandle} {@code calls} times, as the
     * odometry thread would, from a new native thread with a made-up state of {@code modules}
     * modules. Returns the nanoseconds the calls took, or -1 for a bad handle or count.
     */
    static native long timeTelemetryCallbacks(long telemetryHandle, int modules, int calls);
}
