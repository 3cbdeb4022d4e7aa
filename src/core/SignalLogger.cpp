#include <kvor/zephrin6/core/SignalLogger.hpp>

#include <array>

#include <kvor/zephrin/platform/Logging.hpp>

namespace kvor::zephrin6 {

using kvor::zephrin::StatusCode;
using kvor::zephrin::platform::UserDataType;
namespace can = kvor::zephrin::platform::can;

namespace {

StatusCode Log(std::string_view name, std::string_view units, UserDataType type, const void* data, uint8_t size,
               double latencySeconds) {
  return can::CANComm_LogUserSignal(name, units, type, static_cast<const uint8_t*>(data), size, latencySeconds);
}

// Byte count of `count` elements as it crosses the runtime boundary (8 bits).
template <class T>
uint8_t ArrayBytes(uint8_t count) {
  return static_cast<uint8_t>(count * sizeof(T));
}

// Whether `count` elements of T fit the 8-bit byte count.
template <class T>
bool Fits(std::size_t count) {
  return count * sizeof(T) <= SignalLogger::kMaxPayloadBytes;
}

}  // namespace

StatusCode SignalLogger::SetPath(const char* path) { return can::CANComm_SetLoggerPath(path); }
StatusCode SignalLogger::Start() { return can::CANComm_StartLogger(); }
StatusCode SignalLogger::Stop() { return can::CANComm_StopLogger(); }

StatusCode SignalLogger::SetFlushPeriod(units::time::second_t period) {
  return can::CANComm_SetLoggerFlushPeriod(period.value());
}

StatusCode SignalLogger::EnableAutoLogging(bool enable) {
  return can::NetworkStateManager::GetInstance().GetLoggerManager().EnableAutoLogging(enable);
}

StatusCode SignalLogger::WriteRaw_Impl(std::string_view name, const uint8_t* data, uint8_t size,
                                       double latencySeconds) {
  if (size > kMaxRawBytes) return StatusCode::InvalidSize;
  return Log(name, "", UserDataType::Raw, data, size, latencySeconds);
}

StatusCode SignalLogger::WriteBoolean_Impl(std::string_view name, bool value, double latencySeconds) {
  const uint8_t byte = value ? 1 : 0;
  return Log(name, "", UserDataType::Boolean, &byte, 1, latencySeconds);
}

StatusCode SignalLogger::WriteInteger_Impl(std::string_view name, int64_t value, std::string_view units,
                                           double latencySeconds) {
  return Log(name, units, UserDataType::Integer, &value, sizeof value, latencySeconds);
}

StatusCode SignalLogger::WriteFloat_Impl(std::string_view name, float value, std::string_view units,
                                         double latencySeconds) {
  return Log(name, units, UserDataType::Float, &value, sizeof value, latencySeconds);
}

StatusCode SignalLogger::WriteDouble_Impl(std::string_view name, double value, std::string_view units,
                                          double latencySeconds) {
  return Log(name, units, UserDataType::Double, &value, sizeof value, latencySeconds);
}

StatusCode SignalLogger::WriteString_Impl(std::string_view name, std::string_view value, double latencySeconds) {
  return Log(name, "", UserDataType::String, value.data(), static_cast<uint8_t>(value.size()), latencySeconds);
}

StatusCode SignalLogger::WriteBooleanArray_Impl(std::string_view name, const uint8_t* values, uint8_t count,
                                                double latencySeconds) {
  return Log(name, "", UserDataType::BooleanArray, values, count, latencySeconds);
}

StatusCode SignalLogger::WriteIntegerArray_Impl(std::string_view name, const int64_t* values, uint8_t count,
                                                std::string_view units, double latencySeconds) {
  return Log(name, units, UserDataType::IntegerArray, values, ArrayBytes<int64_t>(count), latencySeconds);
}

StatusCode SignalLogger::WriteFloatArray_Impl(std::string_view name, const float* values, uint8_t count,
                                              std::string_view units, double latencySeconds) {
  return Log(name, units, UserDataType::FloatArray, values, ArrayBytes<float>(count), latencySeconds);
}

StatusCode SignalLogger::WriteDoubleArray_Impl(std::string_view name, const double* values, uint8_t count,
                                               std::string_view units, double latencySeconds) {
  return Log(name, units, UserDataType::DoubleArray, values, ArrayBytes<double>(count), latencySeconds);
}

StatusCode SignalLogger::WriteRaw(std::string_view name, std::span<const uint8_t> data, units::time::second_t latency) {
  if (data.size() > kMaxRawBytes) return StatusCode::InvalidSize;
  return WriteRaw_Impl(name, data.data(), static_cast<uint8_t>(data.size()), latency.value());
}

StatusCode SignalLogger::WriteBoolean(std::string_view name, bool value, units::time::second_t latency) {
  return WriteBoolean_Impl(name, value, latency.value());
}

StatusCode SignalLogger::WriteInteger(std::string_view name, int64_t value, std::string_view units,
                                      units::time::second_t latency) {
  return WriteInteger_Impl(name, value, units, latency.value());
}

StatusCode SignalLogger::WriteFloat(std::string_view name, float value, std::string_view units,
                                    units::time::second_t latency) {
  return WriteFloat_Impl(name, value, units, latency.value());
}

StatusCode SignalLogger::WriteDouble(std::string_view name, double value, std::string_view units,
                                     units::time::second_t latency) {
  return WriteDouble_Impl(name, value, units, latency.value());
}

StatusCode SignalLogger::WriteString(std::string_view name, std::string_view value, units::time::second_t latency) {
  if (!Fits<char>(value.size())) return StatusCode::InvalidSize;
  return WriteString_Impl(name, value, latency.value());
}

StatusCode SignalLogger::WriteBooleanArray(std::string_view name, std::span<const bool> values,
                                           units::time::second_t latency) {
  if (!Fits<uint8_t>(values.size())) return StatusCode::InvalidSize;
  // bool's object representation is not guaranteed to be one 0/1 byte, so
  // the bytes are made explicitly (on the stack: no allocation).
  std::array<uint8_t, kMaxPayloadBytes> bytes{};
  for (std::size_t i = 0; i < values.size(); ++i) bytes[i] = values[i] ? 1 : 0;
  return WriteBooleanArray_Impl(name, bytes.data(), static_cast<uint8_t>(values.size()), latency.value());
}

StatusCode SignalLogger::WriteIntegerArray(std::string_view name, std::span<const int64_t> values,
                                           std::string_view units, units::time::second_t latency) {
  if (!Fits<int64_t>(values.size())) return StatusCode::InvalidSize;
  return WriteIntegerArray_Impl(name, values.data(), static_cast<uint8_t>(values.size()), units, latency.value());
}

StatusCode SignalLogger::WriteFloatArray(std::string_view name, std::span<const float> values,
                                         std::string_view units, units::time::second_t latency) {
  if (!Fits<float>(values.size())) return StatusCode::InvalidSize;
  return WriteFloatArray_Impl(name, values.data(), static_cast<uint8_t>(values.size()), units, latency.value());
}

StatusCode SignalLogger::WriteDoubleArray(std::string_view name, std::span<const double> values,
                                          std::string_view units, units::time::second_t latency) {
  if (!Fits<double>(values.size())) return StatusCode::InvalidSize;
  return WriteDoubleArray_Impl(name, values.data(), static_cast<uint8_t>(values.size()), units, latency.value());
}

}  // namespace kvor::zephrin6
