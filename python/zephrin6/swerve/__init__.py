"""The swerve drivetrain: plane geometry (Rotation2d, Translation2d, Pose2d,
Transform2d, Twist2d), chassis speeds and module states, the kinematics, the
pose estimator, the PID controller, the module and drivetrain constants, and
SwerveDrivetrain with its simulation. Requests are in zephrin6.swerve.requests.
"""

from .. import _zephrin6
from . import requests

__all__ = sorted(name for name in dir(_zephrin6.swerve) if not name.startswith("_") and name != "requests")
globals().update({name: getattr(_zephrin6.swerve, name) for name in __all__})
__all__.append("requests")
