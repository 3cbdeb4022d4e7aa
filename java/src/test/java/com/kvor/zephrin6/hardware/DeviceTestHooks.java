package com.kvor.zephrin6.hardware;

/**
 * What the device tests ask the runtime's harness directly: the last control call a device
 * received, a stored config value, and an absent device. Devices are named by ID, model text and
 * bus, as the runtime keys them.
 */
final class DeviceTestHooks {
    static {
        System.loadLibrary("zephrin6_java_test_hooks");
    }

    private DeviceTestHooks() {}

    /** The runtime's one-line text of the device's last control call ("" when none). */
    static native String lastControlCall(int deviceId, String model, String bus);

    /** The value the device stores under {@code configId}, or NaN. */
    static native double storedConfigValue(int deviceId, String model, String bus, int configId);

    /** Makes the device answer (true) or stay silent (false); false when the runtime does not know it. */
    static native boolean setPresent(int deviceId, String model, String bus, boolean present);
}
