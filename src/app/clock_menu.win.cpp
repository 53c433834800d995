// The menu's items.
#include "app/clock_menu.win.h"

#include "base/user_error.h"
#include "base/win_text.win.h"

namespace dc {
namespace {

UINT Id(MenuCommand c) { return static_cast<UINT>(c); }

}  // namespace

ClockMenu::ClockMenu() : menu_(CreatePopupMenu()) {
  if (!menu_) throw UserError("The clock's menu cannot be created: " + SystemErrorText(GetLastError()));
  const struct {
    MenuCommand command;
    const wchar_t* text;  // null: a separator
  } items[] = {{MenuCommand::Alarms, L"&Alarms"},      {MenuCommand::ShowHide, L"&Hide"}, {MenuCommand::Alarms, nullptr},
               {MenuCommand::StayOnTop, L"Always On &Tip"}, {MenuCommand::AutoRun, L"Auto &Run"},
               {MenuCommand::Alarms, nullptr},     {MenuCommand::About, L"A&bout"},   {MenuCommand::Alarms, nullptr},
               {MenuCommand::Exit, L"&Exit"}};
  for (const auto& item : items) {
    const BOOL ok = item.text ? AppendMenuW(menu_.get(), MF_STRING, Id(item.command), item.text)
                              : AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
    if (!ok) throw UserError("The clock's menu cannot be created: " + SystemErrorText(GetLastError()));
  }
}

void ClockMenu::Show(const ClockState& state) {
  HMENU m = menu_.get();
  ModifyMenuW(m, Id(MenuCommand::ShowHide), MF_BYCOMMAND | MF_STRING, Id(MenuCommand::ShowHide),
              ShowHideCaption(state));
  CheckMenuItem(m, Id(MenuCommand::StayOnTop), MF_BYCOMMAND | (state.stayOnTop ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(m, Id(MenuCommand::AutoRun), MF_BYCOMMAND | (state.autoRun ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace dc
