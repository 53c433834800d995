// Hosting the Flash control.
#include "app/flash_face.win.h"

#include <oleauto.h>

#include <utility>

#include "base/user_error.h"
#include "base/win_text.h"
#include "ui/handles.h"

namespace dc {
namespace {

// A VARIANT cleared when it goes.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() { VariantInit(&v); }
  ~ScopedVariant() { VariantClear(&v); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

}  // namespace

bool IsFlashControlInstalled() {
  HKEY raw = nullptr;
  const std::wstring path = std::wstring(L"CLSID\\") + kFlashClassId + L"\\InprocServer32";
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
  ui::UniqueKey key(raw);
  return true;
}

FlashFace::FlashFace(HWND parent, const std::wstring& moviePath, int left, int top, int width, int height) {
  if (!IsFlashControlInstalled())
    throw UserError("The clock's Flash face cannot be shown: the Shockwave Flash control is not installed on "
                    "this system. The clock runs with its digits only.");
  if (!ole_.ok()) throw UserError("The clock's Flash face cannot be shown: OLE cannot be initialised.");
  HMODULE atl = LoadLibraryW(L"atl.dll");
  using InitFn = BOOL(WINAPI*)();
  using GetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
  auto init = atl ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit"))) : nullptr;
  auto getControl =
      atl ? reinterpret_cast<GetControlFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl"))) : nullptr;
  if (!init || !getControl || !init())
    throw UserError("The clock's Flash face cannot be shown: the system's control host (atl.dll) is missing.");
  // Whatever fails below, no half-made control stays behind.
  struct Guard {
    HWND& h;
    bool done = false;
    ~Guard() {
      if (!done && h) DestroyWindow(std::exchange(h, nullptr));
    }
  } guard{hwnd_};
  hwnd_ = CreateWindowExW(0, L"AtlAxWin", kFlashClassId, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, left, top, width,
                          height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  ui::ComPtr<IUnknown> unknown;
  if (!hwnd_ || FAILED(getControl(hwnd_, unknown.put())) || !unknown)
    throw UserError("The clock's Flash face cannot be shown: the Shockwave Flash control does not start.");
  ui::ComPtr<IDispatch> dispatch;
  if (FAILED(unknown->QueryInterface(IID_IDispatch, ui::PutVoid(dispatch))) || !dispatch)
    throw UserError("The clock's Flash face cannot be shown: the control has no Movie.");
  ScopedVariant value;
  value.v.vt = VT_BSTR;
  value.v.bstrVal = SysAllocString(moviePath.c_str());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value.v, &named, 1, 1};
  const HRESULT hr =
      dispatch->Invoke(102, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  if (FAILED(hr))
    throw UserError("The clock's Flash movie cannot be loaded: " + SystemErrorText(static_cast<unsigned long>(hr)));
  guard.done = true;
}

FlashFace::~FlashFace() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

}  // namespace dc
