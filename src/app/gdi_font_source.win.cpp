// Device font glyphs from GDI: the font made by CreateFontW, its glyph's
// outline buffer from GetGlyphOutlineW read by the portable reader.
#include "app/gdi_font_source.win.h"

#include <cstdint>
#include <vector>

#include "base/win_text.win.h"
#include "swf/text/system_outline.h"

namespace dc {
namespace {

// A glyph's outline buffer larger than this is not a text face's.
constexpr DWORD kMaxOutlineBytes = 1024 * 1024;
// The fonts made, each name and style once; the player asks for no more
// than kMaxDeviceFaces, this only keeps the map bounded whoever asks.
constexpr std::size_t kMaxFonts = 2 * swf::kMaxDeviceFaces;

bool SameFace(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The family GDI looks in when the face is missing, so that a stand-in is
// of the same kind.
BYTE FamilyOf(const std::wstring& face) {
  if (SameFace(face, L"Times New Roman")) return VARIABLE_PITCH | FF_ROMAN;
  if (SameFace(face, L"Courier New")) return FIXED_PITCH | FF_MODERN;
  return DEFAULT_PITCH | FF_DONTCARE;
}

ui::UniqueFont MakeFont(const std::wstring& face, bool bold, bool italic) {
  return ui::UniqueFont(CreateFontW(-static_cast<int>(swf::kDeviceUnitsPerEm), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL,
                                    italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS,
                                    ANTIALIASED_QUALITY, FamilyOf(face), face.c_str()));
}

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

// Whether the system has a font family of that name, in English or in
// the name the font gives for another language (GetTextFaceW answers in
// one of them only).
bool SystemHasFamily(HDC dc, const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(dc, &lf, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace

GdiFontSource::GdiFontSource() : dc_(CreateCompatibleDC(nullptr)) {}

HFONT GdiFontSource::FontFor(std::string_view name, bool bold, bool italic) {
  if (!dc_) return nullptr;
  auto key = std::make_tuple(std::string(name), bold, italic);
  if (const auto it = fonts_.find(key); it != fonts_.end()) return it->second.get();
  if (fonts_.size() >= kMaxFonts) return nullptr;
  const std::wstring wanted = Utf8ToWide(swf::SystemFontName(name));
  ui::UniqueFont font;
  if (!wanted.empty() && wanted.size() < LF_FACESIZE) {
    font = MakeFont(wanted, bold, italic);
    // GDI gives some font for any name: one that is not the name's means
    // the system lacks it.
    if (font && !SameFace(Face(font.get()), wanted) && !SystemHasFamily(dc_.get(), wanted)) font.reset();
  }
  // Arial, or what GDI stands in for it.
  if (!font) font = MakeFont(L"Arial", bold, italic);
  return fonts_.emplace(std::move(key), std::move(font)).first->second.get();
}

std::wstring GdiFontSource::FaceOf(std::string_view name, bool bold, bool italic) {
  const HFONT font = FontFor(name, bold, italic);
  return font != nullptr ? Face(font) : std::wstring();
}

std::wstring GdiFontSource::Face(HFONT font) {
  ui::ScopedSelect select(dc_.get(), font);
  wchar_t face[LF_FACESIZE] = {};
  if (!select.Selected() || GetTextFaceW(dc_.get(), LF_FACESIZE, face) <= 0) return {};
  return face;
}

std::optional<swf::DeviceFontMetrics> GdiFontSource::Metrics(std::string_view name, bool bold, bool italic) {
  const HFONT font = FontFor(name, bold, italic);
  if (font == nullptr) return std::nullopt;
  ui::ScopedSelect select(dc_.get(), font);
  TEXTMETRICW tm{};
  if (!select.Selected() || !GetTextMetricsW(dc_.get(), &tm)) return std::nullopt;
  // A bitmap font has no outlines to read glyphs from (TrueType and
  // OpenType fonts say they are vector fonts too).
  if ((tm.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) == 0) return std::nullopt;
  return swf::DeviceFontMetrics{static_cast<double>(tm.tmAscent), static_cast<double>(tm.tmDescent)};
}

std::optional<swf::Glyph> GdiFontSource::GlyphOf(std::string_view name, bool bold, bool italic, char32_t code) {
  // One UTF-16 unit: characters past it are left to the fallback.
  if (code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  const HFONT font = FontFor(name, bold, italic);
  if (font == nullptr) return std::nullopt;
  ui::ScopedSelect select(dc_.get(), font);
  if (!select.Selected()) return std::nullopt;
  const wchar_t ch = static_cast<wchar_t>(code);
  WORD index = 0;
  if (GetGlyphIndicesW(dc_.get(), &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xFFFF)
    return std::nullopt;
  const UINT format = GGO_NATIVE | GGO_UNHINTED | GGO_GLYPH_INDEX;
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS gm{};
  const DWORD size = GetGlyphOutlineW(dc_.get(), index, format, &gm, 0, nullptr, &identity);
  if (size == GDI_ERROR || size > kMaxOutlineBytes) return std::nullopt;
  std::vector<std::uint8_t> buffer(size);
  if (size > 0 && GetGlyphOutlineW(dc_.get(), index, format, &gm, size, buffer.data(), &identity) == GDI_ERROR)
    return std::nullopt;
  std::optional<swf::Shape> shape = swf::ReadSystemOutline(buffer);
  if (!shape) return std::nullopt;
  return swf::Glyph{std::move(*shape), static_cast<std::uint16_t>(code), static_cast<double>(gm.gmCellIncX)};
}

}  // namespace dc
