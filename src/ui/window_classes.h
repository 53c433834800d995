// The program's window class names. The system, accessibility tools and
// other programs see them, and the tests find the program's windows by
// them. A second start of the clock finds the running one by a property of
// its window, not by its class.
#pragma once

namespace dc::ui {

inline constexpr wchar_t kClockClass[] = L"DeskClock.Clock";
inline constexpr wchar_t kLedDisplayClass[] = L"DeskClock.LedDisplay";
inline constexpr wchar_t kFaceClass[] = L"DeskClock.Face";
inline constexpr wchar_t kFlashFaceClass[] = L"DeskClock.FlashFace";
inline constexpr wchar_t kAboutClass[] = L"DeskClock.About";
inline constexpr wchar_t kAlarmListClass[] = L"DeskClock.AlarmList";
inline constexpr wchar_t kAlarmEditorClass[] = L"DeskClock.AlarmEditor";
inline constexpr wchar_t kPopupClass[] = L"DeskClock.Popup";
inline constexpr wchar_t kTrayClass[] = L"DeskClock.Tray";
inline constexpr wchar_t kSoundClass[] = L"DeskClock.Sound";
inline constexpr wchar_t kErrorsClass[] = L"DeskClock.Errors";

}  // namespace dc::ui
