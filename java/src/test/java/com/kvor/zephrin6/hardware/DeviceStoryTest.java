package com.kvor.zephrin6.hardware;

import com.kvor.zephrin6.Orchestra;
import com.kvor.zephrin6.StatusCode;
import com.kvor.zephrin6.configs.MagnetSensorConfigs;
import com.kvor.zephrin6.configs.RapaxQConfiguration;
import com.kvor.zephrin6.configs.Slot0Configs;
import com.kvor.zephrin6.configs.Slot1Configs;
import com.kvor.zephrin6.controls.NeutralOut;
import com.kvor.zephrin6.controls.PositionVoltage;
import com.kvor.zephrin6.controls.TorqueCurrentFOC;
import com.kvor.zephrin6.controls.VelocityDutyCycle;
import com.kvor.zephrin6.controls.VelocityVoltage;
import com.kvor.zephrin6.controls.VoltageOut;
import com.kvor.zephrin6.controls.DifferentialVoltage;
import com.kvor.zephrin6.controls.PositionTorqueCurrentFOC;
import com.kvor.zephrin6.controls.compound.Diff_VoltageOut_Position;
import com.kvor.zephrin6.mechanisms.DifferentialMechanism;
import com.kvor.zephrin6.mechanisms.SimpleDifferentialMechanism;
import com.kvor.zephrin6.signals.BaseStatusSignal;
import com.kvor.zephrin6.signals.ControlModeValue;
import com.kvor.zephrin6.signals.DoubleStatusSignal;
import com.kvor.zephrin6.signals.InvertedValue;
import com.kvor.zephrin6.sim.SimClock;

/**
 * Every device model driven from Java on the manual clock: requests answered by the simulated
 * firmware, configs applied and read back, a silent device's status, several signals read
 * together, a few hand-copied golden rows, and bad input. Runs under -Xcheck:jni in ctest. Prints
 * PASS and exits 0, or each failure and exits 1.
 */
public final class DeviceStoryTest {
    private static final String BUS = "can";
    private static int failures;

    private DeviceStoryTest() {}

    public static void main(String[] args) {
        rapaxQFollowsPositionAndVelocityRequests();
        rapaxWFollowsItsRequestsAndRefusesTorqueCurrent();
        sensorsReadConfigureAndFail();
        deviceActionsSetPositionsAndClearFaults();
        refreshAllReadsSignalsOfTwoDevices();
        goldenRowsMatchTheDocumentedTables();
        everyConfigurationFieldRoundTrips();
        badInputGetsAClearErrorOrStatus();
        mechanismsSendCompoundsAndFollow();
        orchestraPlaysATune();
        if (failures > 0) {
            System.out.println(failures + " check(s) failed");
            System.exit(1);
        }
        System.out.println("PASS");
    }

    private static void check(boolean condition, String what) {
        if (!condition) {
            ++failures;
            System.out.println("FAIL: " + what);
        }
    }

    private static void fresh() {
        SimClock.resetRuntime();
        SimClock.useManual(1.0);
    }

    /** Advances the clock by {@code seconds} in 20 ms loops. */
    private static void run(double seconds) {
        for (double t = 0; t < seconds; t += 0.02) {
            SimClock.advance(0.02);
        }
    }

