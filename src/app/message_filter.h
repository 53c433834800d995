// What the clock does with a queued message before it is dispatched: only a
// press on the Flash face's own window is acted on. And whether a left
// press on the face is a click, which the movie gets, or the start of a
// move of the clock, which it never sees.
#pragma once

namespace dc {

enum class FilterAction {
  Pass,             // dispatch as usual (a left press goes to the face, which tells a click from a move)
  OpenMenuAndDrop,  // right press: the clock's menu at the message's point; the control never sees it
};

FilterAction FlashMessageAction(bool hasFlash, bool toFlashWindow, unsigned message);

// A left press held on the face: once the pointer moves past the system's
// drag distance it moves the clock; let go before, it is a click at the
// press's point.
class ClickOrMove {
 public:
  void Press(int x, int y) {
    pressed_ = true;
    x_ = x;
    y_ = y;
  }
  // True once, when this move starts moving the clock: the press is then
  // no longer held. `dragWidth` and `dragHeight` are the system's drag
  // rectangle (SM_CXDRAG, SM_CYDRAG), centred on the press.
  bool Moved(int x, int y, int dragWidth, int dragHeight) {
    if (!pressed_) return false;
    const int dx = x > x_ ? x - x_ : x_ - x, dy = y > y_ ? y - y_ : y_ - y;
    if (dx * 2 <= dragWidth && dy * 2 <= dragHeight) return false;
    pressed_ = false;
    return true;
  }
  // True when the press was a click (it did not become a move).
  bool Released() {
    const bool click = pressed_;
    pressed_ = false;
    return click;
  }
  void Cancel() { pressed_ = false; }
  bool Held() const { return pressed_; }
  int X() const { return x_; }
  int Y() const { return y_; }

 private:
  bool pressed_ = false;
  int x_ = 0, y_ = 0;
};

}  // namespace dc
