// What makes a package unusable, and which sound file names may be written.
#include <array>
#include <cstring>

#include "base/file_io.h"
#include "base/fixed_text.h"
#include "package/clock_package.h"
#include "package/face_bitmap.h"

namespace dc {
namespace {

struct Measure {
  const char* what;
  std::int64_t value;
};

std::string CheckMeasures(std::initializer_list<Measure> list) {
  for (const Measure& m : list) {
    if (m.value < 0 || m.value > kMaxPixels) {
      return std::string("its ") + m.what + " is " + std::to_string(m.value) +
             " pixels (allowed: 0 to " + std::to_string(kMaxPixels) + ")";
    }
  }
  return {};
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return out;
}

std::string_view TrimTrailingDotsAndSpaces(std::string_view s) {
  while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.remove_suffix(1);
  return s;
}

bool IsDeviceName(std::string_view name) {
  std::string base = AsciiLower(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static constexpr std::array<const char*, 4> kPlain = {"con", "prn", "aux", "nul"};
  for (const char* d : kPlain)
    if (base == d) return true;
  return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) && base[3] >= '1' &&
         base[3] <= '9';
}

}  // namespace

std::string FindPackageDamage(const ClockPackage& package) {
  if (!package.HasMagic()) return "it does not begin with the clock package mark \"KVX\"";
  const DisplaySettings& d = package.Display();
  const PopupSettings& p = package.Popup();
  std::string why = CheckMeasures({{"face left", d.FaceLeft},
                                   {"face top", d.FaceTop},
                                   {"face width", d.FaceWidth},
                                   {"face height", d.FaceHeight},
                                   {"popup width", p.Width},
                                   {"popup height", p.Height}});
  if (!why.empty()) return why;
  if (!package.IsFlashFace() && !package.FaceData().empty()) {
    if (std::string bitmap = CheckFaceBitmap(package.FaceData()); !bitmap.empty())
      return "its face picture cannot be shown: " + bitmap;
  }
  if (d.HideLed) return {};
  // The digits' own measures matter only when they are shown.
  return CheckMeasures({{"LED left", d.LedLeft},
                        {"LED top", d.LedTop},
                        {"LED segment thickness", d.Thickness},
                        {"LED digit width", d.CellWidth},
                        {"LED digit height", d.CellHeight},
                        {"LED digit gap", d.Gap},
                        {"LED left margin", d.MarginX},
                        {"LED top margin", d.MarginY}});
}

std::string CheckSoundFileName(std::string_view name, std::span<const std::string> ownFiles) {
  std::string_view trimmed = TrimTrailingDotsAndSpaces(name);
  if (trimmed.empty()) return "the name is empty";
  for (char c : trimmed) {
    auto b = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\') return "a sound file name may not hold a folder";
    if (c == ':') return "a sound file name may not hold \":\"";
    if (b < 0x20 || std::strchr("<>\"|?*", c)) return "the name holds a character file names cannot hold";
  }
  if (trimmed.find("..") != std::string_view::npos) return "a sound file name may not hold \"..\"";
  if (IsDeviceName(trimmed)) return "the name is a device name";
  std::string lower = AsciiLower(trimmed);
  for (const std::string& own : ownFiles) {
    if (lower == AsciiLower(TrimTrailingDotsAndSpaces(own)))
      return "the name is that of the clock's own file \"" + own + "\"";
  }
  return {};
}

std::string TrailerNameOf(std::span<const std::uint8_t> tail) {
  ClockTrailer trailer;
  if (tail.size() < sizeof trailer) return {};
  std::memcpy(&trailer, tail.data() + tail.size() - sizeof trailer, sizeof trailer);
  return ReadFixedText(trailer.PackageName);
}

std::string ReadTrailerName(const std::filesystem::path& exe) {
  InputFile file(exe);
  const std::uint64_t size = file.Size();
  std::uint8_t tail[sizeof(ClockTrailer)];
  if (size < sizeof tail) return {};
  file.Seek(size - sizeof tail);
  if (file.Read(tail, sizeof tail) != sizeof tail) throw FileError(kStreamReadError);
  return TrailerNameOf(tail);
}

ClockTrailer MakeTrailer(std::string_view packageName) {
  ClockTrailer trailer;
  std::memset(&trailer, 0, sizeof trailer);
  WriteFixedText(trailer.PackageName, packageName);
  return trailer;
}

}  // namespace dc
