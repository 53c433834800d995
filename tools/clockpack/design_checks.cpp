// Each check reads the records as the player will, and says in the
// designer's terms (the manifest's field names) what will happen.
#include "design_checks.h"

#include <algorithm>
#include <cstdio>

#include "layout/led_setup.h"
#include "layout/clock_layout.h"
#include "base/ansi_text.h"
#include "base/fixed_text.h"
#include "manifest.h"
#include "notify/tray_text.h"
#include "player_view.h"
#include "sound_format.h"

namespace clockpack {
namespace {

std::string N(std::int64_t v) { return std::to_string(v); }

std::string Percent(std::uint64_t part, std::uint64_t whole) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
  return buf;
}

void CheckLedSizes(const DesignFacts& f, std::vector<std::string>& out) {
  const dc::DisplaySettings& d = f.display;
  const LedAsShown led = LedAsThePlayerShowsIt(d);
  if (led.wordWidth != d.CellWidth) {
    out.push_back("led.wordWidth: " + N(d.CellWidth) + " is not more than 2 x the thickness " +
                  N(dc::kDesignLedThickness) + " the digits have when the width is set; the player ignores it and " +
                  "uses " + N(led.wordWidth) + ". Give a wordWidth above " + N(2 * dc::kDesignLedThickness) + ".");
  }
  if (led.wordHeight == d.CellHeight + 1) {
    out.push_back("led.wordHeight: " + N(d.CellHeight) + " is even; the player raises it to " + N(led.wordHeight) +
                  ". Give an odd wordHeight.");
  } else if (led.wordHeight != d.CellHeight) {
    out.push_back("led.wordHeight: " + N(d.CellHeight) + " is less than 4 x the thickness " +
                  N(dc::kDesignLedThickness) + " the digits have when the height is set; the player ignores it " +
                  "and uses " + N(led.wordHeight) + ". Give a wordHeight of at least " +
                  N(4 * dc::kDesignLedThickness) + ".");
  }
  if (led.thick != d.Thickness) {
    const std::int64_t fits = std::min<std::int64_t>((led.wordWidth - 1) / 2, led.wordHeight / 4);
    out.push_back("led.thick: " + N(d.Thickness) + " does not fit cells of " + N(led.wordWidth) + " x " +
                  N(led.wordHeight) + " (2 x thick must be less than the width, 4 x thick at most the height); " +
                  "the player ignores it and draws thickness " + N(led.thick) + ". Give a thick of at most " +
                  N(fits) + ", or larger cells.");
  }
}

void CheckLedPlace(const DesignFacts& f, std::vector<std::string>& out) {
  const dc::DisplaySettings& d = f.display;
  if (d.HideLed || d.FaceWidth <= 0 || d.FaceHeight <= 0) return;
  const BlockSize block = DigitBlock(LedAsThePlayerShowsIt(d), kWidestTimeCells);
  // Where the window's start-up puts the face and the widest digits.
  const dc::ClockLayout layout = dc::LayOutClock(d, !f.picture, static_cast<std::int32_t>(block.width),
                                                 static_cast<std::int32_t>(block.height));
  const dc::Rect& face = layout.face;
  const dc::Rect& digits = layout.led;
  if (digits.left >= face.left && digits.top >= face.top && digits.right <= face.right &&
      digits.bottom <= face.bottom) {
    return;
  }
  auto corners = [](const dc::Rect& r) {
    return N(r.left) + "," + N(r.top) + " to " + N(r.right) + "," + N(r.bottom);
  };
  out.push_back("led.left, led.top: the digits at their widest (11 cells, \"12:34:56 PM\") cover " + corners(digits) +
                " of the window, outside the face at " + corners(face) + "; the window grows to " +
                N(layout.width) + " x " + N(layout.height) + " and the digits stand apart from the face. Move " +
                "the digits, or make the cells smaller, so that a " + N(block.width) + " x " + N(block.height) +
                " block fits in the face.");
}

void CheckFacePixels(const DesignFacts& f, std::vector<std::string>& out) {
  if (!f.picture) return;
  const std::uint64_t pixels = std::uint64_t(f.pictureWidth) * std::uint64_t(f.pictureHeight);
  const std::string key = FormatColour(f.display.KeyColor);
  if (f.display.ShapeToPicture && pixels > 0) {
    if (f.stats.keyPixels == pixels) {
      out.push_back("face.keyColor: every pixel of the face is the key colour " + key +
                    "; the window is cut to nothing but the digits. Paint the face in other colours, or give the " +
                    "key colour its background really has.");
    } else if (f.stats.keyPixels * 100 > pixels * 95) {
      out.push_back("face.keyColor: " + Percent(f.stats.keyPixels, pixels) + " of the face is the key colour " + key +
                    "; the window keeps only " + Percent(pixels - f.stats.keyPixels, pixels) +
                    " of it. Check that the key colour is the background's, not the face's.");
    }
    if (f.stats.ringPixels >= std::max<std::uint64_t>(4, f.stats.edgePixels / 50)) {
      out.push_back("face.picture: " + N(static_cast<std::int64_t>(f.stats.ringPixels)) + " of the " +
                    N(static_cast<std::int64_t>(f.stats.edgePixels)) +
                    " pixels along the face's outline are blends of the key colour " + key +
                    " (edges smoothed onto it); they stay inside the window's shape and show as a ring of its " +
                    "tint. Save the face as a PNG with transparency instead: its soft edges are blended over " +
                    "face.matte.");
    }
  }
  if (pixels > kWarnPictureMegapixels * 1000000) {
    char mp[16];
    std::snprintf(mp, sizeof mp, "%.1f", static_cast<double>(pixels) / 1e6);
    out.push_back("face.picture: the picture is " + N(f.pictureWidth) + " x " + N(f.pictureHeight) + " pixels (" + mp +
                  " megapixels); the player shows it at that size, unscaled, and holds it in memory. Draw the " +
                  "face at the size it should have on the screen (at most " + N(kWarnPictureMegapixels) +
                  " megapixels).");
  }
}

void CheckSizes(const DesignFacts& f, std::vector<std::string>& out) {
  if (f.packageBytes > kWarnPackageBytes) {
    out.push_back("the package is " + N(static_cast<std::int64_t>(f.packageBytes >> 20)) +
                  " MB; the player reads it whole at every start. Keep it under 16 MB: a smaller face picture, " +
                  "a shorter sound.");
  }
}

void CheckSound(const DesignFacts& f, std::vector<std::string>& out) {
  if (f.sound.empty()) return;
  if (std::string fault = SoundFault(f.sound); !fault.empty()) {
    out.push_back("sound.file: " + fault + "; the player plays alarm sounds through the Windows media control " +
                  "interface, which cannot be relied on to play it: an alarm then shows an error instead of " +
                  "ringing. Convert the sound to a PCM WAV file (8 or 16 bits, mono or stereo).");
  }
  const std::string name = dc::AnsiToUtf8(dc::ReadFixedText(f.popup.SoundName));
  const std::size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (ext != ".wav") {
    out.push_back("sound.name: the player writes the sound out as \"" + name +
                  "\", and Windows chooses how to play it by that extension; a WAV sound needs a name ending in " +
                  "\".wav\".");
  }
}

void CheckWebsite(const DesignFacts& f, std::vector<std::string>& out) {
  const std::string site = dc::AnsiToUtf8(dc::ReadFixedText(f.header.Website));
  if (site.empty()) return;
  std::string lower = site.substr(0, 8);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0 || lower.rfind("mailto:", 0) == 0) return;
  if (std::optional<std::string> opened = dc::WebsiteToOpen(site)) {
    out.push_back("clock.website: \"" + site + "\" names no scheme; the about box opens it as \"" + *opened +
                  "\". Write the address whole, \"https://" + site + "\" or \"http://" + site + "\".");
  } else {
    out.push_back("clock.website: \"" + site + "\" is no http, https or mailto address; the about box will not " +
                  "open it. Write the address whole, as \"https://example.com/\".");
  }
}

void CheckPopupPlace(const DesignFacts& f, std::vector<std::string>& out) {
  constexpr std::uint8_t kBottomRight = 3;
  if (f.popup.Position != kBottomRight) return;
  out.push_back("alert.position: \"bottom-right\" (the default when it is not given): the clock stands at the " +
                std::string("bottom right of the screen too, so its alarm popups cover it. Choose \"top-right\", ") +
                "\"bottom-left\" or another place.");
}

}  // namespace

std::vector<std::string> DesignWarnings(const DesignFacts& facts) {
  std::vector<std::string> out;
  CheckLedSizes(facts, out);
  CheckLedPlace(facts, out);
  CheckFacePixels(facts, out);
  CheckSizes(facts, out);
  CheckSound(facts, out);
  CheckWebsite(facts, out);
  CheckPopupPlace(facts, out);
  return out;
}

}  // namespace clockpack
