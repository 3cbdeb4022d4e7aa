"""Replay of a recorded .wisp log: load it, then play, pause or step it; the
devices then serve what the log holds, and get_<type> reads back the user
signals written while it was recorded. close returns to simulation.
"""

from .. import _zephrin6

__all__ = sorted(name for name in dir(_zephrin6.logging.replay) if not name.startswith("_"))
globals().update({name: getattr(_zephrin6.logging.replay, name) for name in __all__})
