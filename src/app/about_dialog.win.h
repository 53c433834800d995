// TfrmAbout: the modal about box with the package's clock name, author,
// website and e-mail; the two links go to the shell.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/handles.h"
#include "ui/window.h"

namespace dc {

struct AboutTexts {
  std::string name, author, website, email;  // UTF-8
};

class TfrmAbout : public ui::Window {
 public:
  static constexpr int kOkId = 1, kWebsiteId = 101, kEmailId = 102;

  TfrmAbout(HWND owner, const AboutTexts& texts);
  // Shows the box modally until it closes.
  void ShowModal();

  // The shell's default action on an address (a seam for tests).
  std::function<void(HWND owner, const std::wstring& address)> openAddress;

  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  HWND Label(const std::wstring& text, int id, int left, int top, int width, int height, DWORD style, HFONT font);

  HWND owner_;
  AboutTexts texts_;
  ui::UniqueFont font_, nameFont_, linkFont_;
};

}  // namespace dc
