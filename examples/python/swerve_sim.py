"""The figure-eight of `make demo`, driven from Python.

A four-module swerve drivetrain, with no robot at all, drives a figure-eight
(4 m by 2 m) for ten seconds of robot time while the library's odometry
tracks it; everything is logged, and the log is replayed to run the same
odometry again:

  1. Live. The runtime simulates the motor controllers and the auklet 2; the
     drivetrain's simulation stands in for the robot's wheels and body. The
     clock is manual: every millisecond the program moves it, then the
     simulated robot; odometry samples every fourth millisecond (250 Hz); and
     every 20 ms the robot program's loop sends a field-centric request (the
     path's velocity plus a correction towards it) while a PID controller
     turns the heading.
  2. Replay. A second drivetrain is built, the .wisp log the runtime wrote
     is loaded, and odometry runs on it at the same instants as live: it
     must give the same poses, bit for bit.
  3. Results, as the C++ demo prints them.

Run it from the repository root after `make demo` or `make test`:

    PYTHONPATH=build/python python3 examples/python/swerve_sim.py

The log goes to build/demo/python/.
"""

import math
import os
import pathlib
import sys
import time

from zephrin6 import StatusCode, logging, sim, swerve
from zephrin6.logging import replay
from zephrin6.swerve import requests

TICK = 0.001            # physics step, seconds
TICKS_PER_SAMPLE = 4    # odometry at 250 Hz
TICKS_PER_LOOP = 20     # the robot program's 20 ms loop
DRIVE_SECONDS = 10.0
# The runtime time at which the robot is ready, the log starts and the
# figure-eight begins, seconds (the clock starts at 100 s).
READY_TIME = 110.0

# ---- The robot ----

DRIVE_GEAR_RATIO = 6.75
STEER_GEAR_RATIO = 150.0 / 7.0
WHEEL_RADIUS = 0.05  # metres
# The simulated motors turn at 500 RPM per volt: 100 turns per second at
# 12 V, which the drive gearing and the wheel make this many m/s.
SPEED_AT_12_VOLTS = 100.0 / DRIVE_GEAR_RATIO * 2.0 * math.pi * WHEEL_RADIUS


def module_constants():
    factory = swerve.SwerveModuleConstantsFactory(
        drive_motor_gear_ratio=DRIVE_GEAR_RATIO,
        steer_motor_gear_ratio=STEER_GEAR_RATIO,
        coupling_gear_ratio=3.5,
        wheel_radius=WHEEL_RADIUS,
        speed_at_12_volts=SPEED_AT_12_VOLTS,
        # Volts per rotation of azimuth error; volts per rotor turn per second.
        steer_motor_gains=swerve.Slot0Configs(k_p=60.0, k_d=0.5),
        drive_motor_gains=swerve.Slot0Configs(k_s=0.2, k_v=0.12, k_p=0.1),
        slip_current=120.0,
        # What the simulation needs: a wheel carrying a quarter of a 50 kg
        # robot, a light azimuth, and a little friction in each.
        drive_inertia=0.03,
        steer_inertia=0.004,
        drive_friction_voltage=0.2,
        steer_friction_voltage=0.2)
    corners = [(0.3, 0.3), (0.3, -0.3), (-0.3, 0.3), (-0.3, -0.3)]
    return [factory.create_module_constants(1 + 3 * i, 2 + 3 * i, 3 + 3 * i, 0.0, x, y)
            for i, (x, y) in enumerate(corners)]


def build_drivetrain(configure_motors=True):
    """The drivetrain on the bus "drivebus"; this program samples odometry
    itself, at exact instants, so its odometry thread does not run."""
    constants = swerve.SwerveDrivetrainConstants(can_bus_name="drivebus", auklet2_id=13)
    return swerve.SwerveDrivetrain(constants, module_constants(), start_odometry_thread=False,
                                   configure_motors=configure_motors)


# ---- The path: a figure-eight, 4 m by 2 m, once in ten seconds ----

