package com.kvor.zephrin6.swerve;

import com.kvor.zephrin6.swerve.jni.SwerveJNI;

/**
 * A high-level driving command for a {@link SwerveDrivetrain}: drive at these field speeds,
 * point the wheels there, brake. Install one with {@link SwerveDrivetrain#setControl} and the
 * drivetrain applies it on every odometry sample until another replaces it; change a command by
 * changing the request's fields and installing it again (the drivetrain keeps a copy, so the
 * object may be reused at once). The requests are plain mutable values with fluent
 * {@code with...} setters; not thread-safe.
 *
 * <p>Units: metres per second, radians per second, radians, metres, newtons.
 */
public interface SwerveRequest {
    /** How a module drives its wheel. */
    enum DriveRequestType {
        /** Open-loop voltage scaled from the speed at 12 V. */
        OPEN_LOOP_VOLTAGE(0),
        /** The drive motor's velocity closed loop. */
        VELOCITY(1);

        public final int value;

        DriveRequestType(int value) {
            this.value = value;
        }
    }

    /** How a module turns its azimuth. */
    enum SteerRequestType {
        /** A profiled (exponential) motion. */
        KINETRA_EXPO(0),
        /** The steer motor's position closed loop. */
        POSITION(1);

        public final int value;

        SteerRequestType(int value) {
            this.value = value;
        }
    }

    /** Which way is forward for a field-relative request. */
    enum ForwardPerspective {
        /** The drivetrain's operator forward direction: away from the driver. */
        OPERATOR_PERSPECTIVE(0),
        /** The field's x axis. */
        FIELD_ORIGIN(1);

        public final int value;

        ForwardPerspective(int value) {
            this.value = value;
        }
    }

    /** Installs this request on drivetrain {@code drivetrainId}; used by {@link SwerveDrivetrain}. */
    void install(SwerveJNI jni, int drivetrainId);

    /** Applies this request once, now; used by {@link SwerveDrivetrain}. Returns the status (0 OK). */
    int applyOnce(SwerveJNI jni, int drivetrainId);

    /** Sends nothing: the motors keep their last command. */
    final class Idle implements SwerveRequest {
        @Override
        public void install(SwerveJNI jni, int drivetrainId) {
            jni.JNI_SetControl_Idle(drivetrainId);
        }

        @Override
        public int applyOnce(SwerveJNI jni, int drivetrainId) {
            return jni.JNI_Request_Apply_Idle(drivetrainId);
        }
    }

    /** The fields every moving request shares. */
    abstract class ModuleCommand<T extends ModuleCommand<T>> implements SwerveRequest {
        protected DriveRequestType driveRequestType = DriveRequestType.OPEN_LOOP_VOLTAGE;
        protected SteerRequestType steerRequestType = SteerRequestType.POSITION;

        @SuppressWarnings("unchecked")
        protected T self() {
            return (T) this;
        }

        /** How the wheels are driven. */
        public T withDriveRequestType(DriveRequestType type) {
            driveRequestType = type;
            return self();
        }

        /** How the azimuths are turned. */
        public T withSteerRequestType(SteerRequestType type) {
            steerRequestType = type;
            return self();
        }
    }

    /** Points every wheel along the line from the robot centre through it, at speed 0. */
    final class SwerveDriveBrake extends ModuleCommand<SwerveDriveBrake> {
        @Override
        public void install(SwerveJNI jni, int drivetrainId) {
            jni.JNI_SetControl_SwerveDriveBrake(drivetrainId, driveRequestType.value, steerRequestType.value);
        }

        @Override
        public int applyOnce(SwerveJNI jni, int drivetrainId) {
            return jni.JNI_Request_Apply_SwerveDriveBrake(drivetrainId, driveRequestType.value, steerRequestType.value);
        }
    }

    /** Points every wheel at one azimuth, at speed 0. */
    final class PointWheelsAt extends ModuleCommand<PointWheelsAt> {
        private double moduleDirection;

