from typing import List

from . import StatusCode

__all__ = ["Report", "advance", "clear_reports", "is_manual", "now", "reports", "reset", "set_report_echo",
           "set_time", "use_manual", "use_real"]

class Report:
    """One error or warning the library or the runtime reported."""

    @property
    def is_error(self) -> bool: ...
    @property
    def code(self) -> StatusCode: ...
    @property
    def details(self) -> str: ...
    @property
    def location(self) -> str: ...

def use_manual(start: float = 1.0) -> None:
    """Switches to the manual clock at `start` seconds; time moves only by advance and set_time."""

def advance(seconds: float) -> None:
    """Moves the manual clock forward by `seconds` (ValueError unless finite and at or above 0)."""

def set_time(seconds: float) -> None:
    """Sets the manual clock to `seconds`."""

def use_real() -> None:
    """Switches back to the steady wall clock."""

def is_manual() -> bool:
    """Whether the manual clock is in use."""

def now() -> float:
    """The runtime's current time, seconds."""

def reset() -> None:
    """Returns the runtime to the state of a fresh process (every SwerveDrivetrain must be closed)."""

def reports() -> List[Report]:
    """Every report received since the last reset or clear_reports, oldest first."""

def clear_reports() -> None:
    """Forgets the reports received so far."""

def set_report_echo(echo: bool) -> None:
    """Whether reports are also printed to standard error as they come."""
