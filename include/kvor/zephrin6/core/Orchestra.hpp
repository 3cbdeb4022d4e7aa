#pragma once

// Orchestra plays a tune file on a group of motor controllers, each motor an
// instrument that sounds one track of the music. The playback engine is the
// device runtime's: an Orchestra owns one runtime orchestra instance,
// identified by a 16-bit handle, for its lifetime and forwards every
// operation to it, so which instruments play, which music is loaded and
// whether it plays all live in the runtime.
//
// Ownership: move-only. The object that owns the handle closes it when it
// is destroyed; copying would leave two objects closing one handle, so it is
// not allowed, and a moved-from orchestra owns nothing (its operations fail
// like those of an orchestra the runtime does not know). Hold it where it
// lives as long as the music should play; destroying it stops the music.
//
// Thread safety: no lock of its own; the runtime serialises calls on its
// instances, so several threads may call one Orchestra, but moving it while
// another thread uses it is a data race.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace kvor::zephrin6::hardware {
class ParentDevice;
}  // namespace kvor::zephrin6::hardware

namespace kvor::zephrin6 {

class ZEPHRIN6_API Orchestra {
 public:
  /// Opens a runtime orchestra with no instruments and no music. A failure
  /// to open is not reported; every later operation then fails with the
  /// runtime's status.
  Orchestra();
  /// Opens a runtime orchestra and loads the music file at `filepath` at
  /// once; GetConstructionStatus tells whether the load worked.
  explicit Orchestra(const char* filepath);
  /// Opens a runtime orchestra, adds `instruments` in order (each takes the
  /// next track) and loads the music file at `filepath`. The devices are
  /// only read; they need not outlive the orchestra.
  Orchestra(std::initializer_list<std::reference_wrapper<const hardware::ParentDevice>> instruments,
            const char* filepath);
  /// Closes the runtime orchestra (when this object owns it), which stops the music.
  ~Orchestra();

  Orchestra(const Orchestra&) = delete;
  Orchestra& operator=(const Orchestra&) = delete;
  /// Takes over `other`'s runtime orchestra; `other` owns nothing afterwards.
  Orchestra(Orchestra&& other) noexcept;
  /// Closes this object's runtime orchestra, then takes over `other`'s.
  Orchestra& operator=(Orchestra&& other) noexcept;

  /// Adds `device` as an instrument playing the next track in adding order.
  /// @return the runtime's status (-1802 ResourceNotAvailable beyond 64 instruments).
  [[nodiscard]] kvor::zephrin::StatusCode AddInstrument(const hardware::ParentDevice& device);
  /// Adds `device` as an instrument playing `track` (silent when the music has
  /// no such track). @return the runtime's status.
  [[nodiscard]] kvor::zephrin::StatusCode AddInstrument(const hardware::ParentDevice& device, uint16_t track);
  /// Removes every instrument; the music stops. @return the runtime's status.
  [[nodiscard]] kvor::zephrin::StatusCode ClearInstruments();
  /// Loads the music file at `filepath`, stopping what plays; on failure the
  /// previous music stays. @return the runtime's status: -1900
  /// MusicFileNotFound, -1903 MusicFileInvalid, -1901 MusicFileWrongSize,
  /// -1905 MusicFileTooOld, -1902 MusicFileTooNew.
  [[nodiscard]] kvor::zephrin::StatusCode LoadMusic(const char* filepath);
  /// Plays from the start, or resumes after Pause. @return the runtime's
  /// status (-1904 InvalidOrchestraAction without music or instruments).
  [[nodiscard]] kvor::zephrin::StatusCode Play();
  /// Pauses, keeping the position. @return the runtime's status.
  [[nodiscard]] kvor::zephrin::StatusCode Pause();
  /// Stops and rewinds to the start. @return the runtime's status.
  [[nodiscard]] kvor::zephrin::StatusCode Stop();
  /// Whether the music is playing; false when the runtime cannot say.
  bool IsPlaying() const;
  /// The position in the music, seconds; 0 when stopped or when the runtime cannot say.
  double GetCurrentTime() const;

  /// What the constructor's own work returned: the first failure among its
  /// instrument adds and its music load, or OK (always OK for the default
  /// constructor).
  kvor::zephrin::StatusCode GetConstructionStatus() const noexcept { return constructionStatus_; }

 private:
  uint16_t id_ = 0;
  bool owns_ = false;
  kvor::zephrin::StatusCode constructionStatus_ = kvor::zephrin::StatusCode::OK;
};

}  // namespace kvor::zephrin6
