#pragma once

// What the JVM bindings need from the C interface beyond its exported
// functions. Java arrays carry their own lengths, which need not match a
// drivetrain's module count, so the bindings ask for the count and copy
// states into buffers of a size they choose; a Java bus name does not
// outlive the call that passes it, so its constants keep a copy; and a JVM
// that exits must have every odometry thread out of Java before it halts.
// Same threading rules as the exported functions.

#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <cstddef>
#include <string_view>

namespace kvor::zephrin6::cinterface {

/// Drivetrain constants holding their own copy of `canBusName`; released
/// like those of c_kvor_zephrin6_swerve_create_drivetrain_constants.
/// @return the handle, or null when memory runs out.
_swerve_drivetrain_constants_t* CreateDrivetrainConstantsCopyingName(std::string_view canBusName, int auklet2Id);

/// The module count of drivetrain `id`, or 0 for an unknown ID.
std::size_t ModuleCount(int id);

/// As c_kvor_zephrin6_swerve_drivetrain_get_state, writing at most
/// `capacity` entries through each array pointer.
/// @return whether drivetrain `id` exists.
bool GetState(int id, _swerve_drive_state_t& out, std::size_t capacity);

/// Begins the process exit for the C interface: no callback runs any more,
/// no drivetrain is created or started, and every odometry thread is stopped,
/// waiting half a second at most (see DrivetrainRegistry). The drivetrains
/// are not destroyed. Only the first call does anything.
void StopAllForExit();

/// Drivetrains in the registry now, for tests that check what is kept.
std::size_t LiveDrivetrains();

}  // namespace kvor::zephrin6::cinterface