    // A rapax q holds a position with its configured slot 0, reaches a velocity with slot 1, and its
    // configuration reads back as applied.
    private static void rapaxQFollowsPositionAndVelocityRequests() {
        fresh();
        try (CoreRapaxQ motor = new CoreRapaxQ(1, BUS)) {
            check(motor.getConfigurator().apply(new Slot0Configs().withkP(20).withkD(0.3)) == StatusCode.OK,
                    "rapax q: slot 0 applies");
            check(motor.getConfigurator().apply(new Slot1Configs().withkV(0.12).withkP(0.2)) == StatusCode.OK,
                    "rapax q: slot 1 applies");
            RapaxQConfiguration read = new RapaxQConfiguration();
            read.CurrentLimits.StatorCurrentLimit = 1.0;
            check(motor.getConfigurator().refresh(read) == StatusCode.OK, "rapax q: configuration refreshes");
            check(read.Slot0.kP == 20.0 && read.Slot0.kD == 0.3 && read.Slot1.kV == 0.12,
                    "rapax q: refreshed slots hold what was applied, got kP " + read.Slot0.kP);
            check(read.CurrentLimits.StatorCurrentLimit == 120.0, "rapax q: untouched settings read the factory value");

            check(motor.setControl(new VoltageOut(2.0)) == StatusCode.OK, "rapax q: VoltageOut is sent");
            check(motor.getSimState().setSupplyVoltage(12.0) == StatusCode.OK, "rapax q: simulated supply set");
            SimClock.advance(0.02);
            check(Math.abs(motor.getSimState().getMotorVoltage() - 2.0) < 1e-6,
                    "rapax q: the simulated motor sees 2 V, got " + motor.getSimState().getMotorVoltage());
            double before = motor.getPosition().getValue();
            run(0.5);
            check(motor.getPosition().getValue() > before + 0.5, "rapax q: VoltageOut turns the motor");

            PositionVoltage position = new PositionVoltage(before + 3.0);
            for (int loop = 0; loop < 100; ++loop) {
                check(motor.setControl(position) == StatusCode.OK, "rapax q: PositionVoltage is sent");
                SimClock.advance(0.02);
            }
            check(Math.abs(motor.getPosition().getValue() - (before + 3.0)) < 0.05,
                    "rapax q: position converges, at " + motor.getPosition().getValue());
            check(motor.getControlMode().getValue() == ControlModeValue.PositionVoltage,
                    "rapax q: reports the position mode, got " + motor.getControlMode().getValue());

            VelocityVoltage velocity = new VelocityVoltage(30.0).withSlot(1);
            for (int loop = 0; loop < 100; ++loop) {
                motor.setControl(velocity);
                SimClock.advance(0.02);
            }
            check(Math.abs(motor.getVelocity().getValue() - 30.0) < 1.5,
                    "rapax q: velocity reaches 30 turns/s, at " + motor.getVelocity().getValue());
            check(motor.setControl(new TorqueCurrentFOC(5.0)) == StatusCode.OK, "rapax q accepts torque current");
            check(motor.setControl(new Diff_VoltageOut_Position()) == StatusCode.OK, "rapax q: compound is sent");
            check(motor.setControl(new NeutralOut()) == StatusCode.OK, "rapax q: NeutralOut is sent");
        }
    }

    // A rapax w reaches a velocity with a duty-cycle loop and refuses the torque-current requests,
    // as its C++ class does.
    private static void rapaxWFollowsItsRequestsAndRefusesTorqueCurrent() {
        fresh();
        try (CoreRapaxW motor = new CoreRapaxW(2, BUS)) {
            check(motor.getConfigurator().apply(new Slot0Configs().withkV(0.01).withkP(0.02)) == StatusCode.OK,
                    "rapax w: slot 0 applies");
            VelocityDutyCycle velocity = new VelocityDutyCycle(20.0);
            for (int loop = 0; loop < 100; ++loop) {
                motor.setControl(velocity);
                SimClock.advance(0.02);
            }
            check(Math.abs(motor.getVelocity().getValue() - 20.0) < 2.0,
                    "rapax w: velocity reaches 20 turns/s, at " + motor.getVelocity().getValue());
            check(motor.setControl(new TorqueCurrentFOC(5.0)) == StatusCode.NotSupported,
                    "rapax w: torque current is not supported");
        }
    }

