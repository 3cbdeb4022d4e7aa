package com.kvor.zephrin6.signals;

import com.kvor.zephrin6.hardware.ParentDevice;
import java.util.function.IntFunction;

/**
 * A status signal whose value is one of a value enumeration's constants.
 *
 * @param <E> the enumeration, e.g. {@link ControlModeValue}
 */
public final class EnumStatusSignal<E extends Enum<E>> extends BaseStatusSignal {
    private final IntFunction<E> fromValue;

    /** The signal {@code signalId} of {@code device}; {@code fromValue} maps a number to its constant. */
    public EnumStatusSignal(ParentDevice device, int signalId, String name, IntFunction<E> fromValue) {
        super(device, signalId, name);
        this.fromValue = fromValue;
    }

    /** The constant of the last read, or null when the device sent a number no constant has. */
    public E getValue() {
        return fromValue.apply((int) getValueAsDouble());
    }

    @Override
    public EnumStatusSignal<E> refresh() {
        super.refresh();
        return this;
    }

    @Override
    public EnumStatusSignal<E> waitForUpdate(double timeoutSeconds) {
        super.waitForUpdate(timeoutSeconds);
        return this;
    }
}
