// The manifest reader: every field of the package's three records, with
// defaults for what a designer may leave out and a clear error for the rest.
#include "manifest.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <set>

#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "package/clock_package.h"
#include "package/package_records.h"
#include "package/own_files.h"
#include "design_checks.h"
#include "nearest_name.h"
#include "picture.h"
#include "swf/format/reader.h"

namespace clockpack {
namespace {

using nlohmann::json;

// The first character of a UTF-8 text the ANSI code page cannot hold, as
// the character and its code point ("\"中\" (U+4E2D)").
std::string FirstUnmappable(const std::string& utf8) {
  for (std::size_t at = 0; at < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const std::string one = utf8.substr(at, n);
    at += n;
    if (dc::Utf8ToAnsi(one, dc::Unmappable::Refuse)) continue;
    std::uint32_t cp = n == 1 ? lead : lead & (0x7F >> n);
    for (std::size_t i = 1; i < one.size(); ++i) cp = cp << 6 | (static_cast<unsigned char>(one[i]) & 0x3F);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", cp);
    return "\"" + one + "\" (" + code + ")";
  }
  return "a byte that is no UTF-8";
}

// One JSON object of the manifest: typed reads, and a check that every key
// was known, so a misspelt field is an error rather than a silent default.
class Section {
 public:
  Section(const json& j, std::string where) : j_(j), where_(std::move(where)) {
    if (!j_.is_object()) throw ToolError(where_ + ": must be an object");
  }
  // Every key of the object was read: a misspelt one is an error. Called
  // once the section is read (a destructor must not throw).
  void Finish() const {
    for (auto it = j_.begin(); it != j_.end(); ++it) {
      if (used_.count(it.key())) continue;
      const std::string nearest = NearestName(it.key(), {used_.begin(), used_.end()});
      throw ToolError(Path(it.key()) + ": unknown field" +
                      (nearest.empty() ? "" : "; did you mean \"" + nearest + "\"?"));
    }
  }

  bool Has(const std::string& key) {
    used_.insert(key);
    return j_.contains(key) && !j_.at(key).is_null();
  }
  const json& Get(const std::string& key) {
    if (!Has(key)) throw ToolError(Path(key) + ": missing");
    return j_.at(key);
  }
  std::string Path(const std::string& key) const { return where_ + "." + key; }

  std::int64_t Int(const std::string& key, std::int64_t def, std::int64_t lo, std::int64_t hi) {
    if (!Has(key)) return def;
    const json& v = j_.at(key);
    if (!v.is_number_integer()) throw ToolError(Path(key) + ": must be a whole number");
    std::int64_t n = v.get<std::int64_t>();
    if (n < lo || n > hi)
      throw ToolError(Path(key) + ": " + std::to_string(n) + " is outside " + std::to_string(lo) + " to " +
                      std::to_string(hi));
    return n;
  }
  bool Bool(const std::string& key, bool def) {
    if (!Has(key)) return def;
    if (!j_.at(key).is_boolean()) throw ToolError(Path(key) + ": must be true or false");
    return j_.at(key).get<bool>();
  }
  std::string Str(const std::string& key, const std::string& def) {
    if (!Has(key)) return def;
    if (!j_.at(key).is_string()) throw ToolError(Path(key) + ": must be a text");
    return j_.at(key).get<std::string>();
  }
  std::uint32_t Colour(const std::string& key, std::uint32_t def) {
    return Has(key) ? ParseColour(j_.at(key), Path(key)) : def;
  }
  template <std::size_t N>
  void Text(char (&field)[N], const std::string& key, const std::string& def) {
    std::string text = Str(key, def);
    std::optional<std::string> ansi = dc::Utf8ToAnsi(text, dc::Unmappable::Refuse);
    if (!ansi) {
      throw ToolError(Path(key) + ": \"" + text + "\" has a character the ANSI code page cannot hold: " +
                      FirstUnmappable(text));
    }
    if (ansi->size() > N)
      throw ToolError(Path(key) + ": \"" + text + "\" is " + std::to_string(ansi->size()) + " bytes, at most " +
                      std::to_string(N) + " fit");
    dc::WriteFixedText(field, *ansi);
  }
  template <class T>
  T Pick(const std::string& key, T def, std::initializer_list<std::pair<const char*, T>> names) {
    if (!Has(key)) return def;
    const json& v = j_.at(key);
    if (v.is_string()) {
      for (const auto& [name, value] : names)
        if (v.get<std::string>() == name) return value;
      std::string all;
      for (const auto& [name, value] : names) all += std::string(all.empty() ? "" : ", ") + name;
      throw ToolError(Path(key) + ": \"" + v.get<std::string>() + "\" is none of " + all);
    }
    return static_cast<T>(Int(key, 0, 0, std::numeric_limits<T>::max()));
  }