    // Each sensor publishes its signals, takes a config, and a silent one reports an error status.
    private static void sensorsReadConfigureAndFail() {
        fresh();
        try (CoreAngulon angulon = new CoreAngulon(3, BUS);
                CoreAuklet2 imu = new CoreAuklet2(4, BUS);
                CoreDistix distix = new CoreDistix(5, BUS);
                CorePortis portis = new CorePortis(6, BUS)) {
            run(0.1);
            check(angulon.getPosition().getStatus() == StatusCode.OK, "angulon: position reads");
            check(imu.getYaw().getStatus() == StatusCode.OK, "auklet 2: yaw reads");
            check(distix.getDistance().getStatus() == StatusCode.OK, "distix: distance reads");
            check(portis.getQuadraturePosition().getStatus() == StatusCode.OK, "portis: quadrature position reads");
            check(imu.getVersionMajor().getValue() == 1L, "auklet 2: its firmware version as a long");
            check(!angulon.getFault_Hardware().getValue(), "angulon: no hardware fault as a boolean");

            MagnetSensorConfigs magnet = new MagnetSensorConfigs().withMagnetOffset(0.25);
            check(angulon.getConfigurator().apply(magnet) == StatusCode.OK, "angulon: magnet config applies");
            check(DeviceTestHooks.storedConfigValue(3, "angulon", BUS, 3201) == 0.25,
                    "angulon: the runtime stores the offset under its config ID");
            MagnetSensorConfigs back = new MagnetSensorConfigs();
            check(angulon.getConfigurator().refresh(back) == StatusCode.OK && back.MagnetOffset == 0.25,
                    "angulon: the offset reads back");
            check(angulon.getConfigurator().refresh(back, 0.0) == StatusCode.TimeoutCannotBeZero,
                    "angulon: a zero refresh timeout is refused by the runtime");

            check(distix.getSimState().setDistance(1.5) == StatusCode.OK, "distix: simulated distance set");
            check(imu.getSimState().setRawYaw(90.0) == StatusCode.OK, "auklet 2: simulated yaw set");
            check(distix.getSimState().setDistance(Double.NaN) == StatusCode.InvalidParamValue,
                    "distix: a NaN distance is refused");
            run(0.1);
            check(Math.abs(distix.getDistance().getValue() - 1.5) < 1e-9,
                    "distix: reads the simulated distance, got " + distix.getDistance().getValue());
            check(Math.abs(imu.getYaw().getValue() - 90.0) < 1e-6, "auklet 2: reads the simulated yaw, got "
                    + imu.getYaw().getValue());
            check(distix.getSimState().getLastStatusCode() == StatusCode.OK, "distix: the simulator's last status");

            check(DeviceTestHooks.setPresent(5, "distix", BUS, false), "distix: made silent");
            run(0.5);
            StatusCode silent = distix.getDistance().getStatus();
            check(silent.isError(), "distix: a silent device reads an error status, got " + silent);
        }
    }

    // The configurator actions on the device classes: a position or yaw set is what the device
    // reports next, sticky faults clear, and bad values or a closed device are refused.
    private static void deviceActionsSetPositionsAndClearFaults() {
        fresh();
        CoreRapaxQ motor = new CoreRapaxQ(1, BUS);
        try (CoreAngulon angulon = new CoreAngulon(3, BUS); CoreAuklet2 imu = new CoreAuklet2(4, BUS)) {
            run(0.1);
            check(motor.setPosition(2.5) == StatusCode.OK, "rapax q: setPosition");
            check(angulon.setPosition(-0.75, 0.05) == StatusCode.OK, "angulon: setPosition with a timeout");
            check(imu.setYaw(30.0) == StatusCode.OK, "auklet 2: setYaw");
            run(0.02);
            check(Math.abs(motor.getPosition().getValue() - 2.5) < 1e-9,
                    "rapax q: reports the position set, got " + motor.getPosition().getValue());
            check(Math.abs(angulon.getPosition().getValue() + 0.75) < 1e-9,
                    "angulon: reports the position set, got " + angulon.getPosition().getValue());
            check(Math.abs(imu.getYaw().getValue() - 30.0) < 1e-6,
                    "auklet 2: reports the yaw set, got " + imu.getYaw().getValue());
            check(motor.clearStickyFaults() == StatusCode.OK && motor.clearStickyFault_Undervoltage() == StatusCode.OK,
                    "rapax q: sticky faults clear");
            check(imu.clearStickyFault_BootIntoMotion(0.05) == StatusCode.OK, "auklet 2: its own fault clears");
            check(motor.setPosition(Double.NaN) == StatusCode.InvalidParamValue, "rapax q: a NaN position is refused");
            check(angulon.clearStickyFaults(Double.POSITIVE_INFINITY) == StatusCode.InvalidParamValue,
                    "angulon: an infinite timeout is refused");
        } finally {
            motor.close();
        }
        try {
            motor.setPosition(0.0);
            check(false, "rapax q: an action on a closed device throws");
        } catch (IllegalStateException expected) {
            // the device said it is closed
        }
    }

