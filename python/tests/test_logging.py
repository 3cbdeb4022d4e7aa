"""User signals written from Python come back from the log with their
values, units and times, through zephrin6.wisp and through replay; a wait
inside the runtime lets other Python threads run; bad logs are refused with
the named exceptions."""

import math
import threading

import numpy as np
import pytest

from zephrin6 import StatusCode, logging, sim, wisp
from zephrin6.logging import replay


def write_log(folder):
    """Logs one sample of every user type at 2.0 s and a double at 2.0, 2.5
    and 3.0 s (the last written 0.25 s late); returns the log's path."""
    assert logging.set_path(folder) == StatusCode.OK
    assert logging.start() == StatusCode.OK
    sim.set_time(2.0)
    writes = [
        logging.write_raw("Raw", b"\x00\x01\xff"),
        logging.write_boolean("Flag", True),
        logging.write_integer("Count", -(2**40), "items"),
        logging.write_float("Ratio", 0.25, "1"),
        logging.write_string("Mode", "auto ✓"),
        logging.write_boolean_array("Flags", [True, False, True]),
        logging.write_integer_array("Ids", [1, 2, 3], "id"),
        logging.write_float_array("Gains", [0.5, 1.5], "V"),
        logging.write_double_array("Pose", [1.0, 2.0, 90.0], "m, m, deg"),
    ]
    for time in (2.0, 2.5, 3.25):
        sim.set_time(time)
        writes.append(logging.write_double("Speed", time * 2.0, "m/s", latency=0.25 if time > 3 else 0.0))
    assert writes == [StatusCode.OK] * len(writes)
    sim.advance(0.5)
    assert logging.stop() == StatusCode.OK
    (path,) = folder.glob("*.wisp")
    return path


def test_a_log_written_from_python_reads_back_with_values_units_and_times(tmp_path):
    log = wisp.read(write_log(tmp_path))
    assert log.damage is None and log.clean_end
    assert set(log.names) == {"/user/" + n for n in
                              ["Raw", "Flag", "Count", "Ratio", "Mode", "Flags", "Ids", "Gains", "Pose", "Speed"]}
    speed = log["/user/Speed"]
    assert (speed.type, speed.units, speed.user, speed.status) == ("double", "m/s", True, None)
    np.testing.assert_array_equal(speed.times, [2.0, 2.5, 3.0])
    np.testing.assert_array_equal(speed.values, [4.0, 5.0, 6.5])
    assert speed.values.dtype == np.float64 and len(speed) == 3
    expected = {
        "Raw": ("raw", "", [b"\x00\x01\xff"]),
        "Flag": ("boolean", "", [True]),
        "Count": ("int64", "items", [-(2**40)]),
        "Ratio": ("float", "1", [0.25]),
        "Mode": ("string", "", ["auto ✓"]),
        "Flags": ("boolean[]", "", [[True, False, True]]),
        "Ids": ("int64[]", "id", [[1, 2, 3]]),
        "Gains": ("float[]", "V", [[0.5, 1.5]]),
        "Pose": ("double[]", "m, m, deg", [[1.0, 2.0, 90.0]]),
    }
    for name, (kind, units, values) in expected.items():
        signal = log["/user/" + name]
        assert (signal.type, signal.units) == (kind, units), name
        assert signal.times.tolist() == [2.0], name
        assert signal.values.tolist() == values, name
    assert log["/user/Count"].values.dtype == np.int64
    assert log["/user/Ratio"].values.dtype == np.float32
    assert log["/user/Flags"].values.dtype == np.bool_ and log["/user/Pose"].values.shape == (1, 3)
    assert "/user/Nothing" not in log
    with pytest.raises(KeyError, match="Nothing"):
        log["/user/Nothing"]


def test_replay_reads_the_user_signals_back(tmp_path, no_hang):
    path = write_log(tmp_path)
    sim.reset()
    sim.set_report_echo(False)
    sim.use_manual(1.0)
    assert replay.load(path) == StatusCode.OK
    try:
        assert replay.is_loaded()
        assert replay.step(1.2) == StatusCode.OK
        pose = replay.get_double_array("Pose")
        assert (pose.status, pose.value, pose.units) == (StatusCode.OK, [1.0, 2.0, 90.0], "m, m, deg")
        assert replay.get_string("Mode").value == "auto ✓"
        assert replay.get_raw("Raw").value == b"\x00\x01\xff"
        assert replay.get_boolean_array("Flags").value == [True, False, True]
        assert replay.get_integer("Count").value == -(2**40)
        # Asked as another type: refused, with the type's default value.
        mistyped = replay.get_double("Count")
        assert (mistyped.status, mistyped.value, mistyped.units) == (StatusCode.InvalidParamValue, 0.0, "")
        assert replay.get_double("Missing").status != StatusCode.OK

        # A paused replay keeps a wait for playback waiting until its
        # deadline on the manual clock; only another Python thread can move
        # the clock there, and it runs only because the wait lets the GIL go.
        waited = threading.Event()

        def move_time():
            while not waited.is_set():
                sim.advance(0.05)

        mover = threading.Thread(target=move_time)
        mover.start()
        try:
            assert replay.wait_for_playing(0.5) is False
        finally:
            waited.set()
            mover.join()
        assert replay.play() == StatusCode.OK
        assert replay.wait_for_playing(0.1) is True
    finally:
        replay.close()
    assert not replay.is_loaded()


def test_bad_logs_are_refused_with_named_exceptions(tmp_path):
    with pytest.raises(FileNotFoundError):
        replay.load(tmp_path / "missing.wisp")
    garbage = tmp_path / "garbage.wisp"
    garbage.write_bytes(b"not a log at all" * 10)
    with pytest.raises(ValueError, match="given file"):
        replay.load(garbage)
    assert not replay.is_loaded()
    for bad in (math.nan, -1.0, 70.0):
        with pytest.raises(ValueError):
            replay.wait_for_playing(bad)
    with pytest.raises(ValueError):
        replay.step(math.inf)
    # Over-long payloads are refused by status, and nothing is logged.
    assert logging.set_path(tmp_path) == StatusCode.OK
    assert logging.start() == StatusCode.OK
    assert logging.write_raw("Raw", bytes(65)) == StatusCode.InvalidSize
    assert logging.write_string("Text", "x" * 256) == StatusCode.InvalidSize
    assert logging.write_double_array("Many", [0.0] * 32) == StatusCode.InvalidSize
    assert logging.stop() == StatusCode.OK
    assert logging.write_double("Late", 1.0) == StatusCode.LoggerNotRunning
