// The program's modal dialogs: a fixed dialog frame of a given client size,
// centred on the screen, in the dialog font ("MS Sans Serif", 11 pixels),
// modal for its owner; all at the scale of the monitor it shows on, and
// laid out again when WM_DPICHANGED gives it another. A dialog ends the way EndDialog ends one: the owner
// is enabled first and the dialog hidden after, so the system hands the
// activation back to the owner and not to another program. Across
// deactivation the dialog keeps the control that had the keyboard focus and
// gives the focus back to it.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "ui/control_builder.win.h"
#include "ui/handles.win.h"
#include "ui/window.win.h"

namespace dc::ui {

class Dialog : public Window {
 public:
  ~Dialog() override;
  // Shows the dialog and runs messages until EndModal, or until the dialog
  // is destroyed; the owner is disabled meanwhile.
  void RunModal();
  HWND Owner() const { return owner_; }
  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
  // The DPI the dialog is laid out for.
  int Dpi() const { return controls_ ? controls_->Dpi() : 0; }

 protected:
  explicit Dialog(HWND owner) : owner_(owner) {}
  // Registers the class and creates the hidden dialog window, its client
  // area given at 100 %, at the scale of the primary monitor.
  void CreateDialogWindow(const wchar_t* className, const wchar_t* caption, int clientWidth, int clientHeight);
  ControlBuilder Controls(POINT origin = {0, 0}) const { return ControlBuilder(*controls_, origin); }
  // The controls took another DPI: what a dialog sizes itself (columns).
  virtual void OnDpiChanged(int /*dpi*/) {}
  // The control that takes the keyboard focus when the dialog first shows.
  void SetInitialFocus(HWND control) { focus_ = control; }
  // Enables the owner, then hides the dialog: the modal run ends.
  void EndModal();
  // The title bar's close button, Escape and Cancel (IDCANCEL); ends the run.
  virtual void OnCancel() { EndModal(); }
  // The dialog's own messages; what returns nothing falls through.
  virtual std::optional<LRESULT> DialogMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) final;
  void GiveOwnerBack();

  HWND owner_;
  std::unique_ptr<ControlLayout> controls_;
  HWND focus_ = nullptr;  // the control to give the focus back to
  bool ownerDisabled_ = false;
};

}  // namespace dc::ui
