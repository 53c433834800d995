// Measuring texts.
#include "ui/text_size.win.h"

#include "ui/handles.win.h"

namespace dc::ui {

SIZE TextSize(HWND window, HFONT font, std::wstring_view text) {
  SIZE size{};
  WindowDC dc(window);
  if (!dc.get()) return size;
  ScopedSelect select(dc.get(), font);
  GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
  return size;
}

}  // namespace dc::ui