 private:
  const json& j_;
  std::string where_;
  std::set<std::string> used_;
};

constexpr std::int64_t kI32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kI32Max = std::numeric_limits<std::int32_t>::max();

void ReadFont(dc::FontRecord& font, Section&& s, const std::string& defName, int defSize) {
  font.Charset = static_cast<std::uint8_t>(s.Int("charset", 1, 0, 255));  // 1: the default character set
  font.Color = s.Colour("color", 0);
  s.Text(font.Name, "name", defName);
  font.Size = static_cast<std::int32_t>(s.Int("size", defSize, 1, 1638));
  // The height follows the size at 96 dots per inch unless it is given.
  font.Height = static_cast<std::int32_t>(s.Int("height", -(font.Size * 96 + 36) / 72, kI32Min, kI32Max));
  font.Pitch = s.Pick<std::uint8_t>("pitch", 0, {{"default", 0}, {"variable", 1}, {"fixed", 2}});
  font.Style = static_cast<std::uint8_t>((s.Bool("bold", false) ? 1 : 0) | (s.Bool("italic", false) ? 2 : 0) |
                                         (s.Bool("underline", false) ? 4 : 0) | (s.Bool("strikeOut", false) ? 8 : 0));
  s.Finish();
}

std::filesystem::path Resolve(const std::filesystem::path& base, const std::string& name) {
  std::filesystem::path p = dc::PathFromUtf8(name);
  return p.is_absolute() ? p : base / p;
}

// clock.version: one to four numbers of 0 to 65535, as Windows numbers
// versions ("1", "1.2", "1.2.3", "1.2.3.4").
bool IsVersion(const std::string& v) {
  int parts = 0;
  for (std::size_t at = 0; at <= v.size(); ++parts) {
    std::size_t end = v.find('.', at);
    if (end == std::string::npos) end = v.size();
    const std::string part = v.substr(at, end - at);
    if (part.empty() || part.size() > 5 || part.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(part) > 65535)
      return false;
    at = end + 1;
  }
  return parts <= 4;
}

// The LED background, the face's matte by default, read before the led
// section is.
std::uint32_t LedBackgroundOf(const json& manifest) {
  if (!manifest.is_object() || !manifest.contains("led") || !manifest.at("led").is_object()) return 0;
  const json& led = manifest.at("led");
  if (!led.contains("background") || led.at("background").is_null()) return 0;
  return ParseColour(led.at("background"), "led.background");
}

}  // namespace

std::uint32_t ParseColour(const json& v, const std::string& where) {
  if (v.is_number_unsigned() || v.is_number_integer()) {
    std::int64_t n = v.get<std::int64_t>();
    if (n < 0 || n > 0xFFFFFFFFLL) throw ToolError(where + ": a colour value is 0 to 0xFFFFFFFF");
    return static_cast<std::uint32_t>(n);
  }
  if (v.is_string()) {
    std::string s = v.get<std::string>();
    if (s.size() == 7 && s[0] == '#' && s.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos) {
      std::uint32_t rgb = static_cast<std::uint32_t>(std::stoul(s.substr(1), nullptr, 16));
      return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
  }
  throw ToolError(where + ": a colour is \"#RRGGBB\" or a number (0x00BBGGRR)");
}

std::string FormatColour(std::uint32_t c) {
  char buf[32];
  if (c >> 24) {
    std::snprintf(buf, sizeof buf, "0x%08X (system colour)", c);
  } else {
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  }
  return buf;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& p) {
  const std::string name = "\"" + dc::PathToUtf8(p) + "\"";
  std::error_code ec;
  // A folder opens as a stream on some systems and fails only when read.
  if (std::filesystem::is_directory(p, ec)) throw ToolError("cannot read " + name + ": it is a folder, not a file");
  if (!std::filesystem::exists(p, ec)) throw ToolError("cannot read " + name + ": there is no such file");
  // Nothing clockpack reads may be larger than a whole package.
  if (const std::uintmax_t size = std::filesystem::file_size(p, ec); !ec && size > dc::ClockPackage::kMaxBytes) {
    throw ToolError("cannot read " + name + ": it is " + std::to_string(size) + " bytes, more than a clock package " +
                    "may hold (" + std::to_string(dc::ClockPackage::kMaxBytes) + ")");
  }
  errno = 0;
  std::ifstream in(p, std::ios::binary);
  if (!in) throw ToolError("cannot read " + name + ": " + (errno ? std::strerror(errno) : "it cannot be opened"));
  try {
    std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) throw ToolError("cannot read " + name + ": reading it failed");
    return bytes;
  } catch (const std::ios_base::failure&) {
    throw ToolError("cannot read " + name + ": reading it failed");
  }
}

void WriteFileBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  if (!out) throw ToolError("cannot write \"" + dc::PathToUtf8(p) + "\"");
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw ToolError("cannot write \"" + dc::PathToUtf8(p) + "\"");
}

