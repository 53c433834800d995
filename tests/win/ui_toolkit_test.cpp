// The toolkit's modal dialogs and popup menus as the system sees them: a
// dialog gives its owner back before it hides and keeps its focus across
// deactivation; a popup menu is followed by the empty message that lets it
// close when the user clicks elsewhere. A drawing surface is kept while its
// size stays.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/dialog.win.h"
#include "ui/dib_surface.win.h"
#include "test_support.h"
#include "ui/menu.win.h"

using namespace dc;

namespace {

using dctest::Pump;

// A plain top-level window to own a dialog.
struct Owner : ui::Window {
  Owner() {
    RegisterWindowClass(L"DeskClockTest.Owner", 0, nullptr, nullptr);
    Create(0, L"DeskClockTest.Owner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr);
  }
  std::optional<LRESULT> HandleMessage(UINT, WPARAM, LPARAM) override { return std::nullopt; }
};

// A dialog with two buttons that records the owner's state when it hides.
struct TwoButtons : ui::Dialog {
  static constexpr int kFirst = 10, kSecond = 11;
  int ownerEnabledAtHide = -1;
  explicit TwoButtons(HWND owner) : Dialog(owner) {
    CreateDialogWindow(L"DeskClockTest.Dialog", L"test", 200, 100);
    const ui::ControlBuilder controls = Controls();
    SetInitialFocus(controls.Add({L"BUTTON", L"first", WS_TABSTOP, kFirst, 10, 10, 80, 25}));
    controls.Add({L"BUTTON", L"second", WS_TABSTOP, kSecond, 100, 10, 80, 25});
  }
  void End() { EndModal(); }
  std::optional<LRESULT> DialogMessage(UINT msg, WPARAM wp, LPARAM) override {
    if (msg == WM_SHOWWINDOW && !wp) ownerEnabledAtHide = IsWindowEnabled(Owner()) ? 1 : 0;
    return std::nullopt;
  }
};

TwoButtons* g_dialog = nullptr;
HWND g_other = nullptr;
HWND g_focusAfterReturn = nullptr;
bool g_ownerDisabledWhileModal = false;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
  static int step = 0;
  KillTimer(nullptr, id);
  switch (step++) {
    case 0:  // modal: the owner is disabled; focus the second button
      g_ownerDisabledWhileModal = !IsWindowEnabled(g_dialog->Owner());
      SetFocus(g_dialog->Control(TwoButtons::kSecond));
      SetActiveWindow(g_other);  // the user turns to another window...
      break;
    case 1:  // ...and back
      SetActiveWindow(g_dialog->hwnd());
      break;
    case 2:
      g_focusAfterReturn = GetFocus();
      g_dialog->End();
      return;
  }
  SetTimer(nullptr, 0, 100, DriveDialog);
}

}  // namespace

TEST(ModalDialog, GivesTheOwnerBackBeforeItHidesAndKeepsItsFocus) {
  Owner owner, other;
  g_other = other.hwnd();
  TwoButtons dialog(owner.hwnd());
  g_dialog = &dialog;
  SetTimer(nullptr, 0, 200, DriveDialog);
  dialog.RunModal();  // returns at End()
  EXPECT_TRUE(g_ownerDisabledWhileModal) << "the owner is disabled while the dialog runs";
  EXPECT_EQ(g_focusAfterReturn, dialog.Control(TwoButtons::kSecond))
      << "back from another window, the focus is on the control that had it";
  EXPECT_EQ(dialog.ownerEnabledAtHide, 1) << "the owner is enabled before the dialog hides";
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_FALSE(IsWindowVisible(dialog.hwnd()));
  Pump();
  EXPECT_EQ(GetActiveWindow(), owner.hwnd()) << "the owner has the activation back";
}

namespace {

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

}  // namespace

TEST(PopupMenu, TheOwnerGetsAnEmptyMessageAfterTheMenu) {
  Owner owner;
  ui::UniqueMenu menu(CreatePopupMenu());
  AppendMenuW(menu.get(), MF_STRING, 7, L"item");
  Pump();
  MSG stale;
  while (PeekMessageW(&stale, owner.hwnd(), WM_NULL, WM_NULL, PM_REMOVE)) {
  }
  SetTimer(nullptr, 0, 200, CloseMenu);
  EXPECT_EQ(ui::TrackMenu(menu.get(), owner.hwnd(), {100, 100}), 0u) << "dismissed: no command";
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, owner.hwnd(), WM_NULL, WM_NULL, PM_REMOVE)) << "WM_NULL follows the menu";
}

TEST(DibSurface, KeptWhileItsSizeStaysAndMadeAgainForANewOne) {
  ui::DibSurface surface;
  surface.Ensure(8, 4, "test surface");
  const HBITMAP first = surface.Bitmap();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetCurrentObject(surface.Dc(), OBJ_BITMAP), first);
  surface.Bits()[31] = 0x00ABCDEF;
  surface.Ensure(8, 4, "test surface");  // the same size: the same bits
  EXPECT_EQ(surface.Bitmap(), first);
  EXPECT_EQ(surface.Bits()[31], 0x00ABCDEFu);
  surface.Ensure(16, 2, "test surface");
  BITMAP info{};
  ASSERT_EQ(GetObjectW(surface.Bitmap(), sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 16);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(GetCurrentObject(surface.Dc(), OBJ_BITMAP), surface.Bitmap());
}
