// Forwards to ui/handles.win.h for the Flash face's hosting, which is not edited
// while it is being replaced; goes with it.
#pragma once

#include "ui/handles.win.h"
