"""The simulated robot on a field and on a battery, from Python."""

import pytest

from zephrin6 import sim, swerve
from zephrin6.swerve import requests

from conftest import Stepper, square_drivetrain


def test_a_wall_stops_the_robot_and_the_battery_sags_under_the_motors():
    with square_drivetrain() as drivetrain:
        field = swerve.SimField(length=3.0, width=3.0)
        field.obstacles = [[swerve.Translation2d(0.2, 0.2), swerve.Translation2d(0.6, 0.2),
                            swerve.Translation2d(0.6, 0.6), swerve.Translation2d(0.2, 0.6)]]
        assert field.check()
        drivetrain.set_sim_field(field)
        drivetrain.reset_sim_pose(swerve.Pose2d(1.5, 1.5, swerve.Rotation2d()))
        battery = swerve.SimBattery()
        battery.resistance = 0.03
        drivetrain.set_sim_battery(battery)
        drivetrain.set_control(requests.RobotCentric(drive_request_type=swerve.DriveRequestType.Velocity,
                                                     velocity_x=1.0))
        stepper = Stepper(drivetrain, supply_voltage=None)
        lowest = []
        stepper.run(2.5, on_sample=lambda state: lowest.append(drivetrain.get_sim_battery().voltage))
        # The bumper (0.3 m module corners plus the 0.15 m margin) stops at the wall at x = 3 m.
        truth = drivetrain.get_sim_pose()
        assert truth.x() == pytest.approx(2.55, abs=0.02)
        assert truth.y() == pytest.approx(1.5, abs=0.02)
        assert min(lowest) < 12.0
        now = drivetrain.get_sim_battery()
        # Pushing the wall at a full velocity command stalls the drive motors, which pull enough to brown
        # out this battery now and then; the settings stay as given.
        assert now.open_circuit_voltage == 12.5 and now.resistance == 0.03

        # Off the field nothing holds it back.
        drivetrain.clear_sim_field()
        stepper.run(0.5)
        assert drivetrain.get_sim_pose().x() > 2.7
    assert sim.reports() == []


def test_fields_and_batteries_it_cannot_simulate_are_refused():
    with pytest.raises(ValueError):
        swerve.SimField(length=float("nan"))
    with pytest.raises(TypeError):
        swerve.SimField(lenght=3.0)
    battery = swerve.SimBattery()
    for name, value in [("open_circuit_voltage", 0.0), ("resistance", -0.1), ("brownout_voltage", float("inf"))]:
        with pytest.raises(ValueError):
            setattr(battery, name, value)
    assert battery.open_circuit_voltage == 12.5 and battery.resistance == 0.02 and battery.brownout_voltage == 6.8
    concave = swerve.SimField(obstacles=[[swerve.Translation2d(1, 1), swerve.Translation2d(2, 1),
                                          swerve.Translation2d(1.2, 1.2), swerve.Translation2d(1, 2)]])
    assert not concave.check()
    with square_drivetrain() as drivetrain:
        with pytest.raises(ValueError):
            drivetrain.set_sim_field(concave)
        with pytest.raises(ValueError):
            drivetrain.update_sim(0.001, -1.0)
        drivetrain.update_sim(0.001, None)  # the battery
    assert "SimBattery(open_circuit_voltage=12.5" in repr(swerve.SimBattery())
