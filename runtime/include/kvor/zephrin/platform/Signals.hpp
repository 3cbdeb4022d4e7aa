#pragma once

// Signal side of the device runtime: device keys, the latest frames of every
// device signal, their units and their update frequencies. The runtime owns
// the signal store; callers pass arrays they own and receive copies of the
// frames, except for units and name texts, which stay owned by the runtime
// for the life of the process. Every call is thread-safe; reads never
// allocate, and only a read asked to wait for an update blocks (on the
// runtime clock, up to its timeout).

#include <cstddef>
#include <cstdint>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::platform {

/// The runtime addresses a signal by one 64-bit key: the device hash in the
/// low 32 bits and the signal ID in the high 32 bits.
constexpr uint64_t MakeSignalKey(uint32_t deviceHash, uint16_t signalId) {
  return static_cast<uint64_t>(deviceHash) | (static_cast<uint64_t>(signalId) << 32);
}
/// The device hash part of a signal key.
constexpr uint32_t SignalKeyDeviceHash(uint64_t key) { return static_cast<uint32_t>(key); }
/// The signal ID part of a signal key.
constexpr uint16_t SignalKeySignalId(uint64_t key) { return static_cast<uint16_t>(key >> 32); }

/// One frame of one signal as the runtime hands it out: 56 bytes, laid out
/// exactly as below. Callers zero the record before a read; the runtime fills
/// every field it knows.
struct ZEPHRIN_RUNTIME_API SignalMeasurement {
  double value;            ///< offset 0: the value, in the signal's units
  uint16_t reportedId;     ///< offset 8: signal ID the device reported it under
  uint8_t reserved0[6];    ///< offset 10
  uint64_t reserved1;      ///< offset 16
  double bustrelTime;      ///< offset 24: bus adapter timestamp, seconds
  double systemTime;       ///< offset 32: time the runtime received it, seconds
  double deviceTime;       ///< offset 40: device timestamp, seconds; 0 when the device sent none
  int32_t status;          ///< offset 48: status of this signal (a StatusCode value)
  int32_t reserved2;       ///< offset 52
};
static_assert(sizeof(SignalMeasurement) == 56);
static_assert(offsetof(SignalMeasurement, reportedId) == 8);
static_assert(offsetof(SignalMeasurement, bustrelTime) == 24);
static_assert(offsetof(SignalMeasurement, systemTime) == 32);
static_assert(offsetof(SignalMeasurement, deviceTime) == 40);
static_assert(offsetof(SignalMeasurement, status) == 48);

/// Properties of a signal ID, filled by c_kvor_zephrin6_get_rets: 56 bytes.
/// The texts are owned by the runtime and live as long as the process.
struct ZEPHRIN_RUNTIME_API SignalProperties {
  const char* name;            ///< offset 0: signal name, e.g. "Velocity"
  double defaultFrequencyHz;   ///< offset 8: update frequency a device starts with, hertz
  const char* units;           ///< offset 16: units text, e.g. "turns/s"; "" for plain numbers
  const char* valueType;       ///< offset 24: catalogue value type, e.g. "turns_per_second"
  uint16_t primaryId;          ///< offset 32: for a mode-dependent ID, the signal's primary ID; else the ID itself
  uint8_t reportOnConstruction;///< offset 34: 1 when a failed first read is reported
  uint8_t reserved0[5];        ///< offset 35
  uint64_t reserved1[2];       ///< offset 40
};
static_assert(sizeof(SignalProperties) == 56);
static_assert(offsetof(SignalProperties, units) == 16);

/// Selector of c_kvor_zephrin6_get_rets asking for the units text. The
/// runtime fills the whole record whatever the selector; the selector only
/// tells which field the caller relies on.
constexpr int kSignalPropertyUnits = 3;

/// One entry of c_kvor_zephrin6_SetUpdateFrequencyForAll: 16 bytes.
struct ZEPHRIN_RUNTIME_API SignalFrequencyEntry {
  const char* network;  ///< bus name of the signal's device
  uint64_t key;         ///< signal key (see MakeSignalKey)
};
static_assert(sizeof(SignalFrequencyEntry) == 16);

}  // namespace kvor::zephrin::platform

namespace kvor::zephrin::platform {
/// Longest model text or bus name a device may have, bytes.
inline constexpr std::size_t kMaxDeviceTextLength = 255;
}  // namespace kvor::zephrin::platform

