// The face controls.
#include "app/face_controls.win.h"

#include <oleauto.h>
#include <ole2.h>

#include <utility>

#include "base/file_io.h"
#include "base/win_text.h"
#include "ui/bitmap.h"

namespace dc {
namespace {

constexpr wchar_t kImageClass[] = L"TImage";

}  // namespace

TImage::TImage(HWND parent, int left, int top, int width, int height, bool visible) {
  RegisterWindowClass(kImageClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr);
  Create(0, kImageClass, L"", WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), left, top, width, height,
         parent);
}

void TImage::LoadFromBytes(std::span<const std::uint8_t> bmp) {
  bitmap_.reset(ui::BitmapFromBmpBytes(bmp));
  InvalidateRect(hwnd(), nullptr, FALSE);
}

std::vector<std::uint32_t> TImage::PictureColours(std::int32_t& width, std::int32_t& height) const {
  width = height = 0;
  if (!bitmap_) return {};
  BITMAP info{};
  if (!GetObjectW(bitmap_.get(), sizeof info, &info)) return {};
  width = info.bmWidth;
  height = info.bmHeight;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  std::vector<std::uint32_t> px(static_cast<std::size_t>(width) * height);
  ui::WindowDC screen(nullptr);
  if (!GetDIBits(screen.get(), bitmap_.get(), 0, static_cast<UINT>(height), px.data(), &bi, DIB_RGB_COLORS)) {
    width = height = 0;
    return {};
  }
  for (std::uint32_t& p : px) p = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);  // to 0x00BBGGRR
  return px;
}

std::optional<LRESULT> TImage::HandleMessage(UINT msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      ui::PaintScope paint(hwnd());
      RECT client;
      GetClientRect(hwnd(), &client);
      FillRect(paint.get(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      if (bitmap_) {
        ui::UniqueMemoryDC mem(CreateCompatibleDC(paint.get()));
        if (mem) {
          ui::ScopedSelect select(mem.get(), bitmap_.get());
          BitBlt(paint.get(), 0, 0, client.right, client.bottom, mem.get(), 0, 0, SRCCOPY);
        }
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (OnMouseDown) OnMouseDown(msg);
      return 0;
  }
  return std::nullopt;
}

bool IsFlashControlInstalled() {
  HKEY key = nullptr;
  std::wstring path = std::wstring(L"CLSID\\") + kFlashClassId + L"\\InprocServer32";
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

FlashFace::FlashFace(HWND parent, const std::wstring& moviePath, int left, int top, int width, int height) {
  if (!IsFlashControlInstalled())
    throw UserError("The clock's Flash face cannot be shown: the Shockwave Flash control is not installed on "
                    "this system. The clock runs with its digits only.");
  OleInitialize(nullptr);
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
  IUnknown* unknown = nullptr;
  if (!hwnd_ || FAILED(getControl(hwnd_, &unknown)) || !unknown)
    throw UserError("The clock's Flash face cannot be shown: the Shockwave Flash control does not start.");
  IDispatch* dispatch = nullptr;
  HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  unknown->Release();
  if (FAILED(hr) || !dispatch) throw UserError("The clock's Flash face cannot be shown: the control has no Movie.");
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(moviePath.c_str());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  hr = dispatch->Invoke(102, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  VariantClear(&value);
  dispatch->Release();
  if (FAILED(hr)) throw UserError("The clock's Flash movie cannot be loaded: " + SystemErrorText(static_cast<unsigned long>(hr)));
  guard.done = true;
}

FlashFace::~FlashFace() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

}  // namespace dc
