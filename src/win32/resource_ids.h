// The numbers of the window's resources, shared by the resource script and the code that
// loads them. Plain defines, as the resource compiler reads this file too.
#pragma once

#define TLX_ICON_PROGRAM 1
#define TLX_BITMAP_BOARD 2
