"""zephrin6.wisp.read reads what the wisp tool reads, under the same names;
reads a damaged log up to the damage with a warning; refuses what is no log
with the named exception; and never takes the interpreter down, whatever
the file holds."""

import csv
import os
import random
import shutil
import subprocess
import sys
import warnings

import numpy as np
import pytest

from zephrin6 import wisp

from conftest import BUILD_DIR, WISP_SEEDS

WISP_TOOL = BUILD_DIR / "bin" / "wisp"


def read_quietly(path):
    """The log and the damage warnings its read gave."""
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        log = wisp.read(path)
    return log, [w for w in caught if issubclass(w.category, wisp.DamagedLogWarning)]


@pytest.mark.skipif(not WISP_TOOL.exists(), reason="the wisp tool is not built")
@pytest.mark.parametrize("seed", WISP_SEEDS, ids=lambda p: p.name)
def test_reads_the_samples_the_wisp_tool_exports(seed, tmp_path):
    exported = tmp_path / "export.csv"
    subprocess.run([str(WISP_TOOL), "export", "--format", "csv", "-o", str(exported), str(seed)],
                   check=True, capture_output=True)
    rows = {}
    with open(exported, newline="") as f:
        for row in csv.DictReader(f):
            rows.setdefault(row["name"], []).append(row)
    log, _ = read_quietly(seed)
    assert set(log.names) == set(rows)
    for name, expected in rows.items():
        signal = log[name]
        assert len(signal) == len(expected), name
        order = np.argsort(signal.times, kind="stable")
        np.testing.assert_allclose(signal.times[order], [float(r["time"]) for r in expected], atol=1e-6)
        assert signal.units == expected[0]["units"]
        if signal.type == "double":
            assert signal.values[order].tolist() == [float(r["value"]) for r in expected], name
        assert (signal.status is None) == signal.user


