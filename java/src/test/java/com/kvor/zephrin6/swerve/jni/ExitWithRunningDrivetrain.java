package com.kvor.zephrin6.swerve.jni;

import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;

/**
 * A program that forgets to close: it makes a four-module drivetrain through the raw {@link
 * SwerveJNI} natives, registers a telemetry and a control callback, starts the odometry thread
 * and, once samples flow, calls {@link System#exit} with all of it still running. Both
 * callbacks spend a little time in Java, so that the odometry thread is usually inside a call
 * into the JVM when the exit begins. Prints "exiting" just before the exit; {@link JvmExitCheck}
 * runs it and times what follows. Exits 0, or 3 when no samples came.
 */
public final class ExitWithRunningDrivetrain {
    private ExitWithRunningDrivetrain() {}

    public static void main(String[] args) throws InterruptedException {
        double[][] corners = {{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}};
        SwerveJNI jni = new SwerveJNI(4);
        long constants = jni.JNI_CreateDrivetrainConstants("drivebus", 40);
        long modules = jni.JNI_CreateModuleConstantsArr(4);
        for (int i = 0; i < 4; ++i) {
            jni.JNI_SetModuleConstants(modules, i, 10 + i, 20 + i, 30 + i, 0.0, corners[i][0], corners[i][1], false,
                    false, false, 6.0, 12.8, 0.0, 0.05, 0, 0, 120.0, 4.0, 0, 0, 0, 0.01, 0.01, 0.2, 0.2);
        }
        int id = jni.JNI_CreateDrivetrain(constants, modules, 4);
        jni.JNI_DestroyConstants(constants);
        jni.JNI_DestroyConstants(modules);
        if (id == 0) {
            System.out.println("FAIL: the drivetrain was refused");
            System.exit(3);
        }

        CountDownLatch samples = new CountDownLatch(20);
        SwerveJNI telemetryJni = new SwerveJNI(4);
        SwerveJNI controlJni = new SwerveJNI(0);
        telemetryJni.JNI_RegisterTelemetry(id, () -> {
            samples.countDown();
            spin(500_000);
        });
        controlJni.JNI_SetControl(id, () -> {
            spin(500_000);
            return 0;
        });
        jni.JNI_Odom_Start(id);
        if (!samples.await(10, TimeUnit.SECONDS)) {
            System.out.println("FAIL: no samples within 10 s");
            System.exit(3);
        }
        System.out.println("exiting");
        System.out.flush();
        System.exit(0);
    }

    /** Stays busy in Java for about {@code nanos} nanoseconds. */
    private static void spin(long nanos) {
        long end = System.nanoTime() + nanos;
        while (System.nanoTime() < end) {
            Thread.onSpinWait();
        }
    }
}