        /** The azimuth, radians in the robot frame. */
        public PointWheelsAt withModuleDirection(double radians) {
            moduleDirection = radians;
            return this;
        }

        @Override
        public void install(SwerveJNI jni, int drivetrainId) {
            jni.JNI_SetControl_PointWheelsAt(
                    drivetrainId, driveRequestType.value, steerRequestType.value, moduleDirection);
        }

        @Override
        public int applyOnce(SwerveJNI jni, int drivetrainId) {
            return jni.JNI_Request_Apply_PointWheelsAt(
                    drivetrainId, driveRequestType.value, steerRequestType.value, moduleDirection);
        }
    }

    /** Moving requests: a centre of rotation and whether wheel speeds are scaled to the top speed. */
    abstract class Moving<T extends Moving<T>> extends ModuleCommand<T> {
        protected boolean desaturateWheelSpeeds = true;
        protected double centerOfRotationX;
        protected double centerOfRotationY;

        /** Scale every wheel speed down together when one would exceed the top speed. */
        public T withDesaturateWheelSpeeds(boolean desaturate) {
            desaturateWheelSpeeds = desaturate;
            return self();
        }

        /** The point the robot turns about, metres in the robot frame. */
        public T withCenterOfRotation(double x, double y) {
            centerOfRotationX = x;
            centerOfRotationY = y;
            return self();
        }
    }

    /** Velocity requests: velocities, a turning rate and their deadbands. */
    abstract class Velocities<T extends Velocities<T>> extends Moving<T> {
        protected double velocityX;
        protected double velocityY;
        protected double rotationalRate;
        protected double deadband;
        protected double rotationalDeadband;

        /** Velocity forward, m/s. */
        public T withVelocityX(double metresPerSecond) {
            velocityX = metresPerSecond;
            return self();
        }

        /** Velocity to the left, m/s. */
        public T withVelocityY(double metresPerSecond) {
            velocityY = metresPerSecond;
            return self();
        }

        /** Turning rate, rad/s, counter-clockwise positive. */
        public T withRotationalRate(double radiansPerSecond) {
            rotationalRate = radiansPerSecond;
            return self();
        }

        /** Translations slower than this (m/s) count as none. */
        public T withDeadband(double metresPerSecond) {
            deadband = metresPerSecond;
            return self();
        }

        /** Turning rates slower than this (rad/s) count as none. */
        public T withRotationalDeadband(double radiansPerSecond) {
            rotationalDeadband = radiansPerSecond;
            return self();
        }
    }

    /** Drives at velocities in the field's frame: forward is away from the driver. */
    final class FieldCentric extends Velocities<FieldCentric> {
        private ForwardPerspective forwardPerspective = ForwardPerspective.OPERATOR_PERSPECTIVE;

        /** Which way is forward. */
        public FieldCentric withForwardPerspective(ForwardPerspective perspective) {
            forwardPerspective = perspective;
            return this;
        }

        @Override
        public void install(SwerveJNI jni, int drivetrainId) {
            jni.JNI_SetControl_FieldCentric(drivetrainId, driveRequestType.value, steerRequestType.value,
                    desaturateWheelSpeeds, forwardPerspective.value, velocityX, velocityY, rotationalRate,
                    deadband, rotationalDeadband, centerOfRotationX, centerOfRotationY);
        }

        @Override
        public int applyOnce(SwerveJNI jni, int drivetrainId) {
            return jni.JNI_Request_Apply_FieldCentric(drivetrainId, driveRequestType.value, steerRequestType.value,
                    desaturateWheelSpeeds, forwardPerspective.value, velocityX, velocityY, rotationalRate,
                    deadband, rotationalDeadband, centerOfRotationX, centerOfRotationY);
        }
    }

