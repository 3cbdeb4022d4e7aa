package com.kvor.zephrin6;

import com.kvor.zephrin6.hardware.ParentDevice;
import com.kvor.zephrin6.hardware.jni.DeviceJNI;
import java.util.Objects;

/**
 * Plays a tune file on motor controllers, each an instrument sounding one track. The playback is
 * the device runtime's; this object owns one runtime orchestra until {@link #close}, which stops
 * the music. Failures are statuses, as in C++; using a closed orchestra throws
 * {@link IllegalStateException}. May be called from any thread.
 */
public final class Orchestra implements AutoCloseable {
    private volatile int handle = DeviceJNI.orchestraCreate();

    private int nativeHandle() {
        int h = handle;
        if (h == 0) {
            throw new IllegalStateException("the orchestra is closed");
        }
        return h;
    }

    /** Adds {@code device} as an instrument playing the next free track. */
    public StatusCode addInstrument(ParentDevice device) {
        return addInstrument(device, -1);
    }

    /** Adds {@code device} as an instrument playing {@code track} (0 to 65535). */
    public StatusCode addInstrument(ParentDevice device, int track) {
        Objects.requireNonNull(device, "device");
        return StatusCode.valueOf(DeviceJNI.orchestraAddInstrument(nativeHandle(), device.nativeHandle(), track));
    }

    /** Removes every instrument. */
    public StatusCode clearInstruments() {
        return StatusCode.valueOf(DeviceJNI.orchestraClearInstruments(nativeHandle()));
    }

    /** Loads the tune file at {@code path}; the runtime's status tells whether it could. */
    public StatusCode loadMusic(String path) {
        Objects.requireNonNull(path, "path");
        return StatusCode.valueOf(DeviceJNI.orchestraLoadMusic(nativeHandle(), path));
    }

    /** Starts or resumes the music. */
    public StatusCode play() {
        return StatusCode.valueOf(DeviceJNI.orchestraControl(nativeHandle(), 0));
    }

    /** Pauses the music where it is. */
    public StatusCode pause() {
        return StatusCode.valueOf(DeviceJNI.orchestraControl(nativeHandle(), 1));
    }

    /** Stops the music and rewinds it. */
    public StatusCode stop() {
        return StatusCode.valueOf(DeviceJNI.orchestraControl(nativeHandle(), 2));
    }

    /** Whether the music plays. */
    public boolean isPlaying() {
        return DeviceJNI.orchestraIsPlaying(nativeHandle());
    }

    /** Where the music is, seconds from its start. */
    public double getCurrentTime() {
        return DeviceJNI.orchestraCurrentTime(nativeHandle());
    }

    /** Closes the runtime orchestra, which stops the music. */
    @Override
    public synchronized void close() {
        int h = handle;
        handle = 0;
        if (h != 0) {
            DeviceJNI.orchestraDestroy(h);
        }
    }
}
