"""User signals into the runtime's .wisp log: set_path, start and stop the
logger, and write_<type> for every user signal type (raw bytes, boolean,
integer, float, double, string and arrays of the four). Every write returns
the runtime's StatusCode. zephrin6.logging.replay plays a recorded log back.
"""

from .. import _zephrin6
from . import replay

__all__ = sorted(name for name in dir(_zephrin6.logging) if not name.startswith("_") and name != "replay")
globals().update({name: getattr(_zephrin6.logging, name) for name in __all__})
__all__.append("replay")
