// What clockpack inspect prints, and clockpack attach.
#include "describe.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "manifest.h"
#include "package/clock_package.h"
#include "package/package_records.h"
#include "swf/format/reader.h"
#include "player_view.h"

namespace clockpack {
namespace {

using nlohmann::ordered_json;

template <std::size_t N>
std::string Text(const char (&field)[N]) {
  return dc::AnsiToUtf8(dc::ReadFixedText(field));
}

ordered_json Font(const dc::FontRecord& f) {
  return {{"charset", +f.Charset}, {"color", FormatColour(f.Color)}, {"height", +f.Height},
          {"name", Text(f.Name)},  {"pitch", +f.Pitch},                {"size", +f.Size},
          {"bold", (f.Style & 1) != 0}, {"italic", (f.Style & 2) != 0}, {"underline", (f.Style & 4) != 0},
          {"strikeOut", (f.Style & 8) != 0}};
}

const char* PositionName(std::uint8_t p) {
  static const char* kNames[] = {"top-left",           "top-right",           "bottom-left",
                                 "bottom-right",       "custom",              "desktop-center",
                                 "main-window-center", "owner-window-center", "active-window-center"};
  return p < 9 ? kNames[p] : "unknown";
}

// "550 x 400" (pixels; a stage in odd twips shows its fraction).
std::string StageText(const dc::swf::TwipRect& stage) {
  char text[64];
  std::snprintf(text, sizeof text, "%g x %g", stage.Width() / 20.0, stage.Height() / 20.0);
  return text;
}

// What the player reads of a movie face, or why it cannot play it.
ordered_json DescribeMovie(const std::vector<std::uint8_t>& bytes) {
  try {
    const dc::swf::Movie m = dc::swf::ReadMovie(bytes);
    const char* compression = m.compression == dc::swf::Compression::Zlib   ? "zlib (CWS)"
                              : m.compression == dc::swf::Compression::Lzma ? "LZMA (ZWS)"
                                                                            : "none (FWS)";
    std::string scripts = m.actionScript3 ? "ActionScript 3 (not run: the timeline plays without it)"
                          : m.hasAvm1Scripts ? "ActionScript 1/2"
                                             : "none";
    return {{"version", +m.version},
            {"compression", compression},
            {"stage", StageText(m.stage)},
            {"frameRate", m.frameRate},
            {"frames", +m.declaredFrameCount},
            {"scripts", scripts},
            {"warnings", m.warnings}};
  } catch (const dc::UserError& e) {
    return {{"playable", false}, {"why", e.what()}};
  }
}

}  // namespace

nlohmann::ordered_json DescribePackage(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < dc::kPayloadOffset) throw ToolError("the file is too short to be a clock package");
  dc::ClockPackage package;
  try {
    package.LoadFromBytes(bytes);
  } catch (const dc::PackageError& e) {
    throw ToolError(e.what());
  }
  if (!package.HasMagic()) throw ToolError("the file is no clock package (no \"KVX\" mark)");
  const dc::PackageHeader& h = package.Header();
  const dc::DisplaySettings& d = package.Display();
  const dc::PopupSettings& a = package.Popup();

