// Popups and sound for fired alarms.
#include "app/alarm_firing.win.h"

#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "base/win_text.win.h"
#include "ui/error_handler.h"

namespace dc {
namespace {

std::wstring Wide(const std::string& ansi) { return Utf8ToWide(AnsiToUtf8(ansi)); }

}  // namespace

AlarmFiring::AlarmFiring(HWND owner, notify::PopupConfig config, std::filesystem::path soundPath, TimeFormat format)
    : owner_(owner),
      config_(std::move(config)),
      soundPath_(std::move(soundPath)),
      format_(std::move(format)) {}

notify::SoundPlayer& AlarmFiring::Sound() {
  // Made at the first alarm, not at start-up: the clock shows sooner.
  if (!sound_) sound_ = std::make_unique<notify::SoundPlayer>();
  return *sound_;
}

AlarmFiring::~AlarmFiring() {
  popups_.clear();  // their close stops nothing: the sound goes next
  if (sound_) sound_->Close();
}

void AlarmFiring::Fire(const std::vector<Firing>& firings) {
  if (firings.empty()) return;
  std::vector<std::string> errors;
  StartSound(errors);
  for (const Firing& firing : firings) ShowPopup(firing);
  // Shown after the pass, so no box holds back the later popups.
  for (const std::string& e : errors) ui::ReportError(e);
}

void AlarmFiring::StartSound(std::vector<std::string>& errors) {
  if (soundPath_.empty() || !FileExists(soundPath_)) return;  // no sound: the popups show silently
  notify::SoundPlayer& sound = Sound();
  sound.FileName = soundPath_.native();
  try {
    sound.Open();
    sound.Play();
  } catch (const notify::SoundError& e) {
    errors.push_back("The alarm sound cannot be played: " + std::string(e.what()));
  }
}

void AlarmFiring::ShowPopup(const Firing& firing) {
  auto popup = std::make_unique<notify::AlarmPopup>(owner_);
  popup->OnClose = [this](notify::AlarmPopup&) { Sound().Close(); };
  popup->AutoFree = true;
  popup->freeAlert = [this](notify::AlarmPopup* done) {
    PostMessageW(owner_, kFreePopup, 0, reinterpret_cast<LPARAM>(done));
  };
  const AlarmRecord alarm = firing.alarm;
  popup->OnSnooze = [this, alarm](int minutes) {
    if (onSnooze) onSnooze(alarm, minutes);
  };
  popup->HeaderText = Wide(PopupHeaderOf(firing, format_));
  popup->MessageText = Wide(ReadFixedText(firing.alarm.ToDo));
  popup->Configure(config_);
  notify::AlarmPopup* shown = popup.get();
  popups_.push_back(std::move(popup));
  shown->ShowAlert();
}

void AlarmFiring::FreePopup(LPARAM lp) {
  auto* done = reinterpret_cast<notify::AlarmPopup*>(lp);
  std::erase_if(popups_, [done](const auto& p) { return p.get() == done; });
}

}  // namespace dc
