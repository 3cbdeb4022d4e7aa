"""The device runtime's clock, its reports, and its reset.

On the manual clock (use_manual) time moves only when the program moves it
(advance, set_time), so a simulated robot runs as fast as the machine allows
and the same way on every run; use_real returns to the wall clock. reports()
lists what the library and the runtime reported (set_report_echo(False)
keeps them off standard error); reset() returns the runtime to the state of
a fresh process.
"""

from . import _zephrin6

__all__ = sorted(name for name in dir(_zephrin6.sim) if not name.startswith("_"))
globals().update({name: getattr(_zephrin6.sim, name) for name in __all__})
