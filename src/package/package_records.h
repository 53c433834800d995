// The clock package trailer and the package's three records (header,
// display settings, popup settings), exactly as they
// lie in the files: little-endian, nothing aligned. Colours are 0x00BBGGRR.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dc {

#pragma pack(push, 1)

// The last 64 bytes of the executable.
struct ClockTrailer {
  std::uint8_t Unused[32];
  char PackageName[32];
};

struct PackageHeader {
  char Magic[5];  // "KVX", a zero byte, one byte not examined
  char ClockName[64];
  char Author[32];
  char Email[64];
  char Website[64];
  std::uint8_t Reserved;
};

struct DisplaySettings {
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
  std::uint16_t Thickness;
  std::uint16_t CellWidth;
  std::uint16_t CellHeight;
  std::uint16_t Gap;
  std::uint16_t MarginX;
  std::uint16_t MarginY;
};

struct FontRecord {
  std::uint8_t Charset, Pad1[3];
  std::uint32_t Color;
  std::int32_t Height;
  char Name[128];
  std::uint8_t Pitch, Pad141[3];  // 0 default, 1 variable, 2 fixed
  std::int32_t Size;  // points
  std::uint8_t Style, Pad149[3];  // 1 bold, 2 italic, 4 underline, 8 strike-out
};

struct PopupSettings {
  std::uint8_t Style, Pad1[3];  // 0 fade, 1 centre-grow
  std::uint32_t CaptionFrom;
  std::uint32_t CaptionTo;
  std::uint8_t Reserved12[4];
  std::uint32_t WindowFrom;
  std::uint32_t WindowTo;
  FontRecord Font;
  FontRecord HeaderFont;
  std::uint8_t Timed, Pad329[3];
  std::int32_t DisplaySeconds;
  std::uint8_t Position, Pad337[3];
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Width;
  std::int32_t Height;
  char SoundName[32];
  std::uint8_t Reserved388[4];
  std::uint32_t SoundLength;  // L2
};

#pragma pack(pop)

// Each record's size; the offset of every field is checked by the unit
// tests (record_layout_test.cpp) against the file format's tables.
static_assert(sizeof(ClockTrailer) == 64);
static_assert(sizeof(PackageHeader) == 230);
static_assert(sizeof(DisplaySettings) == 68);
static_assert(sizeof(FontRecord) == 152);
static_assert(sizeof(PopupSettings) == 396);

// Where the parts of a package lie in its file.
inline constexpr std::size_t kHeaderOffset = 0;
inline constexpr std::size_t kDisplayOffset = 230;
inline constexpr std::size_t kPopupOffset = 298;
inline constexpr std::size_t kPayloadOffset = 694;
static_assert(kPayloadOffset == sizeof(PackageHeader) + sizeof(DisplaySettings) + sizeof(PopupSettings));

}  // namespace dc