@pytest.mark.parametrize("seed", WISP_SEEDS, ids=lambda p: p.name)
def test_a_cut_log_reads_up_to_the_cut(seed, tmp_path):
    whole, _ = read_quietly(seed)
    data = seed.read_bytes()
    cut_log = tmp_path / "cut.wisp"
    for cut in sorted({0, 1, 7, 30, 64} | set(range(100, len(data), max(1, len(data) // 40)))):
        cut_log.write_bytes(data[:cut])
        try:
            log, damage = read_quietly(cut_log)
        except ValueError as refused:
            # Only a cut inside the header leaves no log at all.
            assert "not a readable .wisp log" in str(refused)
            assert cut < 200, cut
            continue
        assert log.intact_bytes <= cut
        assert bool(damage) == (log.damage is not None)
        if log.damage:
            assert f"from byte {log.intact_bytes} on" in str(damage[0].message)
        # Whatever was read is the start of each signal of the whole log
        # (a name can differ where the whole log has a second signal of one
        # name on a device, which the cut one lacks).
        for name in log:
            if name not in whole:
                continue
            part, full = log[name], whole[name]
            assert part.times.tolist() == full.times[:len(part)].tolist(), (cut, name)


def test_damage_and_garbage(tmp_path):
    seed = WISP_SEEDS[0]
    data = bytearray(seed.read_bytes())
    corrupt = tmp_path / "corrupt.wisp"
    data[len(data) // 2] ^= 0xFF
    corrupt.write_bytes(bytes(data))
    with pytest.warns(wisp.DamagedLogWarning, match="corrupt.wisp is damaged from byte"):
        log = wisp.read(corrupt)
    assert "CRC" in log.damage and 0 < log.intact_bytes < len(data)

    torn = [s for s in WISP_SEEDS if s.name == "torn_last_chunk.wisp"]
    if torn:
        with pytest.warns(wisp.DamagedLogWarning):
            assert len(wisp.read(torn[0])) > 0

    garbage = tmp_path / "garbage.wisp"
    rng = random.Random(24)
    for content in [b"", b"hello, world\n" * 100, bytes(rng.randrange(256) for _ in range(5000)),
                    bytes(data[:3]) + bytes(100)]:
        garbage.write_bytes(content)
        with pytest.raises(ValueError, match="garbage.wisp is not a readable .wisp log"):
            wisp.read(garbage)
    with pytest.raises(FileNotFoundError):
        wisp.read(tmp_path / "missing.wisp")
    with pytest.raises(IsADirectoryError):
        wisp.read(tmp_path)
    with pytest.raises(ValueError, match="NUL"):
        wisp.read("log\0.wisp")
    if os.geteuid() != 0:
        locked = tmp_path / "locked.wisp"
        shutil.copy(seed, locked)
        locked.chmod(0)
        with pytest.raises(PermissionError):
            wisp.read(locked)


def test_random_damage_never_takes_the_interpreter_down(tmp_path):
    # In a child interpreter, so that a crash shows as a failed test.
    program = (
        "import random, sys, warnings\n"
        "from zephrin6 import wisp\n"
        "warnings.simplefilter('ignore')\n"
        "rng = random.Random(7)\n"
        "for seed in sys.argv[2:]:\n"
        "    data = open(seed, 'rb').read()\n"
        "    for _ in range(60):\n"
        "        damaged = bytearray(data)\n"
        "        for _ in range(rng.randrange(1, 8)):\n"
        "            damaged[rng.randrange(len(damaged))] = rng.randrange(256)\n"
        "        open(sys.argv[1], 'wb').write(damaged)\n"
        "        try:\n"
        "            wisp.read(sys.argv[1])\n"
        "        except ValueError:\n"
        "            pass\n"
        "print('survived')\n")
    result = subprocess.run([sys.executable, "-c", program, str(tmp_path / "damaged.wisp"),
                             *map(str, WISP_SEEDS)], capture_output=True, text=True, timeout=240)
    assert result.returncode == 0, result.stderr
    assert result.stdout.strip() == "survived"


def test_log_object(tmp_path):
    # Any name the file system allows, as text or as bytes.
    odd = tmp_path / os.fsdecode(b"caf\xe9.wisp")
    shutil.copy(WISP_SEEDS[0], odd)
    log, _ = read_quietly(odd)
    assert log.path == str(odd) and read_quietly(os.fsencode(odd))[0].names == log.names
    assert len(log) == len(log.names) > 0 and list(log) == log.names
    name = log.names[0]
    assert name in log and log.get(name) is log[name] and log.get("nothing") is None
    signal = log[name]
    assert signal.times.dtype == np.float64 and len(signal.values) == len(signal)
    assert repr(signal).startswith(f"<Signal {name!r}: {len(signal)} samples of")
    assert log.first_time <= signal.times.min() and signal.times.max() <= log.last_time
    assert log.runtime_version and log.format_version > 0 and log.file_bytes == WISP_SEEDS[0].stat().st_size


def test_to_pandas():
    pd = pytest.importorskip("pandas")
    log, _ = read_quietly(WISP_SEEDS[0])
    table = log.to_pandas()
    assert list(table.columns) == ["signal", "time", "value", "units"]
    assert len(table) == sum(len(s) for s in log.values())
    series = log[log.names[0]].to_pandas()
    assert isinstance(series, pd.Series) and series.index.name == "time"


def test_the_package_imports_without_numpy():
    program = ("import sys\n"
               "sys.modules['numpy'] = None\n"
               "import zephrin6\n"
               "from zephrin6 import swerve, wisp\n"
               "print(swerve.Pose2d(1.0, 2.0))\n"
               "try:\n"
               "    wisp.read(sys.argv[1])\n"
               "except ImportError:\n"
               "    print('numpy needed to read')\n")
    result = subprocess.run([sys.executable, "-c", program, str(WISP_SEEDS[0])], capture_output=True, text=True,
                            timeout=60)
    assert result.returncode == 0, result.stderr
    assert result.stdout.split("\n")[:2] == ["Pose2d(x=1.0, y=2.0, rotation=Rotation2d(radians=0.0))",
                                             "numpy needed to read"]
