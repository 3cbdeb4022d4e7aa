"""Reads a .wisp log into numpy arrays and summarises it.

By default the log is the newest one `make demo` wrote (build/demo/); give
another path as the argument. For every signal it prints the number of
samples, the time span, the rate and, for numbers, the range and mean. When
matplotlib is installed it draws the true and the estimated (odometry) paths
the demo logged as Demo/TruePose and Demo/Odometry into
build/demo/paths.png.

    PYTHONPATH=build/python python3 examples/python/log_analysis.py [LOG]
"""

import os
import pathlib
import sys
import time

import numpy as np

from zephrin6 import wisp

BUILD = pathlib.Path(os.environ.get("ZEPHRIN_BUILD_DIR", pathlib.Path(__file__).resolve().parents[2] / "build"))


def newest_demo_log():
    logs = sorted((BUILD / "demo").glob("*.wisp"), key=os.path.getmtime)
    if not logs:
        sys.exit(f"No log in {BUILD / 'demo'}: run `make demo` first, or name a log.")
    return logs[-1]


def summary(signal):
    """One line about one signal."""
    span = signal.times[-1] - signal.times[0] if len(signal) else 0.0
    rate = (len(signal) - 1) / span if span > 0 else 0.0
    line = f"{signal.name:<58} {len(signal):>6} samples  {span:6.2f} s  {rate:6.1f} Hz"
    values = signal.values
    if values.dtype.kind in "fiu" and values.size:
        line += f"  {values.min():>10.4g} .. {values.max():<10.4g} mean {values.mean():<10.4g}"
    elif values.dtype.kind == "b" and values.size:
        line += f"  true {np.count_nonzero(values) / values.size:6.1%} of the time"
    if signal.units:
        line += f"  [{signal.units}]"
    return line


def plot_paths(log, picture):
    """Draws the demo's true and estimated paths; False without matplotlib."""
    try:
        import matplotlib
    except ImportError:
        return False
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, (field, error) = plt.subplots(2, 1, figsize=(8, 9), gridspec_kw={"height_ratios": [2, 1]})
    for name, label, style in (("/user/Demo/TruePose", "true path (simulation)", "k-"),
                               ("/user/Demo/Odometry", "odometry", "r--")):
        if name in log:
            pose = log[name].values  # x (m), y (m), heading (deg) per sample
            field.plot(pose[:, 0], pose[:, 1], style, label=label)
    field.set_aspect("equal")
    field.set_xlabel("x (m, forward)")
    field.set_ylabel("y (m, left)")
    field.legend()
    if "/user/Demo/TruePose" in log and "/user/Demo/Odometry" in log:
        truth, odometry = log["/user/Demo/TruePose"], log["/user/Demo/Odometry"]
        n = min(len(truth), len(odometry))
        distance = np.hypot(*(odometry.values[:n, :2] - truth.values[:n, :2]).T) * 100.0
        error.plot(truth.times[:n] - truth.times[0], distance)
        error.set_xlabel("time (s)")
        error.set_ylabel("odometry - truth (cm)")
    figure.tight_layout()
    figure.savefig(picture)
    return True


def main():
    path = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else newest_demo_log()
    started = time.perf_counter()
    log = wisp.read(path)
    seconds = time.perf_counter() - started
    print(f"{path}: {log.file_bytes / 1e6:.1f} MB read in {seconds:.2f} s "
          f"({log.file_bytes / 1e6 / seconds:.0f} MB/s), {len(log)} signals, "
          f"{log.first_time:.3f} s to {log.last_time:.3f} s of runtime time")
    if log.damage:
        print(f"  damaged: {log.damage}")
    for signal in log.values():
        print(summary(signal))
    picture = BUILD / "demo" / "paths.png"
    picture.parent.mkdir(parents=True, exist_ok=True)
    if plot_paths(log, picture):
        print(f"Plot: {picture}")
    else:
        print("Plot: install matplotlib (apt-get install python3-matplotlib) to draw the paths.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
