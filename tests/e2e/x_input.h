// Real input through the X server, as a user's mouse and keyboard give it:
// xdotool, run from inside Wine. Every press is released again, also when
// the window it went to closed on the press: a key or button left down
// would be taken as pressed again by the next window that opens.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace dctest::input {

// Runs xdotool with the arguments; throws when it cannot run or fails.
void Xdotool(const std::vector<std::string>& args);
// The same, returning what it printed.
std::string XdotoolOutput(const std::vector<std::string>& args);

void MoveTo(POINT screen);
// Presses `button` (1 left, 2 middle, 3 right) at `from`, moves to `to` in
// small steps as a hand does, and releases it.
void Drag(int button, POINT from, POINT to, int steps = 12);
// Presses and moves without releasing; ReleaseButtons releases.
void PressAndMove(int button, POINT from, POINT to, int steps = 12);
void ReleaseButtons();
void Click(int button, POINT at);
void DoubleClick(int button, POINT at);
// Key chords in xdotool's names ("alt+a", "Return", "Escape"), one after
// the other, each pressed and released.
void Keys(const std::vector<std::string>& chords);
// Releases every modifier and button, whatever state they were left in.
void ReleaseAll();
// Waits up to `ms` for the X server's keyboard focus to reach `window`
// (the window manager may give it later than Windows makes the window the
// foreground one, and keys sent before would go elsewhere); false when it
// does not, or when the window has no X window to tell by.
bool WaitForKeyboardFocus(HWND window, int ms = 3000);

}  // namespace dctest::input