    // Signals of two devices read together carry fresh timestamps and every status.
    private static void refreshAllReadsSignalsOfTwoDevices() {
        fresh();
        try (CoreRapaxQ motor = new CoreRapaxQ(1, BUS); CoreAngulon encoder = new CoreAngulon(3, BUS)) {
            BaseStatusSignal[] signals = {motor.getPosition(false), motor.getVelocity(false),
                encoder.getPosition(false), encoder.getMagnetHealth(false)};
            run(0.1);
            check(BaseStatusSignal.refreshAll(signals) == StatusCode.OK, "refreshAll is OK");
            double first = signals[2].getTimestamp();
            run(0.1);
            // A wait on the manual clock ends when time passes, so time runs during it.
            StatusCode[] waited = new StatusCode[1];
            SimClock.whileTimeRuns(() -> waited[0] = BaseStatusSignal.waitForAll(0.05, signals));
            check(waited[0] == StatusCode.OK, "waitForAll is OK, got " + waited[0]);
            for (BaseStatusSignal signal : signals) {
                check(signal.getStatus() == StatusCode.OK, signal.getName() + " read OK");
            }
            check(signals[2].getTimestamp() > first, "the encoder's timestamp moved on");
            check(encoder.getMagnetHealth(false).getValue() != null, "magnet health is a known constant");
        }
    }

    // A few rows copied by hand from the tables' documentation: signal IDs, names and units of
    // generated getters, and the argument order of a request as the runtime received it.
    private static void goldenRowsMatchTheDocumentedTables() {
        fresh();
        try (CoreRapaxQ motor = new CoreRapaxQ(7, BUS)) {
            DoubleStatusSignal velocity = motor.getVelocity();
            check(velocity.getSignalId() == 2045 && velocity.getName().equals("Velocity"), "Velocity is ID 2045");
            check(velocity.getUnits().equals("turns/s"), "Velocity is in turns/s, got " + velocity.getUnits());
            check(motor.getPosition().getSignalId() == 2046 && motor.getPosition().getUnits().equals("turns"),
                    "Position is ID 2046 in turns");
            check(motor.getSupplyVoltage().getUnits().equals("V"), "SupplyVoltage is in V");
            check(motor.getStickyFault_Hardware().getSignalId() == motor.getFault_Hardware().getSignalId() + 1,
                    "a sticky fault follows its fault");

            VelocityVoltage request = new VelocityVoltage(12.5).withAcceleration(3).withEnableFOC(false)
                    .withFeedForward(0.25).withSlot(1).withOverrideBrakeDurNeutral(true).withLimitForwardMotion(false)
                    .withLimitReverseMotion(true).withIgnoreHardwareLimits(false).withUseTimesync(true)
                    .withUpdateFreqHz(50);
            check(motor.setControl(request) == StatusCode.OK, "golden VelocityVoltage is sent");
            String call = DeviceTestHooks.lastControlCall(7, "rapax q", BUS);
            check(call.startsWith("c_kvor_zephrin6_RequestControlVelocityVoltage(\"can\", ")
                    && call.endsWith(", 50, 12.5, 3, false, 0.25, 1, true, false, true, false, true)"),
                    "VelocityVoltage reaches the runtime in field order, got " + call);

            MotorOutputCheck.apply(motor);
        }
    }

    // Every field of every whole-device configuration, set to a value of its own, reads back as
    // set: a field under a wrong or shared config ID, or crossing as the wrong kind, would not.
    private static void everyConfigurationFieldRoundTrips() {
        fresh();
        try (CoreRapaxQ q = new CoreRapaxQ(1, BUS); CoreRapaxW w = new CoreRapaxW(2, BUS);
                CoreAngulon angulon = new CoreAngulon(3, BUS); CoreAuklet2 imu = new CoreAuklet2(4, BUS);
                CoreDistix distix = new CoreDistix(5, BUS); CorePortis portis = new CorePortis(6, BUS)) {
            roundTrip(q, new com.kvor.zephrin6.configs.RapaxQConfiguration(), new RapaxQConfiguration());
            roundTrip(w, new com.kvor.zephrin6.configs.RapaxWConfiguration(),
                    new com.kvor.zephrin6.configs.RapaxWConfiguration());
            roundTrip(angulon, new com.kvor.zephrin6.configs.AngulonConfiguration(),
                    new com.kvor.zephrin6.configs.AngulonConfiguration());
            roundTrip(imu, new com.kvor.zephrin6.configs.Auklet2Configuration(),
                    new com.kvor.zephrin6.configs.Auklet2Configuration());
            roundTrip(distix, new com.kvor.zephrin6.configs.DistixConfiguration(),
                    new com.kvor.zephrin6.configs.DistixConfiguration());
            roundTrip(portis, new com.kvor.zephrin6.configs.PortisConfiguration(),
                    new com.kvor.zephrin6.configs.PortisConfiguration());
        }
    }

