// The Flash face's message filter.
#include "app/message_filter.h"

namespace dc {

FilterAction FlashMessageAction(bool hasFlash, bool toFlashWindow, unsigned message) {
  if (!hasFlash || !toFlashWindow) return FilterAction::Pass;
  if (message == 0x0204) return FilterAction::OpenMenuAndDrop;  // right button down
  return FilterAction::Pass;
}

}  // namespace dc
