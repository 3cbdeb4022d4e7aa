"""Reading .wisp logs into numpy arrays.

    log = zephrin6.wisp.read("build/demo/zephrin_20261206_155216.wisp")
    position = log["/drivebus/rapax q 2/Position"]
    position.times, position.values, position.units   # arrays of seconds and rotations

Signals have the names `wisp export` gives them: a device signal is
"/<bus>/<model> <id>/<signal>" (with " [<units>]" added when a device has
two signals of one name), a user signal "/user/<name>" (with " (<type>)"
added when the log holds it with two types).

The log is read with the same streaming reader as the wisp tool, one chunk at
a time. A file that is no log raises (FileNotFoundError, IsADirectoryError,
PermissionError, or ValueError saying why); a log damaged after its header
gives everything before the damage with a DamagedLogWarning saying where it
stopped and why. Numpy is imported when a log is read, not before.
"""

from __future__ import annotations

import errno
import os
import warnings
from typing import Any, Dict, Iterator, List, Optional

from . import _zephrin6

__all__ = ["DamagedLogWarning", "Log", "Signal", "read"]


class DamagedLogWarning(UserWarning):
    """A log was damaged (cut short, corrupted); what came before the damage was read."""


class Signal:
    """One signal of a log: its samples' times and values as numpy arrays.

    Attributes:
        name: the name `wisp export` gives the signal.
        type: "double" for device signals; for user signals the type they were
            written with: "raw", "boolean", "int64", "float", "double",
            "string", "boolean[]", "int64[]", "float[]" or "double[]".
        units: the units text recorded with the signal (its first, should
            the program have changed it).
        user: True for a user signal, False for a device signal.
        times: float64 array of sample times, seconds on the runtime's clock,
            in the order recorded.
        values: one value per sample: a float64 array for device signals; for
            user signals a bool, int64, float32 or float64 array by type, an
            array of shape (samples, n) for arrays that always held n
            elements (else an object array of one array per sample), and an
            object array of bytes (raw) or str (string).
        status: int32 array of each frame's status code (0 for OK) for device
            signals, None for user signals.
        device_hash, signal_id: the device and signal a device signal comes
            from (0 for user signals).
    """

    __slots__ = ("name", "type", "units", "user", "times", "values", "status", "device_hash", "signal_id")

    def __init__(self, name: str, type: str, units: str, user: bool, times: Any, values: Any,
                 status: Any = None, device_hash: int = 0, signal_id: int = 0) -> None:
        self.name = name
        self.type = type
        self.units = units
        self.user = user
        self.times = times
        self.values = values
        self.status = status
        self.device_hash = device_hash
        self.signal_id = signal_id

    def __len__(self) -> int:
        return len(self.times)

    def __repr__(self) -> str:
        units = f", units {self.units!r}" if self.units else ""
        return f"<Signal {self.name!r}: {len(self)} samples of {self.type}{units}>"

    def to_pandas(self) -> Any:
        """The samples as a pandas Series indexed by time (a DataFrame for
        fixed-length arrays, one column per element). Needs pandas."""
        import pandas as pd

        index = pd.Index(self.times, name="time")
        if getattr(self.values, "ndim", 1) == 2:
            return pd.DataFrame(self.values, index=index).add_prefix(f"{self.name}[").add_suffix("]")
        return pd.Series(self.values, index=index, name=self.name)


