package com.kvor.zephrin6.controls;

import com.kvor.zephrin6.StatusCode;
import com.kvor.zephrin6.hardware.jni.DeviceJNI;
import java.util.Objects;

/**
 * The base of every control request: its type (the same names as the C++ requests), its fields and
 * the update frequency the runtime repeats it at. A send writes the fields in order into an array
 * the request owns and passes it to the device in one native call, so reusing one request object
 * every loop allocates nothing. Not thread-safe: do not change or send one request from two threads
 * at once.
 */
public abstract class ControlRequest {
    /** Rate at which the runtime repeats the request, hertz; 0 sends it once. Default 100 Hz. */
    public double UpdateFreqHz = 100.0;

    private final int typeId;
    private final String name;
    private final double[] values;

    /** A request of type {@code typeId} (the generated classes pass theirs) with {@code fieldCount} fields. */
    protected ControlRequest(int typeId, String name, int fieldCount) {
        this.typeId = typeId;
        this.name = name;
        this.values = new double[fieldCount + 1];
    }

    /** The request's name, e.g. "VelocityVoltage". */
    public String getName() {
        return name;
    }

    /** Writes the fields in order into {@code values} from index {@code at} (booleans as 0 or 1). */
    protected abstract void writeFields(double[] values, int at);

    /** Writes a compound's member request, which must not be null. */
    protected static void writeMember(ControlRequest member, String what, double[] values, int at) {
        Objects.requireNonNull(member, what).writeFields(values, at);
    }

    /** A native send of a request by type ID with its fields in order (a device's or a mechanism's). */
    @FunctionalInterface
    public interface Sender {
        /** Sends {@code count} values (fields, then the update frequency) to {@code handle}; returns the status. */
        int send(int handle, int typeId, double[] values, int count);
    }

    /**
     * Sends this request to the device of {@code deviceHandle} (what a device's setControl does).
     * A field that is not finite sends nothing and gives InvalidParamValue, reported by the library.
     *
     * @return the runtime's status, NotSupported for a request type the device does not accept
     */
    public StatusCode sendTo(int deviceHandle) {
        return sendThrough(DeviceJNI::sendRequest, deviceHandle);
    }

    /** Writes the fields and the update frequency into the request's own array and hands them to {@code sender}. */
    public StatusCode sendThrough(Sender sender, int handle) {
        writeFields(values, 0);
        values[values.length - 1] = UpdateFreqHz;
        return StatusCode.valueOf(sender.send(handle, typeId, values, values.length));
    }

    @Override
    public String toString() {
        StringBuilder text = new StringBuilder("Control: ").append(name).append(" [");
        writeFields(values, 0);
        for (int i = 0; i + 1 < values.length; ++i) {
            text.append(i == 0 ? "" : ", ").append(values[i]);
        }
        return text.append("] at ").append(UpdateFreqHz).append(" Hz").toString();
    }
}
