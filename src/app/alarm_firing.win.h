// Firing alarms: a popup for each alarm of a pass, styled by the package,
// and the package's sound, started once for the pass. Closing any popup
// stops the sound. A popup's snooze menu hands the alarm back to be rung
// again later.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "alarms/alarm_scheduler.h"
#include "base/time_text.h"
#include "notify/alarm_popup.win.h"
#include "notify/popup_config.h"
#include "notify/sound_player.win.h"

namespace dc {

class AlarmFiring {
 public:
  // The message the owner receives when a closed popup may be freed.
  static constexpr UINT kFreePopup = WM_APP + 10;

  AlarmFiring(HWND owner, notify::PopupConfig config, std::filesystem::path soundPath, TimeFormat format);
  ~AlarmFiring();

  // Shows a popup for each firing, in order, the sound started first. A
  // sound the platform cannot play leaves the popups silent; its error is
  // shown once, after the pass.
  void Fire(const std::vector<Firing>& firings);
  // The user changed the locale's time format: later headers follow it.
  void SetTimeFormat(TimeFormat format) { format_ = std::move(format); }
  // Called with the owner's kFreePopup message.
  void FreePopup(LPARAM popup);
  // A snooze chosen on a popup: the alarm and the minutes.
  std::function<void(const AlarmRecord&, int minutes)> onSnooze;

  std::size_t OpenPopups() const { return popups_.size(); }
  notify::AlarmPopup* Popup(std::size_t i) { return popups_[i].get(); }
  notify::SoundPlayer& Sound();
  const std::filesystem::path& SoundPath() const { return soundPath_; }

 private:
  void StartSound(std::vector<std::string>& errors);
  void ShowPopup(const Firing& firing);

  HWND owner_;
  notify::PopupConfig config_;
  std::filesystem::path soundPath_;
  TimeFormat format_;
  std::unique_ptr<notify::SoundPlayer> sound_;
  std::vector<std::unique_ptr<notify::AlarmPopup>> popups_;
};

}  // namespace dc