class Log:
    """A .wisp log read by read(): its signals by name, and how the read went.

    A Log is a read-only mapping from signal name to Signal (`log[name]`,
    `name in log`, iteration over names, len); `names` lists them in order of
    first appearance.

    Attributes:
        path: the file read.
        start_time: runtime time when recording started, seconds.
        first_time, last_time: the span of the log's records, seconds.
        wall_clock_start: calendar time of the start, seconds since 1970.
        runtime_version: the version text of the runtime that wrote it.
        format_version: the log format's version number.
        file_bytes, intact_bytes: the file's size and how much of it was read.
        damage: what stopped the read early, with the byte where it happened
            (None when the whole file was read).
        clean_end: whether the writer marked a clean stop (False for a log
            whose program was killed, or one still being written).
        dropped_samples: user samples the writer dropped (buffer full).
        undefined_samples: user samples whose definition the log lacks.
        misfit_samples: user samples too short for their type, left out.
    """

    def __init__(self, path: str, raw: Dict[str, Any], signals: Dict[str, Signal]) -> None:
        self.path = path
        self.start_time: float = raw["start_time"]
        self.first_time: float = raw["first_time"]
        self.last_time: float = raw["last_time"]
        self.wall_clock_start: int = raw["wall_clock_start"]
        self.runtime_version: str = raw["runtime_version"]
        self.format_version: int = raw["format_version"]
        self.file_bytes: int = raw["file_bytes"]
        self.intact_bytes: int = raw["intact_bytes"]
        self.damage: Optional[str] = raw["damage"] or None
        self.clean_end: bool = raw["clean_end"]
        self.dropped_samples: int = raw["dropped_samples"]
        self.undefined_samples: int = raw["undefined_samples"]
        self.misfit_samples: int = raw["misfit_samples"]
        self._signals = signals

    @property
    def names(self) -> List[str]:
        """Every signal's name, in order of first appearance."""
        return list(self._signals)

    def __getitem__(self, name: str) -> Signal:
        try:
            return self._signals[name]
        except KeyError:
            raise KeyError(f"{name!r} is not a signal of {self.path}") from None

    def __contains__(self, name: object) -> bool:
        return name in self._signals

    def __iter__(self) -> Iterator[str]:
        return iter(self._signals)

    def __len__(self) -> int:
        return len(self._signals)

    def keys(self):
        return self._signals.keys()

    def values(self):
        return self._signals.values()

    def items(self):
        return self._signals.items()

    def get(self, name: str, default: Optional[Signal] = None) -> Optional[Signal]:
        return self._signals.get(name, default)

    def __repr__(self) -> str:
        state = f", damaged: {self.damage}" if self.damage else ""
        return (f"<Log {self.path!r}: {len(self)} signals, {self.first_time:.3f} s to "
                f"{self.last_time:.3f} s{state}>")

    def to_pandas(self) -> Any:
        """Every sample in one long table: columns signal, time, value and
        units, signal after signal. Needs pandas."""
        import pandas as pd

        frames = []
        for signal in self._signals.values():
            values = signal.values
            if getattr(values, "ndim", 1) == 2:
                values = list(values)
            frames.append(pd.DataFrame({"signal": signal.name, "time": signal.times, "value": values,
                                        "units": signal.units}))
        if not frames:
            return pd.DataFrame(columns=["signal", "time", "value", "units"])
        return pd.concat(frames, ignore_index=True)


def _values(np: Any, raw: Dict[str, Any]) -> Any:
    """The numpy form of one signal's values."""
    values = raw["values"]
    if isinstance(values, list):  # raw bytes or strings
        out = np.empty(len(values), dtype=object)
        out[:] = values
        return out
    values = np.asarray(values)
    if raw["counts"] is None:
        return values
    counts = np.asarray(raw["counts"])
    if len(counts) > 0 and np.all(counts == counts[0]):
        return values.reshape(len(counts), int(counts[0]))
    out = np.empty(len(counts), dtype=object)
    for i, piece in enumerate(np.split(values, np.cumsum(counts)[:-1]) if len(counts) else []):
        out[i] = piece
    return out


def _refuse(path: str, refusal: str) -> None:
    """Raises the exception that says why the file at `path` is no log."""
    if not os.path.lexists(path):
        raise FileNotFoundError(errno.ENOENT, os.strerror(errno.ENOENT), path)
    if os.path.isdir(path):
        raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), path)
    if not os.access(path, os.R_OK):
        raise PermissionError(errno.EACCES, os.strerror(errno.EACCES), path)
    raise ValueError(f"{path} is not a readable .wisp log: {refusal}")


def read(path: "str | os.PathLike[str]") -> Log:
    """Reads the .wisp log at `path` into numpy arrays.

    Raises FileNotFoundError, IsADirectoryError or PermissionError when the
    file cannot be opened, and ValueError naming the reason when it is no
    .wisp log (not one at all, an empty or cut header, a format this reader
    does not read). A log damaged after its header is read up to the damage,
    with a DamagedLogWarning naming it. Never aborts the interpreter,
    whatever the file holds.
    """
    import numpy as np

    path = os.fspath(path)
    if isinstance(path, bytes):
        path = os.fsdecode(path)
    if "\0" in path:
        raise ValueError("a path cannot hold a NUL character")
    # As the file system's bytes, so that any name a file can have is read.
    raw = _zephrin6.wisp._read(os.fsencode(path))
    if raw["status"] != 0:
        _refuse(path, raw["refusal"])
    signals: Dict[str, Signal] = {}
    for s in raw["signals"]:
        # Names are unique in the log; two that differ only in bytes that are
        # not UTF-8 can meet as text, and the later one gets a number.
        name, n = s["name"], 1
        while name in signals:
            n += 1
            name = f"{s['name']} ({n})"
        signals[name] = Signal(
            name, s["type"], s["units"], s["user"], np.asarray(s["times"]), _values(np, s),
            None if s["status"] is None else np.asarray(s["status"]), s["device_hash"], s["signal_id"])
    log = Log(path, raw, signals)
    if log.damage:
        warnings.warn(DamagedLogWarning(
            f"{path} is damaged from byte {log.intact_bytes} on ({log.damage}); read everything before it, "
            f"up to t = {log.last_time:.3f} s"), stacklevel=2)
    return log