  ordered_json j;
  j["clock"] = {{"name", Text(h.ClockName)}, {"author", Text(h.Author)}, {"email", Text(h.Email)},
                {"website", Text(h.Website)}};
  j["face"] = {{"type", Text(d.FaceType)}, {"flash", dc::IsFlashFaceType(d)}, {"bytes", +d.FaceLength},
               {"keyColor", FormatColour(d.KeyColor)}, {"left", +d.FaceLeft}, {"top", +d.FaceTop},
               {"width", +d.FaceWidth}, {"height", +d.FaceHeight}, {"shape", d.ShapeToPicture != 0},
               {"opacity", +d.Opacity}};
  if (dc::IsFlashFaceType(d)) j["face"]["movie"] = DescribeMovie(package.FaceData());
  j["led"] = {{"hidden", d.HideLed != 0}, {"left", +d.LedLeft}, {"top", +d.LedTop},
              {"background", FormatColour(d.LedBackColor)}, {"lit", FormatColour(d.LedLightColor)},
              {"thick", +d.Thickness}, {"wordWidth", +d.CellWidth}, {"wordHeight", +d.CellHeight},
              {"space", +d.Gap}, {"offsetX", +d.MarginX}, {"offsetY", +d.MarginY}};
  // What the player draws: the values its LED rules keep where they differ
  // from the stored ones, and the digit block for each time format.
  const clockpack::LedAsShown shown = LedAsThePlayerShowsIt(d);
  ordered_json uses = ordered_json::object();
  auto differs = [&](const char* key, std::int64_t stored, std::int64_t used) {
    if (stored != used) uses[key] = used;
  };
  differs("thick", d.Thickness, shown.thick);
  differs("wordWidth", d.CellWidth, shown.wordWidth);
  differs("wordHeight", d.CellHeight, shown.wordHeight);
  differs("space", d.Gap, shown.space);
  differs("offsetX", d.MarginX, shown.offsetX);
  differs("offsetY", d.MarginY, shown.offsetY);
  j["led"]["playerUses"] = uses;
  for (int cells : kTimeFormatCells) {
    const BlockSize block = DigitBlock(shown, cells);
    j["led"]["digitBlock"][std::to_string(cells) + " cells"] = {{"width", block.width}, {"height", block.height}};
  }
  j["alert"] = {{"style", a.Style == 0 ? "fade" : a.Style == 1 ? "center-grow" : "unknown"},
                {"captionFrom", FormatColour(a.CaptionFrom)}, {"captionTo", FormatColour(a.CaptionTo)},
                {"windowFrom", FormatColour(a.WindowFrom)}, {"windowTo", FormatColour(a.WindowTo)},
                {"font", Font(a.Font)}, {"headerFont", Font(a.HeaderFont)}, {"timed", a.Timed != 0},
                {"displaySeconds", +a.DisplaySeconds}, {"position", PositionName(a.Position)},
                {"left", +a.Left}, {"top", +a.Top}, {"width", +a.Width}, {"height", +a.Height}};
  j["sound"] = {{"name", Text(a.SoundName)}, {"bytes", +a.SoundLength}};
  j["fileBytes"] = bytes.size();
  return j;
}

std::string FormatDescription(const nlohmann::ordered_json& j) {
  std::ostringstream out;
  // One line per field, "section.field: value", in the package's order; a
  // value the player does not use is followed by the one it does, and a
  // digit block is "width x height".
  auto walk = [&](auto&& self, const nlohmann::ordered_json& node, const std::string& prefix) -> void {
    const nlohmann::ordered_json none = nlohmann::ordered_json::object();
    const nlohmann::ordered_json& uses = node.contains("playerUses") ? node["playerUses"] : none;
    for (auto it = node.begin(); it != node.end(); ++it) {
      std::string key = prefix.empty() ? it.key() : prefix + "." + it.key();
      if (it.key() == "playerUses") continue;
      if (it->is_object() && it->contains("width") && it->contains("height") && it->size() == 2) {
        out << key << ": " << (*it)["width"].dump() << " x " << (*it)["height"].dump() << "\n";
      } else if (it->is_object()) {
        self(self, *it, key);
      } else {
        out << key << ": " << (it->is_string() ? it->get<std::string>() : it->dump());
        if (uses.contains(it.key())) out << " (the player uses " << uses[it.key()].dump() << ")";
        out << "\n";
      }
    }
  };
  walk(walk, j, "");
  return out.str();
}

void AttachPackage(const std::filesystem::path& player, const std::filesystem::path& package,
                   const std::filesystem::path& out) {
  std::string name = dc::PathToUtf8(package.filename());
  std::optional<std::string> ansi = dc::Utf8ToAnsi(name, dc::Unmappable::Refuse);
  if (!ansi || ansi->empty() || ansi->size() > 32)
    throw ToolError("the package name \"" + name + "\" must be 1 to 32 bytes of the ANSI code page");
  std::vector<std::uint8_t> exe = ReadFileBytes(player);
  if (exe.size() < 2 || exe[0] != 'M' || exe[1] != 'Z') throw ToolError("\"" + dc::PathToUtf8(player) + "\" is no program");
  dc::ClockTrailer trailer = dc::MakeTrailer(*ansi);
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&trailer);
  exe.insert(exe.end(), raw, raw + sizeof trailer);
  WriteFileBytes(out, exe);
}

}  // namespace clockpack
