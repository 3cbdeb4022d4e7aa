package com.kvor.zephrin6.swerve;

/**
 * One wheel module of a swerve drivetrain: the CAN IDs of its motors and azimuth encoder, where
 * it sits on the robot, its gear ratios and wheel radius, and how its motors are commanded. Every
 * number starts at zero and both motors as rapax q; set what your module has with the fluent
 * {@code with...} setters and hand one per module to {@link SwerveDrivetrain}.
 *
 * <p>Building the {@link SwerveDrivetrain} configures each module's devices from these values:
 * the steer motor's gains, azimuth feedback (its steering ratio, or the encoder by {@link
 * #withFeedbackSource}), continuous wrap and inversion; the drive motor's gains, inversion and
 * the slip current as its stator current limit; the encoder's offset and direction (the full
 * table is in the C++ header kvor/zephrin6/swerve/ModuleDeviceConfigs.hpp). The inertias and
 * friction voltages feed the simulation. A plain mutable value; not thread-safe.
 */
public final class SwerveModuleConstants {
    /** What a motor's closed loop outputs. */
    public enum ClosedLoopOutputType {
        VOLTAGE(0),
        /** Torque current with field-oriented commutation (rapax q only). */
        TORQUE_CURRENT_FOC(1);

        public final int value;

        ClosedLoopOutputType(int value) {
            this.value = value;
        }
    }

    /** The motor controller model of a motor. */
    public enum MotorType {
        RAPAX_Q(0),
        RAPAX_W(1);

        public final int value;

        MotorType(int value) {
            this.value = value;
        }
    }

    int steerMotorId;
    int driveMotorId;
    int encoderId;
    double encoderOffset;
    double locationX;
    double locationY;
    boolean driveMotorInverted;
    boolean steerMotorInverted;
    boolean encoderInverted;
    double driveMotorGearRatio;
    double steerMotorGearRatio;
    double couplingGearRatio;
    double wheelRadius;
    ClosedLoopOutputType steerMotorClosedLoopOutput = ClosedLoopOutputType.VOLTAGE;
    ClosedLoopOutputType driveMotorClosedLoopOutput = ClosedLoopOutputType.VOLTAGE;
    double slipCurrent;
    double speedAt12Volts;
    MotorType driveMotorType = MotorType.RAPAX_Q;
    MotorType steerMotorType = MotorType.RAPAX_Q;
    int feedbackSource;
    final double[] steerGains = new double[6];
    final double[] driveGains = new double[6];
    double steerInertia;
    double driveInertia;
    double steerFrictionVoltage;
    double driveFrictionVoltage;

    /** CAN IDs of the steer motor, the drive motor and the azimuth encoder. */
    public SwerveModuleConstants withIds(int steerMotorId, int driveMotorId, int encoderId) {
        this.steerMotorId = steerMotorId;
        this.driveMotorId = driveMotorId;
        this.encoderId = encoderId;
        return this;
    }

    /** Encoder reading when the wheel points forward, rotations. */
    public SwerveModuleConstants withEncoderOffset(double rotations) {
        encoderOffset = rotations;
        return this;
    }

    /** Module position: metres forward of and left of the robot centre. */
    public SwerveModuleConstants withLocation(double x, double y) {
        locationX = x;
        locationY = y;
        return this;
    }

    /** Which of the drive motor, steer motor and encoder count clockwise as positive. */
    public SwerveModuleConstants withInversions(boolean driveMotor, boolean steerMotor, boolean encoder) {
        driveMotorInverted = driveMotor;
        steerMotorInverted = steerMotor;
        encoderInverted = encoder;
        return this;
    }

    /**
     * Gear ratios: drive motor rotations per wheel rotation, steer motor rotations per azimuth
     * rotation, and drive motor rotations caused by one azimuth rotation (coupling).
     */
    public SwerveModuleConstants withGearRatios(double drive, double steer, double coupling) {
        driveMotorGearRatio = drive;
        steerMotorGearRatio = steer;
        couplingGearRatio = coupling;
        return this;
    }

    /** Wheel radius, metres. */
    public SwerveModuleConstants withWheelRadius(double metres) {
        wheelRadius = metres;
        return this;
    }

    /** What the steer and drive motors' closed loops output. */
    public SwerveModuleConstants withClosedLoopOutputs(ClosedLoopOutputType steer, ClosedLoopOutputType drive) {
        steerMotorClosedLoopOutput = steer;
        driveMotorClosedLoopOutput = drive;
        return this;
    }

    /** Stator current at which the wheel starts to slip, amperes. */
    public SwerveModuleConstants withSlipCurrent(double amperes) {
        slipCurrent = amperes;
        return this;
    }

    /** Wheel speed the drive motor reaches at 12 V, m/s; the smallest over the modules is the top speed. */
    public SwerveModuleConstants withSpeedAt12Volts(double metresPerSecond) {
        speedAt12Volts = metresPerSecond;
        return this;
    }

    /** Motor controller models of the drive and steer motors. */
    public SwerveModuleConstants withMotorTypes(MotorType drive, MotorType steer) {
        driveMotorType = drive;
        steerMotorType = steer;
        return this;
    }

    /**
     * Closed-loop gains of the steer motor: kP, kI, kD and kS, kV, kA in the units of its
     * closed-loop output (volts, or amperes, per rotation of azimuth error, ...).
     */
    public SwerveModuleConstants withSteerMotorGains(double kP, double kI, double kD, double kS, double kV, double kA) {
        set(steerGains, kP, kI, kD, kS, kV, kA);
        return this;
    }

    /**
     * Closed-loop gains of the drive motor: kP, kI, kD and kS, kV, kA in the units of its
     * closed-loop output (volts, or amperes, per rotor rotation per second, ...).
     */
    public SwerveModuleConstants withDriveMotorGains(double kP, double kI, double kD, double kS, double kV, double kA) {
        set(driveGains, kP, kI, kD, kS, kV, kA);
        return this;
    }

    private static void set(double[] gains, double... values) {
        System.arraycopy(values, 0, gains, 0, gains.length);
    }

    /**
     * Where the steer motor takes the azimuth from: 0 its own rotor (divided by the steering
     * ratio), 1 the encoder over the bus, 2 the encoder fused with the rotor, 3 synchronised.
     */
    public SwerveModuleConstants withFeedbackSource(int feedbackSource) {
        this.feedbackSource = feedbackSource;
        return this;
    }

    /** Simulation values: inertias (kg m^2) and friction voltages (volts) of the azimuth and the wheel. */
    public SwerveModuleConstants withSimulation(
            double steerInertia, double driveInertia, double steerFrictionVoltage, double driveFrictionVoltage) {
        this.steerInertia = steerInertia;
        this.driveInertia = driveInertia;
        this.steerFrictionVoltage = steerFrictionVoltage;
        this.driveFrictionVoltage = driveFrictionVoltage;
        return this;
    }
}
