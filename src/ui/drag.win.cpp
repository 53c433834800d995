// The drag.
#include "ui/drag.h"

#include <windows.h>

namespace dc::ui {

void StartWindowDrag(HWND window) {
  ReleaseCapture();  // the pressed control holds the mouse; the move loop takes it
  SendMessageW(window, WM_SYSCOMMAND, kDragCommand, 0);
}

}  // namespace dc::ui
