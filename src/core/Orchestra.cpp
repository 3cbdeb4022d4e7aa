#include <kvor/zephrin6/core/Orchestra.hpp>

#include <kvor/zephrin/platform/Orchestra.hpp>
#include <kvor/zephrin6/hardware/ParentDevice.hpp>

namespace kvor::zephrin6 {

using kvor::zephrin::StatusCode;

Orchestra::Orchestra() {
  // The status is not reported: a runtime without music leaves id_ at 0 and
  // each later call says what is wrong.
  owns_ = c_kvor_zephrin6_orchestra_Create(&id_) == 0;
}

Orchestra::Orchestra(const char* filepath) : Orchestra() { constructionStatus_ = LoadMusic(filepath); }

Orchestra::Orchestra(std::initializer_list<std::reference_wrapper<const hardware::ParentDevice>> instruments,
                     const char* filepath)
    : Orchestra() {
  for (const hardware::ParentDevice& device : instruments) {
    const StatusCode status = AddInstrument(device);
    if (constructionStatus_.IsOK()) constructionStatus_ = status;
  }
  const StatusCode loaded = LoadMusic(filepath);
  if (constructionStatus_.IsOK()) constructionStatus_ = loaded;
}

Orchestra::~Orchestra() {
  // Closing an open handle cannot fail, and one the runtime no longer knows
  // (the runtime was reset) has nothing left to close.
  if (owns_) static_cast<void>(c_kvor_zephrin6_orchestra_Close(id_));
}

Orchestra::Orchestra(Orchestra&& other) noexcept
    : id_{other.id_}, owns_{other.owns_}, constructionStatus_{other.constructionStatus_} {
  other.id_ = 0;
  other.owns_ = false;
}

Orchestra& Orchestra::operator=(Orchestra&& other) noexcept {
  if (this != &other) {
    if (owns_) static_cast<void>(c_kvor_zephrin6_orchestra_Close(id_));  // as in the destructor
    id_ = other.id_;
    owns_ = other.owns_;
    constructionStatus_ = other.constructionStatus_;
    other.id_ = 0;
    other.owns_ = false;
  }
  return *this;
}

StatusCode Orchestra::AddInstrument(const hardware::ParentDevice& device) {
  return c_kvor_zephrin6_orchestra_AddDevice(id_, device.GetNetwork().c_str(), device.GetDeviceHash());
}

StatusCode Orchestra::AddInstrument(const hardware::ParentDevice& device, uint16_t track) {
  return c_kvor_zephrin6_orchestra_AddDeviceWithTrack(id_, device.GetNetwork().c_str(), device.GetDeviceHash(),
                                                      track);
}

StatusCode Orchestra::ClearInstruments() { return c_kvor_zephrin6_orchestra_ClearDevices(id_); }

StatusCode Orchestra::LoadMusic(const char* filepath) { return c_kvor_zephrin6_orchestra_LoadMusic(id_, filepath); }

StatusCode Orchestra::Play() { return c_kvor_zephrin6_orchestra_Play(id_); }

StatusCode Orchestra::Pause() { return c_kvor_zephrin6_orchestra_Pause(id_); }

StatusCode Orchestra::Stop() { return c_kvor_zephrin6_orchestra_Stop(id_); }

bool Orchestra::IsPlaying() const {
  // A failed call writes nothing, leaving the documented false.
  int playing = 0;
  static_cast<void>(c_kvor_zephrin6_orchestra_IsPlaying(id_, &playing));
  return playing != 0;
}

double Orchestra::GetCurrentTime() const {
  // A failed call writes nothing, leaving the documented 0.
  double time = 0.0;
  static_cast<void>(c_kvor_zephrin6_orchestra_GetCurrentTime(id_, &time));
  return time;
}

}  // namespace kvor::zephrin6
