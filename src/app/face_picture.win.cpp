// The picture face and BMP loading.
#include "app/face_picture.win.h"

#include "base/pixels.h"
#include "base/scale.h"
#include "base/user_error.h"
#include "base/win_text.win.h"
#include "layout/picture_scale.h"
#include "package/face_bitmap.h"
#include "ui/window_classes.h"

namespace dc {

ui::UniqueBitmap BitmapFromBmpBytes(std::span<const std::uint8_t> bmp) {
  auto fail = [](const std::string& why) { return UserError("The clock's face picture cannot be loaded: " + why + "."); };
  FaceBitmapLayout layout;
  if (std::string why = CheckFaceBitmap(bmp, &layout); !why.empty()) throw fail(why);
  ui::WindowDC screen(nullptr);
  if (!screen.get()) throw fail("no screen to draw on");
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bmp.data() + layout.infoOffset);
  ui::UniqueBitmap bitmap(CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, bmp.data() + layout.pixelOffset,
                                         info, DIB_RGB_COLORS));
  if (!bitmap) throw fail("the system could not make a bitmap of it");
  return bitmap;
}

FacePicture::FacePicture(HWND parent, int left, int top, int width, int height, bool visible) {
  RegisterWindowClass(ui::kFaceClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr);
  Create(0, ui::kFaceClass, L"", WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), left, top, width, height,
         parent);
}

void FacePicture::LoadFromBytes(std::span<const std::uint8_t> bmp) {
  bitmap_ = BitmapFromBmpBytes(bmp);
  scaled_.reset();
  ReadColours();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void FacePicture::ReadColours() {
  colours_.clear();
  width_ = height_ = 0;
  BITMAP info{};
  if (!GetObjectW(bitmap_.get(), sizeof info, &info)) return;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB};
  std::vector<std::uint32_t> px(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
  ui::WindowDC screen(nullptr);
  if (!GetDIBits(screen.get(), bitmap_.get(), 0, static_cast<UINT>(info.bmHeight), px.data(), &bi, DIB_RGB_COLORS))
    return;
  for (std::uint32_t& p : px) p = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);  // to 0x00BBGGRR
  colours_ = std::move(px);
  width_ = info.bmWidth;
  height_ = info.bmHeight;
}

void FacePicture::SetScale(int dpi, std::optional<std::uint32_t> key) {
  scaled_.reset();
  InvalidateRect(hwnd(), nullptr, FALSE);
  if (dpi == kBaseDpi || colours_.empty()) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  const ScaledPicture picture = ScalePicture(colours_, width_, height_, dpi, key, client.right, client.bottom);
  if (picture.width <= 0 || picture.height <= 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB};
  void* bits = nullptr;
  ui::UniqueBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits)
    throw UserError("The clock's face picture cannot be shown at the screen's scale: " + SystemErrorText(GetLastError()));
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < picture.colours.size(); ++i) out[i] = ColourToPixel(picture.colours[i]);
  GdiFlush();
  scaled_ = std::move(dib);
}

std::optional<LRESULT> FacePicture::HandleMessage(UINT msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      ui::PaintScope paint(hwnd());
      RECT client;
      GetClientRect(hwnd(), &client);
      FillRect(paint.get(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      if (const HBITMAP shown = scaled_ ? scaled_.get() : bitmap_.get()) {
        ui::UniqueMemoryDC mem(CreateCompatibleDC(paint.get()));
        if (mem) {
          ui::ScopedSelect select(mem.get(), shown);
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
    case WM_RBUTTONUP:
      return 0;  // the press was reported: no second context menu
  }
  return std::nullopt;
}

}  // namespace dc
