// Whether a point falls on a display object: its bounds, or the shapes it
// shows (fills and strokes, inside its masks), and which object the pointer
// is over for the mouse: the topmost one that takes mouse events.
#pragma once

#include <cstdint>
#include <functional>

#include "swf/display/display_object.h"

namespace dc::swf {

// Whether `p` (the object's own twips) falls on what the object shows:
// shapes, tweens and drawings by their fills and strokes, texts by their
// boxes, children inside their masks. `edges` counts the edges tested.
bool ObjectContains(const DisplayObject& object, Point p, std::uint64_t& edges);

// Whether `p` (the object's own twips) falls on the script mask the object
// shows through (true when it has none): the mask clip's shapes where it
// stands in the tree, the masks within it respected but no script's.
bool InScriptMask(const DisplayObject& object, Point p, std::uint64_t& edges);

// Whether `p` (the button's own twips) falls on a button's hit area.
bool ButtonHitAreaContains(const Movie& movie, const DisplayObject& button, Point p, std::uint64_t& edges);

// The topmost visible object under `p` (the root's twips) that takes the
// mouse: a button or a clip `takesMouse` says yes to
// (whose buttons inside it then never see the pointer), each inside the
// clip layer or the script mask over it; a clip masking another by script
// is not shown, so never found. Null when none.
DisplayObject* MouseTarget(const Movie& movie, DisplayObject& root, Point p,
                           const std::function<bool(DisplayObject&)>& takesMouse, std::uint64_t& edges);

// The clip a dragged object is over: the sprite holding the topmost thing
// under `p` (the root's twips), the dragged object and what is in it left
// out; null when nothing is there.
DisplayObject* DropTargetAt(DisplayObject& root, Point p, const DisplayObject* dragged, std::uint64_t& edges);

}  // namespace dc::swf
