#pragma once

// SwerveDrivetrainConstants describes what a swerve drivetrain has besides
// its modules: the CAN bus all its devices are on and the CAN ID of the
// auklet 2 that gives its heading. The bus name is a view of the caller's
// text, not a copy: the text must outlive these constants until the
// drivetrain is built (the drivetrain copies it). The Auklet2 configuration
// is carried for the program's own start-up code; the drivetrain does not
// apply it. A plain value with fluent With... setters; not synchronised.

#include <kvor/zephrin6/configs/Auklet2Configuration.hpp>

#include <cstdint>
#include <optional>
#include <string_view>

namespace kvor::zephrin6::swerve {

struct SwerveDrivetrainConstants {
  /// Name of the CAN bus of every device of the drivetrain ("" for the
  /// controller's own classic bus, any other name for a CAN FD bus).
  std::string_view CANBusName;
  /// CAN ID of the auklet 2.
  int32_t Auklet2Id = 0;
  /// Configuration for the auklet 2, when the program wants one applied.
  std::optional<configs::Auklet2Configuration> Auklet2Configs;

  /// Sets CANBusName (the text is not copied).
  SwerveDrivetrainConstants& WithCANBusName(std::string_view name) {
    CANBusName = name;
    return *this;
  }
  /// Sets Auklet2Id.
  SwerveDrivetrainConstants& WithAuklet2Id(int32_t id) {
    Auklet2Id = id;
    return *this;
  }
  /// Sets Auklet2Configs.
  SwerveDrivetrainConstants& WithAuklet2Configs(const configs::Auklet2Configuration& configs) {
    Auklet2Configs = configs;
    return *this;
  }
};

}  // namespace kvor::zephrin6::swerve
