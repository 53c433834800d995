// The records of the two files lie exactly as the file format lays them out:
// every field at its offset, checked while the tests compile. Their sizes
// are checked beside their definitions.
#include <cstddef>

#include "alarms/alarm_record.h"
#include "package/package_records.h"

using namespace dc;

static_assert(offsetof(ClockTrailer, PackageName) == 32);
static_assert(offsetof(PackageHeader, ClockName) == 5);
static_assert(offsetof(PackageHeader, Author) == 69);
static_assert(offsetof(PackageHeader, Email) == 101);
static_assert(offsetof(PackageHeader, Website) == 165);
static_assert(offsetof(PackageHeader, Reserved) == 229);
static_assert(offsetof(DisplaySettings, FaceLength) == 4);
static_assert(offsetof(DisplaySettings, FaceType) == 8);
static_assert(offsetof(DisplaySettings, KeyColor) == 16);
static_assert(offsetof(DisplaySettings, FaceLeft) == 20);
static_assert(offsetof(DisplaySettings, FaceTop) == 24);
static_assert(offsetof(DisplaySettings, FaceWidth) == 28);
static_assert(offsetof(DisplaySettings, FaceHeight) == 32);
static_assert(offsetof(DisplaySettings, LedLeft) == 36);
static_assert(offsetof(DisplaySettings, LedTop) == 40);
static_assert(offsetof(DisplaySettings, Opacity) == 44);
static_assert(offsetof(DisplaySettings, HideLed) == 46);
static_assert(offsetof(DisplaySettings, ShapeToPicture) == 47);
static_assert(offsetof(DisplaySettings, LedBackColor) == 48);
static_assert(offsetof(DisplaySettings, LedLightColor) == 52);
static_assert(offsetof(DisplaySettings, Thickness) == 56);
static_assert(offsetof(DisplaySettings, CellWidth) == 58);
static_assert(offsetof(DisplaySettings, CellHeight) == 60);
static_assert(offsetof(DisplaySettings, Gap) == 62);
static_assert(offsetof(DisplaySettings, MarginX) == 64);
static_assert(offsetof(DisplaySettings, MarginY) == 66);
static_assert(offsetof(FontRecord, Color) == 4);
static_assert(offsetof(FontRecord, Height) == 8);
static_assert(offsetof(FontRecord, Name) == 12);
static_assert(offsetof(FontRecord, Pitch) == 140);
static_assert(offsetof(FontRecord, Size) == 144);
static_assert(offsetof(FontRecord, Style) == 148);
static_assert(offsetof(PopupSettings, CaptionFrom) == 4);
static_assert(offsetof(PopupSettings, CaptionTo) == 8);
static_assert(offsetof(PopupSettings, WindowFrom) == 16);
static_assert(offsetof(PopupSettings, WindowTo) == 20);
static_assert(offsetof(PopupSettings, Font) == 24);
static_assert(offsetof(PopupSettings, HeaderFont) == 176);
static_assert(offsetof(PopupSettings, Timed) == 328);
static_assert(offsetof(PopupSettings, DisplaySeconds) == 332);
static_assert(offsetof(PopupSettings, Position) == 336);
static_assert(offsetof(PopupSettings, Left) == 340);
static_assert(offsetof(PopupSettings, Top) == 344);
static_assert(offsetof(PopupSettings, Width) == 348);
static_assert(offsetof(PopupSettings, Height) == 352);
static_assert(offsetof(PopupSettings, SoundName) == 356);
static_assert(offsetof(PopupSettings, SoundLength) == 392);
static_assert(offsetof(AlarmRecord, Time) == 4);
static_assert(offsetof(AlarmRecord, Date) == 12);
static_assert(offsetof(AlarmRecord, Weekday) == 20);
static_assert(offsetof(AlarmRecord, Title) == 22);
static_assert(offsetof(AlarmRecord, ToDo) == 86);
static_assert(offsetof(AlarmRecord, Pad342) == 342);
static_assert(offsetof(AlarmStoreHeader, Pad5) == 5);
static_assert(offsetof(AlarmStoreHeader, Count) == 6);
static_assert(offsetof(AlarmStoreHeader, AutoRun) == 8);
static_assert(offsetof(AlarmStoreHeader, StayOnTop) == 9);
