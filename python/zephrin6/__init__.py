"""zephrin6 for Python: the swerve drivetrain in simulation, the runtime's
clock, user signals into the log and its replay, and .wisp logs read into
numpy arrays.

    import zephrin6
    from zephrin6 import swerve, sim, wisp

Submodules:
    zephrin6.swerve           geometry, kinematics, pose estimation, the PID
                              controller and SwerveDrivetrain
    zephrin6.swerve.requests  the requests a drivetrain drives by
    zephrin6.sim              the runtime's clock (manual for simulations)
    zephrin6.logging          user signals into the log; .replay plays one back
    zephrin6.wisp             read(path): a .wisp log as numpy arrays

Quantities are floats in SI units: metres, seconds, radians, volts. Numpy is
needed by zephrin6.wisp only, and imported when a log is read.
"""

import atexit as _atexit

from . import _zephrin6
from ._zephrin6 import StatusCode
from . import logging, sim, swerve, wisp

__all__ = ["StatusCode", "logging", "sim", "swerve", "wisp"]

# Drivetrains left running stop before the interpreter stops running Python
# on other threads, so their callbacks never reach a finalising interpreter.
_atexit.register(_zephrin6._stop_all_drivetrains)
