#include "cinterface/internal/ConstantsHandles.hpp"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace kvor::zephrin6::cinterface {

namespace {

// Arbitrary, distinct, and unlikely as the first bytes of anything else.
constexpr std::uint32_t kDrivetrainTag = 0x5a44'5443;  // "ZDTC"
constexpr std::uint32_t kModulesTag = 0x5a4d'4f44;     // "ZMOD"

constexpr std::size_t RoundUp(std::size_t size, std::size_t alignment) {
  return (size + alignment - 1) / alignment * alignment;
}

}  // namespace

_swerve_drivetrain_constants_t* NewDrivetrainConstants(std::string_view name, bool copyName, int auklet2Id) {
  const std::size_t nameBytes = copyName ? name.size() + 1 : 0;
  if (nameBytes > std::numeric_limits<std::size_t>::max() - sizeof(_swerve_drivetrain_constants_t)) return nullptr;
  void* block = std::calloc(1, sizeof(_swerve_drivetrain_constants_t) + nameBytes);
  if (block == nullptr) return nullptr;
  auto* handle = new (block) _swerve_drivetrain_constants_t{kDrivetrainTag, {}};
  if (copyName) {
    char* copy = reinterpret_cast<char*>(handle + 1);
    if (!name.empty()) std::memcpy(copy, name.data(), name.size());
    name = std::string_view(copy, name.size());
  }
  handle->constants.CANBusName = name;
  handle->constants.Auklet2Id = auklet2Id;
  return handle;
}

const swerve::SwerveDrivetrainConstants* DrivetrainConstantsOf(const _swerve_drivetrain_constants_t* handle) noexcept {
  if (handle == nullptr || handle->tag != kDrivetrainTag) return nullptr;
  return &handle->constants;
}

_swerve_module_constants_arr_t* NewModuleConstants(std::size_t count) {
  const std::size_t offset = RoundUp(sizeof(_swerve_module_constants_arr_t), alignof(CModuleConstants));
  if (count > (std::numeric_limits<std::size_t>::max() - offset) / sizeof(CModuleConstants)) return nullptr;
  void* block = std::calloc(1, offset + count * sizeof(CModuleConstants));
  if (block == nullptr) return nullptr;
  auto* records = reinterpret_cast<CModuleConstants*>(static_cast<unsigned char*>(block) + offset);
  for (std::size_t i = 0; i < count; ++i) new (records + i) CModuleConstants();
  return new (block) _swerve_module_constants_arr_t{kModulesTag, count, records};
}

bool IsModuleConstants(const _swerve_module_constants_arr_t* handle) noexcept {
  return handle != nullptr && handle->tag == kModulesTag;
}

std::span<CModuleConstants> ModuleConstantsOf(const _swerve_module_constants_arr_t* handle) noexcept {
  if (!IsModuleConstants(handle)) return {};
  return {handle->records, handle->count};
}

}  // namespace kvor::zephrin6::cinterface
