// The about box, laid out in pixels.
#include "app/about_dialog.win.h"

#include <shellapi.h>

#include "base/win_text.h"
#include "notify/tray_text.h"
#include "ui/modal.h"
#include "ui/text_size.h"

namespace dc {
namespace {

constexpr wchar_t kClass[] = L"TfrmAbout";
constexpr int kGroupLeft = 16, kGroupTop = 8;

void ShellOpen(HWND owner, const std::wstring& address) {
  ShellExecuteW(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

HFONT MakeFont(int height, int weight, bool underline) {
  return CreateFontW(-height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
}

}  // namespace

TfrmAbout::TfrmAbout(HWND owner, const AboutTexts& texts) : openAddress(ShellOpen), owner_(owner), texts_(texts) {
  RegisterWindowClass(kClass, 0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME;
  RECT frame{0, 0, 309, 202};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  Create(exStyle, kClass, L"", style, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2,
         w, h, owner);
  font_.reset(MakeFont(11, FW_NORMAL, false));
  nameFont_.reset(MakeFont(16, FW_BOLD, false));
  linkFont_.reset(MakeFont(11, FW_NORMAL, true));

  HWND ok = CreateWindowExW(0, L"BUTTON", L"&OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 208, 160, 75,
                            25, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOkId)), nullptr, nullptr);
  SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  HWND group = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, kGroupLeft, kGroupTop, 273, 145,
                               hwnd(), nullptr, nullptr, nullptr);
  SendMessageW(group, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

  Label(Utf8ToWide(texts_.name), 0, 3, 24, 262, 20, SS_CENTER, nameFont_.get());
  Label(L"Author", 0, 24, 64, -1, -1, 0, font_.get());
  Label(Utf8ToWide(texts_.author), 0, 72, 64, -1, -1, 0, font_.get());
  Label(L"Website", 0, 16, 88, -1, -1, 0, font_.get());
  Label(Utf8ToWide(texts_.website), kWebsiteId, 72, 88, -1, -1, SS_NOTIFY, linkFont_.get());
  Label(L"Email", 0, 30, 112, -1, -1, 0, font_.get());
  Label(Utf8ToWide(texts_.email), kEmailId, 72, 112, -1, -1, SS_NOTIFY, linkFont_.get());
  SetFocus(ok);
}

HWND TfrmAbout::Label(const std::wstring& text, int id, int left, int top, int width, int height, DWORD style,
                      HFONT font) {
  if (width < 0) {
    // A label without a fixed size takes the size of its text.
    const SIZE size = ui::TextSize(hwnd(), font, text);
    width = size.cx;
    height = size.cy;
  }
  // Labels sit in the group box; their positions are the group box's.
  HWND label = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX | style,
                               kGroupLeft + left, kGroupTop + top, width, height, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

void TfrmAbout::ShowModal() { ui::RunModal(hwnd(), owner_); }

std::optional<LRESULT> TfrmAbout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kOkId:
        case IDCANCEL:
          DestroyWindow(hwnd());
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
    case WM_CLOSE:
      DestroyWindow(hwnd());
      return 0;
  }
  return std::nullopt;
}

}  // namespace dc
