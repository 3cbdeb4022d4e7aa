package com.kvor.zephrin6.configs;

import com.kvor.zephrin6.StatusCode;
import com.kvor.zephrin6.hardware.ParentDevice;
import com.kvor.zephrin6.hardware.jni.DeviceJNI;
import java.util.Objects;

/**
 * A device's configurator: applies configuration groups or whole-device configurations and reads
 * them back, blocking for at most a timeout (0.1 s when none is given). Failures are statuses,
 * reported by the library as in C++; configuration calls block, so they belong in start-up code.
 * Safe from several threads (the native configurator runs one call at a time).
 */
public final class DeviceConfigurator {
    /** The timeout of the calls that take none, seconds. */
    public static final double DEFAULT_TIMEOUT_SECONDS = 0.1;

    private final ParentDevice device;

    /** The configurator of {@code device} (each device builds its own). */
    public DeviceConfigurator(ParentDevice device) {
        this.device = Objects.requireNonNull(device, "device");
    }

    /** Applies {@code configs} with the default timeout. */
    public StatusCode apply(ParentConfiguration configs) {
        return apply(configs, DEFAULT_TIMEOUT_SECONDS);
    }

    /**
     * Writes every value of {@code configs} to the device, waiting at most {@code timeoutSeconds}.
     * A value that is not finite writes nothing and gives InvalidParamValue.
     *
     * @return the configurator's status
     * @throws NullPointerException for null configs
     * @throws IllegalStateException when the device is closed
     */
    public StatusCode apply(ParentConfiguration configs, double timeoutSeconds) {
        double[] values = valuesOf(configs);
        return StatusCode.valueOf(DeviceJNI.applyConfig(device.nativeHandle(), configs.configIds(), configs.kinds(),
                values, values.length, timeoutSeconds));
    }

    /** Reads {@code configs} back with the default timeout. */
    public StatusCode refresh(ParentConfiguration configs) {
        return refresh(configs, DEFAULT_TIMEOUT_SECONDS);
    }

    /**
     * Reads the device's settings into {@code configs}, waiting at most {@code timeoutSeconds}; on a
     * failure {@code configs} keeps its values.
     *
     * @return the configurator's status (TimeoutCannotBeZero for a timeout of 0)
     * @throws NullPointerException for null configs
     * @throws IllegalStateException when the device is closed
     */
    public StatusCode refresh(ParentConfiguration configs, double timeoutSeconds) {
        double[] values = valuesOf(configs);
        int status = DeviceJNI.refreshConfig(device.nativeHandle(), configs.configIds(), configs.kinds(), values,
                values.length, timeoutSeconds);
        if (status == 0) {
            configs.readValues(values, 0);
        }
        return StatusCode.valueOf(status);
    }

    /** The values of {@code configs} in the order of its config IDs. */
    private static double[] valuesOf(ParentConfiguration configs) {
        Objects.requireNonNull(configs, "configs");
        double[] values = new double[configs.configIds().length];
        configs.writeValues(values, 0);
        return values;
    }
}
