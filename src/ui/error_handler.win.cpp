// The error queue, shown from a message-only window's posted message.
#include "ui/error_handler.h"

#include <windows.h>

#include <algorithm>
#include <deque>

#include "ui/message_box.h"
#include "ui/window_classes.h"

namespace dc::ui {
namespace {

constexpr UINT kShowErrors = WM_APP + 1;

struct ErrorQueue {
  std::deque<std::string> waiting;
  HWND owner = nullptr;
  HWND poster = nullptr;
  bool showing = false;
  std::function<void(const std::string&)> sink;
};

ErrorQueue& Queue() {
  static ErrorQueue q;
  return q;
}

// While a box is shown, later errors wait in the queue; the flag comes
// down however the showing ends, so a throw cannot silence every later error.
class ShowingScope {
 public:
  explicit ShowingScope(bool& showing) : showing_(showing) { showing_ = true; }
  ~ShowingScope() { showing_ = false; }
  ShowingScope(const ShowingScope&) = delete;
  ShowingScope& operator=(const ShowingScope&) = delete;

 private:
  bool& showing_;
};

LRESULT CALLBACK PosterProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != kShowErrors) return DefWindowProcW(hwnd, msg, wp, lp);
  // Nothing crosses into the system's code from here either; what failed
  // while showing errors is shown from the next posted message.
  try {
    ShowQueuedErrors();
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("An unexpected error occurred while an error was shown.");
  }
  return 0;
}

HWND Poster() {
  ErrorQueue& q = Queue();
  if (!q.poster) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = PosterProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kErrorsClass;
    RegisterClassExW(&wc);  // already registered is fine; without a poster, errors show at once
    q.poster = CreateWindowExW(0, kErrorsClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
  return q.poster;
}

}  // namespace

void SetErrorOwner(HWND owner) { Queue().owner = owner; }

void SetErrorSink(std::function<void(const std::string&)> sink) { Queue().sink = std::move(sink); }

void ReportError(const std::string& text) {
  ErrorQueue& q = Queue();
  if (std::find(q.waiting.begin(), q.waiting.end(), text) != q.waiting.end()) return;
  q.waiting.push_back(text);
  HWND poster = Poster();
  if (!poster || !PostMessageW(poster, kShowErrors, 0, 0)) ShowQueuedErrors();
}

void ShowQueuedErrors() {
  ErrorQueue& q = Queue();
  if (q.showing) return;  // the box already open shows the rest when closed
  ShowingScope showing(q.showing);
  while (!q.waiting.empty()) {
    // The text stays queued while shown, so the same error met meanwhile
    // is not shown again; it goes even when showing it throws.
    struct PopFront {
      std::deque<std::string>& q;
      ~PopFront() { q.pop_front(); }
    } pop{q.waiting};
    const std::string text = q.waiting.front();
    if (q.sink) {
      q.sink(text);
    } else {
      ShowError(q.owner && IsWindow(q.owner) ? q.owner : nullptr, text);
    }
  }
}

}  // namespace dc::ui