def figure_eight(t):
    """Position (m) and velocity (m/s) on the path at `t` seconds."""
    w = 2.0 * math.pi / DRIVE_SECONDS
    return (2.0 * math.sin(w * t), math.sin(2.0 * w * t), 2.0 * w * math.cos(w * t), 2.0 * w * math.cos(2.0 * w * t))


def target_heading(t):
    """The robot turns an eighth of a turn each way as it goes round."""
    return math.pi / 4.0 * math.sin(2.0 * math.pi * t / DRIVE_SECONDS)


def same_bits(a, b):
    return (a.x(), a.y(), a.rotation().radians()) == (b.x(), b.y(), b.rotation().radians())


def heading_error(sample):
    return (sample["odometry"].rotation() - sample["truth"].rotation()).degrees()


def position_error(sample):
    return sample["odometry"].translation().distance(sample["truth"].translation())


def drive_live(folder, seconds=DRIVE_SECONDS):
    """Drives the figure-eight; returns the odometry samples, the wall time
    the drive took and the log's path."""
    drivetrain = build_drivetrain()
    # Building took however much clock time the devices needed to answer;
    # the log starts only now, with the robot ready and at rest.
    ready = max(READY_TIME, math.ceil(sim.now()))
    sim.set_time(ready)
    logging.set_path(folder)
    if logging.start() != StatusCode.OK:
        sys.exit(f"Could not start the log in {folder}")

    heading = swerve.ZephrinPIDController(6.0, 0.0, 0.2)  # rad/s per rad of error
    heading.enable_continuous_input(-math.pi, math.pi)
    path_gain = 2.0  # m/s per metre off the path
    drive = requests.FieldCentric(drive_request_type=swerve.DriveRequestType.Velocity)

    # Odometry samples fall half a tick after the devices' frames.
    start = ready + TICK / 2.0
    samples = []
    wall_start = time.perf_counter()
    for tick in range(round(seconds / TICK) + 1):
        t = tick * TICK
        # The physics follows the clock: move it, then the robot.
        before = sim.now()
        sim.set_time(start + t)
        drivetrain.update_sim(sim.now() - before)

        if tick > 0 and tick % TICKS_PER_SAMPLE == 0:
            drivetrain.step_odometry()
            truth, odometry = drivetrain.get_sim_pose(), drivetrain.get_state().pose
            samples.append({"time": sim.now(), "truth": truth, "odometry": odometry})
            for name, pose in (("Demo/TruePose", truth), ("Demo/Odometry", odometry)):
                logging.write_double_array(name, [pose.x(), pose.y(), pose.rotation().degrees()], "m, m, deg")
        if tick % TICKS_PER_LOOP == 0:
            # The robot program's loop: follow the path, hold the heading.
            pose = drivetrain.get_state().pose
            x, y, vx, vy = figure_eight(t + TICKS_PER_LOOP * TICK)
            rate = heading.calculate(pose.rotation().radians(), target_heading(t), sim.now())
            drivetrain.set_control(drive.with_velocity_x(vx + path_gain * (x - pose.x()))
                                   .with_velocity_y(vy + path_gain * (y - pose.y()))
                                   .with_rotational_rate(rate))
    wall = time.perf_counter() - wall_start
    sim.advance(0.1)
    logging.stop()
    drivetrain.close()
    log = max(pathlib.Path(folder).glob("*.wisp"), key=os.path.getmtime)
    return samples, wall, log


