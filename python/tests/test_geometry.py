"""The swerve values, kinematics, estimator and PID controller from Python
give the library's results: the cases below are those its C++ suites check,
with the numbers they expect."""

import math

import pytest

from zephrin6.swerve import (ChassisSpeeds, Pose2d, Rotation2d, SwerveDriveKinematics, SwerveDrivePoseEstimator,
                             SwerveModulePosition, SwerveModuleState, Transform2d, Translation2d, Twist2d,
                             ZephrinPIDController, discretize, interpolate, to_robot_relative)

from conftest import CORNERS


def square_kinematics():
    return SwerveDriveKinematics([Translation2d(x, y) for x, y in CORNERS])


def test_rotations_keep_angles_as_built_and_wrap_sums():
    assert Rotation2d(7.0).radians() == 7.0
    assert Rotation2d.from_degrees(90).radians() == pytest.approx(math.pi / 2)
    assert Rotation2d.from_turns(0.5).degrees() == pytest.approx(180.0)
    # From a vector: too short for a direction below 1e-6, else atan2.
    for x, y in [(0.0, 0.0), (1e-7, 0.0)]:
        r = Rotation2d(x, y)
        assert (r.radians(), r.cos(), r.sin()) == (0.0, 1.0, 0.0)
    assert Rotation2d(-2.0, 0.0).radians() == pytest.approx(math.pi)
    # A sum is renormalised into (-pi, pi].
    assert (Rotation2d(3.0) + Rotation2d(3.0)).radians() == pytest.approx(6.0 - 2 * math.pi)
    assert (Rotation2d(1.0) - Rotation2d(0.25)).radians() == pytest.approx(0.75)
    assert (-Rotation2d(0.5)).radians() == -0.5
    assert (Rotation2d(0.5) * 3).radians() == 1.5
    # Equal when they point the same way, whole turns apart or not.
    assert Rotation2d(0.1) == Rotation2d(0.1 + 2 * math.pi)
    assert Rotation2d(0.1) != Rotation2d(0.2)


def test_poses_compose_and_exp_log_round_trip():
    pose = Pose2d(1.0, 2.0, Rotation2d.from_degrees(90))
    moved = pose + Transform2d(1.0, 0.0, Rotation2d.from_degrees(45))
    assert (moved.x(), moved.y()) == pytest.approx((1.0, 3.0))
    assert moved.rotation().degrees() == pytest.approx(135.0)
    assert moved - pose == Transform2d(1.0, 0.0, Rotation2d.from_degrees(45))
    assert moved.relative_to(pose) == Pose2d(1.0, 0.0, Rotation2d.from_degrees(45))
    # Straight when dtheta is 0, turned by the pose's heading.
    straight = pose.exp(Twist2d(dx=2.0))
    assert (straight.x(), straight.y()) == pytest.approx((1.0, 4.0))
    # Log of a pose to itself is zero; exp of log reproduces the end, a half
    # turn included.
    assert pose.log(pose) == Twist2d()
    for end in [Pose2d(3.0, -1.0, Rotation2d(0.7)), Pose2d(-1.0, 2.5, Rotation2d(math.pi))]:
        assert pose.exp(pose.log(end)) == end
    start, end = Pose2d(), Pose2d(2.0, 0.0, Rotation2d())
    assert interpolate(start, end, -0.1) == start
    assert interpolate(start, end, 1.0) == end
    assert interpolate(start, end, 0.25).x() == pytest.approx(0.5)
    t = Transform2d(Translation2d(1.0, 2.0), Rotation2d(0.3))
    assert t + t.inverse() == Transform2d()


def test_translation_and_speed_arithmetic():
    a, b = Translation2d(3.0, 4.0), Translation2d(1.0, 1.0)
    assert a.norm() == 5.0 and a.distance(b) == pytest.approx(math.hypot(2, 3))
    assert a + b == Translation2d(4.0, 5.0) and a - b == Translation2d(2.0, 3.0) and -a == Translation2d(-3, -4)
    assert a * 2 == Translation2d(6, 8) and a / 2 == Translation2d(1.5, 2)
    assert Translation2d(2.0, Rotation2d.from_degrees(90)) == Translation2d(0.0, 2.0)
    assert a.rotate_by(Rotation2d.from_degrees(90)) == Translation2d(-4.0, 3.0)
    s = ChassisSpeeds(1.0, 2.0, 0.5)
    assert (s + s).vx == 2.0 and (s - s).omega == 0.0 and (s * 2).vy == 4.0
    s.vx = 3.0
    assert s == ChassisSpeeds(vx=3.0, vy=2.0, omega=0.5)
    robot = to_robot_relative(ChassisSpeeds(1.0, 0.0, 0.2), Rotation2d.from_degrees(90))
    assert (robot.vx, robot.vy, robot.omega) == pytest.approx((0.0, -1.0, 0.2))
    # Discretising changes nothing without rotation, and bends the
    # translation with it.
    assert discretize(ChassisSpeeds(1.0, 0.5, 0.0), 0.02) == ChassisSpeeds(1.0, 0.5, 0.0)
    bent = discretize(ChassisSpeeds(1.0, 0.0, 2.0), 0.02)
    assert bent.vy != 0.0 and bent.omega == pytest.approx(2.0)
    with pytest.raises(ValueError):
        discretize(ChassisSpeeds(1.0, 0.0, 1.0), 0.0)


