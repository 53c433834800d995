// The about box, laid out in pixels.
#include "app/about_dialog.win.h"

#include <shellapi.h>

#include "app/version.h"
#include "base/win_text.win.h"
#include "notify/tray_text.h"
#include "ui/window_classes.h"

namespace dc {
namespace {

constexpr int kClientWidth = 309, kClientHeight = 202;
// The frame holding the labels; their positions are measured from it.
constexpr RECT kGroup{16, 8, 16 + 273, 8 + 145};
constexpr POINT kGroupOrigin{kGroup.left, kGroup.top};

void ShellOpen(HWND owner, const std::wstring& address) {
  ShellExecuteW(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

AboutDialog::AboutDialog(HWND owner, const AboutTexts& texts) : Dialog(owner), openAddress(ShellOpen), texts_(texts) {
  CreateDialogWindow(ui::kAboutClass, L"", kClientWidth, kClientHeight);
  const ui::FontSpec nameFont{16, FW_BOLD}, linkFont{11, FW_NORMAL, true};
  const ui::ControlBuilder dialog = Controls();
  HWND ok = dialog.Add({L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kOkId, 208, 160, 75, 25});
  dialog.Add({L"BUTTON", L"", BS_GROUPBOX, 0, kGroup.left, kGroup.top, kGroup.right - kGroup.left,
              kGroup.bottom - kGroup.top});
  // The program's version, left of the OK button.
  dialog.Label(L"Deskclock " DESKCLOCK_VERSION_W, 16, 166, kVersionId, SS_NOPREFIX);
  const ui::ControlBuilder group = Controls(kGroupOrigin);
  group.Add({L"STATIC", Utf8ToWide(texts_.name), SS_NOPREFIX | SS_CENTER, 0, 3, 24, 262, 20, 0, nameFont});
  group.Label(L"Author", 24, 64);
  group.Label(Utf8ToWide(texts_.author), 72, 64, 0, SS_NOPREFIX);
  group.Label(L"Website", 16, 88);
  group.Label(Utf8ToWide(texts_.website), 72, 88, kWebsiteId, SS_NOPREFIX | SS_NOTIFY, linkFont);
  group.Label(L"Email", 30, 112);
  group.Label(Utf8ToWide(texts_.email), 72, 112, kEmailId, SS_NOPREFIX | SS_NOTIFY, linkFont);
  SetInitialFocus(ok);
}

std::optional<LRESULT> AboutDialog::DialogMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kOkId:
          EndModal();
          return 0;
        case kWebsiteId:
          if (HIWORD(wp) == STN_CLICKED) {
            if (std::optional<std::string> url = WebsiteToOpen(texts_.website)) openAddress(hwnd(), Utf8ToWide(*url));
          }
          return 0;
        case kEmailId:
          if (HIWORD(wp) == STN_CLICKED) openAddress(hwnd(), Utf8ToWide(MailtoOf(texts_.email)));
          return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, id == kWebsiteId || id == kEmailId ? RGB(0, 0, 255) : GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wp));
      if (id == kWebsiteId || id == kEmailId) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
  }
  return std::nullopt;
}

}  // namespace dc
