#pragma once

// The two constants handles of the C interface. A handle is one block from
// the C allocator, so that its owner releases it with free (through the
// runtime's c_kvor_zephrin6_free_memory) whatever language the owner is
// written in; the records inside are constructed in place and own no other
// memory, so releasing the block without running their destructors loses
// nothing. Each block starts with a tag, so that a handle of the other kind
// (two integers a foreign caller can easily swap) is refused instead of
// misread; the module array also knows its length, so that an index or a
// module count beyond it is refused.
//
// Drivetrain constants view their bus name: either the caller's text (the C
// functions, as documented there) or a copy stored in the same block (for
// callers whose text does not outlive the call, like the JVM bindings).
//
// Not synchronised: a handle is filled by one thread before it is used.

#include <kvor/zephrin6/configs/AngulonConfiguration.hpp>
#include <kvor/zephrin6/configs/RapaxQConfiguration.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrainConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleConstants.hpp>
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

namespace kvor::zephrin6::cinterface {

/// The one module configuration every drivetrain of the C interface uses.
using CModuleConstants = swerve::SwerveModuleConstants<configs::RapaxQConfiguration, configs::RapaxQConfiguration,
                                                       configs::AngulonConfiguration>;

}  // namespace kvor::zephrin6::cinterface

struct _swerve_drivetrain_constants_t {
  std::uint32_t tag;
  kvor::zephrin6::swerve::SwerveDrivetrainConstants constants;
};

struct _swerve_module_constants_arr_t {
  std::uint32_t tag;
  std::size_t count;
  /// `count` records, in the same block.
  kvor::zephrin6::cinterface::CModuleConstants* records;
};

// free() runs no destructor, so nothing in a handle may need one: a
// configuration type that came to own memory (a string, a vector) would leak
// it with every released handle.
static_assert(std::is_trivially_destructible_v<kvor::zephrin6::cinterface::CModuleConstants>,
              "module constants are released with free: their configuration types must not need a destructor");
static_assert(std::is_trivially_destructible_v<_swerve_drivetrain_constants_t> &&
                  std::is_trivially_destructible_v<_swerve_module_constants_arr_t>,
              "constants handles are released with free: they must not need a destructor");

namespace kvor::zephrin6::cinterface {

/// New drivetrain constants viewing `name`, or, with `copyName`, a copy of
/// it kept in the handle. @return null when memory runs out.
_swerve_drivetrain_constants_t* NewDrivetrainConstants(std::string_view name, bool copyName, int auklet2Id);

/// The constants behind `handle`, or null for a null handle or one of the
/// other kind.
const swerve::SwerveDrivetrainConstants* DrivetrainConstantsOf(const _swerve_drivetrain_constants_t* handle) noexcept;

/// New array of `count` default module constants (every number zero, rapax q
/// motors). @return null when memory runs out or the size overflows.
_swerve_module_constants_arr_t* NewModuleConstants(std::size_t count);

/// Whether `handle` is module constants: not null and not of the other kind.
bool IsModuleConstants(const _swerve_module_constants_arr_t* handle) noexcept;

/// The records behind `handle`; empty for a null handle or one of the other
/// kind.
std::span<CModuleConstants> ModuleConstantsOf(const _swerve_module_constants_arr_t* handle) noexcept;

}  // namespace kvor::zephrin6::cinterface
