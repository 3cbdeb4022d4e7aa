package com.kvor.zephrin6.swerve;

/**
 * The simulated battery as the last simulation step on it left it (see {@link
 * SwerveDrivetrain#getSimBattery}): its settings, its loaded voltage, the current drawn and whether
 * the robot browned out.
 */
public final class SimBatteryState {
    /** The voltage at no load. */
    public final double openCircuitVolts;
    /** Internal resistance with breaker and wiring, ohms. */
    public final double resistanceOhms;
    /** Below this voltage the motor controllers are disabled. */
    public final double brownoutVolts;
    /** The loaded voltage. */
    public final double volts;
    /** The current drawn, amperes. */
    public final double amps;
    /** Whether the robot is browned out. */
    public final boolean brownedOut;

    SimBatteryState(double[] values) {
        openCircuitVolts = values[0];
        resistanceOhms = values[1];
        brownoutVolts = values[2];
        volts = values[3];
        amps = values[4];
        brownedOut = values[5] != 0.0;
    }

    @Override
    public String toString() {
        return String.format("SimBatteryState(%.3f V, %.3f A%s)", volts, amps, brownedOut ? ", browned out" : "");
    }
}
