package com.kvor.zephrin6.hardware;

import com.kvor.zephrin6.controls.VelocityVoltage;
import com.kvor.zephrin6.signals.BaseStatusSignal;
import com.kvor.zephrin6.signals.DoubleStatusSignal;
import com.kvor.zephrin6.sim.SimClock;
import java.lang.management.ManagementFactory;

/**
 * What the device calls of a Java robot loop cost: a refresh of a signal the program holds, a
 * setControl with the same request type as last time, and refreshAll of 18 signals (nine each of
 * two motor controllers). Runs on the manual clock, so every read finds data ready and no time
 * passes; each figure is the whole Java call including its JNI transition. Warms the JIT up first,
 * then times five rounds of 200000 calls and prints each round's mean and the median, in
 * nanoseconds per call, with the Java heap bytes allocated per call over all rounds (from the
 * thread's allocation counter). Run it plainly (not under -Xcheck:jni):
 *
 * <pre>
 * java -Djava.library.path=build/lib -cp build/lib/zephrin6-swerve.jar:build/lib/zephrin6-swerve-tests.jar \
 *     com.kvor.zephrin6.hardware.DeviceCallTiming
 * </pre>
 */
public final class DeviceCallTiming {
    private static final int CALLS = 200_000;
    private static final int ROUNDS = 5;

    private DeviceCallTiming() {}

    public static void main(String[] args) {
        SimClock.useManual(100.0);
        try (CoreRapaxQ left = new CoreRapaxQ(1, "can"); CoreRapaxQ right = new CoreRapaxQ(2, "can")) {
            SimClock.advance(0.1);
            DoubleStatusSignal position = left.getPosition();
            VelocityVoltage request = new VelocityVoltage(10.0);
            BaseStatusSignal[] eighteen = new BaseStatusSignal[18];
            for (int i = 0; i < 2; ++i) {
                CoreRapaxQ motor = i == 0 ? left : right;
                BaseStatusSignal[] nine = {motor.getPosition(), motor.getVelocity(), motor.getAcceleration(),
                    motor.getMotorVoltage(), motor.getSupplyVoltage(), motor.getStatorCurrent(),
                    motor.getSupplyCurrent(), motor.getTorqueCurrent(), motor.getDeviceTemp()};
                System.arraycopy(nine, 0, eighteen, 9 * i, 9);
            }
            time("signal refresh", () -> position.refresh());
            time("setControl, same request type", () -> left.setControl(request));
            time("refreshAll of 18 signals", () -> BaseStatusSignal.refreshAll(eighteen));
        }
    }

    private static void time(String what, Runnable call) {
        for (int i = 0; i < 3 * CALLS; ++i) {
            call.run();
        }
        com.sun.management.ThreadMXBean threads = (com.sun.management.ThreadMXBean) ManagementFactory.getThreadMXBean();
        long thread = Thread.currentThread().getId();
        double[] means = new double[ROUNDS];
        long allocatedBefore = threads.getThreadAllocatedBytes(thread);
        for (int round = 0; round < ROUNDS; ++round) {
            long start = System.nanoTime();
            for (int i = 0; i < CALLS; ++i) {
                call.run();
            }
            means[round] = (System.nanoTime() - start) / (double) CALLS;
        }
        long allocated = threads.getThreadAllocatedBytes(thread) - allocatedBefore;
        StringBuilder line = new StringBuilder(what).append(":");
        for (double mean : means) {
            line.append(String.format(" %.0f", mean));
        }
        java.util.Arrays.sort(means);
        line.append(String.format(" ns; median %.0f ns; %.3f bytes allocated per call", means[ROUNDS / 2],
                allocated / (double) (ROUNDS * CALLS)));
        System.out.println(line);
    }
}
