#pragma once

// The device runtime's music engine: orchestras that play a tune file on a
// group of motor controllers, one track per instrument. An orchestra is an
// instance inside the runtime addressed by a 16-bit handle from
// c_kvor_zephrin6_orchestra_Create; close it with ..._Close. A device is
// named by its bus name and 32-bit device hash. Playback runs on the
// runtime's clock and sends each instrument MusicTone control requests.
// Tune files and how tracks map to instruments: runtime/src/music/FORMAT.md.
//
// Every call returns at once (LoadMusic reads the file first) and is
// thread-safe. Unless a call says otherwise it returns 0, or -1002
// InvalidParamValue for a handle that is not open or a null argument.

#include <cstdint>

#include <kvor/zephrin/platform/Export.hpp>

extern "C" {

/// Opens an orchestra and writes its handle to `id` (never 0).
/// @return 0; -1002 for a null `id`; -1802 ResourceNotAvailable when 256
///         orchestras are open.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_Create(uint16_t* id);

/// Silences and closes an orchestra; the handle is free afterwards.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_Close(uint16_t id);

/// Adds the device as an instrument that takes the next track in adding order
/// (the k-th instrument added plays track k modulo the track count). Adding
/// a device again only changes its track.
/// @return 0; -1002 for a null or over-long (above 255 characters) bus name;
///         -1802 ResourceNotAvailable beyond 64 instruments.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_AddDevice(uint16_t id, const char* network,
                                                                          uint32_t deviceHash);

/// Adds the device as an instrument that plays `track` (silent when the music
/// has no such track). Statuses as AddDevice.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_AddDeviceWithTrack(uint16_t id, const char* network,
                                                                                   uint32_t deviceHash, uint16_t track);

/// Silences and removes every instrument; playback stops and rewinds.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_ClearDevices(uint16_t id);

/// Loads the tune file at `filepath`, stopping what played. A failed load
/// keeps the previous music.
/// @return 0; -1900 MusicFileNotFound; -1903 MusicFileInvalid; -1901
///         MusicFileWrongSize; -1905 MusicFileTooOld; -1902 MusicFileTooNew.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_LoadMusic(uint16_t id, const char* filepath);

/// Starts playing from the beginning, or resumes after a pause.
/// @return 0; -1904 InvalidOrchestraAction without music or instruments.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_Play(uint16_t id);

/// Pauses: silences the instruments and keeps the position.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_Pause(uint16_t id);

/// Stops: silences the instruments and rewinds to the beginning.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_Stop(uint16_t id);

/// Writes 1 to `isPlaying` while the orchestra plays, else 0 (also once the
/// music has ended). Writes nothing on failure.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_IsPlaying(uint16_t id, int* isPlaying);

/// Writes the position in the music, seconds (0 when stopped). Writes
/// nothing on failure.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_orchestra_GetCurrentTime(uint16_t id, double* timeSeconds);

}  // extern "C"
