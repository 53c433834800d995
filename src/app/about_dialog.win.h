// AboutDialog: the modal about box with the package's clock name, author,
// website and e-mail, and the program's version, at its monitor's scale;
// the two links go to the shell.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/dialog.win.h"
#include "ui/handles.win.h"

namespace dc {

struct AboutTexts {
  std::string name, author, website, email;  // UTF-8
};

class AboutDialog : public ui::Dialog {
 public:
  static constexpr int kOkId = 1, kWebsiteId = 101, kEmailId = 102, kVersionId = 103;

  AboutDialog(HWND owner, const AboutTexts& texts);
  void ShowModal() { RunModal(); }

  // The shell's default action on an address (a seam for tests).
  std::function<void(HWND owner, const std::wstring& address)> openAddress;

 private:
  std::optional<LRESULT> DialogMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  AboutTexts texts_;
};

}  // namespace dc
