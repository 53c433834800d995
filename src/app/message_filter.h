// What the clock does with a queued message before it is dispatched: only a
// press on the Flash face's own window is acted on.
#pragma once

namespace dc {

enum class FilterAction {
  Pass,             // dispatch as usual
  MoveThenPass,     // left press: move the window, then dispatch
  OpenMenuAndDrop,  // right press: the clock's menu at the message's point; the control never sees it
};

FilterAction FlashMessageAction(bool hasFlash, bool toFlashWindow, unsigned message);

}  // namespace dc
