// The clock window fitted to its visible children: the children moved
// together so that their bounding box starts at the client area's corner,
// and the client area made exactly that box. Hidden children are neither
// counted nor moved.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace dc {

// A child's rectangle in its parent's client coordinates.
RECT BoundsIn(HWND child, HWND parent);

// Null children are skipped.
void FitWindowToChildren(HWND window, std::initializer_list<HWND> children);

}  // namespace dc
