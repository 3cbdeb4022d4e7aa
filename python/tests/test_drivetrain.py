"""A swerve drivetrain from Python in simulation: it drives where it is sent
while odometry follows, the odometry thread's telemetry reaches Python
safely while the program works, the interpreter exits promptly with threads left running, and bad input is
refused before it reaches the drivetrain."""

import math
import subprocess
import sys
import textwrap
import threading

import pytest

import zephrin6
from zephrin6 import StatusCode, sim, swerve
from zephrin6.swerve import requests

from conftest import SOURCE_DIR, Stepper, square_drivetrain


def test_field_centric_drive_moves_two_metres_in_two_seconds_with_odometry_following():
    with square_drivetrain() as drivetrain:
        drive = requests.FieldCentric(drive_request_type=swerve.DriveRequestType.Velocity)
        drivetrain.set_control(drive.with_velocity_x(1.0))
        stepper = Stepper(drivetrain)
        stepper.run(2.0)
        truth, odometry = drivetrain.get_sim_pose(), drivetrain.get_state().pose
        assert truth.x() == pytest.approx(2.0, abs=0.05)
        assert abs(truth.y()) < 1e-6 and abs(truth.rotation().degrees()) < 1e-6
        assert odometry.translation().distance(truth.translation()) < 0.02
        state = drivetrain.get_state()
        assert state.successful_daqs == 500 and state.failed_daqs == 0
        assert drivetrain.is_odometry_valid()
        assert state.speeds.vx == pytest.approx(1.0, abs=0.02)
        assert len(state.module_states) == len(state.module_targets) == len(state.module_positions) == 4
        assert state.timestamp == pytest.approx(sim.now())
        # Turning in place: the truth turns, the gyro and odometry with it.
        drivetrain.set_control(requests.RobotCentric(rotational_rate=1.0))
        stepper.run(1.0)
        assert drivetrain.get_sim_pose().rotation().radians() > 0.5
        assert (drivetrain.get_state().pose.rotation() - drivetrain.get_sim_pose().rotation()).degrees() == \
            pytest.approx(0.0, abs=0.5)
        # Odometry can be moved without moving the robot.
        drivetrain.reset_pose(swerve.Pose2d(5.0, 5.0, swerve.Rotation2d()))
        assert drivetrain.get_state().pose == swerve.Pose2d(5.0, 5.0, swerve.Rotation2d())
        assert drivetrain.sample_pose_at(sim.now()) is None
    assert sim.reports() == []


def test_telemetry_runs_on_the_odometry_thread_while_the_program_works(no_hang):
    seen = []
    enough = threading.Event()

    def telemetry(state):
        seen.append((threading.get_ident(), state.timestamp))
        if len(seen) == 50:
            enough.set()
        if len(seen) == 10:
            raise RuntimeError("a broken callback")

    unraisable = []
    previous_hook = sys.unraisablehook
    sys.unraisablehook = unraisable.append
    try:
        with square_drivetrain(start_odometry_thread=True) as drivetrain:
            drivetrain.register_telemetry(telemetry)
            # The program's loop: it moves the clock (the devices' frames pace
            # the thread), commands the drivetrain and reads its state, all
            # while the callback runs on the other thread.
            drive = requests.FieldCentric()
            states = 0
            while not enough.is_set():
                sim.advance(0.004)
                drivetrain.set_control(drive.with_velocity_x(0.5))
                states += drivetrain.get_state().successful_daqs >= 0
                assert sim.now() < 1000.0, "the odometry thread stopped calling back"
            drivetrain.register_telemetry(None)
            count = len(seen)
            sim.advance(0.1)
            assert drivetrain.is_odometry_thread_running()
            assert drivetrain.step_odometry() == StatusCode.TaskIsBusy
            drivetrain.stop_odometry_thread()
            assert drivetrain.step_odometry() == StatusCode.OK
    finally:
        sys.unraisablehook = previous_hook
    assert states > 0
    assert {ident for ident, _ in seen} == {seen[0][0]} and seen[0][0] != threading.get_ident()
    times = [t for _, t in seen]
    assert times == sorted(times)
    # The exception was reported and the thread went on; nothing came after
    # the callback was removed.
    assert len(unraisable) == 1 and isinstance(unraisable[0].exc_value, RuntimeError)
    assert count >= 50 and len(seen) == count


def test_interpreter_exits_promptly_with_threads_left_running(tmp_path):
    program = textwrap.dedent("""
        import sys
        sys.path.insert(0, {tests!r})
        from zephrin6 import sim, swerve
        from conftest import square_drivetrain
        sim.set_report_echo(False)
        if {manual}:
            sim.use_manual(1.0)
        calls = []
        drivetrain = square_drivetrain(start_odometry_thread=True)
        drivetrain.register_telemetry(lambda state: calls.append(drivetrain.get_state()))
        drivetrain.start_sim_thread(0.005)
        forgotten = square_drivetrain(start_odometry_thread=True)
        if {manual}:
            while len(calls) < 5:
                sim.advance(0.004)
        print("running")
    """)
    for manual in (False, True):
        source = program.format(tests=str(SOURCE_DIR / "python" / "tests"), manual=manual)
        result = subprocess.run([sys.executable, "-c", source], capture_output=True, text=True, timeout=60)
        assert result.returncode == 0, result.stderr
        assert result.stdout.strip() == "running"


