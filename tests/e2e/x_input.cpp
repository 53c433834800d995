// xdotool from inside Wine: Wine starts Unix programs as it starts Windows
// ones.
#include "x_input.h"

#include "player_driver.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace dctest::input {
namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string Point(int v) { return std::to_string(v); }

}  // namespace

std::string XdotoolOutput(const std::vector<std::string>& args);

void Xdotool(const std::vector<std::string>& args) { XdotoolOutput(args); }

std::string XdotoolOutput(const std::vector<std::string>& args) {
  std::string line = "/usr/bin/xdotool";
  for (const std::string& a : args) line += " " + a;
  std::string out;
  const int code = RunUnix(line, &out);
  if (code != 0) throw std::runtime_error("xdotool failed (" + std::to_string(code) + "): " + line);
  return out;
}

void MoveTo(POINT p) {
  Xdotool({"mousemove", Point(p.x), Point(p.y)});
  Pause(50);
}

void PressAndMove(int button, POINT from, POINT to, int steps) {
  MoveTo(from);
  Xdotool({"mousedown", std::to_string(button)});
  Pause(200);
  for (int s = 1; s <= steps; ++s) {
    Xdotool({"mousemove", Point(from.x + (to.x - from.x) * s / steps), Point(from.y + (to.y - from.y) * s / steps)});
    Pause(60);
  }
  Pause(200);
}

void ReleaseButtons() {
  for (const char* b : {"1", "3"}) Xdotool({"mouseup", b});
  Pause(200);
}

void Drag(int button, POINT from, POINT to, int steps) {
  try {
    PressAndMove(button, from, to, steps);
  } catch (...) {
    ReleaseButtons();
    throw;
  }
  Xdotool({"mouseup", std::to_string(button)});
  Pause(300);
}

void Click(int button, POINT at) {
  MoveTo(at);
  Xdotool({"click", std::to_string(button)});
  Pause(300);
}

void DoubleClick(int button, POINT at) {
  MoveTo(at);
  Xdotool({"click", "--repeat", "2", "--delay", "80", std::to_string(button)});
  Pause(300);
}

void Keys(const std::vector<std::string>& chords) {
  for (const std::string& chord : chords) {
    Xdotool({"key", "--delay", "80", chord});
    Pause(400);
  }
  ReleaseAll();
}

bool WaitForKeyboardFocus(HWND window, int ms) {
  const auto xid = reinterpret_cast<ULONG_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
  if (xid == 0) return false;
  for (int waited = 0;; waited += 50) {
    const std::string focus = XdotoolOutput({"getwindowfocus"});
    if (std::strtoull(focus.c_str(), nullptr, 10) == xid) return true;
    if (waited >= ms) return false;
    Pause(50);
  }
}

void ReleaseAll() {
  Xdotool({"keyup", "Alt_L", "Control_L", "Shift_L"});
  Pause(100);
}

}  // namespace dctest::input
