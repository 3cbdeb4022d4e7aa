import enum
from typing import List, Self, Sequence

from . import ChassisSpeeds, DriveRequestType, Rotation2d, SteerRequestType, Translation2d

__all__ = ["ApplyFieldSpeeds", "ApplyRobotSpeeds", "FieldCentric", "ForwardPerspectiveValue", "Idle",
           "PointWheelsAt", "RobotCentric", "SwerveDriveBrake"]

class ForwardPerspectiveValue(enum.IntEnum):
    OperatorPerspective = 0
    FieldOrigin = 1

# The field groups the requests share; each with_<field> sets the field and
# returns the request itself.

class _DriveAndSteer:
    drive_request_type: DriveRequestType
    steer_request_type: SteerRequestType
    def with_drive_request_type(self, drive_request_type: DriveRequestType) -> Self: ...
    def with_steer_request_type(self, steer_request_type: SteerRequestType) -> Self: ...

class _ModuleCommandFields(_DriveAndSteer):
    center_of_rotation: Translation2d
    desaturate_wheel_speeds: bool
    def with_center_of_rotation(self, center_of_rotation: Translation2d) -> Self: ...
    def with_desaturate_wheel_speeds(self, desaturate_wheel_speeds: bool) -> Self: ...

class _VelocityFields:
    velocity_x: float
    velocity_y: float
    rotational_rate: float
    deadband: float
    rotational_deadband: float
    def with_velocity_x(self, velocity_x: float) -> Self: ...
    def with_velocity_y(self, velocity_y: float) -> Self: ...
    def with_rotational_rate(self, rotational_rate: float) -> Self: ...
    def with_deadband(self, deadband: float) -> Self: ...
    def with_rotational_deadband(self, rotational_deadband: float) -> Self: ...

class _SpeedsFields:
    speeds: ChassisSpeeds
    wheel_force_feedforwards_x: List[float]
    wheel_force_feedforwards_y: List[float]
    def with_speeds(self, speeds: ChassisSpeeds) -> Self: ...
    def with_wheel_force_feedforwards_x(self, wheel_force_feedforwards_x: Sequence[float]) -> Self: ...
    def with_wheel_force_feedforwards_y(self, wheel_force_feedforwards_y: Sequence[float]) -> Self: ...

class _ForwardPerspective:
    forward_perspective: ForwardPerspectiveValue
    def with_forward_perspective(self, forward_perspective: ForwardPerspectiveValue) -> Self: ...

class Idle:
    """Commands nothing: the modules keep what their motors last received."""

    def __init__(self) -> None: ...

class SwerveDriveBrake(_DriveAndSteer):
    """Stops and points every wheel along the line from the robot centre (an X)."""

    def __init__(self, *, drive_request_type: DriveRequestType = ...,
                 steer_request_type: SteerRequestType = ...) -> None: ...

class FieldCentric(_VelocityFields, _ModuleCommandFields, _ForwardPerspective):
    """Drives with velocities in the field's frame (m/s, rad/s)."""

    def __init__(self, *, velocity_x: float = 0.0, velocity_y: float = 0.0, rotational_rate: float = 0.0,
                 deadband: float = 0.0, rotational_deadband: float = 0.0, center_of_rotation: Translation2d = ...,
                 drive_request_type: DriveRequestType = ..., steer_request_type: SteerRequestType = ...,
                 desaturate_wheel_speeds: bool = True, forward_perspective: ForwardPerspectiveValue = ...) -> None: ...

class RobotCentric(_VelocityFields, _ModuleCommandFields):
    """Drives with velocities in the robot's own frame (m/s, rad/s)."""

    def __init__(self, *, velocity_x: float = 0.0, velocity_y: float = 0.0, rotational_rate: float = 0.0,
                 deadband: float = 0.0, rotational_deadband: float = 0.0, center_of_rotation: Translation2d = ...,
                 drive_request_type: DriveRequestType = ..., steer_request_type: SteerRequestType = ...,
                 desaturate_wheel_speeds: bool = True) -> None: ...

class PointWheelsAt(_DriveAndSteer):
    """Stops and turns every wheel to one azimuth."""

    module_direction: Rotation2d
    def __init__(self, *, module_direction: Rotation2d = ..., drive_request_type: DriveRequestType = ...,
                 steer_request_type: SteerRequestType = ...) -> None: ...
    def with_module_direction(self, module_direction: Rotation2d) -> Self: ...

class ApplyRobotSpeeds(_SpeedsFields, _ModuleCommandFields):
    """Drives at robot-relative speeds with optional per-wheel forces (newtons)."""

    def __init__(self, *, speeds: ChassisSpeeds = ..., wheel_force_feedforwards_x: Sequence[float] = ...,
                 wheel_force_feedforwards_y: Sequence[float] = ..., center_of_rotation: Translation2d = ...,
                 drive_request_type: DriveRequestType = ..., steer_request_type: SteerRequestType = ...,
                 desaturate_wheel_speeds: bool = True) -> None: ...

class ApplyFieldSpeeds(_SpeedsFields, _ModuleCommandFields, _ForwardPerspective):
    """Drives at field-relative speeds with optional per-wheel forces (newtons)."""

    def __init__(self, *, speeds: ChassisSpeeds = ..., wheel_force_feedforwards_x: Sequence[float] = ...,
                 wheel_force_feedforwards_y: Sequence[float] = ..., center_of_rotation: Translation2d = ...,
                 drive_request_type: DriveRequestType = ..., steer_request_type: SteerRequestType = ...,
                 desaturate_wheel_speeds: bool = True,
                 forward_perspective: ForwardPerspectiveValue = ...) -> None: ...
