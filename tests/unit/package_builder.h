// A package assembled field by field in a test, independent of clockpack.
#pragma once

#include <cstring>

#include <filesystem>

#include "app/package_startup.h"
#include "base/fixed_text.h"
#include "package/clock_package.h"
#include "package/package_records.h"
#include "test_support.h"

namespace dctest {

struct PackageParts {
  dc::PackageHeader header{};
  dc::DisplaySettings display{};
  dc::PopupSettings alert{};
  dctest::Bytes face, sound;

  dctest::Bytes Bytes() {
    display.FaceLength = static_cast<std::uint32_t>(face.size());
    alert.SoundLength = static_cast<std::uint32_t>(sound.size());
    return Concat({BytesOf(header), BytesOf(display), BytesOf(alert), face, sound});
  }
};

inline PackageParts DemoParts() {
  PackageParts p;
  std::memcpy(p.header.Magic, "KVX", 3);
  dc::WriteFixedText(p.header.ClockName, "Test Clock");
  dc::WriteFixedText(p.header.Author, "Tester");
  std::memcpy(p.display.FaceType, ".bmp", 4);
  p.display.KeyColor = 0x00FF00FF;
  p.display.FaceWidth = 131;
  p.display.FaceHeight = 112;
  p.display.LedLeft = 56;
  p.display.Opacity = 200;
  p.display.LedBackColor = 0;
  p.display.LedLightColor = 0x0000FFF7;
  p.display.Thickness = 3;
  p.display.CellWidth = 17;
  p.display.CellHeight = 29;
  p.display.Gap = 4;
  p.alert.Width = 329;
  p.alert.Height = 76;
  p.alert.Position = 3;
  dc::WriteFixedText(p.alert.SoundName, "chime.wav");
  return p;
}

// A machine where the executable's folder can be written.
inline dc::StartupEnvironment WritableFolder() {
  return {[](const std::filesystem::path&) { return true; }, "C:\\AppData", "C:\\LocalAppData"};
}

// A fake player in `dir`: some code bytes and the trailer naming `package`.
inline std::filesystem::path MakePlayer(const std::filesystem::path& dir, const std::string& package) {
  dctest::Bytes exe = {'M', 'Z'};
  exe.resize(4096, 0xCC);
  dctest::Bytes t = BytesOf(dc::MakeTrailer(package));
  exe.insert(exe.end(), t.begin(), t.end());
  WriteBytes(dir / "DeskClock.exe", exe);
  return dir / "DeskClock.exe";
}

// A 24-bit BMP file from top-down colour values (0x00BBGGRR).
inline dctest::Bytes Bmp24(int w, int h, const std::vector<std::uint32_t>& colours) {
  const int stride = (w * 3 + 3) & ~3;
  dctest::Bytes b(54 + static_cast<std::size_t>(stride) * h, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t c = colours[static_cast<std::size_t>(y) * w + x];
      std::uint8_t* p = b.data() + 54 + static_cast<std::size_t>(h - 1 - y) * stride + x * 3;
      p[0] = static_cast<std::uint8_t>(c >> 16);  // blue
      p[1] = static_cast<std::uint8_t>(c >> 8);
      p[2] = static_cast<std::uint8_t>(c);  // red
    }
  return b;
}

}  // namespace dctest
