#pragma once

// The whole public API of the zephrin6 device library in one include. Robot
// programs that care about compile time include only the headers they use;
// none of these headers brings in Eigen.

// Status codes and units
#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/units/Units.hpp>

// Status signals and value enumerations
#include <kvor/zephrin6/signals/AppliedRotorPolarityValue.hpp>
#include <kvor/zephrin6/signals/BaseStatusSignal.hpp>
#include <kvor/zephrin6/signals/BridgeOutputValue.hpp>
#include <kvor/zephrin6/signals/CloseStateValue.hpp>
#include <kvor/zephrin6/signals/ConnectedMotorValue.hpp>
#include <kvor/zephrin6/signals/ControlModeValue.hpp>
#include <kvor/zephrin6/signals/DeviceEnableValue.hpp>
#include <kvor/zephrin6/signals/DifferentialControlModeValue.hpp>
#include <kvor/zephrin6/signals/DifferentialSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/ExternalFeedbackSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/ExternalMotorTempStatusValue.hpp>
#include <kvor/zephrin6/signals/FeedbackSensorSourceValue.hpp>
#include <kvor/zephrin6/signals/FloatStateValue.hpp>
#include <kvor/zephrin6/signals/ForwardLimitValue.hpp>
#include <kvor/zephrin6/signals/GravityTypeValue.hpp>
#include <kvor/zephrin6/signals/ISerializable.hpp>
#include <kvor/zephrin6/signals/InvertedValue.hpp>
#include <kvor/zephrin6/signals/KinetraIsRunningValue.hpp>
#include <kvor/zephrin6/signals/LimitSwitchSourceValue.hpp>
#include <kvor/zephrin6/signals/LimitSwitchTypeValue.hpp>
#include <kvor/zephrin6/signals/MagnetHealthValue.hpp>
#include <kvor/zephrin6/signals/MeasurementHealthValue.hpp>
#include <kvor/zephrin6/signals/MotorOutputStatusValue.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/signals/ReverseLimitValue.hpp>
#include <kvor/zephrin6/signals/S1StateValue.hpp>
#include <kvor/zephrin6/signals/S2StateValue.hpp>
#include <kvor/zephrin6/signals/SensorDirectionValue.hpp>
#include <kvor/zephrin6/signals/SignalTimestamp.hpp>
#include <kvor/zephrin6/signals/SignalTimestampSet.hpp>
#include <kvor/zephrin6/signals/StaticFeedforwardSignValue.hpp>
#include <kvor/zephrin6/signals/StatusSignal.hpp>

// Devices and the CAN bus
#include <kvor/zephrin6/hardware/DeviceIdentifier.hpp>
#include <kvor/zephrin6/hardware/ParentDevice.hpp>
#include <kvor/zephrin6/hardware/core/CoreAngulon.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>
#include <kvor/zephrin6/hardware/core/CoreDistix.hpp>
#include <kvor/zephrin6/hardware/core/CorePortis.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>
#include <kvor/zephrin6/core/CANBus.hpp>
#include <kvor/zephrin6/core/CANBusStatus.hpp>

// Simulation states
#include <kvor/zephrin6/sim/AngulonSimState.hpp>
#include <kvor/zephrin6/sim/Auklet2SimState.hpp>
#include <kvor/zephrin6/sim/ChassisReference.hpp>
#include <kvor/zephrin6/sim/DistixSimState.hpp>
#include <kvor/zephrin6/sim/PortisSimState.hpp>
#include <kvor/zephrin6/sim/RapaxQSimState.hpp>
#include <kvor/zephrin6/sim/RapaxWSimState.hpp>

