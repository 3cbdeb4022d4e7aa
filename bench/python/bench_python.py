"""Benchmarks of the zephrin6 Python package (figures, not pass/fail tests):

  get_state      SwerveDrivetrain.get_state() from Python, per call: the
                 Python call, the GIL released and taken back, the state
                 lock, the copy of a four-module state and the new Python
                 object. Median of 7 runs of 20000 calls. Goal: under 3 us.
  wisp.read      zephrin6.wisp.read of the demo's log (newest build/demo/*.wisp;
                 run `make demo` first): both passes of the streaming reader,
                 the columns, and the numpy arrays over them, from a warm page
                 cache. Median of 5. Goals: under 0.5 s, at least 20 MB/s.
  swerve_sim     examples/python/swerve_sim.py's live drive: simulated seconds
                 per wall second of the figure-eight loop (1 ms physics steps,
                 250 Hz odometry, the 20 ms control loop and the log writes in
                 Python; building the drivetrain is not counted). Median of 3.
                 Goal: at least 20x real time.

    PYTHONPATH=build/python python3 bench/python/bench_python.py
"""

import importlib.util
import os
import pathlib
import statistics
import sys
import tempfile
import time
import timeit

from zephrin6 import sim, swerve, wisp

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("ZEPHRIN_BUILD_DIR", ROOT / "build"))


def load_example():
    spec = importlib.util.spec_from_file_location("swerve_sim", ROOT / "examples" / "python" / "swerve_sim.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def bench_get_state(example):
    sim.reset()
    sim.set_report_echo(False)
    sim.use_manual(100.0)
    with example.build_drivetrain() as drivetrain:
        for _ in range(10):
            sim.advance(0.004)
            drivetrain.step_odometry()
        calls = 20000
        runs = timeit.repeat(drivetrain.get_state, number=calls, repeat=7)
    per_call = statistics.median(runs) / calls * 1e6
    print(f"get_state: {per_call:.2f} us per call (goal: under 3 us)")


def bench_wisp_read():
    logs = sorted((BUILD / "demo").glob("*.wisp"), key=os.path.getmtime)
    if not logs:
        print("wisp.read: no demo log in build/demo; run `make demo` first")
        return
    log = logs[-1]
    size = log.stat().st_size
    wisp.read(log)  # warms the page cache and the imports
    runs = []
    for _ in range(5):
        started = time.perf_counter()
        read = wisp.read(log)
        runs.append(time.perf_counter() - started)
    seconds = statistics.median(runs)
    samples = sum(len(s) for s in read.values())
    print(f"wisp.read: {log.name} ({size / 1e6:.1f} MB, {len(read)} signals, {samples} samples) in "
          f"{seconds:.3f} s, {size / 1e6 / seconds:.0f} MB/s (goals: under 0.5 s, at least 20 MB/s)")


def bench_swerve_sim(example):
    ratios = []
    for _ in range(3):
        sim.reset()
        sim.set_report_echo(False)
        sim.use_manual(100.0)
        with tempfile.TemporaryDirectory() as folder:
            _, wall, _ = example.drive_live(folder)
        ratios.append(example.DRIVE_SECONDS / wall)
    print(f"swerve_sim: {statistics.median(ratios):.0f}x real time "
          f"({example.DRIVE_SECONDS:.0f} s simulated; goal: at least 20x)")


def main():
    example = load_example()
    bench_get_state(example)
    bench_wisp_read()
    bench_swerve_sim(example)
    return 0


if __name__ == "__main__":
    sys.exit(main())
