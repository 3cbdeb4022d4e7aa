package com.kvor.zephrin6.signals;

import com.kvor.zephrin6.hardware.ParentDevice;

/** A status signal whose value is a whole number (a version, a bit field, a count). */
public final class LongStatusSignal extends BaseStatusSignal {
    /** The signal {@code signalId} of {@code device}, as the device's getter builds it. */
    public LongStatusSignal(ParentDevice device, int signalId, String name) {
        super(device, signalId, name);
    }

    /** The value of the last read. */
    public long getValue() {
        return (long) getValueAsDouble();
    }

    @Override
    public LongStatusSignal refresh() {
        super.refresh();
        return this;
    }

    @Override
    public LongStatusSignal waitForUpdate(double timeoutSeconds) {
        super.waitForUpdate(timeoutSeconds);
        return this;
    }
}
