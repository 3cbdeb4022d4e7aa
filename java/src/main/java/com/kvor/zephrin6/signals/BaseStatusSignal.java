package com.kvor.zephrin6.signals;

import com.kvor.zephrin6.StatusCode;
import com.kvor.zephrin6.hardware.ParentDevice;
import com.kvor.zephrin6.hardware.jni.DeviceJNI;
import java.util.Objects;

/**
 * A status signal of a device as a Java program holds it: the value, the three timestamps and the
 * status of its last read, and the operations that read it again. The device's getter hands out
 * the same object every time; reads write into it and allocate nothing. Times are seconds, on the
 * runtime's clock; a timestamp the last read did not give is NaN. Not thread-safe: one signal
 * object must not be read by two threads at once (the typed subclasses add {@code getValue()}).
 */
public abstract class BaseStatusSignal {
    private final ParentDevice device;
    private final int signalId;
    private final String name;
    private final double[] record = new double[DeviceJNI.RECORD_SIZE];
    private boolean read;

    BaseStatusSignal(ParentDevice device, int signalId, String name) {
        this.device = device;
        this.signalId = signalId;
        this.name = name;
        java.util.Arrays.fill(record, Double.NaN);
        record[4] = StatusCode.StatusCodeNotInitialized.value;
    }

    /** The signal's name, e.g. "Velocity". */
    public String getName() {
        return name;
    }

    /** The signal's ID within its device. */
    public int getSignalId() {
        return signalId;
    }

    /** The device the signal belongs to. */
    public ParentDevice getDevice() {
        return device;
    }

    /**
     * Reads the latest sample; a failure is reported and shows in {@link #getStatus}.
     *
     * @return this signal
     * @throws IllegalStateException when the device is closed
     */
    public BaseStatusSignal refresh() {
        readNow(DeviceJNI.READ_REFRESH, 0.0);
        return this;
    }

    /**
     * Waits up to {@code timeoutSeconds} for a sample newer than the latest and reads it; after the
     * timeout the status is RxTimeout.
     *
     * @return this signal
     * @throws IllegalArgumentException for a timeout that is negative or not finite
     * @throws IllegalStateException when the device is closed
     */
    public BaseStatusSignal waitForUpdate(double timeoutSeconds) {
        checkTimeout(timeoutSeconds);
        readNow(DeviceJNI.READ_WAIT, timeoutSeconds);
        return this;
    }

    /** What a device getter does: a read when {@code refresh} is set or the signal was never read. */
    public void readAsGetter(boolean refresh) {
        if (refresh || !read) {
            readNow(refresh ? DeviceJNI.READ_GET : DeviceJNI.READ_CACHED, 0.0);
        }
    }

    private void readNow(int mode, double timeoutSeconds) {
        DeviceJNI.readSignal(device.nativeHandle(), signalId, mode, timeoutSeconds, record);
        read = true;
    }

    /** The value of the last read as a double (enumerations and booleans as their number). */
    public double getValueAsDouble() {
        return record[0];
    }

    /** The status of the last read. */
    public StatusCode getStatus() {
        return StatusCode.valueOf((int) record[4]);
    }

    /** The system timestamp of the last read, seconds (NaN when absent). */
    public double getSystemTimestamp() {
        return record[1];
    }

    /** The bus-time timestamp of the last read, seconds (NaN when absent). */
    public double getBustrelTimestamp() {
        return record[2];
    }

    /** The device's own timestamp of the last read, seconds (NaN when absent). */
    public double getDeviceTimestamp() {
        return record[3];
    }

    /** The best timestamp of the last read: the device's, else the bus time, else the system's. */
    public double getTimestamp() {
        if (!Double.isNaN(record[3])) {
            return record[3];
        }
        return Double.isNaN(record[2]) ? record[1] : record[2];
    }

    /** The units text of the value, e.g. "turns/s" ("" for plain numbers). Allocates a String. */
    public String getUnits() {
        return DeviceJNI.signalUnits(device.nativeHandle(), signalId);
    }

    /**
     * Asks the device to publish this signal at {@code hertz} (0 stops it).
     *
     * @return the runtime's status (RxTimeout for an absent device)
     * @throws IllegalArgumentException for a frequency that is not finite
     */
    public StatusCode setUpdateFrequency(double hertz) {
        if (!Double.isFinite(hertz)) {
            throw new IllegalArgumentException("an update frequency must be finite, not " + hertz);
        }
        return StatusCode.valueOf(DeviceJNI.setUpdateFrequency(device.nativeHandle(), signalId, hertz));
    }

    @Override
    public String toString() {
        return name + " " + record[0] + " " + getUnits() + " (" + getStatus() + ")";
    }

    // ---- Several signals together ----

    /** Scratch arrays of one thread's multi-signal reads, grown when a larger group comes. */
    private static final class Scratch {
        int[] handles = new int[0];
        int[] ids = new int[0];
        double[] records = new double[0];

        void fit(int count) {
            if (handles.length < count) {
                handles = new int[count];
                ids = new int[count];
                records = new double[count * DeviceJNI.RECORD_SIZE];
            }
        }
    }

    private static final ThreadLocal<Scratch> SCRATCH = ThreadLocal.withInitial(Scratch::new);

    /**
     * Reads every signal from one runtime call, without waiting. Pass a held array to allocate
     * nothing in steady state.
     *
     * @return the overall status (the first failing signal's)
     * @throws NullPointerException for a null array or signal
     * @throws IllegalStateException when a signal's device is closed
     */
    public static StatusCode refreshAll(BaseStatusSignal... signals) {
        return readAll(0.0, signals);
    }

    /**
     * Waits up to {@code timeoutSeconds} for a synchronised update of every signal, then reads them
     * all from one runtime call (0 refreshes without waiting).
     *
     * @return the overall status (RxTimeout when a signal did not update in time)
     * @throws IllegalArgumentException for a timeout that is negative or not finite
     */
    public static StatusCode waitForAll(double timeoutSeconds, BaseStatusSignal... signals) {
        checkTimeout(timeoutSeconds);
        return readAll(timeoutSeconds, signals);
    }

    private static StatusCode readAll(double timeoutSeconds, BaseStatusSignal[] signals) {
        Objects.requireNonNull(signals, "signals");
        Scratch scratch = SCRATCH.get();
        scratch.fit(signals.length);
        for (int i = 0; i < signals.length; ++i) {
            BaseStatusSignal signal = Objects.requireNonNull(signals[i], "signal");
            scratch.handles[i] = signal.device.nativeHandle();
            scratch.ids[i] = signal.signalId;
        }
        int status = DeviceJNI.readAll(scratch.handles, scratch.ids, signals.length, timeoutSeconds, scratch.records);
        for (int i = 0; i < signals.length; ++i) {
            System.arraycopy(scratch.records, i * DeviceJNI.RECORD_SIZE, signals[i].record, 0, DeviceJNI.RECORD_SIZE);
            signals[i].read = true;
        }
        return StatusCode.valueOf(status);
    }

    private static void checkTimeout(double timeoutSeconds) {
        if (!Double.isFinite(timeoutSeconds) || timeoutSeconds < 0.0) {
            throw new IllegalArgumentException("a timeout is a finite number of seconds of 0 or more, not "
                    + timeoutSeconds);
        }
    }
}
