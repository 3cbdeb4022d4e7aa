package com.kvor.zephrin6;

import com.kvor.zephrin6.sim.SimClock;
import com.kvor.zephrin6.swerve.SwerveDrivetrain;
import com.kvor.zephrin6.swerve.SwerveModuleConstants;
import com.kvor.zephrin6.swerve.SwerveRequest;

/**
 * What one step of a Java program that steps the simulation itself costs: {@code
 * SimClock.advance(0.004)}, {@code updateSim(0.004, 12)} and {@code stepOdometry()}, the Java
 * twin of bench_swerve_sim's BM_SimStep and BM_SimStepThroughC (same drivetrain, same step,
 * same request). Warms the JIT up first, then times five rounds of 5000 steps and prints each
 * round's mean and the median of the rounds, in microseconds per step, with the three calls
 * also timed apart. Run it plainly (not under -Xcheck:jni, which checks every JNI call):
 *
 * <pre>
 * java -Djava.library.path=build/lib -cp build/lib/zephrin6-swerve.jar:build/lib/zephrin6-swerve-tests.jar \
 *     com.kvor.zephrin6.SimStepTiming
 * </pre>
 */
public final class SimStepTiming {
    private static final double STEP = 0.004;
    private static final int STEPS = 5000;
    private static final int ROUNDS = 5;

    private SimStepTiming() {}

    public static void main(String[] args) {
        SimClock.useManual(100.0);
        double[][] corners = {{0.3, 0.3}, {0.3, -0.3}, {-0.3, 0.3}, {-0.3, -0.3}};
        SwerveModuleConstants[] modules = new SwerveModuleConstants[4];
        for (int i = 0; i < 4; ++i) {
            modules[i] = new SwerveModuleConstants()
                    .withIds(i + 1, i + 5, i + 9)
                    .withLocation(corners[i][0], corners[i][1])
                    .withGearRatios(6.75, 150.0 / 7.0, 3.5)
                    .withWheelRadius(0.05)
                    .withSpeedAt12Volts(100.0 / 6.75 * 2.0 * Math.PI * 0.05)
                    .withSteerMotorGains(60.0, 0.0, 0.5, 0.0, 0.0, 0.0)
                    .withSlipCurrent(120.0)
                    .withSimulation(0.004, 0.03, 0.0, 0.0);
        }
        try (SwerveDrivetrain drivetrain = new SwerveDrivetrain("drivebus", 40, 250.0, modules)) {
            drivetrain.setControl(new SwerveRequest.FieldCentric()
                    .withSteerRequestType(SwerveRequest.SteerRequestType.POSITION)
                    .withVelocityX(1.0)
                    .withVelocityY(0.5)
                    .withRotationalRate(0.5));
            for (int i = 0; i < 4 * STEPS; ++i) { // the JIT compiles the loop
                step(drivetrain);
            }
            double[] rounds = new double[ROUNDS];
            for (int r = 0; r < ROUNDS; ++r) {
                long start = System.nanoTime();
                for (int i = 0; i < STEPS; ++i) {
                    step(drivetrain);
                }
                rounds[r] = (System.nanoTime() - start) / 1e3 / STEPS;
                System.out.printf("round %d: %.2f us per step%n", r + 1, rounds[r]);
            }
            java.util.Arrays.sort(rounds);
            System.out.printf("advance + updateSim + stepOdometry from Java: median %.2f us per step (%.0fx real time "
                    + "for the 4 ms it simulates)%n", rounds[ROUNDS / 2], STEP * 1e6 / rounds[ROUNDS / 2]);
            long[] parts = new long[3];
            for (int i = 0; i < STEPS; ++i) {
                long t0 = System.nanoTime();
                SimClock.advance(STEP);
                long t1 = System.nanoTime();
                drivetrain.updateSim(STEP, 12.0);
                long t2 = System.nanoTime();
                drivetrain.stepOdometry();
                long t3 = System.nanoTime();
                parts[0] += t1 - t0;
                parts[1] += t2 - t1;
                parts[2] += t3 - t2;
            }
            System.out.printf("apart: advance %.2f us, updateSim %.2f us, stepOdometry %.2f us%n",
                    parts[0] / 1e3 / STEPS, parts[1] / 1e3 / STEPS, parts[2] / 1e3 / STEPS);
            double[] pose = drivetrain.getSimPose();
            if (Math.hypot(pose[0], pose[1]) < 0.1) {
                System.out.println("FAIL: the robot did not drive");
                System.exit(1);
            }
        }
    }

    private static void step(SwerveDrivetrain drivetrain) {
        SimClock.advance(STEP);
        drivetrain.updateSim(STEP, 12.0);
        drivetrain.stepOdometry();
    }
}