def test_bad_input_is_refused_before_it_reaches_the_drivetrain():
    drive = requests.FieldCentric()
    for bad in (math.nan, math.inf):
        with pytest.raises(ValueError, match="velocity_x"):
            drive.with_velocity_x(bad)
        with pytest.raises(ValueError):
            requests.FieldCentric(rotational_rate=bad)
        with pytest.raises(ValueError):
            requests.ApplyRobotSpeeds(wheel_force_feedforwards_x=[1.0, bad])
    assert drive.velocity_x == 0.0
    with pytest.raises(TypeError, match="velocity_z"):
        requests.FieldCentric(velocity_z=1.0)
    with pytest.raises(ValueError):
        swerve.SwerveModuleConstantsFactory(wheel_radius=math.nan)
    with pytest.raises(ValueError, match="rapax w"):
        square_drivetrain(encoder=swerve.EncoderType.RapaxW)
    with pytest.raises(ValueError):
        swerve.SwerveDrivetrain(swerve.SwerveDrivetrainConstants(), [])
    with square_drivetrain() as drivetrain:
        nowhere = swerve.Pose2d(math.nan, 0.0, swerve.Rotation2d())
        with pytest.raises(ValueError):
            drivetrain.reset_pose(nowhere)
        with pytest.raises(ValueError):
            drivetrain.add_vision_measurement(swerve.Pose2d(), math.inf)
        with pytest.raises(ValueError):
            drivetrain.update_sim(-0.001)
        with pytest.raises(ValueError):
            drivetrain.update_sim(0.001, supply_voltage=math.nan)
        with pytest.raises(ValueError):
            drivetrain.start_sim_thread(0.0)
        with pytest.raises(ValueError):
            sim.advance(math.nan)
        assert drivetrain.get_state().pose == swerve.Pose2d()
    with pytest.raises(RuntimeError, match="closed"):
        drivetrain.get_state()
    assert repr(drivetrain) == "SwerveDrivetrain(closed)"
    assert sim.reports() == []


def test_requests_are_values_changed_in_place_by_their_with_methods():
    drive = requests.FieldCentric(velocity_x=1.0, deadband=0.1)
    assert drive.with_velocity_y(2.0).with_rotational_rate(0.5) is drive
    assert (drive.velocity_x, drive.velocity_y, drive.rotational_rate, drive.deadband) == (1.0, 2.0, 0.5, 0.1)
    assert drive.forward_perspective == requests.ForwardPerspectiveValue.OperatorPerspective
    assert repr(drive).startswith("FieldCentric(velocity_x=1.0, velocity_y=2.0, rotational_rate=0.5, deadband=0.1")
    speeds = requests.ApplyFieldSpeeds(speeds=swerve.ChassisSpeeds(1.0, 0.0, 0.0),
                                       wheel_force_feedforwards_x=[1.0, 2.0, 3.0, 4.0])
    assert speeds.wheel_force_feedforwards_x == [1.0, 2.0, 3.0, 4.0] and speeds.wheel_force_feedforwards_y == []
    point = requests.PointWheelsAt().with_module_direction(swerve.Rotation2d.from_degrees(90))
    assert point.module_direction.degrees() == pytest.approx(90.0)
    # Installing copies the request: changing it afterwards changes nothing
    # installed until it is installed again.
    with square_drivetrain() as drivetrain:
        drivetrain.set_control(point)
        point.with_module_direction(swerve.Rotation2d())
        Stepper(drivetrain).run(0.2)
        for target in drivetrain.get_state().module_targets:
            assert abs(target.angle.degrees()) == pytest.approx(90.0)
        for request in (requests.Idle(), requests.SwerveDriveBrake(), requests.RobotCentric(),
                        requests.ApplyRobotSpeeds(), speeds):
            drivetrain.set_control(request)


def test_constants_and_factory():
    gains = swerve.Slot0Configs(k_p=60.0).with_k_d(0.5)
    factory = swerve.SwerveModuleConstantsFactory().with_wheel_radius(0.05).with_steer_motor_gains(gains)
    module = factory.create_module_constants(1, 2, 3, 0.25, 0.3, -0.3, drive_motor_inverted=True)
    assert (module.steer_motor_id, module.drive_motor_id, module.encoder_id) == (1, 2, 3)
    assert (module.encoder_offset, module.location_x, module.location_y) == (0.25, 0.3, -0.3)
    assert module.drive_motor_inverted and not module.steer_motor_inverted
    assert module.wheel_radius == 0.05 and module.steer_motor_gains.k_p == 60.0
    assert factory.get_shared_settings().steer_motor_gains.k_d == 0.5
    assert swerve.SwerveDrivetrainConstants(can_bus_name="can", auklet2_id=5).can_bus_name == "can"
