"""The requests a SwerveDrivetrain drives by: Idle, SwerveDriveBrake,
FieldCentric, RobotCentric, PointWheelsAt, ApplyRobotSpeeds and
ApplyFieldSpeeds. Each takes its fields as keyword arguments, has them as
attributes, and has a with_<field> method that sets one and returns the
request, so one request object can be changed every loop:

    drive = FieldCentric(drive_request_type=DriveRequestType.Velocity)
    drivetrain.set_control(drive.with_velocity_x(1.0).with_rotational_rate(0.5))
"""

from .. import _zephrin6

__all__ = sorted(name for name in dir(_zephrin6.swerve.requests) if not name.startswith("_"))
globals().update({name: getattr(_zephrin6.swerve.requests, name) for name in __all__})
