#include "play.h"

#include <chrono>
#include <ctime>
#include <ostream>

#include <nlohmann/json.hpp>

#include "base/user_error.h"
#include "manifest.h"
#include "preview.h"
#include "swf/player/player.h"
#include "swf/player/stage_fit.h"

namespace clockpack {
namespace {

int Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return -1;
  int v = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    v = v * 10 + (text[i] - '0');
  }
  return v;
}

dc::swf::avm1::LocalTime WallClock() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const int ms = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm local{}, utc{};
#ifdef _WIN32
  localtime_s(&local, &t);
  gmtime_s(&utc, &t);
#else
  localtime_r(&t, &local);
  gmtime_r(&t, &utc);
#endif
  // The offset is the local fields read back as if they were UTC.
  std::tm asUtc = local;
  asUtc.tm_isdst = 0;
  const long offset = static_cast<long>(std::difftime(std::mktime(&asUtc), std::mktime(&utc)));
  return {dc::CivilDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                            local.tm_sec, ms},
          static_cast<int>(offset / 60)};
}

}  // namespace

dc::swf::avm1::LocalTime ParseClock(std::string_view text) {
  const auto fail = [&]() -> dc::swf::avm1::LocalTime {
    throw ToolError("--clock: \"" + std::string(text) +
                    "\" is no time of the form YYYY-MM-DDTHH:MM:SS+HHMM (such as 2001-02-03T04:05:06+0545)");
  };
  const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  const int hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
  if (text.size() < 20 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') ||
      text[13] != ':' || text[16] != ':' || year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0)
    return fail();
  int offset = 0;
  const std::string_view zone = text.substr(19);
  if (zone == "Z") {
    offset = 0;
  } else if (zone.size() == 5 && (zone[0] == '+' || zone[0] == '-')) {
    const int hh = Digits(zone, 1, 2), mm = Digits(zone, 3, 2);
    if (hh < 0 || mm < 0 || hh > 14 || mm > 59) return fail();
    offset = (zone[0] == '-' ? -1 : 1) * (hh * 60 + mm);
  } else {
    return fail();
  }
  const dc::CivilDateTime time{year, month, day, hour, minute, second, 0};
  if (!dc::EncodeDateTime(time)) return fail();
  return {time, offset};
}

void ParseSize(std::string_view text, std::int32_t& width, std::int32_t& height) {
  const std::size_t x = text.find('x');
  long w = 0, h = 0;
  bool ok = x != std::string_view::npos && x > 0 && x + 1 < text.size() && x <= 5 && text.size() - x - 1 <= 5;
  for (std::size_t i = 0; ok && i < text.size(); ++i) {
    if (i == x) continue;
    ok = text[i] >= '0' && text[i] <= '9';
    long& v = i < x ? w : h;
    v = v * 10 + (text[i] - '0');
  }
  if (!ok || w < 1 || h < 1 || w > 8192 || h > 8192)
    throw ToolError("--size: \"" + std::string(text) + "\" is no size of the form WxH, each 1 to 8192");
  width = static_cast<std::int32_t>(w);
  height = static_cast<std::int32_t>(h);
}

std::vector<InputEvent> ParseInput(std::string_view text) {
  const nlohmann::json list = nlohmann::json::parse(text, nullptr, false);
  if (!list.is_array()) throw ToolError("--input: the file is no JSON list of events");
  std::vector<InputEvent> events;
  for (const nlohmann::json& e : list) {
    if (!e.is_object() || !e.contains("type") || !e["type"].is_string())
      throw ToolError("--input: an event is no object with a \"type\"");
    const std::string type = e["type"];
    InputEvent event;
    if (type == "Wait") {
      event.type = InputEvent::Type::Wait;
    } else if (type == "MouseMove" || type == "MouseDown" || type == "MouseUp") {
      event.type = type == "MouseMove"   ? InputEvent::Type::MouseMove
                   : type == "MouseDown" ? InputEvent::Type::MouseDown
                                         : InputEvent::Type::MouseUp;
      const nlohmann::json* pos = e.contains("pos") ? &e["pos"] : nullptr;
      if (!pos || !pos->is_array() || pos->size() != 2 || !(*pos)[0].is_number() || !(*pos)[1].is_number())
        throw ToolError("--input: a " + type + " event has no \"pos\": [x, y]");
      event.x = (*pos)[0];
      event.y = (*pos)[1];
      if (e.contains("btn") && e["btn"].is_string()) event.button = e["btn"];
    } else if (type == "KeyDown" || type == "KeyUp" || type == "TextInput" || type == "MouseWheel" ||
               type == "FocusGained" || type == "FocusLost" || type == "SetClipboardText") {
      event.type = InputEvent::Type::Keyboard;
    } else {
      throw ToolError("--input: unknown event type \"" + type + "\"");
    }
    events.push_back(std::move(event));
  }
  return events;
}

