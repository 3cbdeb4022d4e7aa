package com.kvor.zephrin6.signals;

import com.kvor.zephrin6.hardware.ParentDevice;

/** A status signal whose value is a number in the units {@link #getUnits} names. */
public final class DoubleStatusSignal extends BaseStatusSignal {
    /** The signal {@code signalId} of {@code device}, as the device's getter builds it. */
    public DoubleStatusSignal(ParentDevice device, int signalId, String name) {
        super(device, signalId, name);
    }

    /** The value of the last read. */
    public double getValue() {
        return getValueAsDouble();
    }

    @Override
    public DoubleStatusSignal refresh() {
        super.refresh();
        return this;
    }

    @Override
    public DoubleStatusSignal waitForUpdate(double timeoutSeconds) {
        super.waitForUpdate(timeoutSeconds);
        return this;
    }
}
