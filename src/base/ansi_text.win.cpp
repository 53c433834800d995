// The system's ANSI code page for the Windows build.
#include <windows.h>

#include "base/ansi_text.h"
#include "base/win_text.win.h"

namespace dc {

std::string AnsiToUtf8(std::string_view ansi) { return WideToUtf8(AnsiToWide(ansi)); }

std::optional<std::string> Utf8ToAnsi(std::string_view utf8, Unmappable rule) {
  std::wstring wide = Utf8ToWide(utf8);
  if (wide.empty()) return std::string();
  // Refusing asks the system to report a lossy conversion (no best fit);
  // substituting takes the system's own stand-ins.
  const DWORD flags = rule == Unmappable::Refuse ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL lossy = FALSE;
  BOOL* lossyOut = rule == Unmappable::Refuse ? &lossy : nullptr;
  const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                    lossyOut);
  if (n <= 0) return rule == Unmappable::Refuse ? std::nullopt : std::optional<std::string>(std::string());
  if (lossy) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::filesystem::path PathFromUtf8(std::string_view utf8) { return std::filesystem::path(Utf8ToWide(utf8)); }

}  // namespace dc