    /** Drives at velocities in the robot's own frame. */
    final class RobotCentric extends Velocities<RobotCentric> {
        @Override
        public void install(SwerveJNI jni, int drivetrainId) {
            jni.JNI_SetControl_RobotCentric(drivetrainId, driveRequestType.value, steerRequestType.value,
                    desaturateWheelSpeeds, velocityX, velocityY, rotationalRate, deadband, rotationalDeadband,
                    centerOfRotationX, centerOfRotationY);
        }

        @Override
        public int applyOnce(SwerveJNI jni, int drivetrainId) {
            return jni.JNI_Request_Apply_RobotCentric(drivetrainId, driveRequestType.value, steerRequestType.value,
                    desaturateWheelSpeeds, velocityX, velocityY, rotationalRate, deadband, rotationalDeadband,
                    centerOfRotationX, centerOfRotationY);
        }
    }

    /** Chassis-speed requests, as a path follower computes them, with optional wheel forces. */
    abstract class Speeds<T extends Speeds<T>> extends Moving<T> {
        protected double vx;
        protected double vy;
        protected double omega;
        protected double[] wheelForceFeedforwardsX;
        protected double[] wheelForceFeedforwardsY;

        /** Speeds: m/s forward, m/s left, rad/s counter-clockwise. */
        public T withSpeeds(double vx, double vy, double omega) {
            this.vx = vx;
            this.vy = vy;
            this.omega = omega;
            return self();
        }

        /** Force each wheel should push with along x and y, newtons, one per module (null for none). */
        public T withWheelForceFeedforwards(double[] x, double[] y) {
            wheelForceFeedforwardsX = x;
            wheelForceFeedforwardsY = y;
            return self();
        }
    }

    /** Drives at chassis speeds in the robot's frame, with forces in the robot's frame. */
    final class ApplyRobotSpeeds extends Speeds<ApplyRobotSpeeds> {
        @Override
        public void install(SwerveJNI jni, int drivetrainId) {
            jni.JNI_SetControl_ApplyRobotSpeeds(drivetrainId, wheelForceFeedforwardsX, wheelForceFeedforwardsY,
                    driveRequestType.value, steerRequestType.value, desaturateWheelSpeeds, vx, vy, omega,
                    centerOfRotationX, centerOfRotationY);
        }

        @Override
        public int applyOnce(SwerveJNI jni, int drivetrainId) {
            return jni.JNI_Request_Apply_ApplyRobotSpeeds(drivetrainId, wheelForceFeedforwardsX,
                    wheelForceFeedforwardsY, driveRequestType.value, steerRequestType.value, desaturateWheelSpeeds,
                    vx, vy, omega, centerOfRotationX, centerOfRotationY);
        }
    }

    /** Drives at chassis speeds in the field's frame, with forces in the field's frame. */
    final class ApplyFieldSpeeds extends Speeds<ApplyFieldSpeeds> {
        private ForwardPerspective forwardPerspective = ForwardPerspective.OPERATOR_PERSPECTIVE;

        /** Which way is forward. */
        public ApplyFieldSpeeds withForwardPerspective(ForwardPerspective perspective) {
            forwardPerspective = perspective;
            return this;
        }

        @Override
        public void install(SwerveJNI jni, int drivetrainId) {
            jni.JNI_SetControl_ApplyFieldSpeeds(drivetrainId, wheelForceFeedforwardsX, wheelForceFeedforwardsY,
                    driveRequestType.value, steerRequestType.value, desaturateWheelSpeeds, forwardPerspective.value,
                    vx, vy, omega, centerOfRotationX, centerOfRotationY);
        }

        @Override
        public int applyOnce(SwerveJNI jni, int drivetrainId) {
            return jni.JNI_Request_Apply_ApplyFieldSpeeds(drivetrainId, wheelForceFeedforwardsX,
                    wheelForceFeedforwardsY, driveRequestType.value, steerRequestType.value, desaturateWheelSpeeds,
                    forwardPerspective.value, vx, vy, omega, centerOfRotationX, centerOfRotationY);
        }
    }
}
