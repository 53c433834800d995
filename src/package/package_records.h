// The clock package trailer and the package's three records, exactly as they
// lie in the files: little-endian, nothing aligned. Colours are 0x00BBGGRR.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dc {

#pragma pack(push, 1)

// The last 64 bytes of the executable.
struct TClockTrailer {
  std::uint8_t Unused[32];
  char PackageName[32];
};

struct TPackageHeader {
  char Magic[5];  // "KVX", a zero byte, one byte not examined
  char ClockName[64];
  char Author[32];
  char Email[64];
  char Website[64];
  std::uint8_t Reserved;
};

struct TDisplaySettings {
  std::uint8_t Reserved0[4];
  std::uint32_t FaceLength;  // L1
  char FaceType[6];          // ".swf" (any case) for a Flash movie, else a picture
  std::uint8_t Pad14[2];
  std::uint32_t KeyColor;
  std::int32_t FaceLeft;
  std::int32_t FaceTop;
  std::int32_t FaceWidth;
  std::int32_t FaceHeight;
  std::int32_t LedLeft;
  std::int32_t LedTop;
  std::uint8_t Opacity;
  std::uint8_t Reserved45;
  std::uint8_t HideLed;
  std::uint8_t ShapeToPicture;
  std::uint32_t LedBackColor;
  std::uint32_t LedLightColor;
  std::uint16_t Thick;
  std::uint16_t WordWidth;
  std::uint16_t WordHeight;
  std::uint16_t Space;
  std::uint16_t OffSetX;
  std::uint16_t OffSetY;
};

struct TFontRecord {
  std::uint8_t Charset;
  std::uint8_t Pad1[3];
  std::uint32_t Color;
  std::int32_t Height;
  char Name[128];
  std::uint8_t Pitch;  // 0 default, 1 variable, 2 fixed
  std::uint8_t Pad141[3];
  std::int32_t Size;  // points
  std::uint8_t Style;  // 1 bold, 2 italic, 4 underline, 8 strike-out
  std::uint8_t Pad149[3];
};

struct TAlertSettings {
  std::uint8_t AlertStyle;  // 0 fade, 1 centre-grow
  std::uint8_t Pad1[3];
  std::uint32_t CaptionFrom;
  std::uint32_t CaptionTo;
  std::uint8_t Reserved12[4];
  std::uint32_t WindowFrom;
  std::uint32_t WindowTo;
  TFontRecord Font;
  TFontRecord HeaderFont;
  std::uint8_t Timed;
  std::uint8_t Pad329[3];
  std::int32_t DisplaySeconds;
  std::uint8_t Position;
  std::uint8_t Pad337[3];
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Width;
  std::int32_t Height;
  char SoundName[32];
  std::uint8_t Reserved388[4];
  std::uint32_t SoundLength;  // L2
};

#pragma pack(pop)

static_assert(sizeof(TClockTrailer) == 64);
static_assert(offsetof(TClockTrailer, PackageName) == 32);

static_assert(sizeof(TPackageHeader) == 230);
static_assert(offsetof(TPackageHeader, ClockName) == 5);
static_assert(offsetof(TPackageHeader, Author) == 69);
static_assert(offsetof(TPackageHeader, Email) == 101);
static_assert(offsetof(TPackageHeader, Website) == 165);
static_assert(offsetof(TPackageHeader, Reserved) == 229);

static_assert(sizeof(TDisplaySettings) == 68);
static_assert(offsetof(TDisplaySettings, FaceLength) == 4);
static_assert(offsetof(TDisplaySettings, FaceType) == 8);
static_assert(offsetof(TDisplaySettings, KeyColor) == 16);
static_assert(offsetof(TDisplaySettings, FaceLeft) == 20);
static_assert(offsetof(TDisplaySettings, FaceTop) == 24);
static_assert(offsetof(TDisplaySettings, FaceWidth) == 28);
static_assert(offsetof(TDisplaySettings, FaceHeight) == 32);
static_assert(offsetof(TDisplaySettings, LedLeft) == 36);
static_assert(offsetof(TDisplaySettings, LedTop) == 40);
static_assert(offsetof(TDisplaySettings, Opacity) == 44);
static_assert(offsetof(TDisplaySettings, HideLed) == 46);
static_assert(offsetof(TDisplaySettings, ShapeToPicture) == 47);
static_assert(offsetof(TDisplaySettings, LedBackColor) == 48);
static_assert(offsetof(TDisplaySettings, LedLightColor) == 52);
static_assert(offsetof(TDisplaySettings, Thick) == 56);
static_assert(offsetof(TDisplaySettings, WordWidth) == 58);
static_assert(offsetof(TDisplaySettings, WordHeight) == 60);
static_assert(offsetof(TDisplaySettings, Space) == 62);
static_assert(offsetof(TDisplaySettings, OffSetX) == 64);
static_assert(offsetof(TDisplaySettings, OffSetY) == 66);

static_assert(sizeof(TFontRecord) == 152);
static_assert(offsetof(TFontRecord, Color) == 4);
static_assert(offsetof(TFontRecord, Height) == 8);
static_assert(offsetof(TFontRecord, Name) == 12);
static_assert(offsetof(TFontRecord, Pitch) == 140);
static_assert(offsetof(TFontRecord, Size) == 144);
static_assert(offsetof(TFontRecord, Style) == 148);

static_assert(sizeof(TAlertSettings) == 396);
static_assert(offsetof(TAlertSettings, CaptionFrom) == 4);
static_assert(offsetof(TAlertSettings, CaptionTo) == 8);
static_assert(offsetof(TAlertSettings, WindowFrom) == 16);
static_assert(offsetof(TAlertSettings, WindowTo) == 20);
static_assert(offsetof(TAlertSettings, Font) == 24);
static_assert(offsetof(TAlertSettings, HeaderFont) == 176);
static_assert(offsetof(TAlertSettings, Timed) == 328);
static_assert(offsetof(TAlertSettings, DisplaySeconds) == 332);
static_assert(offsetof(TAlertSettings, Position) == 336);
static_assert(offsetof(TAlertSettings, Left) == 340);
static_assert(offsetof(TAlertSettings, Top) == 344);
static_assert(offsetof(TAlertSettings, Width) == 348);
static_assert(offsetof(TAlertSettings, Height) == 352);
static_assert(offsetof(TAlertSettings, SoundName) == 356);
static_assert(offsetof(TAlertSettings, SoundLength) == 392);

// Where the parts of a package lie in its file.
inline constexpr std::size_t kHeaderOffset = 0;
inline constexpr std::size_t kDisplayOffset = 230;
inline constexpr std::size_t kAlertOffset = 298;
inline constexpr std::size_t kPayloadOffset = 694;

}  // namespace dc
