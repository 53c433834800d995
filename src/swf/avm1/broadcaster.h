// Objects that keep a list of listeners and send them messages, as
// AsBroadcaster makes them: the built-in objects with listeners (Stage,
// Mouse, Key, MovieClipLoader, Selection, ...) are made this way too.
#pragma once

#include <span>
#include <string_view>

#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

// Gives `o` addListener, removeListener, broadcastMessage and an empty
// `_listeners` array, all hidden from for-in.
void MakeBroadcaster(Runtime& rt, Object* o);
// `source.broadcastMessage(event, args...)`, through the script-visible
// method so that a movie's replacement of it is honoured.
void Broadcast(Runtime& rt, Value source, std::string_view event, std::span<const Value> args = {});

}  // namespace dc::swf::avm1
