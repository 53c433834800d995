// Drawing the clock for clockpack preview.
#include "preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "base/scale.h"
#include "layout/clock_layout.h"
#include "layout/led_setup.h"
#include "layout/picture_scale.h"
#include "layout/window_layout.h"
#include "led/led_metrics.h"
#include "led/led_model.h"
#include "manifest.h"
#include "package/clock_package.h"
#include "package/face_pixels.h"
#include "swf/player/player.h"
#include "swf/format/reader.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace clockpack {
namespace {

// The window's pixels, 0x00RRGGBB, black where no child paints.
struct Surface {
  std::int32_t width, height;
  std::vector<std::uint32_t> pixels;
  void Blit(const dc::PixelTarget& from, std::int32_t left, std::int32_t top, std::int32_t w, std::int32_t h) {
    for (std::int32_t y = 0; y < h; ++y)
      for (std::int32_t x = 0; x < w; ++x) {
        const std::int32_t tx = left + x, ty = top + y;
        if (tx < 0 || ty < 0 || tx >= width || ty >= height) continue;
        pixels[static_cast<std::size_t>(ty) * width + tx] = from.At(x, y) & 0xFFFFFF;
      }
  }
};

std::uint32_t ResolveWithWarning(std::uint32_t colour) { return colour & 0x00FFFFFF; }

}  // namespace

PreviewImage RenderPreview(std::span<const std::uint8_t> bytes, const PreviewOptions& options) {
  dc::ClockPackage package;
  try {
    package.LoadFromBytes(bytes);
  } catch (const dc::UserError& e) {
    throw ToolError(e.what());
  }
  if (std::string damage = dc::FindPackageDamage(package); !damage.empty()) throw ToolError(damage);
  const dc::DisplaySettings& d = package.Display();
  PreviewImage image;
  if ((d.LedBackColor | d.LedLightColor) >> 24)
    image.warnings.push_back("led: a system colour is drawn here as its low bytes; the clock shows the user's colour");

  // The digits, set up as the clock sets up its display, with their first text.
  dc::led::LedModel led;
  led.size = {46, 37};
  dc::ApplyLedDesign(led);
  if (!d.HideLed) {
    try {
      dc::ApplyLedSettings(led, d);
      led.SetText(dc::FormatLongTime(options.format, options.time));
    } catch (const dc::UserError& e) {
      throw ToolError(std::string("led: ") + e.what());
    }
    if (std::optional<dc::led::Size> size = led.SizeAfterPass()) led.size = *size;
  }

  // The face: a movie the player can play, or the placeholder the clock
  // shows after saying why it cannot.
  std::unique_ptr<dc::swf::Player> movie;
  if (package.IsFlashFace()) {
    try {
      // The movie's scripts read the preview's time; a second passes every
      // frame rate's worth of frames.
      dc::swf::PlayerOptions player;
      player.now = [&options] { return dc::swf::avm1::LocalTime{options.time, 0}; };
      movie = std::make_unique<dc::swf::Player>(
          std::make_shared<const dc::swf::Movie>(dc::swf::ReadMovie(package.FaceData())), std::move(player));
    } catch (const dc::UserError& e) {
      image.warnings.push_back(std::string("face: the clock's Flash face cannot be shown: ") + e.what());
    }
  }
  // At 100 %, then at the screen's scale: the digits' geometry scaled and
  // drawn at the screen's pixels, as the clock window does.
  const dc::ClockLayout at100 = dc::LayOutClock(d, movie != nullptr, led.size.width, led.size.height);
  if (options.dpi != dc::kBaseDpi) {
    dc::ApplyLedMetrics(led, dc::led::ScaleLedMetrics(dc::led::MetricsOf(led), options.dpi));
    if (!d.HideLed) led.size = led.TextSize();
  }
  const dc::ClockLayout layout = dc::ScaleClockLayout(at100, options.dpi, led.size.width, led.size.height);
  Surface surface{layout.width, layout.height,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(layout.width) * layout.height, 0)};

  const std::int32_t faceW = layout.face.Width(), faceH = layout.face.Height();
  std::vector<std::uint32_t> faceColours;  // the picture's, for its shape
  std::int32_t pictureW = 0, pictureH = 0;
  if (movie) {
    const std::uint32_t frame =
        options.frame ? options.frame : 1 + static_cast<std::uint32_t>(std::lround(movie->FrameRate()));
    for (std::uint32_t f = 1; f < frame; ++f) movie->Advance();
    std::vector<std::uint32_t> px(static_cast<std::size_t>(std::max(faceW, 0)) * std::max(faceH, 0));
    dc::PixelTarget target{px.data(), faceW, faceH, faceW};
    if (faceW > 0 && faceH > 0) movie->Render(target);
    surface.Blit(target, layout.face.left, layout.face.top, faceW, faceH);
    for (std::string& w : movie->TakeWarnings()) image.warnings.push_back("face.movie: " + w);
  } else if (!package.IsFlashFace() && !package.FaceData().empty()) {
    if (std::optional<dc::FacePixels> picture = dc::DecodeFaceBitmap(package.FaceData())) {
      pictureW = picture->width;
      pictureH = picture->height;
      faceColours = picture->colours;
      const std::optional<std::uint32_t> key = d.ShapeToPicture ? std::optional<std::uint32_t>(d.KeyColor) : std::nullopt;
      const dc::ScaledPicture scaled =
          dc::ScalePicture(faceColours, pictureW, pictureH, options.dpi, key, std::max(faceW, 0), std::max(faceH, 0));
      std::vector<std::uint32_t> px;
      for (std::uint32_t c : scaled.colours) px.push_back(dc::ColourToPixel(c));
      dc::PixelTarget from{px.data(), scaled.width, scaled.height, scaled.width};
      // The picture sits at the face's top left, at the screen's scale, cut to the face.
      surface.Blit(from, layout.face.left, layout.face.top, scaled.width, scaled.height);
    }
  }
  if (layout.ledVisible) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(led.size.width) * led.size.height);
    dc::PixelTarget target{px.data(), led.size.width, led.size.height, led.size.width};
    led.Render(target, ResolveWithWarning);
    surface.Blit(target, layout.led.left, layout.led.top, led.size.width, led.size.height);
  }

  // The window's shape: the face's rectangle (a movie), its picture's
  // pixels that are not the key colour (a shaped picture), or all of it;
  // always with the digits' rectangle.
  std::vector<std::uint8_t> inside(surface.pixels.size(), 0);
  const auto mark = [&](const dc::Rect& r) {
    for (std::int32_t y = std::max(r.top, 0); y < std::min(r.bottom, surface.height); ++y)
      for (std::int32_t x = std::max(r.left, 0); x < std::min(r.right, surface.width); ++x)
        inside[static_cast<std::size_t>(y) * surface.width + x] = 1;
  };
  if (package.IsFlashFace()) {
    mark(layout.face);
    mark(layout.led);
  } else if (d.ShapeToPicture) {
    for (const dc::Rect& r : dc::ScaledPictureRegionRects(faceColours, pictureW, pictureH, d.KeyColor, options.dpi,
                                                          layout.face.left, layout.face.top))
      mark(r);
    mark(layout.led);
  } else {
    mark({0, 0, surface.width, surface.height});
  }

  image.width = surface.width;
  image.height = surface.height;
  image.rgba.resize(surface.pixels.size() * 4);
  for (std::size_t i = 0; i < surface.pixels.size(); ++i) {
    const std::uint32_t p = surface.pixels[i];
    image.rgba[i * 4] = static_cast<std::uint8_t>(p >> 16);
    image.rgba[i * 4 + 1] = static_cast<std::uint8_t>(p >> 8);
    image.rgba[i * 4 + 2] = static_cast<std::uint8_t>(p);
    image.rgba[i * 4 + 3] = inside[i] ? d.Opacity : 0;
  }
  return image;
}