def replay_log(log, live):
    """Runs odometry on the log at the live samples' instants; returns the
    replayed samples, the load time and the re-run's wall time."""
    # As a program that replays a log starts: a fresh runtime, the drivetrain
    # built (the robot at rest, as the log begins), then the log loaded.
    sim.reset()
    sim.set_report_echo(False)
    sim.use_manual(100.0)
    with build_drivetrain(configure_motors=False) as drivetrain:
        load_start = time.perf_counter()
        if replay.load(log) != StatusCode.OK:
            sys.exit(f"Could not load the log {log}")
        load_wall = time.perf_counter() - load_start
        samples = []
        rerun_start = time.perf_counter()
        for sample in live:
            # Stepping by the difference lands on the live sample's instant.
            replay.step(sample["time"] - sim.now())
            drivetrain.step_odometry()
            truth = replay.get_double_array("Demo/TruePose").value
            logged = swerve.Pose2d(truth[0], truth[1], swerve.Rotation2d.from_degrees(truth[2])) \
                if len(truth) == 3 else swerve.Pose2d()
            samples.append({"time": sim.now(), "truth": logged, "odometry": drivetrain.get_state().pose})
        rerun_wall = time.perf_counter() - rerun_start
    replay.close()
    return samples, load_wall, rerun_wall


def shown(path):
    """`path` relative to where the user stands when it lies under it, as the C++ demo prints it."""
    try:
        return str(path.resolve().relative_to(pathlib.Path.cwd().resolve()))
    except ValueError:
        return str(path)


def main():
    build = pathlib.Path(os.environ.get("ZEPHRIN_BUILD_DIR", pathlib.Path(__file__).resolve().parents[2] / "build"))
    folder = build / "demo" / "python"
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.glob("*.wisp"):  # the folder holds the last run only
        old.unlink()
    sim.set_report_echo(False)
    sim.use_manual(100.0)
    print(f"A swerve drivetrain drives a figure-eight in simulation for {DRIVE_SECONDS:.0f} s, "
          "then replays its log.\n")

    live, live_wall, log = drive_live(folder)
    reports = sim.reports()
    replayed, load_wall, rerun_wall = replay_log(log, live)

    end = live[-1]
    end_cm, end_deg = position_error(end) * 100.0, abs(heading_error(end))
    worst_cm = max(position_error(s) for s in live) * 100.0
    worst_deg = max(abs(heading_error(s)) for s in live)
    path_x, path_y, _, _ = figure_eight(DRIVE_SECONDS)
    miss = math.hypot(end["truth"].x() - path_x, end["truth"].y() - path_y)
    driven = sum(b["truth"].translation().distance(a["truth"].translation()) for a, b in zip(live, live[1:]))
    print(f"Live: {DRIVE_SECONDS:.0f} s of robot time in {live_wall:.2f} s of wall time "
          f"({DRIVE_SECONDS / live_wall:.0f}x real time), {len(live)} odometry samples.")
    print(f"  The robot drove {driven:.1f} m and ended {miss * 100.0:.1f} cm from where the figure-eight ends.")
    met = "met" if end_cm <= 1.0 and end_deg <= 0.5 else "MISSED"
    print(f"  Odometry against the simulated truth at the end: {end_cm:.2f} cm and {end_deg:.3f} deg "
          f"(goal: 1 cm and 0.5 deg): {met}")
    print(f"  Largest error on the way: {worst_cm:.2f} cm and {worst_deg:.3f} deg.")
    if not reports:
        print("  Nothing was reported while it drove.")
    else:
        print(f"  {len(reports)} reports while it drove, the first: {reports[0].location}: {reports[0].details}")
    print(f"Log: {shown(log)} ({log.stat().st_size / 1e6:.1f} MB)")
    print(f"Replay: loaded in {load_wall:.2f} s; {len(replayed)} odometry samples over {DRIVE_SECONDS:.0f} s of log "
          f"re-run in {rerun_wall:.2f} s ({DRIVE_SECONDS / rerun_wall:.0f}x real time).")
    differences = sum(not same_bits(a["odometry"], b["odometry"]) for a, b in zip(live, replayed))
    if differences == 0:
        print("  The replayed odometry is bit-identical to the live odometry at every sample.")
    else:
        print(f"  The replayed odometry DIFFERS from the live odometry at {differences} of {len(replayed)} samples.")
    print(f"Plot: python3 examples/python/log_analysis.py {shown(log)} draws the paths (with matplotlib).")
    return 0 if differences == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