extern "C" {

/// Computes the stable 32-bit hash of a device (ID, model text, bus name) and
/// registers the device as present on that bus in simulation. The same three
/// values always give the same hash, in every process.
/// @param deviceId device ID on its bus.
/// @param model    model text, e.g. "rapax q"; null is treated as "";
///                 at most kMaxDeviceTextLength bytes.
/// @param network  bus name; null is treated as ""; at most
///                 kMaxDeviceTextLength bytes.
/// @param hash     receives the hash; must not be null.
/// @return 0; -1002 InvalidParamValue when `hash` is null; -10015 InvalidSize
///         (reported, hash still computed, device not registered) for a
///         model or bus name over the limit, which no log could record.
ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_encode_device(int deviceId, const char* model, const char* network, uint32_t* hash);

/// Reads the latest frame of `count` signals into `records`.
/// Without waiting every record gets the latest frame at once. With
/// `waitForUpdate` and a positive timeout the call returns as soon as every
/// key has a frame newer than at the call's start, or when `timeoutSeconds`
/// pass on the runtime clock; the stale keys then carry -1003 RxTimeout.
/// A waiting read of several keys on a bus that cannot synchronise signals
/// (classic CAN) fills the latest frames and answers -10002.
/// @param keys    `count` signal keys (see MakeSignalKey).
/// @param records `count` records; every byte of each is written (reserved
///                fields zeroed) unless keys or records is null.
/// @param network bus name of the signals; null is treated as "".
/// @return 0; -1003 RxTimeout when a key had no (new) frame; -10002
///         MultiSignalNotSupported; -1002 when keys or records is null.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_get_signal(size_t count, const uint64_t* keys,
                                                                 kvor::zephrin::platform::SignalMeasurement* records,
                                                                 const char* network, bool waitForUpdate,
                                                                 double timeoutSeconds);

/// Fills the properties of a signal ID (name, units, default frequency).
/// @param signalId   the signal ID.
/// @param selector   which property the caller needs (kSignalPropertyUnits).
/// @param properties a 56-byte record, zeroed by the caller.
/// @return 0, or -10012 SignalLookupFailed for an ID the runtime does not know
///         (the record is left untouched).
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_get_rets(uint16_t signalId, int selector,
                                                               kvor::zephrin::platform::SignalProperties* properties);

/// Sets the update frequency of one signal. 0 Hz stops the signal; other
/// values are limited to 4..1000 Hz, as on the devices.
/// @param context   reserved, pass 0.
/// @param frequencyHz requested frequency, hertz (negative: -1002).
/// @param timeoutSeconds how long the device may take to confirm, seconds.
/// @return 0; -1003 RxTimeout for a device that is absent or was never
///         encoded; -1002 InvalidParamValue for a negative frequency.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_SetUpdateFrequency(int context, const char* network,
                                                                         uint32_t deviceHash, uint16_t signalId,
                                                                         double frequencyHz, double timeoutSeconds);

/// Sets the update frequency of `count` signals (possibly of several devices)
/// at once; every entry is applied even when another one fails.
/// @return 0, or the first failure of an entry (see SetUpdateFrequency).
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_SetUpdateFrequencyForAll(
    int context, const kvor::zephrin::platform::SignalFrequencyEntry* entries, size_t count, double frequencyHz,
    double timeoutSeconds);

/// The frequency a signal currently publishes at, hertz (0 when stopped).
ZEPHRIN_RUNTIME_API double c_kvor_zephrin6_GetUpdateFrequency(const char* network, uint32_t deviceHash, uint16_t signalId);

/// Sets every signal of a device whose frequency the program never chose
/// to `optimizedFreqHz` (0 stops them), keeping the ones it chose.
/// @return 0, or -1003 RxTimeout for an absent device.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_OptimizeUpdateFrequencies(int context, const char* network,
                                                                                uint32_t deviceHash,
                                                                                double optimizedFreqHz,
                                                                                double timeoutSeconds);

/// Returns every signal of a device to its default frequency.
/// @return 0, or -1003 RxTimeout for an absent device.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_ResetUpdateFrequencies(int context, const char* network,
                                                                             uint32_t deviceHash,
                                                                             double timeoutSeconds);
}