    /** Gives every field of {@code applied} a value of its own, applies it, refreshes {@code read}. */
    private static void roundTrip(ParentDevice device, com.kvor.zephrin6.configs.ParentConfiguration applied,
            com.kvor.zephrin6.configs.ParentConfiguration read) {
        try {
            int n = 0;
            for (java.lang.reflect.Field group : applied.getClass().getFields()) {
                Object part = group.get(applied);
                for (java.lang.reflect.Field field : part.getClass().getFields()) {
                    if (java.lang.reflect.Modifier.isStatic(field.getModifiers())) {
                        continue;
                    }
                    ++n;
                    Class<?> type = field.getType();
                    if (type == double.class) {
                        field.setDouble(part, 0.125 * n);
                    } else if (type == int.class) {
                        field.setInt(part, n);
                    } else if (type == boolean.class) {
                        field.setBoolean(part, !field.getBoolean(part));
                    } else {
                        Object[] constants = type.getEnumConstants();
                        field.set(part, constants[(((Enum<?>) field.get(part)).ordinal() + 1) % constants.length]);
                    }
                }
            }
            String what = applied.getClass().getSimpleName();
            check(device.getConfigurator().apply(applied) == StatusCode.OK, what + " applies");
            check(device.getConfigurator().refresh(read) == StatusCode.OK, what + " refreshes");
            for (java.lang.reflect.Field group : applied.getClass().getFields()) {
                Object want = group.get(applied);
                Object got = group.get(read);
                for (java.lang.reflect.Field field : want.getClass().getFields()) {
                    if (!java.lang.reflect.Modifier.isStatic(field.getModifiers())) {
                        check(java.util.Objects.equals(field.get(want), field.get(got)), what + "." + group.getName()
                                + "." + field.getName() + " reads back " + field.get(got) + ", not " + field.get(want));
                    }
                }
            }
        } catch (IllegalAccessException e) {
            check(false, "reflection: " + e);
        }
    }

    /** The motor-output group's enumerations cross as their numbers. */
    private static final class MotorOutputCheck {
        static void apply(CoreRapaxQ motor) {
            com.kvor.zephrin6.configs.MotorOutputConfigs output = new com.kvor.zephrin6.configs.MotorOutputConfigs()
                    .withInverted(InvertedValue.Clockwise_Positive);
            check(motor.getConfigurator().apply(output) == StatusCode.OK, "motor output applies");
            com.kvor.zephrin6.configs.MotorOutputConfigs back = new com.kvor.zephrin6.configs.MotorOutputConfigs();
            check(motor.getConfigurator().refresh(back) == StatusCode.OK
                    && back.Inverted == InvertedValue.Clockwise_Positive, "Inverted reads back as the constant");
        }
    }

    // Null requests and configs, closed devices and NaN fields get an exception or a status.
    private static void badInputGetsAClearErrorOrStatus() {
        fresh();
        CoreRapaxQ motor = new CoreRapaxQ(1, BUS);
        DoubleStatusSignal position = motor.getPosition();
        expect(NullPointerException.class, () -> motor.setControl(null), "null request");
        expect(NullPointerException.class, () -> motor.getConfigurator().apply(null), "null config");
        expect(NullPointerException.class, () -> BaseStatusSignal.refreshAll(position, null), "null signal");
        expect(IllegalArgumentException.class, () -> position.waitForUpdate(Double.NaN), "NaN timeout");
        expect(NullPointerException.class, () -> motor.setControl(new Diff_VoltageOut_Position()
                .withAverageRequest(null)), "compound with a null member");
        check(motor.setControl(new VoltageOut(Double.NaN)) == StatusCode.InvalidParamValue,
                "a NaN field is refused with InvalidParamValue");
        check(motor.getConfigurator().apply(new Slot0Configs().withkP(Double.POSITIVE_INFINITY))
                == StatusCode.InvalidParamValue, "an infinite config value is refused");
        check(Double.isNaN(DeviceTestHooks.storedConfigValue(1, "rapax q", BUS, 2131)),
                "nothing of the refused config was stored");
        expect(IllegalArgumentException.class, () -> new CoreRapaxQ(1, "x".repeat(64)), "too long a bus name");
        motor.close();
        motor.close();
        expect(IllegalStateException.class, position::refresh, "refresh of a closed device");
        expect(IllegalStateException.class, () -> motor.setControl(new VoltageOut(1)), "send to a closed device");
        expect(IllegalStateException.class, () -> motor.getConfigurator().apply(new Slot0Configs()),
                "config of a closed device");
    }

