package com.kvor.zephrin6.mechanisms;

import com.kvor.zephrin6.StatusCode;
import com.kvor.zephrin6.controls.ControlRequest;
import com.kvor.zephrin6.hardware.CoreRapaxQ;
import com.kvor.zephrin6.hardware.ParentDevice;
import com.kvor.zephrin6.hardware.jni.DeviceJNI;
import java.util.Objects;

/**
 * What DifferentialMechanism and SimpleDifferentialMechanism share: two rapax q motor controllers,
 * a leader and a follower, driving the average and the difference of a two-motor mechanism, with
 * the supervision of their faults and resets. The native mechanism keeps its devices alive until
 * {@link #close}; drive it from one thread (the robot loop): {@link #periodic} every loop, then one
 * command. Using a closed mechanism throws {@link IllegalStateException}.
 */
public abstract class DifferentialMechanismBase implements AutoCloseable {
    /** Why the mechanism refuses to drive. */
    public enum DisabledReason { None, RemoteSensorDataInvalid, MissingDifferentialQ, RemoteSensorPosOverflow, DeviceReset }

    /** Why the program must call {@link #clearUserRequirement} before the mechanism drives again. */
    public enum RequiresUserReason { None, RemoteSensorPosOverflow, DeviceReset }

    /** Which angle of an auklet 2 measures the difference axis. */
    public enum ImuAxis { Yaw, Pitch, Roll }

    private static final ControlRequest.Sender SEND = DeviceJNI::mechanismSetControl;
    private final int[] state = new int[5];
    private volatile int handle;

    DifferentialMechanismBase(int simple, CoreRapaxQ leader, CoreRapaxQ follower, boolean followerOpposesLeader,
            ParentDevice sensor, int imuAxis) {
        Objects.requireNonNull(leader, "leader");
        Objects.requireNonNull(follower, "follower");
        handle = DeviceJNI.mechanismCreate(simple, leader.nativeHandle(), follower.nativeHandle(),
                followerOpposesLeader, sensor == null ? 0 : sensor.nativeHandle(), imuAxis);
        if (handle == 0) {
            throw new IllegalArgumentException("could not build the mechanism over devices " + leader.getDeviceID()
                    + " and " + follower.getDeviceID());
        }
    }

    private int nativeHandle() {
        int h = handle;
        if (h == 0) {
            throw new IllegalStateException("the mechanism is closed");
        }
        return h;
    }

    /** Sends {@code request} through the mechanism's gate (the generated setControl overloads). */
    StatusCode send(ControlRequest request) {
        Objects.requireNonNull(request, "request");
        return request.sendThrough(SEND, nativeHandle());
    }

    /** Supervises the devices; call it every loop before commanding. */
    public void periodic() {
        DeviceJNI.mechanismPeriodic(nativeHandle());
    }

    /** Applies the difference-sensor configuration, each device tried up to {@code retries} times. */
    public StatusCode applyConfigs(int retries) {
        return StatusCode.valueOf(DeviceJNI.mechanismApplyConfigs(nativeHandle(), retries));
    }

    /** Clears the latched requirement; the next {@link #periodic} decides whether to drive. */
    public void clearUserRequirement() {
        DeviceJNI.mechanismClearUserRequirement(nativeHandle());
    }

    /** Puts both devices in their configured neutral mode, without the gate. */
    public StatusCode setNeutralOut() {
        return StatusCode.valueOf(DeviceJNI.mechanismSetNeutral(nativeHandle(), 0));
    }

    /** Lets both motors coast, without the gate. */
    public StatusCode setCoastOut() {
        return StatusCode.valueOf(DeviceJNI.mechanismSetNeutral(nativeHandle(), 1));
    }

    /** Brakes both motors, without the gate. */
    public StatusCode setStaticBrake() {
        return StatusCode.valueOf(DeviceJNI.mechanismSetNeutral(nativeHandle(), 2));
    }

    private int[] state() {
        DeviceJNI.mechanismState(nativeHandle(), state);
        return state;
    }

    /** Whether the mechanism refuses to drive. */
    public boolean isDisabled() {
        return state()[0] != 0;
    }

    /** Whether the program must call {@link #clearUserRequirement} first. */
    public boolean requiresUserAction() {
        return state()[1] != 0;
    }

    /** Why the mechanism refuses to drive. */
    public DisabledReason getDisabledReason() {
        return DisabledReason.values()[state()[2]];
    }

    /** What the program must clear. */
    public RequiresUserReason getRequiresUserReason() {
        return RequiresUserReason.values()[state()[3]];
    }

    /** Whether the difference-sensor configuration was applied. */
    public boolean areConfigsApplied() {
        return state()[4] != 0;
    }

    /** Releases the native mechanism (not its devices, which the program closes). */
    @Override
    public synchronized void close() {
        int h = handle;
        handle = 0;
        if (h != 0) {
            DeviceJNI.mechanismDestroy(h);
        }
    }
}
