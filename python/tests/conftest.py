"""What the zephrin6 tests share: a fresh runtime on the manual clock for
every test, a simulated square drivetrain of rapax q motors, and a stepper
that moves the clock one millisecond at a time, moving the simulated robot
after each and sampling odometry every fourth, as the C++ simulation tests
do. Tick times fall half a millisecond off the 250 Hz frame times.
"""

import faulthandler
import math
import os
import pathlib

import pytest

import zephrin6
from zephrin6 import sim, swerve

SOURCE_DIR = pathlib.Path(os.environ.get("ZEPHRIN_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
BUILD_DIR = pathlib.Path(os.environ.get("ZEPHRIN_BUILD_DIR", SOURCE_DIR / "build"))
WISP_SEEDS = sorted((SOURCE_DIR / "fuzz" / "corpus" / "wisp_reader").glob("*.wisp"))

BUS = "drivebus"
AUKLET2_ID = 40
CORNERS = [(0.3, 0.3), (0.3, -0.3), (-0.3, 0.3), (-0.3, -0.3)]
WHEEL_RADIUS = 0.05
DRIVE_GEAR_RATIO = 6.0
# The simulated motors turn at 500 RPM per volt.
SPEED_AT_12_VOLTS = 500.0 / 60.0 * 12.0 / DRIVE_GEAR_RATIO * 2.0 * math.pi * WHEEL_RADIUS
TICK = 0.001
TICKS_PER_SAMPLE = 4


@pytest.fixture(autouse=True)
def runtime():
    """A runtime as a fresh process has it, quiet, on the manual clock."""
    zephrin6._zephrin6._close_all_drivetrains()
    sim.reset()
    sim.set_report_echo(False)
    sim.use_manual(1.0)
    yield
    zephrin6._zephrin6._close_all_drivetrains()


@pytest.fixture
def no_hang():
    """Ends the process with a traceback instead of hanging the suite should
    a call deadlock."""
    faulthandler.dump_traceback_later(60, exit=True)
    yield
    faulthandler.cancel_dump_traceback_later()


def square_modules(**shared):
    """The constants of a 0.6 m square's modules (front-left, front-right,
    back-left, back-right), ready for simulation."""
    settings = dict(drive_motor_gear_ratio=DRIVE_GEAR_RATIO, steer_motor_gear_ratio=150.0 / 7.0,
                    coupling_gear_ratio=3.5, wheel_radius=WHEEL_RADIUS, speed_at_12_volts=SPEED_AT_12_VOLTS,
                    steer_motor_gains=swerve.Slot0Configs(k_p=60.0, k_d=0.5),
                    drive_motor_gains=swerve.Slot0Configs(k_s=0.2, k_v=0.12, k_p=0.1), drive_inertia=0.005,
                    steer_inertia=0.004, drive_friction_voltage=0.2, steer_friction_voltage=0.2)
    settings.update(shared)
    factory = swerve.SwerveModuleConstantsFactory(**settings)
    return [factory.create_module_constants(10 + i, 20 + i, 30 + i, 0.0, x, y) for i, (x, y) in enumerate(CORNERS)]


def square_drivetrain(**kwargs):
    """The square drivetrain on the CAN FD bus, its odometry stepped by the test."""
    kwargs.setdefault("start_odometry_thread", False)
    constants = swerve.SwerveDrivetrainConstants(can_bus_name=BUS, auklet2_id=AUKLET2_ID)
    return swerve.SwerveDrivetrain(constants, square_modules(), **kwargs)


class Stepper:
    """Moves the manual clock, the simulated robot and odometry together."""

    def __init__(self, drivetrain, supply_voltage=12.0):
        self.drivetrain = drivetrain
        self.supply_voltage = supply_voltage  # None: the simulated battery
        self.start = math.ceil(sim.now()) + TICK / 2
        self.tick = 0
        sim.set_time(self.start)

    def run(self, seconds, on_sample=None):
        for _ in range(round(seconds / TICK)):
            before = sim.now()
            self.tick += 1
            sim.set_time(self.start + self.tick * TICK)
            self.drivetrain.update_sim(sim.now() - before, self.supply_voltage)
            if self.tick % TICKS_PER_SAMPLE == 0:
                self.drivetrain.step_odometry()
                if on_sample:
                    on_sample(self.drivetrain.get_state())