std::vector<std::uint8_t> EncodePng(const PreviewImage& image) {
  std::vector<std::uint8_t> out;
  const auto append = [](void* context, void* data, int size) {
    auto* o = static_cast<std::vector<std::uint8_t>*>(context);
    o->insert(o->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  };
  if (image.width <= 0 || image.height <= 0) throw ToolError("the clock has no size to draw");
  if (!stbi_write_png_to_func(append, &out, image.width, image.height, 4, image.rgba.data(), image.width * 4))
    throw ToolError("the picture cannot be written as PNG");
  return out;
}

dc::TimeFormat ParseTimeFormat(const std::string& picture) {
  dc::TimeFormat f;
  std::string rest = picture;
  const bool first = rest.rfind("tt ", 0) == 0;
  if (first) rest = rest.substr(3);
  const std::size_t hours = rest.find_first_not_of(rest.empty() ? 'h' : rest[0]);
  const bool ok = !rest.empty() && (rest[0] == 'h' || rest[0] == 'H') && (hours == 1 || hours == 2) &&
                  hours < rest.size() && rest.find("mm", hours) == hours + 1;
  if (!ok)
    throw ToolError("--format: \"" + picture + "\" is no time picture the digits use; give one such as \"h:mm:ss tt\" or \"HH:mm:ss\"");
  f.twelveHour = rest[0] == 'h';
  f.leadingZero = hours == 2;
  f.separator = rest.substr(hours, 1);
  f.designatorFirst = first;
  if (!first && rest.find("tt") == std::string::npos) f.am = f.pm = "";
  if (first && !f.twelveHour) f.am = f.pm = "";
  return f;
}

int ParsePreviewScale(const std::string& text) {
  const bool percent = !text.empty() && text.back() == '%';
  const std::string number = percent ? text.substr(0, text.size() - 1) : text;
  char* end = nullptr;
  const double value = number.empty() ? 0 : std::strtod(number.c_str(), &end);
  const double factor = percent ? value / 100 : value;
  if (number.empty() || *end != '\0' || !(factor >= 0.5 && factor <= 5))
    throw ToolError("--scale: \"" + text + "\" is no screen scale; give one such as 1.5 or 150% (50% to 500%)");
  return static_cast<int>(std::lround(factor * dc::kBaseDpi));
}

dc::CivilDateTime ParsePreviewTime(const std::string& text, dc::CivilDateTime date) {
  int h = -1, m = -1, s = -1;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &tail) != 3 || h < 0 || h > 23 || m < 0 || m > 59 ||
      s < 0 || s > 59 || text.size() != 8)
    throw ToolError("--time: \"" + text + "\" is no time of day; give it as HH:MM:SS, for example 10:08:30");
  date.Hour = h;
  date.Minute = m;
  date.Second = s;
  date.Millisecond = 0;
  return date;
}

}  // namespace clockpack
