// A package assembled field by field in a test, independent of clockpack.
#pragma once

#include <cstring>

#include "base/fixed_text.h"
#include "package/package_records.h"
#include "test_support.h"

namespace dctest {

struct PackageParts {
  dc::TPackageHeader header{};
  dc::TDisplaySettings display{};
  dc::TAlertSettings alert{};
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
  p.display.Thick = 3;
  p.display.WordWidth = 17;
  p.display.WordHeight = 29;
  p.display.Space = 4;
  p.alert.Width = 329;
  p.alert.Height = 76;
  p.alert.Position = 3;
  dc::WriteFixedText(p.alert.SoundName, "chime.wav");
  return p;
}

}  // namespace dctest
