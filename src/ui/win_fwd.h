// Window handle types without all of <windows.h>, for the shell's headers.
#pragma once

struct HWND__;
typedef HWND__* HWND;
