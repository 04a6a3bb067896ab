#pragma once
// The window icons, drawn at run time (the program carries no icon resource).
#include <windows.h>

// A dark shield with a light-blue outline and a green check mark on a transparent square of
// size x size pixels. GDI+ must be started. Null when the bitmap cannot be made; the caller
// destroys the icon with DestroyIcon.
HICON createAppIcon(int size);
