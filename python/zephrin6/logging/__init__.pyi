import os
from typing import Sequence

from .. import StatusCode
from . import replay as replay

__all__ = ["enable_auto_logging", "replay", "set_path", "start", "stop", "write_boolean", "write_boolean_array",
           "write_double", "write_double_array", "write_float", "write_float_array", "write_integer",
           "write_integer_array", "write_raw", "write_string"]

def set_path(path: str | os.PathLike[str]) -> StatusCode:
    """Sets the folder new logs are written into (default ./logs)."""

def start() -> StatusCode:
    """Starts logging to a new timestamped .wisp file in the folder."""

def stop() -> StatusCode:
    """Stops logging once everything recorded so far is written."""

def enable_auto_logging(enable: bool) -> StatusCode:
    """When enabled, logging starts by itself as soon as the program creates its first device."""

# Every write: `latency` is how old the sample already is, seconds. Returns
# the runtime's status; InvalidSize, logging nothing, when it does not fit.
def write_raw(name: str, data: bytes, latency: float = 0.0) -> StatusCode:
    """Logs up to 64 raw bytes."""

def write_boolean(name: str, value: bool, latency: float = 0.0) -> StatusCode: ...
def write_integer(name: str, value: int, units: str = "", latency: float = 0.0) -> StatusCode: ...
def write_float(name: str, value: float, units: str = "", latency: float = 0.0) -> StatusCode: ...
def write_double(name: str, value: float, units: str = "", latency: float = 0.0) -> StatusCode: ...
def write_string(name: str, value: str, latency: float = 0.0) -> StatusCode:
    """Logs a string of up to 255 bytes (UTF-8)."""

def write_boolean_array(name: str, values: Sequence[bool], latency: float = 0.0) -> StatusCode:
    """Logs up to 255 booleans."""

def write_integer_array(name: str, values: Sequence[int], units: str = "", latency: float = 0.0) -> StatusCode:
    """Logs up to 31 integers."""

def write_float_array(name: str, values: Sequence[float], units: str = "", latency: float = 0.0) -> StatusCode:
    """Logs up to 63 floats."""

def write_double_array(name: str, values: Sequence[float], units: str = "", latency: float = 0.0) -> StatusCode:
    """Logs up to 31 doubles."""
