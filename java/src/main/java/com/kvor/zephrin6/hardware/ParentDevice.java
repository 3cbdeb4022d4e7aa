package com.kvor.zephrin6.hardware;

import com.kvor.zephrin6.StatusCode;
import com.kvor.zephrin6.configs.DeviceConfigurator;
import com.kvor.zephrin6.controls.ControlRequest;
import com.kvor.zephrin6.hardware.jni.DeviceJNI;
import java.util.Objects;

/**
 * The base of the device classes: the native device behind a handle, built from an ID and a bus name
 * and released by {@link #close}. Using a closed device (its signals, requests or configurator)
 * throws {@link IllegalStateException}; closing twice does nothing.
 */
public abstract class ParentDevice implements AutoCloseable {
    private final int deviceId;
    private final String canbus;
    private final DeviceConfigurator configurator;
    private volatile int handle;

    /**
     * Builds device {@code model} (the generated classes pass their index).
     *
     * @throws NullPointerException for a null bus name
     * @throws IllegalArgumentException when the native side refuses the device (a bus name of 64
     *     characters or more)
     */
    protected ParentDevice(int model, int deviceId, String canbus) {
        Objects.requireNonNull(canbus, "canbus");
        this.deviceId = deviceId;
        this.canbus = canbus;
        this.handle = DeviceJNI.create(model, deviceId, canbus);
        if (handle == 0) {
            throw new IllegalArgumentException("could not build device " + deviceId + " on bus \"" + canbus
                    + "\" (bus names are shorter than 64 characters)");
        }
        this.configurator = new DeviceConfigurator(this);
    }

    /** The device's ID on its bus. */
    public int getDeviceID() {
        return deviceId;
    }

    /** The name of the bus the device is on. */
    public String getNetwork() {
        return canbus;
    }

    /** The device's configurator: apply and refresh configurations. */
    public DeviceConfigurator getConfigurator() {
        return configurator;
    }

    /** Whether {@link #close} was called. */
    public boolean isClosed() {
        return handle == 0;
    }

    /**
     * The native handle of the device, for the signal, request and configurator classes.
     *
     * @throws IllegalStateException when the device is closed
     */
    public int nativeHandle() {
        int h = handle;
        if (h == 0) {
            throw new IllegalStateException("device " + deviceId + " on bus \"" + canbus + "\" is closed");
        }
        return h;
    }

    /** Sends a request (the motor controllers' setControl). */
    protected StatusCode sendControl(ControlRequest request) {
        Objects.requireNonNull(request, "request");
        return request.sendTo(nativeHandle());
    }

    /**
     * Runs configurator action {@code actionId} (a generated ID of this model) with {@code value}.
     *
     * @throws IllegalStateException when the device is closed
     */
    protected StatusCode configAction(int actionId, double value, double timeoutSeconds) {
        return StatusCode.valueOf(DeviceJNI.configAction(nativeHandle(), actionId, value, timeoutSeconds));
    }

    /** Releases the native device; its signals can no longer be read. */
    @Override
    public synchronized void close() {
        int h = handle;
        handle = 0;
        if (h != 0) {
            DeviceJNI.destroy(h);
        }
    }
}
