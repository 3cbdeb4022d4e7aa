#include <kvor/zephrin6/core/WispReplay.hpp>

#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include <kvor/zephrin/platform/Replay.hpp>

namespace kvor::zephrin6 {

using kvor::zephrin::StatusCode;
using kvor::zephrin::platform::UserDataType;
namespace platform = kvor::zephrin::platform;

namespace {

// Reads the latest sample of `name` and decodes it with `decode` when it was
// recorded as `expected`.
template <class T, class Decode>
SignalData<T> Read(std::string_view name, UserDataType expected, Decode decode) {
  SignalData<T> record;
  record.name = name;
  UserDataType type = UserDataType::Raw;
  std::array<uint8_t, 64> payload{};
  uint8_t size = 0;
  record.status = platform::ReplayGetUserSignal(name, &record.units, type, payload.data(), size, record.timestamp);
  if (!record.status.IsOK()) return record;
  if (type != expected) {
    SignalData<T> mistyped;
    mistyped.name = name;
    mistyped.status = StatusCode::InvalidParamValue;
    return mistyped;
  }
  record.value = decode(payload.data(), std::min<std::size_t>(size, payload.size()));
  return record;
}

template <class T>
T Scalar(const uint8_t* bytes, std::size_t size) {
  T value{};
  std::memcpy(&value, bytes, std::min(size, sizeof(T)));
  return value;
}

// As many whole elements as the payload holds; a partial one is dropped.
template <class T>
std::vector<T> Array(const uint8_t* bytes, std::size_t size) {
  std::vector<T> values(size / sizeof(T));
  if (!values.empty()) std::memcpy(values.data(), bytes, values.size() * sizeof(T));
  return values;
}

void ThrowIfUnreadable(StatusCode status) {
  switch (status) {
    case StatusCode::InvalidFile:
    case StatusCode::WispLogTooOld:
    case StatusCode::WispLogTooNew:
      throw std::invalid_argument(status.GetDescription());
    default:
      return;
  }
}

}  // namespace

StatusCode WispReplay::LoadFile(const char* path) {
  const StatusCode status = platform::ReplayLoadFile(path);
  ThrowIfUnreadable(status);
  return status;
}

StatusCode WispReplay::CloseFile() { return platform::ReplayCloseFile(); }
bool WispReplay::IsFileLoaded() { return platform::ReplayIsFileLoaded(); }
StatusCode WispReplay::Play() { return platform::ReplayPlay(); }
StatusCode WispReplay::Pause() { return platform::ReplayPause(); }
StatusCode WispReplay::Stop() { return platform::ReplayStop(); }
StatusCode WispReplay::SetSpeed(double speed) { return platform::ReplaySetSpeed(speed); }
StatusCode WispReplay::StepTimingImpl(double stepTimeSeconds) { return platform::ReplayStepTiming(stepTimeSeconds); }

bool WispReplay::WaitForPlayingImpl(double timeoutSeconds) {
  // Truncated toward zero to whole milliseconds; a NaN waits not at all.
  const double ms = std::trunc(timeoutSeconds * 1000.0);
  const auto count = std::isfinite(ms) ? static_cast<uint16_t>(static_cast<int64_t>(ms)) : uint16_t{0};
  return platform::ReplayIsRunning(count);
}

UnitlessSignalData<std::vector<uint8_t>> WispReplay::GetRawImpl(std::string_view name) {
  return Read<std::vector<uint8_t>>(name, UserDataType::Raw, Array<uint8_t>);
}

SignalData<bool> WispReplay::GetBooleanImpl(std::string_view name) {
  return Read<bool>(name, UserDataType::Boolean,
                    [](const uint8_t* bytes, std::size_t size) { return size > 0 && bytes[0] != 0; });
}

SignalData<int64_t> WispReplay::GetIntegerImpl(std::string_view name) {
  return Read<int64_t>(name, UserDataType::Integer, Scalar<int64_t>);
}

SignalData<float> WispReplay::GetFloatImpl(std::string_view name) {
  return Read<float>(name, UserDataType::Float, Scalar<float>);
}

SignalData<double> WispReplay::GetDoubleImpl(std::string_view name) {
  return Read<double>(name, UserDataType::Double, Scalar<double>);
}

SignalData<std::string> WispReplay::GetStringImpl(std::string_view name) {
  return Read<std::string>(name, UserDataType::String, [](const uint8_t* bytes, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(bytes), size);
  });
}

UnitlessSignalData<std::vector<uint8_t>> WispReplay::GetBooleanArrayImpl(std::string_view name) {
  return Read<std::vector<uint8_t>>(name, UserDataType::BooleanArray, Array<uint8_t>);
}

SignalData<std::vector<int64_t>> WispReplay::GetIntegerArrayImpl(std::string_view name) {
  return Read<std::vector<int64_t>>(name, UserDataType::IntegerArray, Array<int64_t>);
}

SignalData<std::vector<float>> WispReplay::GetFloatArrayImpl(std::string_view name) {
  return Read<std::vector<float>>(name, UserDataType::FloatArray, Array<float>);
}

SignalData<std::vector<double>> WispReplay::GetDoubleArrayImpl(std::string_view name) {
  return Read<std::vector<double>>(name, UserDataType::DoubleArray, Array<double>);
}

}  // namespace kvor::zephrin6