// The clock of a manifest whose values may still be of the wrong JSON kind.
BuiltClock BuildClockFrom(const json& manifest, const std::filesystem::path& baseDir);

std::vector<std::uint8_t> ReadFieldFile(const std::string& field, const std::filesystem::path& p) {
  try {
    return ReadFileBytes(p);
  } catch (const ToolError& e) {
    std::string hint;
    std::error_code ec;
    if (!std::filesystem::exists(p, ec)) {
      std::vector<std::string> names;
      const std::filesystem::path folder = p.has_parent_path() ? p.parent_path() : ".";
      for (auto it = std::filesystem::directory_iterator(folder, ec);
           !ec && it != std::filesystem::directory_iterator() && names.size() < 1000; it.increment(ec)) {
        names.push_back(dc::PathToUtf8(it->path().filename()));
      }
      const std::string nearest = NearestName(dc::PathToUtf8(p.filename()), names);
      if (!nearest.empty()) hint = "; did you mean \"" + nearest + "\"?";
    }
    throw ToolError(field + ": " + e.what() + hint);
  }
}

nlohmann::json ParseManifest(std::string_view text) {
  try {
    return json::parse(text);
  } catch (const json::parse_error& e) {
    // Where the reader stopped, as a line and a column of the text.
    const std::size_t at = std::min<std::size_t>(e.byte ? e.byte - 1 : 0, text.size());
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + at, '\n'));
    const std::size_t lineStart = text.rfind('\n', at ? at - 1 : 0);
    const std::size_t column = at - (lineStart == std::string_view::npos || at == 0 ? 0 : lineStart + 1) + 1;
    throw ToolError("the manifest is no valid JSON: it cannot be read at line " + std::to_string(line) + ", column " +
                    std::to_string(column));
  } catch (const json::out_of_range&) {
    throw ToolError("the manifest holds a number too large to be read");
  } catch (const json::exception&) {
    throw ToolError("the manifest cannot be read as JSON");
  }
}

BuiltClock BuildClock(const json& manifest, const std::filesystem::path& baseDir) {
  try {
    return BuildClockFrom(manifest, baseDir);
  } catch (const json::exception&) {
    throw ToolError("the manifest holds a value of a kind that field cannot take");
  }
}

std::vector<std::uint8_t> BuildPackage(const json& manifest, const std::filesystem::path& baseDir) {
  return BuildClock(manifest, baseDir).package;
}