    // A mechanism sends the leader the compound of each pair with the average's frequency and the
    // follower its follow request; the simple one sends its request as it is. It keeps its devices
    // alive after the program closed them.
    private static void mechanismsSendCompoundsAndFollow() {
        fresh();
        CoreRapaxQ leader = new CoreRapaxQ(1, BUS);
        CoreRapaxQ follower = new CoreRapaxQ(2, BUS);
        DifferentialMechanism mechanism = new DifferentialMechanism(leader, follower, false);
        try (SimpleDifferentialMechanism simple = new SimpleDifferentialMechanism(leader, follower, true)) {
            mechanism.periodic();
            check(!mechanism.isDisabled(), "mechanism: drives, disabled because " + mechanism.getDisabledReason());
            check(mechanism.setControl(new VoltageOut(1.0).withUpdateFreqHz(50), new PositionVoltage(0.5))
                    == StatusCode.OK, "mechanism: a voltage and position pair is sent");
            String call = DeviceTestHooks.lastControlCall(1, "rapax q", BUS);
            check(call.startsWith("c_kvor_zephrin6_RequestControlDiff_VoltageOut_Position(") && call.contains(", 50, 1, "),
                    "mechanism: the leader gets the compound at the average's frequency, got " + call);
            check(DeviceTestHooks.lastControlCall(2, "rapax q", BUS)
                    .startsWith("c_kvor_zephrin6_RequestControlDifferentialFollower("), "mechanism: the follower follows");
            check(mechanism.areConfigsApplied(), "mechanism: its configuration was applied by the gate");
            leader.close();
            check(mechanism.setControl(new TorqueCurrentFOC(2.0), new PositionTorqueCurrentFOC(0.25)) == StatusCode.OK,
                    "mechanism: still drives its devices after the program closed the leader");
            check(DeviceTestHooks.lastControlCall(1, "rapax q", BUS)
                    .startsWith("c_kvor_zephrin6_RequestControlDiff_TorqueCurrentFOC_Position("), "mechanism: FOC pair");
            simple.periodic();
            check(simple.setControl(new DifferentialVoltage().withAverageOutput(3.0)) == StatusCode.OK,
                    "simple mechanism: a differential voltage is sent");
            check(DeviceTestHooks.lastControlCall(1, "rapax q", BUS)
                    .startsWith("c_kvor_zephrin6_RequestControlDifferentialVoltage("), "simple mechanism: as it is");
            check(mechanism.setNeutralOut() == StatusCode.OK, "mechanism: neutral");
            expect(NullPointerException.class, () -> mechanism.setControl((VoltageOut) null, new PositionVoltage(0)), "null average");
            mechanism.close();
            expect(IllegalStateException.class, mechanism::periodic, "a closed mechanism");
        }
        follower.close();
    }

    // The orchestra plays a tune file on a motor as music tones; a missing file is a status.
    private static void orchestraPlaysATune() {
        fresh();
        Orchestra orchestra = new Orchestra();
        try (CoreRapaxQ motor = new CoreRapaxQ(1, BUS)) {
            check(orchestra.addInstrument(motor) == StatusCode.OK, "orchestra: a motor joins");
            check(orchestra.loadMusic("/nonexistent/tune.ztune") != StatusCode.OK, "orchestra: a missing file fails");
            check(orchestra.loadMusic(System.getProperty("zephrin6.tune")) == StatusCode.OK, "orchestra: the tune loads");
            check(orchestra.play() == StatusCode.OK && orchestra.isPlaying(), "orchestra: plays");
            SimClock.advance(0.25);
            check(orchestra.getCurrentTime() > 0.2, "orchestra: the music moves on, at " + orchestra.getCurrentTime());
            check(DeviceTestHooks.lastControlCall(1, "rapax q", BUS).startsWith("c_kvor_zephrin6_RequestControlMusicTone("),
                    "orchestra: the motor sounds a tone");
            check(orchestra.stop() == StatusCode.OK && !orchestra.isPlaying(), "orchestra: stops");
            orchestra.close();
            expect(IllegalStateException.class, orchestra::play, "a closed orchestra");
        }
    }

    private static void expect(Class<? extends Throwable> type, Runnable call, String what) {
        try {
            call.run();
            check(false, what + ": no exception");
        } catch (Throwable e) {
            check(type.isInstance(e) && e.getMessage() != null, what + ": got " + e);
        }
    }
}