def test_values_print_as_the_calls_that_make_them():
    values = [Rotation2d(0.25), Translation2d(1.5, -2.0), Pose2d(1.0, 2.0, Rotation2d(0.1)),
              Transform2d(0.5, 0.25, Rotation2d(-0.3)), Twist2d(0.1, 0.2, 0.3), ChassisSpeeds(1.0, 0.0, 0.5),
              SwerveModuleState(2.0, Rotation2d(1.0)), SwerveModulePosition(0.3, Rotation2d(-1.0))]
    namespace = {type(v).__name__: type(v) for v in values}
    namespace["Rotation2d"] = Rotation2d
    for value in values:
        assert eval(repr(value), namespace) == value, repr(value)


def test_kinematics_of_a_square():
    kinematics = square_kinematics()
    assert kinematics.num_modules() == 4
    for state in kinematics.to_swerve_module_states(ChassisSpeeds(1.0, 0.0, 0.0)):
        assert (state.speed, state.angle.radians()) == pytest.approx((1.0, 0.0))
    turning = kinematics.to_swerve_module_states(ChassisSpeeds(0.0, 0.0, 1.0))
    for state, (x, y) in zip(turning, CORNERS):
        assert state.speed == pytest.approx(0.3 * math.sqrt(2))
        # Perpendicular to the module's radius, counter-clockwise.
        assert state.angle == Rotation2d(-y, x)
    # All-zero speeds keep the last azimuths, with speed 0.
    for still, moved in zip(kinematics.to_swerve_module_states(ChassisSpeeds()), turning):
        assert still.speed == 0.0 and still.angle == moved.angle
    # Forward kinematics undoes the inverse.
    speeds = ChassisSpeeds(0.7, -0.4, 1.3)
    back = kinematics.to_chassis_speeds(kinematics.to_swerve_module_states(speeds))
    assert (back.vx, back.vy, back.omega) == pytest.approx((0.7, -0.4, 1.3))
    twist = kinematics.to_twist2d([SwerveModulePosition(0.1, Rotation2d())] * 4)
    assert (twist.dx, twist.dy, twist.dtheta) == pytest.approx((0.1, 0.0, 0.0))
    # One entry per module is needed; an empty drivetrain is none.
    with pytest.raises(ValueError, match="3 entries for 4 modules"):
        kinematics.to_chassis_speeds([SwerveModuleState()] * 3)
    with pytest.raises(ValueError):
        kinematics.to_twist2d([])
    with pytest.raises(ValueError):
        SwerveDriveKinematics([])
    scaled = SwerveDriveKinematics.desaturate_wheel_speeds(
        [SwerveModuleState(2.0), SwerveModuleState(-3.0), SwerveModuleState(1.0)], 1.5)
    assert [s.speed for s in scaled] == pytest.approx([1.0, -1.5, 0.5])
    unscaled = SwerveDriveKinematics.desaturate_wheel_speeds([SwerveModuleState(3.0)], 3.0)
    assert unscaled[0].speed == 3.0


def test_estimator_moves_halfway_to_vision_with_equal_trust():
    kinematics = square_kinematics()
    positions = [SwerveModulePosition() for _ in CORNERS]
    estimator = SwerveDrivePoseEstimator(kinematics, Rotation2d(), positions, Pose2d(),
                                         (0.5, 0.5, 0.5), (0.5, 0.5, 0.5))
    del kinematics  # the estimator keeps it alive
    assert estimator.sample_at(1.0) is None
    for i in range(1, 11):
        rolled = [SwerveModulePosition(0.1 * i, Rotation2d()) for _ in CORNERS]
        estimator.update_with_time(1.0 + 0.02 * i, Rotation2d(), rolled)
    assert estimator.get_estimated_position().x() == pytest.approx(1.0)
    estimator.add_vision_measurement(Pose2d(2.0, 0.0, Rotation2d()), 1.2)
    assert estimator.get_estimated_position().x() == pytest.approx(1.5)
    assert estimator.get_odometry_pose().x() == pytest.approx(1.0)
    # Before the measurement, the history stands uncorrected.
    assert estimator.sample_at(1.1).x() == pytest.approx(0.5)
    estimator.reset_pose(Pose2d(5.0, 5.0, Rotation2d()))
    assert estimator.get_estimated_position() == Pose2d(5.0, 5.0, Rotation2d())
    assert estimator.sample_at(1.1) is None


def test_pid_controller():
    pid = ZephrinPIDController(2.0, 0.0, 0.0)
    pid.enable_continuous_input(-math.pi, math.pi)
    # The short way round: -0.2, not 2 pi - 0.2.
    assert pid.calculate(-math.pi + 0.1, math.pi - 0.1, 1.0) == pytest.approx(-0.4)
    assert pid.get_position_error() == pytest.approx(-0.2)
    assert not ZephrinPIDController(1.0, 0.0, 0.0).at_setpoint()
    pid.set_tolerance(0.5)
    assert pid.at_setpoint()
    pid.reset()
    assert not pid.at_setpoint()
    integral = ZephrinPIDController(0.0, 0.5, 0.0)
    integral.calculate(0.0, 100.0, 1.0)
    assert integral.calculate(0.0, 100.0, 2.0) == pytest.approx(1.0)  # total error clamped to 2
    # Negative gains are reported and replaced by zeros.
    bad = ZephrinPIDController(-1.0, 2.0, 3.0)
    assert (bad.get_p(), bad.get_i(), bad.get_d()) == (0.0, 0.0, 0.0)
    assert repr(bad) == "ZephrinPIDController(kp=0.0, ki=0.0, kd=0.0)"
