package com.kvor.zephrin6.configs;

/**
 * The base of the configuration groups and whole-device configurations. A group knows its config IDs
 * and how each value crosses the config text; a configuration is its groups in order. The native
 * side builds the config text from these with the same serialisation as the C++ groups, so Java and
 * C++ write the same text.
 */
public abstract class ParentConfiguration {
    private int[] allIds;
    private int[] allKinds;

    /** The groups of a whole-device configuration, in the order of its text; null for a group. */
    ParentConfiguration[] parts() {
        return null;
    }

    /** The config IDs of every value, in order. */
    int[] configIds() {
        collect();
        return allIds;
    }

    /** 0 for a value that crosses the text as a double, 1 as an integer; in the order of configIds. */
    int[] kinds() {
        collect();
        return allKinds;
    }

    /** Writes every value in order into {@code values} from {@code at}. */
    void writeValues(double[] values, int at) {
        for (ParentConfiguration part : parts()) {
            part.writeValues(values, at);
            at += part.configIds().length;
        }
    }

    /** Reads every value back from {@code values} from {@code at}. */
    void readValues(double[] values, int at) {
        for (ParentConfiguration part : parts()) {
            part.readValues(values, at);
            at += part.configIds().length;
        }
    }

    private void collect() {
        if (allIds != null) {
            return;
        }
        int count = 0;
        for (ParentConfiguration part : parts()) {
            count += part.configIds().length;
        }
        int[] ids = new int[count];
        int[] kinds = new int[count];
        int at = 0;
        for (ParentConfiguration part : parts()) {
            int n = part.configIds().length;
            System.arraycopy(part.configIds(), 0, ids, at, n);
            System.arraycopy(part.kinds(), 0, kinds, at, n);
            at += n;
        }
        allKinds = kinds;
        allIds = ids;
    }
}
