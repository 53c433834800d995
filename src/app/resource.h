// Resource identifiers of the player.
#pragma once

#define IDI_DESKCLOCK 1