// Configuration groups, device configurations and configurators
#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/AngulonConfigurator.hpp>
#include <kvor/zephrin6/configs/AudioConfigs.hpp>
#include <kvor/zephrin6/configs/Auklet2Configuration.hpp>
#include <kvor/zephrin6/configs/Auklet2Configurator.hpp>
#include <kvor/zephrin6/configs/Auklet2FeaturesConfigs.hpp>
#include <kvor/zephrin6/configs/ClosedLoopGeneralConfigs.hpp>
#include <kvor/zephrin6/configs/ClosedLoopRampsConfigs.hpp>
#include <kvor/zephrin6/configs/CommonRapaxConfigurator.hpp>
#include <kvor/zephrin6/configs/CurrentLimitsConfigs.hpp>
#include <kvor/zephrin6/configs/DifferentialConstantsConfigs.hpp>
#include <kvor/zephrin6/configs/DifferentialSensorsConfigs.hpp>
#include <kvor/zephrin6/configs/DigitalInputsConfigs.hpp>
#include <kvor/zephrin6/configs/DistixConfiguration.hpp>
#include <kvor/zephrin6/configs/DistixConfigurator.hpp>
#include <kvor/zephrin6/configs/ExternalFeedbackConfigs.hpp>
#include <kvor/zephrin6/configs/FeedbackConfigs.hpp>
#include <kvor/zephrin6/configs/FovParamsConfigs.hpp>
#include <kvor/zephrin6/configs/GyroTrimConfigs.hpp>
#include <kvor/zephrin6/configs/HardwareLimitSwitchConfigs.hpp>
#include <kvor/zephrin6/configs/KinetraConfigs.hpp>
#include <kvor/zephrin6/configs/MagnetSensorConfigs.hpp>
#include <kvor/zephrin6/configs/MotorOutputConfigs.hpp>
#include <kvor/zephrin6/configs/MountPoseConfigs.hpp>
#include <kvor/zephrin6/configs/OpenLoopRampsConfigs.hpp>
#include <kvor/zephrin6/configs/ParentConfiguration.hpp>
#include <kvor/zephrin6/configs/ParentConfigurator.hpp>
#include <kvor/zephrin6/configs/PortisConfiguration.hpp>
#include <kvor/zephrin6/configs/PortisConfigurator.hpp>
#include <kvor/zephrin6/configs/ProximityParamsConfigs.hpp>
#include <kvor/zephrin6/configs/PulseWidthConfigs.hpp>
#include <kvor/zephrin6/configs/QuadratureConfigs.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfigurator.hpp>
#include <kvor/zephrin6/configs/RapaxWConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxWConfigurator.hpp>
#include <kvor/zephrin6/configs/Slot0Configs.hpp>
#include <kvor/zephrin6/configs/Slot1Configs.hpp>
#include <kvor/zephrin6/configs/Slot2Configs.hpp>
#include <kvor/zephrin6/configs/SlotConfigs.hpp>
#include <kvor/zephrin6/configs/SoftwareLimitSwitchConfigs.hpp>
#include <kvor/zephrin6/configs/TorqueCurrentConfigs.hpp>
#include <kvor/zephrin6/configs/VoltageConfigs.hpp>

// Control requests and differential compounds
#include <kvor/zephrin6/controls/Controls.hpp>

// Differential mechanisms
#include <kvor/zephrin6/mechanisms/DifferentialMechanism.hpp>
#include <kvor/zephrin6/mechanisms/DifferentialMechanismBase.hpp>
#include <kvor/zephrin6/mechanisms/SimpleDifferentialMechanism.hpp>

// Swerve geometry, kinematics, estimation, control, modules, drivetrain and requests
#include <kvor/zephrin6/swerve/ChassisSpeeds.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SharedModuleSettings.hpp>
#include <kvor/zephrin6/swerve/SwerveDriveState.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrain.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrainConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModule.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstantsFactory.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>
#include <kvor/zephrin6/swerve/Transform2d.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/Twist2d.hpp>
#include <kvor/zephrin6/swerve/ZephrinPIDController.hpp>
#include <kvor/zephrin6/swerve/impl/ControlParameters.hpp>
#include <kvor/zephrin6/swerve/impl/ModuleRequest.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveOdometry.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivePoseEstimator.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveModuleImpl.hpp>
#include <kvor/zephrin6/swerve/impl/TimeInterpolatableBuffer.hpp>
#include <kvor/zephrin6/swerve/impl/VisionUpdate.hpp>
#include <kvor/zephrin6/swerve/requests/ApplyFieldSpeeds.hpp>
#include <kvor/zephrin6/swerve/requests/ApplyRobotSpeeds.hpp>
#include <kvor/zephrin6/swerve/requests/FieldCentric.hpp>
#include <kvor/zephrin6/swerve/requests/Idle.hpp>
#include <kvor/zephrin6/swerve/requests/ModuleCommandFields.hpp>
#include <kvor/zephrin6/swerve/requests/PointWheelsAt.hpp>
#include <kvor/zephrin6/swerve/requests/RobotCentric.hpp>
#include <kvor/zephrin6/swerve/requests/SpeedsFields.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveDriveBrake.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>
#include <kvor/zephrin6/swerve/requests/VelocityFields.hpp>
#include <kvor/zephrin6/swerve/sim/SimSwerveDrivetrain.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

// Signal logging, log replay and music
#include <kvor/zephrin6/core/Orchestra.hpp>
#include <kvor/zephrin6/core/SignalLogger.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>
