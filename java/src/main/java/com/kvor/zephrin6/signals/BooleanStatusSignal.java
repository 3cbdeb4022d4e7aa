package com.kvor.zephrin6.signals;

import com.kvor.zephrin6.hardware.ParentDevice;

/** A status signal whose value is true or false (a fault, a flag). */
public final class BooleanStatusSignal extends BaseStatusSignal {
    /** The signal {@code signalId} of {@code device}, as the device's getter builds it. */
    public BooleanStatusSignal(ParentDevice device, int signalId, String name) {
        super(device, signalId, name);
    }

    /** The value of the last read. */
    public boolean getValue() {
        return getValueAsDouble() != 0.0;
    }

    @Override
    public BooleanStatusSignal refresh() {
        super.refresh();
        return this;
    }

    @Override
    public BooleanStatusSignal waitForUpdate(double timeoutSeconds) {
        super.waitForUpdate(timeoutSeconds);
        return this;
    }
}