BuiltClock BuildClockFrom(const json& manifest, const std::filesystem::path& baseDir) {
  BuiltClock built;
  std::vector<std::string> movieWarnings;
  DesignFacts facts;
  dc::PackageHeader header;
  dc::DisplaySettings display;
  dc::PopupSettings alert;
  std::memset(&header, 0, sizeof header);
  std::memset(&display, 0, sizeof display);
  std::memset(&alert, 0, sizeof alert);
  std::memcpy(header.Magic, "KVX", 3);
  std::vector<std::uint8_t> face, sound;

  Section root(manifest, "manifest");
  {
    Section clock(root.Get("clock"), "clock");
    clock.Text(header.ClockName, "name", "");
    if (!header.ClockName[0]) throw ToolError("clock.name: must not be empty");
    clock.Text(header.Author, "author", "");
    clock.Text(header.Email, "email", "");
    clock.Text(header.Website, "website", "");
    built.name = clock.Str("name", "");
    built.version = clock.Str("version", "");
    if (clock.Has("version") && !IsVersion(built.version)) {
      throw ToolError("clock.version: \"" + built.version +
                      "\" is no version: give one to four numbers of 0 to 65535 with dots between, as \"1.0\"");
    }
    clock.Finish();
  }
  {
    Section s(root.Get("face"), "face");
    const bool movie = s.Has("movie");
    const bool picture = s.Has("picture");
    if (movie == picture) throw ToolError("face: give exactly one of \"picture\" and \"movie\"");
    int width = 0, height = 0;
    bool transparent = false;
    if (picture) {
      const std::filesystem::path file = Resolve(baseDir, s.Str("picture", ""));
      Picture pic = LoadFacePicture(file, s.Colour("keyColor", 0xFF00FF), s.Colour("matte", LedBackgroundOf(manifest)));
      built.inputs.push_back(file);
      face = std::move(pic.bmp);
      width = pic.width;
      height = pic.height;
      transparent = pic.transparent;
      facts.picture = true;
      facts.pictureWidth = width;
      facts.pictureHeight = height;
      facts.stats = pic.stats;
    } else {
      const std::filesystem::path file = Resolve(baseDir, s.Str("movie", ""));
      face = ReadFieldFile(s.Path("movie"), file);
      built.inputs.push_back(file);
      s.Has("matte");  // a movie has no edges to blend: the field is accepted and unused
      // The player's own reader: what it would refuse is refused here.
      try {
        const dc::swf::Movie read = dc::swf::ReadMovie(face);
        width = static_cast<int>(std::clamp<std::int64_t>(read.stage.Width() / 20, 0, 16384));
        height = static_cast<int>(std::clamp<std::int64_t>(read.stage.Height() / 20, 0, 16384));
        for (const std::string& w : read.warnings) movieWarnings.push_back("face.movie: " + w);
        if (read.actionScript3)
          movieWarnings.push_back("face.movie: it is an ActionScript 3 movie: the clock plays its timeline without "
                                  "its scripts; save it for ActionScript 2 or earlier");
      } catch (const dc::UserError& e) {
        throw ToolError(s.Path("movie") + ": the clock cannot play this movie: " + e.what());
      }
    }
    s.Text(display.FaceType, "type", movie ? ".swf" : ".bmp");
    display.KeyColor = s.Colour("keyColor", 0xFF00FF);
    display.FaceLeft = static_cast<std::int32_t>(s.Int("left", 0, 0, 16384));
    display.FaceTop = static_cast<std::int32_t>(s.Int("top", 0, 0, 16384));
    display.FaceWidth = static_cast<std::int32_t>(s.Int("width", width, 0, 16384));
    display.FaceHeight = static_cast<std::int32_t>(s.Int("height", height, 0, 16384));
    // A picture with transparency is a keyed face: cut to its shape unless
    // the manifest says otherwise.
    display.ShapeToPicture = s.Bool("shape", transparent) ? 1 : 0;
    display.Opacity = static_cast<std::uint8_t>(s.Int("opacity", 255, 0, 255));
    s.Finish();
  }
  {
    Section s(root.Get("led"), "led");
    display.HideLed = s.Bool("hidden", false) ? 1 : 0;
    display.LedLeft = static_cast<std::int32_t>(s.Int("left", 0, 0, 16384));
    display.LedTop = static_cast<std::int32_t>(s.Int("top", 0, 0, 16384));
    display.LedBackColor = s.Colour("background", 0x000000);
    display.LedLightColor = s.Colour("lit", 0x00FFF7);  // yellow: red 247, green 255
    display.Thickness = static_cast<std::uint16_t>(s.Int("thick", 3, 0, 16384));
    display.CellWidth = static_cast<std::uint16_t>(s.Int("wordWidth", 17, 0, 16384));
    display.CellHeight = static_cast<std::uint16_t>(s.Int("wordHeight", 29, 0, 16384));
    display.Gap = static_cast<std::uint16_t>(s.Int("space", 4, 0, 16384));
    display.MarginX = static_cast<std::uint16_t>(s.Int("offsetX", 0, 0, 16384));
    display.MarginY = static_cast<std::uint16_t>(s.Int("offsetY", 0, 0, 16384));
    s.Finish();
  }
  {
    Section s(root.Get("alert"), "alert");
    alert.Style = s.Pick<std::uint8_t>("style", 0, {{"fade", 0}, {"center-grow", 1}});
    alert.CaptionFrom = s.Colour("captionFrom", 0x00FFFFFF);
    alert.CaptionTo = s.Colour("captionTo", 0x00C0C0C0);
    alert.WindowFrom = s.Colour("windowFrom", 0x00FFFFFF);
    alert.WindowTo = s.Colour("windowTo", 0x00E0E0E0);
    ReadFont(alert.Font, Section(s.Has("font") ? s.Get("font") : json::object(), "alert.font"), "Tahoma", 8);
    ReadFont(alert.HeaderFont, Section(s.Has("headerFont") ? s.Get("headerFont") : json::object(), "alert.headerFont"),
             "Tahoma", 8);
    if (s.Has("displaySeconds")) {
      alert.Timed = 1;
      alert.DisplaySeconds = static_cast<std::int32_t>(s.Int("displaySeconds", 0, 0, 2147483));
    }
    alert.Position = s.Pick<std::uint8_t>("position", 3,
                                          {{"top-left", 0},
                                           {"top-right", 1},
                                           {"bottom-left", 2},
                                           {"bottom-right", 3},
                                           {"custom", 4},
                                           {"desktop-center", 5},
                                           {"main-window-center", 6},
                                           {"owner-window-center", 7},
                                           {"active-window-center", 8}});
    alert.Left = static_cast<std::int32_t>(s.Int("left", 0, kI32Min, kI32Max));
    alert.Top = static_cast<std::int32_t>(s.Int("top", 0, kI32Min, kI32Max));
    alert.Width = static_cast<std::int32_t>(s.Int("width", 329, 0, 16384));
    alert.Height = static_cast<std::int32_t>(s.Int("height", 76, 0, 16384));
    s.Finish();
  }
  if (root.Has("sound")) {
    Section s(root.Get("sound"), "sound");
    std::string file = s.Str("file", "");
    if (file.empty()) throw ToolError("sound.file: missing");
    sound = ReadFieldFile(s.Path("file"), Resolve(baseDir, file));
    built.inputs.push_back(Resolve(baseDir, file));
    s.Text(alert.SoundName, "name", dc::PathToUtf8(dc::PathFromUtf8(file).filename()));
    // The player refuses to write a sound over its own files or outside its
    // folder; say so now rather than on the user's machine.
    std::string why = dc::CheckSoundFileName(dc::AnsiToUtf8(dc::ReadFixedText(alert.SoundName)),
                                             dc::OwnFileNames("DeskClock.exe", "clock.kvx"));
    if (!why.empty()) throw ToolError(s.Path("name") + ": " + why);
    s.Finish();
  }
  root.Finish();
  display.FaceLength = static_cast<std::uint32_t>(face.size());
  alert.SoundLength = static_cast<std::uint32_t>(sound.size());

  std::vector<std::uint8_t>& out = built.package;
  out.resize(dc::kPayloadOffset);
  std::memcpy(out.data() + dc::kHeaderOffset, &header, sizeof header);
  std::memcpy(out.data() + dc::kDisplayOffset, &display, sizeof display);
  std::memcpy(out.data() + dc::kPopupOffset, &alert, sizeof alert);
  out.insert(out.end(), face.begin(), face.end());
  out.insert(out.end(), sound.begin(), sound.end());

  facts.header = header;
  facts.display = display;
  facts.popup = alert;
  facts.sound = sound;
  facts.packageBytes = out.size();
  built.warnings = DesignWarnings(facts);
  built.warnings.insert(built.warnings.begin(), movieWarnings.begin(), movieWarnings.end());
  return built;
}

}  // namespace clockpack