void PlayMovie(const PlayOptions& options, std::ostream& out, std::ostream& err) {
  dc::swf::PlayerOptions player;
  if (options.clock) {
    player.now = [clock = *options.clock] { return clock; };
  } else {
    player.now = WallClock;
  }
  // Flash's log ends a line at a carriage return inside a traced text too.
  if (options.trace)
    player.trace = [&out](std::string_view line) {
      for (char c : line) out << (c == '\r' ? '\n' : c);
      out << '\n';
    };
  player.viewportWidth = options.width;
  player.viewportHeight = options.height;
  player.quality = options.quality == "low"      ? dc::swf::Quality::Low
                   : options.quality == "medium" ? dc::swf::Quality::Medium
                   : options.quality == "best"   ? dc::swf::Quality::Best
                                                 : dc::swf::Quality::High;
  dc::swf::Player movie(dc::swf::ReadMovieFile(options.movie, player.limits), std::move(player));

  const dc::swf::TwipRect& stage = movie.movie().stage;
  const std::int32_t width = options.width > 0 ? options.width : static_cast<std::int32_t>(stage.Width() / 20);
  const std::int32_t height = options.height > 0 ? options.height : static_cast<std::int32_t>(stage.Height() / 20);
  const std::uint32_t frames =
      options.frames ? *options.frames
                     : std::max<std::uint32_t>(1, static_cast<std::uint32_t>(movie.movie().root.frames.size()));

  const auto warn = [&] {
    for (const std::string& w : movie.TakeWarnings()) err << "clockpack: warning: " << w << "\n";
  };
  const auto capture = [&](std::uint32_t frame) {
    for (const Capture& c : options.captures) {
      if (c.frame != frame) continue;
      if (width <= 0 || height <= 0) throw ToolError("the movie's stage has no size to capture; give --size");
      std::vector<std::uint32_t> px(static_cast<std::size_t>(width) * height);
      dc::PixelTarget target{px.data(), width, height, width};
      movie.Render(target);
      PreviewImage image{width, height, {}, {}};
      image.rgba.reserve(px.size() * 4);
      for (std::uint32_t p : px) {
        image.rgba.insert(image.rgba.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                             static_cast<std::uint8_t>(p), 255});
      }
      WriteFileBytes(c.file, EncodePng(image));
    }
  };

  // The corpus's events are at stage pixels; the player takes the face's.
  const dc::swf::Matrix toFace = dc::swf::StageToFace(stage, width, height);
  const auto apply = [&](const InputEvent& e) {
    const dc::swf::Point at = toFace.Apply({e.x * 20 + stage.xMin, e.y * 20 + stage.yMin});
    switch (e.type) {
      case InputEvent::Type::MouseMove: movie.MouseMove(at.x, at.y); break;
      case InputEvent::Type::MouseDown:
      case InputEvent::Type::MouseUp: {
        const bool down = e.type == InputEvent::Type::MouseDown;
        if (e.button == "Right" || e.button == "Middle") {
          movie.OtherButtonHeld(e.button == "Right" ? dc::swf::Player::OtherButton::Right
                                                    : dc::swf::Player::OtherButton::Middle, down);
        } else if (down) {
          movie.MouseDown(at.x, at.y);
        } else {
          movie.MouseUp(at.x, at.y);
        }
        break;
      }
      default: break;  // a face has no keyboard
    }
    warn();
  };
  // After each frame the events up to the next Wait are applied; the Wait
  // lets the next frame run. Events left when the frames are done are
  // applied after the last one, before its picture is taken.
  std::size_t next = 0;
  const auto applyUntilWait = [&] {
    for (; next < options.input.size(); ++next) {
      if (options.input[next].type == InputEvent::Type::Wait) {
        ++next;
        return;
      }
      apply(options.input[next]);
    }
  };
  const auto finish = [&](std::uint32_t frame) {
    applyUntilWait();
    if (frame == frames)
      for (; next < options.input.size(); ++next)
        if (options.input[next].type != InputEvent::Type::Wait) apply(options.input[next]);
    capture(frame);
  };
  warn();
  finish(1);
  for (std::uint32_t frame = 2; frame <= frames; ++frame) {
    movie.Advance();
    warn();
    finish(frame);
  }
  out.flush();
}

}  // namespace clockpack
