package com.kvor.zephrin6.swerve.jni;

import com.kvor.zephrin6.swerve.SwerveDrivetrain;
import com.kvor.zephrin6.swerve.SwerveModuleConstants;

/**
 * What the JVM test programs share: the square four-module drivetrain they drive (0.6 m
 * square, IDs 10-13 steer, 20-23 drive, 30-33 encoders, on the CAN FD bus "drivebus") and the
 * count of failed checks, printed as each failure and as PASS or the count at the end. Not
 * thread-safe: checks run on the program's main thread.
 */
final class TestSupport {
    static final String BUS = "drivebus";
    static final double SPEED_AT_12_VOLTS = 4.0;
    private static int failures;

    private TestSupport() {}

    /** Module i of the square: front-left, front-right, back-left, back-right. */
    static SwerveModuleConstants module(int i) {
        double[][] corners = {{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}};
        return new SwerveModuleConstants()
                .withIds(10 + i, 20 + i, 30 + i)
                .withLocation(corners[i][0], corners[i][1])
                .withGearRatios(6.0, 12.8, 0.0)
                .withWheelRadius(0.05)
                .withSpeedAt12Volts(SPEED_AT_12_VOLTS);
    }

    /** The square drivetrain with the auklet 2 of ID {@code auklet2Id}, odometry stopped. */
    static SwerveDrivetrain squareDrivetrain(int auklet2Id) {
        return new SwerveDrivetrain(BUS, auklet2Id, module(0), module(1), module(2), module(3));
    }

    /** Counts and prints a failure unless {@code condition} holds. */
    static void check(boolean condition, String what) {
        if (!condition) {
            ++failures;
            System.out.println("FAIL: " + what);
        }
    }

    /** Prints PASS, or the number of failures and exits 1. */
    static void finish() {
        if (failures > 0) {
            System.out.println(failures + " check(s) failed");
            System.exit(1);
        }
        System.out.println("PASS");
    }
}
